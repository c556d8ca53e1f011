// The one application object of Ostravo.exe, and its entry point.
#include "COstravoApp.h"

ostravo::COstravoApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show) {
    return AfxWinMain(instance, previous, commandLine, show);
}
