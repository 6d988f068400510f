// BRoster: starting applications. Launching the web-address MIME type hands the address to
// the user's browser; the call never blocks the UI.
#pragma once

#include "SupportDefs.h"

#define B_URL_HTTP "application/x-vnd.Be.URL.http"
#define B_URL_HTTPS "application/x-vnd.Be.URL.https"

typedef int32 team_id;

class BRoster {
public:
	status_t Launch(const char* mimeType, int argc, const char* const* args,
		team_id* appTeam = nullptr) const;
	status_t Launch(const char* mimeType, int argc, char** args, team_id* appTeam = nullptr) const
	{
		return Launch(mimeType, argc, (const char* const*)args, appTeam);
	}
};

extern const BRoster* be_roster;
