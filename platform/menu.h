// A menu loaded from the program's resources, destroyed with its owner.
#pragma once

#include <windows.h>

class Menu {
public:
    Menu() = default;
    ~Menu() { destroy(); }
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    bool load(UINT resourceId);
    void destroy();
    HMENU handle() const { return menu_; }
    // The popup at `position` of the menu, or null.
    HMENU popup(int position) const { return menu_ != nullptr ? GetSubMenu(menu_, position) : nullptr; }

private:
    HMENU menu_ = nullptr;
};
