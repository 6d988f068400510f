#include "Debug.h"

#include <cstdio>
#include <cstdlib>

namespace BPrivate {

void
ReportMisuse(const char* what)
{
	fprintf(stderr, "kit: %s\n", what != nullptr ? what : "misuse");
#ifndef NDEBUG
	abort();
#endif
}

} // namespace BPrivate
