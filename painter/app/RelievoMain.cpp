// The painter's program entry: the application object runs everything.
#include "painter/app/MyApp.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    CMyApp app;
    return app.Main();
}
