#include "Backend.h"

#include <cstdio>
#include <cstdlib>

namespace BPrivate {

namespace {

std::unique_ptr<Backend>&
Slot()
{
	static std::unique_ptr<Backend> backend;
	return backend;
}

} // namespace

Backend*
CurrentBackend()
{
	std::unique_ptr<Backend>& backend = Slot();
	if (!backend) {
		backend = CreateX11Backend();
		// Without a display there is nothing to show; running on invisibly would only hang.
		if (!backend) {
			fprintf(stderr, "no display available\n");
			exit(1);
		}
	}
	return backend.get();
}

void
SetBackend(std::unique_ptr<Backend> backend)
{
	Slot() = std::move(backend);
}

bool
HasBackend()
{
	return Slot() != nullptr;
}

} // namespace BPrivate
