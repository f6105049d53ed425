// Program entry: the one application object and the Windows entry point.
#include <windows.h>
#include "app/myapp.h"

CMyApp theApp;

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int cmdShow) { return AfxWinMain(inst, cmdShow); }
