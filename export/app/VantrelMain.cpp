// The one application object of Vantrel.exe, and its entry point.
#include "CVantrelApp.h"

CVantrelApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show) {
    return AfxWinMain(instance, previous, commandLine, show);
}
