// Menu-bar layout switches.
#include "menu_bar_layout.h"

#include "resource.h"
#include "text.h"

namespace {

struct MenuItem {
    UINT command;
    const char* text;  // Shift-JIS
};

const MenuItem kNext = {ID_NEXT, "次(&N)"};
const MenuItem kLastPageItems[] = {
    {ID_FIRST, "先頭(&T)"},
    {ID_RESTORE_ALL, "全ﾌｧｲﾙ復元(&G)"},
    {ID_APP_EXIT_ITEM, "終了(&Q)"},
    {ID_SHOW_COMMENT, "ちょっと一言(&S)"},
};

void append(HMENU bar, const MenuItem& item) {
    AppendMenuW(bar, MF_STRING, item.command, toWide(item.text).c_str());
}

void remove(HMENU bar, UINT command) { RemoveMenu(bar, command, MF_BYCOMMAND); }

}  // namespace

void removeStartItems(HMENU bar, uint32_t entryCount) {
    if (entryCount == 1) {
        remove(bar, ID_FIRST);
        remove(bar, ID_NEXT);
        return;
    }
    for (UINT command : {ID_FIRST, ID_APP_EXIT_ITEM, ID_SHOW_COMMENT, ID_RESTORE_ALL}) remove(bar, command);
}

void switchToLastPageLayout(HMENU bar) {
    for (const MenuItem& item : kLastPageItems) append(bar, item);
    remove(bar, ID_NEXT);
}

void switchToBrowsingLayout(HMENU bar) {
    append(bar, kNext);
    for (UINT command : {ID_RESTORE_ALL, ID_FIRST, ID_APP_EXIT_ITEM, ID_SHOW_COMMENT}) remove(bar, command);
}
