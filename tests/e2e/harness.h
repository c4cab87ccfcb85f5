// What the end-to-end driver needs to play "another application" next to Quillet.exe: a
// temporary home for each run, the program's process and windows, the real clipboard, and
// windows of its own (the application that copies, clipboard viewers around the program).
// Every wait here pumps this thread's messages, because the program sends clipboard messages
// to the driver's viewers and waits for them, and every wait is bounded.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/unique_handle.h"

namespace e2e {

using Ms = std::chrono::milliseconds;

// Bound for anything that normally takes milliseconds: reached only when something is wrong.
inline constexpr Ms kWait{10000};

void PumpMessages();
// Pumps messages and polls `done` until it holds or `timeout` passes.
bool WaitUntil(const std::function<bool()>& done, Ms timeout = kWait);
// Pumps messages for `time`: for the tests that something does not happen.
void Pause(Ms time);

std::string ToSjis(std::wstring_view text);
std::wstring FromSjis(std::string_view bytes);
// UTF-8 for messages, with CR, LF and TAB written as \r, \n and \t, in quotes.
std::string Printable(std::wstring_view text);
// A path given on the command line: Unix paths (from CMake) become Z:\ paths.
std::wstring ToWindowsPath(std::wstring path);

// Where Quillet.exe is (set from the command line).
const std::wstring& QuilletExe();
void SetQuilletExe(std::wstring path);

// A fresh folder under the temporary folder, removed with its files at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& path() const { return path_; }
    std::wstring File(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

private:
    std::wstring path_;
};

std::optional<std::string> ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, std::string_view bytes);
std::optional<FILETIME> LastWriteTime(const std::wstring& path);
bool SetLastWriteTime(const std::wstring& path, FILETIME time);
bool FileExists(const std::wstring& path);

// Windows of other processes, read through ordinary messages (bounded by a timeout).
std::vector<HWND> TopLevelWindows(DWORD pid, std::wstring_view class_name);
std::vector<HWND> ChildWindows(HWND parent, std::wstring_view class_name);
std::wstring ClassName(HWND hwnd);
std::optional<std::wstring> WindowText(HWND hwnd, Ms timeout = kWait);
bool SetWindowTextOf(HWND hwnd, const std::wstring& text);
// A message box's text: its labels' texts run together.
std::wstring MessageText(HWND box);
// True when the window's thread handles a message within `timeout`.
bool Responds(HWND hwnd, Ms timeout);

// The window's rectangle in screen coordinates.
RECT WindowRect(HWND hwnd);

// The colours (0x00BBGGRR) of the screen inside `r`, in screen coordinates, row by row.
std::vector<COLORREF> ScreenColours(const RECT& r);

// A monitor as the driver sees it, so that a test can aim at one.
struct Monitor {
    RECT rect;  // the whole monitor, in virtual-screen pixels
    RECT work;  // the part that task bars leave free
    bool primary;
};
// In the system's order.
std::vector<Monitor> Monitors();
// Moves the pointer to `p` and waits until the system reports it there: the X server moves it
// a moment later, and a point on no monitor is never reached.
bool PointerAt(POINT p);

// A started Windows process; ended by force if still running when the owner goes away.
class Process {
public:
    Process() = default;
    // Starts `exe` with `folder` as its working folder.
    bool Start(const std::wstring& exe, const std::wstring& folder);
    DWORD pid() const { return pid_; }
    HANDLE handle() const { return process_.get(); }
    bool Running() const;
    // Waits for the end, pumping messages meanwhile.
    bool WaitExit(Ms timeout = kWait);
    void Kill();
    ~Process() { Kill(); }
    Process(Process&&) = default;
    Process& operator=(Process&&) = default;

private:
    quillet::UniqueKernelHandle process_;
    DWORD pid_ = 0;
};

// The instruction text that the program shows before its first count.
inline constexpr wchar_t kInstructionText[] =
    L"カウントしたい文字列を選択して\r\nコピー操作を行ってください --\r\n";

// One run of Quillet.exe.
class Quillet {
public:
    // Starts the program at `exe` and waits for its main window (check ok()).
    explicit Quillet(const std::wstring& exe);
    ~Quillet();
    Quillet(const Quillet&) = delete;
    Quillet& operator=(const Quillet&) = delete;

    bool ok() const { return main_ != nullptr; }
    // Why ok() is false: the start refused, the process ended, or no main window in time.
    std::string Failure() const;
    HWND main() const { return main_; }
    HWND description() const;
    Process& process() { return process_; }
    std::optional<std::wstring> Report() const;
    // True once the main window is the first clipboard viewer.
    bool WaitWatching(Ms timeout = kWait) const;
    // Closes the main window (WM_CLOSE) and waits for the process to end.
    bool Close(Ms timeout = kWait);
    // Chooses the menu command `id` and waits for the process to end.
    bool EndByMenu(UINT id, Ms timeout = kWait);

private:
    Process process_;
    HWND main_ = nullptr;
    DWORD startError_ = 0;  // CreateProcess's error, when it refused
};

// A top-level window of the driver with its own message handling.
class Window {
public:
    Window(const wchar_t* title, DWORD style, RECT rect);
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    HWND hwnd() const { return window_.get(); }

protected:
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    quillet::UniqueWindow window_;
};

// "Another application": a visible window that is in the foreground when it copies.
class AppWindow : public Window {
public:
    AppWindow();
    bool Activate();
};

// A well-behaved clipboard viewer that counts the notifications it receives.
class Viewer : public Window {
public:
    explicit Viewer(const wchar_t* name);
    ~Viewer() override;
    void Join();
    void Leave();
    bool joined() const { return joined_; }
    HWND next() const { return next_; }
    int notifications() const { return notifications_; }
    // Runs at each WM_DRAWCLIPBOARD, before the viewer passes it on.
    std::function<void()> on_notify;
    // When set, the viewer holds the clipboard open for this long at each notification and
    // posts the notification on, so the next viewer finds the clipboard busy for a moment.
    Ms hold_clipboard{0};

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    HWND next_ = nullptr;
    bool joined_ = false;
    int notifications_ = 0;
};

// Clipboard content: one format and its bytes.
struct ClipFormat {
    UINT format;
    std::string bytes;
};
ClipFormat UnicodeText(std::wstring_view text);
ClipFormat AnsiText(std::string_view sjis);
ClipFormat SmallDib();
ClipFormat PrivateFormat(std::string_view bytes);

// The clipboard's text as Unicode, if it holds any.
std::optional<std::wstring> ClipboardText(HWND owner);
// Replaces the clipboard's content with `formats` (none: an empty clipboard), as `owner`.
bool PutOnClipboard(HWND owner, const std::vector<ClipFormat>& formats);

// The tips of the icons in the shell's notification area (Wine's tray windows).
std::vector<std::wstring> TrayTips();

}  // namespace e2e
