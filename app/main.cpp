// Entry point of エダミル.
#include <windows.h>

#include "viewer_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ViewerApp app;
    app.InitInstance();
    return 0;
}
