// The application object: one modal main window is the whole program.
#include "viewer_app.h"

#include <commctrl.h>

#include "viewer_dialog.h"

BOOL ViewerApp::InitInstance() {
    // The file list dialog uses a list view.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    ViewerDialog dialog;
    dialog.runModal();
    return FALSE;
}
