// `ViewerApp`: starts the common controls and runs the main window as a modal dialog.
#pragma once

#include <windows.h>

class ViewerApp {
public:
    // Runs `ViewerDialog` until it closes; always FALSE: the program then ends.
    BOOL InitInstance();
};
