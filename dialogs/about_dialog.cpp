#include "about_dialog.h"

#include "dialog_icon.h"
#include "dialog_ids.h"
#include "edamiru_version.h"
#include "message_box.h"
#include "resource.h"
#include "text.h"

AboutDialog::AboutDialog(HWND parent) : Dialog(IDD_ABOUT, parent) {}

BOOL AboutDialog::OnInitDialog() {
    setLargeAppIcon(hwnd());
    setCaption(applicationName() + toWide("のﾊﾞｰｼﾞｮﾝ情報"));
    SetDlgItemTextW(hwnd(), IDC_ABOUT_NAME, (applicationName() + toWide(" Version " EDAMIRU_VERSION_TEXT)).c_str());
    return TRUE;
}
