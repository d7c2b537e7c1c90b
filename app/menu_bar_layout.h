// The layouts of the menu bar (menu 132): single page, browsing and last page. The texts put
// back are the program's own, the same as in the menu resource.
#pragma once
#include <cstdint>

#include <windows.h>

// Start-up: one entry keeps "終了", "全ﾌｧｲﾙ復元" and "ちょっと一言"; several keep "次" only.
void removeStartItems(HMENU bar, uint32_t entryCount);

// Appends "先頭", "全ﾌｧｲﾙ復元", "終了" and "ちょっと一言" and removes "次".
void switchToLastPageLayout(HMENU bar);

// Appends "次" and removes the four items of the last page.
void switchToBrowsingLayout(HMENU bar);
