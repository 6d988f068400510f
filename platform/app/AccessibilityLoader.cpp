#include "AccessibilityLoader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "A11yStatusClient.h"
#include "AccessibilityModule.h"
#include "AccessibleTree.h"
#include "DBusWire.h"
#include "EventLoop.h"

#ifndef KAMBO_VERSION
#define KAMBO_VERSION "0"
#endif
#ifndef KAMBO_INSTALL_LIBDIR
#define KAMBO_INSTALL_LIBDIR "lib"
#endif

namespace BPrivate {

namespace {

const char* const kModuleFile = "kambolux-atk.so";

// What the module reaches the program through; it remembers the module's watchers so that
// a module that forgets one on stop cannot leave the loop polling a closed descriptor.
class KitHost : public AccessibilityHost {
public:
	AccessibleNode* Root() override { return AccessibleRoot(); }
	void SetListener(AccessibilityListener* listener) override
	{
		SetAccessibilityListener(listener);
	}
	void AddWatcher(DescriptorWatcher* watcher) override
	{
		if (watcher == nullptr)
			return;
		EventLoop::AddWatcher(watcher);
		if (std::find(fWatchers.begin(), fWatchers.end(), watcher) == fWatchers.end())
			fWatchers.push_back(watcher);
	}
	void RemoveWatcher(DescriptorWatcher* watcher) override
	{
		EventLoop::RemoveWatcher(watcher);
		fWatchers.erase(std::remove(fWatchers.begin(), fWatchers.end(), watcher), fWatchers.end());
	}
	const char* Version() override { return KAMBO_VERSION; }

	void Forget()
	{
		for (DescriptorWatcher* watcher : fWatchers)
			EventLoop::RemoveWatcher(watcher);
		fWatchers.clear();
		SetAccessibilityListener(nullptr);
	}

private:
	std::vector<DescriptorWatcher*> fWatchers;
};

struct LoaderState {
	bool begun = false;
	bool tried = false;
	bool running = false;
	std::string path;
	void* handle = nullptr;
	kambolux_accessibility_stop_fn stop = nullptr;
	KitHost host;
	std::unique_ptr<A11yStatusClient> client;
};

LoaderState&
State()
{
	static LoaderState state;
	return state;
}

std::string
ExecutablePath()
{
	char buffer[4096];
	ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
	if (length <= 0)
		return std::string();
	return std::string(buffer, (size_t)length);
}

void
Unavailable(const char* reason, const char* detail)
{
	fprintf(stderr, "kit: screen-reader support not available: %s%s%s\n", reason,
		detail != nullptr ? ": " : "", detail != nullptr ? detail : "");
}

} // namespace

AccessibilitySwitch
AccessibilitySwitchFrom(const char* kamboluxValue, const char* noAtBridgeValue)
{
	if (kamboluxValue != nullptr && strcmp(kamboluxValue, "1") == 0)
		return AccessibilitySwitch::kOn;
	if (kamboluxValue != nullptr && strcmp(kamboluxValue, "0") == 0)
		return AccessibilitySwitch::kOff;
	if (noAtBridgeValue != nullptr && strcmp(noAtBridgeValue, "1") == 0)
		return AccessibilitySwitch::kOff;
	return AccessibilitySwitch::kAskBus;
}

std::vector<std::string>
AccessibilityModuleCandidates(const char* override, const std::string& executable,
	const char* libDir)
{
	if (override != nullptr && override[0] != '\0')
		return {override};
	std::vector<std::string> candidates;
	size_t slash = executable.rfind('/');
	if (slash == std::string::npos)
		return candidates;
	const std::string prefix = executable.substr(0, slash) + "/../";
	std::string installed = libDir != nullptr && libDir[0] != '\0' ? libDir : "lib";
	// An absolute libdir (a prefix of its own) is used as it is.
	candidates.push_back(
		(installed[0] == '/' ? installed : prefix + installed) + "/kambolux/" + kModuleFile);
	if (installed != "lib")
		candidates.push_back(prefix + "lib/kambolux/" + kModuleFile);
	candidates.push_back(prefix + "platform/atk/" + kModuleFile);
	return candidates;
}

void
AccessibilityLoader::Begin()
{
	LoaderState& state = State();
	if (state.begun)
		return;
	state.begun = true;

	switch (AccessibilitySwitchFrom(getenv("KAMBOLUX_ACCESSIBILITY"), getenv("NO_AT_BRIDGE"))) {
		case AccessibilitySwitch::kOn:
			Load();
			return;
		case AccessibilitySwitch::kOff:
			return;
		case AccessibilitySwitch::kAskBus:
			break;
	}
	// No session bus (or one we cannot reach) means nobody listens: off, silently.
	std::vector<DBus::SocketAddress> addresses = DBus::ParseAddresses(
		getenv("DBUS_SESSION_BUS_ADDRESS"));
	if (addresses.empty())
		return;
	auto client = std::make_unique<A11yStatusClient>([](bool enabled) {
		if (enabled)
			Load();
	});
	if (client->Connect(addresses) != B_OK)
		return;
	state.client = std::move(client);
	EventLoop::AddWatcher(state.client.get());
}

status_t
AccessibilityLoader::Load()
{
	LoaderState& state = State();
	if (state.running)
		return B_OK;
	if (state.tried)
		return B_ERROR;
	state.tried = true;

	void* handle = nullptr;
	std::string lastError = "not found";
	const char* override = getenv("KAMBOLUX_ACCESSIBILITY_MODULE");
	for (const std::string& candidate :
		AccessibilityModuleCandidates(override, ExecutablePath(), KAMBO_INSTALL_LIBDIR)) {
		// A missing file is the usual case for all but one candidate; only a file that is
		// there and does not open is worth its loader's message.
		if (access(candidate.c_str(), F_OK) != 0)
			continue;
		handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
		if (handle != nullptr) {
			state.path = candidate;
			break;
		}
		const char* error = dlerror();
		lastError = error != nullptr ? error : candidate;
	}
	if (handle == nullptr) {
		Unavailable("cannot load the module", lastError.c_str());
		return B_ERROR;
	}

	auto start = (kambolux_accessibility_start_fn)dlsym(handle, KAMBOLUX_ACCESSIBILITY_START);
	auto stop = (kambolux_accessibility_stop_fn)dlsym(handle, KAMBOLUX_ACCESSIBILITY_STOP);
	if (start == nullptr || stop == nullptr) {
		Unavailable("the module lacks its entry points", state.path.c_str());
		dlclose(handle);
		state.path.clear();
		return B_ERROR;
	}
	if (start(&state.host) != 0) {
		// The module said why; what it may have set up is taken back here.
		state.host.Forget();
		Unavailable("the module did not start", state.path.c_str());
		state.path.clear();
		return B_ERROR;
	}
	// The handle stays open for the program's life: GLib's types and the bridge's exit
	// handlers cannot be unloaded.
	state.handle = handle;
	state.stop = stop;
	state.running = true;
	return B_OK;
}

void
AccessibilityLoader::Shutdown()
{
	LoaderState& state = State();
	if (state.client != nullptr) {
		EventLoop::RemoveWatcher(state.client.get());
		state.client.reset();
	}
	if (state.running) {
		state.running = false;
		state.stop();
		state.host.Forget();
	}
}

bool
AccessibilityLoader::IsRunning()
{
	return State().running;
}

void
AccessibilityLoader::ForgetForTests()
{
	Shutdown();
	State().tried = false;
	State().begun = false;
	State().path.clear();
}

std::string
AccessibilityLoader::ModulePath()
{
	return State().running ? State().path : std::string();
}

} // namespace BPrivate
