// The one window base: the object behind a window is found through GWLP_USERDATA, set at
// WM_NCCREATE and cleared at WM_NCDESTROY, so no message reaches a destroyed object.
#pragma once

#include <windows.h>

#include <optional>

namespace quillet {

class WindowBase {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    virtual ~WindowBase();

    HWND Hwnd() const { return hwnd_; }

protected:
    // Registers the class once per process; every class of the program uses the same procedure.
    static bool RegisterClassOnce(HINSTANCE instance, const wchar_t* className, HICON icon,
                                  HICON smallIcon, const wchar_t* menuName);

    HWND Create(HINSTANCE instance, const wchar_t* className, const wchar_t* title, DWORD style,
                DWORD exStyle, int x, int y, int width, int height, HWND parent, HMENU menu);

    // Destroys the window now; a derived class calls it from its destructor, while the objects
    // its window uses (fonts, brushes) still exist.
    void DestroyNow();

    // Messages the derived window does not handle go to DefWindowProcW.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd_ = nullptr;
};

// Dispatches the messages waiting in this thread's queue, through `dialog`'s keyboard handling
// (Tab, arrows, mnemonics). With a dialog, the round ends as soon as the dialog has gone: what
// is still queued then (a click on the tray icon, say) waits for the caller, which is done
// waiting. A quit met on the way ends the round and is handed back, off the queue: the caller
// posts it again when its own loop has finished, or the end of the program would be lost.
std::optional<int> DispatchPending(HWND dialog = nullptr);

}  // namespace quillet
