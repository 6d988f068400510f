#include "BackendChoice.h"

#include <cstring>

namespace BPrivate {

namespace {

const char* const kWaylandModuleFile = "kambolux-wayland.so";

bool
IsSet(const char* value)
{
	return value != nullptr && value[0] != '\0';
}

} // namespace

BackendChoice
ChooseBackend(const char* override, const char* waylandDisplay, const char* waylandSocket)
{
	BackendChoice choice;
	if (IsSet(override)) {
		choice.forced = true;
		if (strcmp(override, "x11") == 0)
			choice.kind = BackendKind::kX11;
		else if (strcmp(override, "wayland") == 0)
			choice.kind = BackendKind::kWayland;
		else
			choice.kind = BackendKind::kInvalid;
		return choice;
	}
	choice.kind = IsSet(waylandDisplay) || IsSet(waylandSocket) ? BackendKind::kWayland
																: BackendKind::kX11;
	return choice;
}

std::vector<std::string>
WaylandModuleCandidates(const char* override, const std::string& executable, const char* libDir)
{
	if (IsSet(override))
		return {override};
	std::vector<std::string> candidates;
	const size_t slash = executable.rfind('/');
	if (slash == std::string::npos)
		return candidates;
	const std::string prefix = executable.substr(0, slash) + "/../";
	const std::string installed = IsSet(libDir) ? libDir : "lib";
	// An absolute libdir (a prefix of its own) is used as it is.
	candidates.push_back(
		(installed[0] == '/' ? installed : prefix + installed) + "/kambolux/" + kWaylandModuleFile);
	if (installed != "lib")
		candidates.push_back(prefix + "lib/kambolux/" + kWaylandModuleFile);
	candidates.push_back(prefix + "platform/" + kWaylandModuleFile);
	return candidates;
}

} // namespace BPrivate
