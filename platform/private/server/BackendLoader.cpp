// Opens the Wayland module (kambolux-wayland.so) and creates its backend; the kit's X11
// backend is linked in, the Wayland one is loaded only when chosen.
#include "Backend.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BackendChoice.h"
#include "DisplayScale.h"
#include "FontCache.h"
#include "ResolvedFonts.h"
#include "WaylandModule.h"
#include "X11Launch.h"

#ifndef KAMBO_INSTALL_LIBDIR
#define KAMBO_INSTALL_LIBDIR "lib"
#endif
#ifndef KAMBO_BACKEND_STAMP
#error "the build sets KAMBO_BACKEND_STAMP"
#endif

namespace BPrivate {

namespace {

int32
EnvironmentScale()
{
	// A fraction needs the compositor's viewporter; the backend takes it up to the next whole
	// factor where there is none.
	DisplayScale scale;
	if (!ParseDisplayScale(getenv(kDisplayScaleVariable), &scale)
		&& !ParseWholeDisplayScale(getenv("GDK_SCALE"), &scale))
		return 0;
	return scale.Units();
}

const WaylandHost kHost = {SpawnURLOpener, EnvironmentScale};

std::string
ExecutablePath()
{
	char buffer[4096];
	const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
	return length > 0 ? std::string(buffer, (size_t)length) : std::string();
}

// Opens the module at path and checks that it was built with this program: its entry
// point, or nullptr with the reason in error.
kambolux_wayland_create_fn
OpenModule(const std::string& path, void** handle, std::string* error)
{
	*handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
	if (*handle == nullptr) {
		const char* reason = dlerror();
		*error = reason != nullptr ? reason : path;
		return nullptr;
	}
	auto stamp = (kambolux_wayland_stamp_fn)dlsym(*handle, KAMBOLUX_WAYLAND_STAMP);
	auto create = (kambolux_wayland_create_fn)dlsym(*handle, KAMBOLUX_WAYLAND_CREATE);
	if (stamp == nullptr || create == nullptr)
		*error = path + " lacks its entry point";
	else if (strcmp(stamp(), KAMBO_BACKEND_STAMP) != 0) {
		*error = path + " is from another build (" + stamp() + ", this program is "
			+ KAMBO_BACKEND_STAMP + ")";
	} else
		return create;
	dlclose(*handle);
	*handle = nullptr;
	return nullptr;
}

} // namespace

std::unique_ptr<Backend>
CreateWaylandBackend()
{
	void* handle = nullptr;
	kambolux_wayland_create_fn create = nullptr;
	std::string lastError = "kambolux-wayland.so not found";
	// A stale module in one place does not hide a matching one further down the list.
	for (const std::string& candidate : WaylandModuleCandidates(getenv("KAMBOLUX_WAYLAND_MODULE"),
			 ExecutablePath(), KAMBO_INSTALL_LIBDIR)) {
		if (access(candidate.c_str(), F_OK) != 0)
			continue;
		create = OpenModule(candidate, &handle, &lastError);
		if (create != nullptr)
			break;
	}
	if (create == nullptr) {
		fprintf(stderr, "kit: cannot load the Wayland backend: %s\n", lastError.c_str());
		return nullptr;
	}
	// Read as an X11 start reads them: the first frame's fonts as an earlier start found them.
	KeepResolvedFonts(ResolvedFonts::DefaultPath());
	std::unique_ptr<Backend> backend(create(&kHost));
	// The handle stays open: the backend's code lives in it until the program ends.
	if (backend == nullptr)
		dlclose(handle);
	return backend;
}

} // namespace BPrivate
