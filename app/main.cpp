#include "TApp.h"

int
main()
{
	TApp* app = new TApp;
	app->Run();
	delete app;
	return 0;
}
