// Edits of the main window's system menu.
#include "system_menu.h"

#include "text.h"

namespace {

void appendItem(HMENU menu, UINT command, const char* shiftJisText) {
    AppendMenuW(menu, MF_STRING, command, toWide(shiftJisText).c_str());
}

}  // namespace

void extendSystemMenu(HMENU systemMenu) {
    if (systemMenu == nullptr) return;
    DeleteMenu(systemMenu, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(systemMenu, SC_SIZE, MF_BYCOMMAND);
    appendItem(systemMenu, kSysCentre, "中央配置(&R)");
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    appendItem(systemMenu, kSysComment, "ちょっと一言(&S)...");
    appendItem(systemMenu, kSysAbout, "ﾊﾞｰｼﾞｮﾝ情報(&A)...");
}
