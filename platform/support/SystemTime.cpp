#include "SystemTime.h"

#include <time.h>

namespace BPrivate {

bigtime_t
system_time_us()
{
	timespec now;
	clock_gettime(CLOCK_MONOTONIC, &now);
	return (bigtime_t)now.tv_sec * 1000000 + now.tv_nsec / 1000;
}

} // namespace BPrivate
