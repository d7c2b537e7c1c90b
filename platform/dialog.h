// A dialog from a template, run modally, whose messages go to virtual handlers of a derived
// class. Messages without a handler get the dialog manager's default handling. The template's
// font is made with an installed face (dialog_font.h).
#pragma once
#include <string>

#include <windows.h>

class Dialog {
public:
    Dialog(UINT templateId, HWND parent);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the dialog and runs its message loop until endDialog; returns the result, or -1
    // when the dialog could not be created.
    INT_PTR runModal();
    HWND hwnd() const { return hwnd_; }
    // Ends the modal loop with `result` (the window is hidden at once and destroyed after).
    void endDialog(INT_PTR result);

    // The face of the dialog's font, in place of the one chosen from the template's and the
    // installed faces; takes effect at the next runModal.
    void setFontFace(const std::wstring& face);

    void setCaption(const std::string& shiftJis);
    void setCaption(const std::wstring& text);

protected:
    // WM_INITDIALOG: return TRUE to let the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // WM_COMMAND. The default ends the dialog on OK (1) and Cancel (2, also Escape and the
    // system menu's close). Returns true when the command was handled.
    virtual bool OnCommand(WORD id, WORD notification, HWND control);
    virtual void OnTimer(UINT_PTR /*id*/) {}
    virtual void OnDestroy() {}
    // Dispatches one message to the handlers above; derived classes add messages here and
    // pass the rest on. The return value is the dialog procedure's: FALSE leaves the message
    // to the default handling.
    virtual INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
    HWND parent_;
    HWND hwnd_ = nullptr;
    std::wstring fontFace_;
};
