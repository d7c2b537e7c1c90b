// Loading and destroying a resource menu.
#include "menu.h"

bool Menu::load(UINT resourceId) {
    destroy();
    menu_ = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId));
    return menu_ != nullptr;
}

void Menu::destroy() {
    if (menu_ != nullptr) DestroyMenu(menu_);
    menu_ = nullptr;
}
