// Reading extended dialog templates (DLGTEMPLATEEX and DLGITEMTEMPLATEEX records).
#include "dialog_template.h"

#include <cstdint>
#include <cstring>

namespace {

class Reader {
public:
    explicit Reader(const uint8_t* p) : start_(p), p_(p) {}
    WORD word() {
        WORD v;
        std::memcpy(&v, p_, 2);
        p_ += 2;
        return v;
    }
    DWORD dword() { return word() | (DWORD(word()) << 16); }
    // x, y, width and height in dialog units.
    void place(short& x, short& y, short& cx, short& cy) {
        for (short* v : {&x, &y, &cx, &cy}) *v = static_cast<short>(word());
    }
    // A string, or 0xFFFF and a number (written "#n").
    std::wstring nameOrNumber() {
        WORD first = word();
        if (first == 0xFFFF) return L"#" + std::to_wstring(word());
        std::wstring s;
        for (WORD c = first; c != 0; c = word()) s.push_back(static_cast<wchar_t>(c));
        return s;
    }
    void alignDword() {
        while ((p_ - start_) % 4 != 0) ++p_;
    }
    void skip(size_t n) { p_ += n; }

private:
    const uint8_t* start_;
    const uint8_t* p_;
};

}  // namespace

DialogTemplate readDialogTemplate(UINT id) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    if (found == nullptr) return DialogTemplate();
    return readDialogTemplate(static_cast<const uint8_t*>(LockResource(LoadResource(self, found))));
}

DialogTemplate readDialogTemplate(const uint8_t* data) {
    DialogTemplate t;
    Reader r(data);
    if (r.word() != 1 || r.word() != 0xFFFF) return t;  // version 1, extended
    t.extended = true;
    r.dword();  // help id
    t.exStyle = r.dword();
    t.style = r.dword();
    WORD count = r.word();
    r.place(t.x, t.y, t.cx, t.cy);
    t.menu = r.nameOrNumber();
    t.className = r.nameOrNumber();
    t.caption = r.nameOrNumber();
    if (t.style & DS_SETFONT) {
        t.points = r.word();
        t.weight = r.word();
        r.word();  // italic, character set
        t.font = r.nameOrNumber();
    }
    for (WORD i = 0; i < count; ++i) {
        r.alignDword();
        DialogControl c;
        r.dword();  // help id
        c.exStyle = r.dword();
        c.style = r.dword();
        r.place(c.x, c.y, c.cx, c.cy);
        c.id = r.dword();
        c.className = r.nameOrNumber();
        c.text = r.nameOrNumber();
        r.skip(r.word());  // creation data
        t.controls.push_back(c);
    }
    return t;
}
