// A list-view control of another process: its rows, texts, selection and row rectangles. The
// structures these messages fill must live in the owning process, so they go through its memory.
#pragma once
#include <string>

#include <windows.h>

class RemoteListView {
public:
    explicit RemoteListView(HWND control);
    ~RemoteListView();
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;

    int rowCount() const;
    std::wstring text(int row, int column) const;
    // The first selected row, or -1.
    int selectedRow() const;
    // Rows scrolled off the top.
    int topRow() const;
    // The bounds of a row in client coordinates of the control.
    RECT rowRect(int row) const;

private:
    HWND control_;
    HANDLE process_ = nullptr;
    char* remote_ = nullptr;  // a work block in the owning process
};
