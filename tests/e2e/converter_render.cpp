// Renders the converter window headless into a PNG: the reference that the end-to-end test
// compares the real window with. Starts from the settings in XDG_CONFIG_HOME, after storing
// the given integer settings, and types the amount, if any, into the window.
//
//   converter_render OUTPUT.png [AMOUNT [KEY=VALUE...]]
//
// Quitting saves the settings, as the program does: render from a copy of them.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "AppDefs.h"
#include "Application.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Preferences.h"
#include "TApp.h"
#include "TMainWindow.h"

namespace {

bool
StoreSetting(const char* assignment)
{
	const char* equals = strchr(assignment, '=');
	if (equals == nullptr || equals == assignment)
		return false;
	std::string key(assignment, equals - assignment);
	char* end = nullptr;
	long value = strtol(equals + 1, &end, 10);
	if (end == equals + 1 || *end != '\0')
		return false;
	TPreferences prefs("KamboLux_prefs");
	prefs.SetInt32(key.c_str(), (int32)value);
	return true;
}

} // namespace

int
main(int argc, char** argv)
{
	if (argc < 2) {
		fprintf(stderr, "usage: %s OUTPUT.png [AMOUNT [KEY=VALUE...]]\n", argv[0]);
		return 2;
	}
	for (int i = 3; i < argc; i++) {
		if (!StoreSetting(argv[i])) {
			fprintf(stderr, "not a KEY=INTEGER setting: %s\n", argv[i]);
			return 2;
		}
	}

	BPrivate::HeadlessBackend* backend = BPrivate::HeadlessBackend::Install();
	TApp* app = new TApp;
	app->PostMessage(B_READY_TO_RUN, app);
	BPrivate::EventLoop::Drain();

	uint32 window = BPrivate::HeadlessBackend::IdOf(app->MainWindow());
	if (argc >= 3 && argv[2][0] != '\0') {
		backend->InjectText(window, argv[2]);
		BPrivate::EventLoop::Drain();
	}
	bool written = backend->WritePNG(window, argv[1]);
	delete app;
	if (!written) {
		fprintf(stderr, "could not write %s\n", argv[1]);
		return 1;
	}
	return 0;
}
