#include "CommandLine.h"
#include "TApp.h"

int
main(int argc, char** argv)
{
	// Options and conversions are answered without the display.
	int status = RunCommandLine(argc, argv);
	if (status != kCommandLineOpenWindow)
		return status;

	TApp* app = new TApp;
	app->Run();
	delete app;
	return 0;
}
