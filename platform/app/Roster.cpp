#include "Roster.h"

#include <cstring>

#include "Backend.h"

namespace {
const BRoster kRoster;
}

const BRoster* be_roster = &kRoster;

status_t
BRoster::Launch(const char* mimeType, int argc, const char* const* args, team_id* appTeam) const
{
	if (appTeam != nullptr)
		*appTeam = -1;
	if (mimeType == nullptr || args == nullptr || argc != 1 || args[0] == nullptr)
		return B_BAD_VALUE;
	// Web addresses are the only documents this kit knows a preferred application for.
	if (strcmp(mimeType, B_URL_HTTP) != 0 && strcmp(mimeType, B_URL_HTTPS) != 0)
		return B_BAD_VALUE;
	return BPrivate::CurrentBackend()->OpenURL(args[0]);
}
