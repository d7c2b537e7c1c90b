#include "about_dialog.h"

#include "dialog_icon.h"
#include "message_box.h"
#include "resource.h"
#include "text.h"

AboutDialog::AboutDialog(HWND parent) : Dialog(IDD_ABOUT, parent) {}

BOOL AboutDialog::OnInitDialog() {
    setLargeAppIcon(hwnd());
    setCaption(applicationName() + toWide("のﾊﾞｰｼﾞｮﾝ情報"));
    return TRUE;
}
