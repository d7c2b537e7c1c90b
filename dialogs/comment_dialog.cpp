#include "comment_dialog.h"

#include "dialog_icon.h"
#include "dialog_ids.h"
#include "resource.h"
#include "text.h"

CommentDialog::CommentDialog(HWND parent) : Dialog(IDD_COMMENT, parent) {}

BOOL CommentDialog::OnInitDialog() {
    setLargeAppIcon(hwnd());
    SetDlgItemTextW(hwnd(), IDC_COMMENT_TEXT, toWide(comment).c_str());
    SetDlgItemTextW(hwnd(), IDC_LINK_TEXT, toWide(linkText).c_str());
    return TRUE;
}
