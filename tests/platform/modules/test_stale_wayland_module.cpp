// A Wayland module as an older build left it: its entry points are there, its stamp is not
// this program's, and creating a backend through it would be a fault.
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) const char*
kambolux_wayland_stamp()
{
	return "0.9.0-0000000000000000";
}

extern "C" __attribute__((visibility("default"))) void*
kambolux_wayland_create(const void*)
{
	abort();
}
