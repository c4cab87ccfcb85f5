#include "harness.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "resource.h"

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

std::wstring& QuilletExePath() {
    static std::wstring path;
    return path;
}

void FreeGlobal(HGLOBAL h) {
    GlobalFree(h);
}
using UniqueGlobal = quillet::UniqueHandle<HGLOBAL, FreeGlobal>;

// Closes the clipboard that this thread opened.
struct ClipboardSession {
    bool open = false;
    ~ClipboardSession() {
        if (open) CloseClipboard();
    }
};

}  // namespace

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool WaitUntil(const std::function<bool()>& done, Ms timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        PumpMessages();
        if (done()) return true;
        if (Clock::now() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void Pause(Ms time) {
    WaitUntil([] { return false; }, time);
}

std::string ToSjis(std::wstring_view text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                      0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::wstring FromSjis(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int n =
        MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::string Printable(std::wstring_view text) {
    std::wstring escaped;
    for (wchar_t c : text) {
        if (c == L'\r')
            escaped += L"\\r";
        else if (c == L'\n')
            escaped += L"\\n";
        else if (c == L'\t')
            escaped += L"\\t";
        else
            escaped += c;
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, escaped.data(), static_cast<int>(escaped.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, escaped.data(), static_cast<int>(escaped.size()), out.data(), n,
                        nullptr, nullptr);
    return "\"" + out + "\"";
}

std::wstring ToWindowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

const std::wstring& QuilletExe() {
    return QuilletExePath();
}
void SetQuilletExe(std::wstring path) {
    QuilletExePath() = ToWindowsPath(std::move(path));
}

TempDir::TempDir() {
    static int counter = 0;
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    std::wstring base = temp;
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    for (;;) {
        path_ = base + L"\\quillet-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

TempDir::~TempDir() {
    // A program that has just ended may still hold its files for a moment.
    WaitUntil(
        [&] {
            WIN32_FIND_DATAW found;
            HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
            if (search != INVALID_HANDLE_VALUE) {
                do {
                    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                    const std::wstring file = path_ + L"\\" + found.cFileName;
                    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(file.c_str());
                } while (FindNextFileW(search, &found));
                FindClose(search);
            }
            return RemoveDirectoryW(path_.c_str()) != 0;
        },
        Ms(3000));
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
    quillet::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
    quillet::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
}

std::optional<FILETIME> LastWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return data.ftLastWriteTime;
}

bool SetLastWriteTime(const std::wstring& path, FILETIME time) {
    quillet::UniqueFile file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    return file && SetFileTime(file.get(), nullptr, nullptr, &time);
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

std::vector<HWND> TopLevelWindows(DWORD pid, std::wstring_view class_name) {
    struct Search {
        DWORD pid;
        std::wstring_view class_name;
        std::vector<HWND> found;
    } search{pid, class_name, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == s.pid && ClassName(hwnd) == s.class_name) s.found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> ChildWindows(HWND parent, std::wstring_view class_name) {
    struct Search {
        std::wstring_view class_name;
        std::vector<HWND> found;
    } search{class_name, {}};
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            if (_wcsicmp(ClassName(hwnd).c_str(), std::wstring(s.class_name).c_str()) == 0)
                s.found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring MessageText(HWND box) {
    std::wstring text;
    for (HWND label : ChildWindows(box, L"Static")) text += WindowText(label).value_or(L"");
    return text;
}

std::optional<std::wstring> WindowText(HWND hwnd, Ms timeout) {
    const UINT ms = static_cast<UINT>(timeout.count());
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, ms, &length))
        return std::nullopt;
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL, ms, &copied))
        return std::nullopt;
    text.resize(copied);
    return text;
}

bool SetWindowTextOf(HWND hwnd, const std::wstring& text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_NORMAL, static_cast<UINT>(kWait.count()), &result) &&
           result == TRUE;
}

bool Responds(HWND hwnd, Ms timeout) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeout.count()),
                               &result) != 0;
}

namespace {
void ReleaseScreenDc(HDC dc) {
    ReleaseDC(nullptr, dc);
}
void DeleteMemoryDc(HDC dc) {
    DeleteDC(dc);
}
}  // namespace

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

std::vector<COLORREF> ScreenColours(const RECT& r) {
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return {};
    quillet::UniqueHandle<HDC, ReleaseScreenDc> screen(GetDC(nullptr));
    quillet::UniqueHandle<HDC, DeleteMemoryDc> memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    quillet::UniqueGdi<HBITMAP> bitmap(
        CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!screen || !memory || !bitmap) return {};
    HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, screen.get(), r.left, r.top, SRCCOPY);
    SelectObject(memory.get(), old);
    std::vector<COLORREF> colours;
    colours.reserve(static_cast<size_t>(width) * height);
    for (int i = 0; i < width * height; ++i) {
        const DWORD bgrx = static_cast<const DWORD*>(bits)[i];  // 0x00RRGGBB in a DIB
        colours.push_back(RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF));
    }
    return colours;
}

namespace {
BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        reinterpret_cast<std::vector<Monitor>*>(list)->push_back(
            {info.rcMonitor, info.rcWork, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}
}  // namespace

std::vector<Monitor> Monitors() {
    std::vector<Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

bool PointerAt(POINT p) {
    return WaitUntil(
        [&] {
            POINT now{};
            if (GetCursorPos(&now) && now.x == p.x && now.y == p.y) return true;
            SetCursorPos(p.x, p.y);
            return false;
        },
        Ms(3000));
}

bool Process::Start(const std::wstring& exe, const std::wstring& folder) {
    Kill();
    std::wstring command_line = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info))
        return false;
    quillet::UniqueKernelHandle thread(info.hThread);
    process_.reset(info.hProcess);
    pid_ = info.dwProcessId;
    return true;
}

bool Process::Running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool Process::WaitExit(Ms timeout) {
    if (!process_) return true;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        PumpMessages();
        if (!Running()) return true;
        const auto left = std::chrono::duration_cast<Ms>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        HANDLE h = process_.get();
        MsgWaitForMultipleObjects(
            1, &h, FALSE, static_cast<DWORD>(std::min<long long>(left.count(), 50)), QS_ALLINPUT);
    }
}

void Process::Kill() {
    if (Running()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

Quillet::Quillet(const std::wstring& exe) {
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    if (!process_.Start(exe, folder)) {
        startError_ = GetLastError();
        return;
    }
    WaitUntil([&] {
        for (HWND hwnd : TopLevelWindows(process_.pid(), QUILLET_MAIN_CLASS)) main_ = hwnd;
        return main_ != nullptr || !process_.Running();
    });
}

std::string Quillet::Failure() const {
    if (startError_) return "CreateProcess failed with error " + std::to_string(startError_);
    if (!process_.Running()) {
        DWORD code = 0;
        GetExitCodeProcess(process_.handle(), &code);
        // How long it lived tells a start that Wine's loader gave up from an early return.
        FILETIME created{}, ended{}, kernel{}, user{};
        GetProcessTimes(process_.handle(), &created, &ended, &kernel, &user);
        auto ticks = [](FILETIME t) {
            return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime;
        };
        char text[120];
        std::snprintf(
            text, sizeof text,
            "the program ended with code 0x%lX before its window, %llu ms after its start",
            static_cast<unsigned long>(code), (ticks(ended) - ticks(created)) / 10000);
        return text;
    }
    return "no main window of class Quillet.frmMain appeared";
}

Quillet::~Quillet() {
    // A test that failed half-way must not leave the program running for the next one.
    if (process_.Running() && main_) {
        PostMessageW(main_, WM_CLOSE, 0, 0);
        process_.WaitExit(Ms(5000));
    }
    process_.Kill();
}

HWND Quillet::description() const {
    return GetDlgItem(main_, IDC_TXTDESCRIPTION);
}

std::optional<std::wstring> Quillet::Report() const {
    HWND text = description();
    if (!text) return std::nullopt;
    return WindowText(text);
}

bool Quillet::WaitWatching(Ms timeout) const {
    return WaitUntil([&] { return GetClipboardViewer() == main_; }, timeout);
}

bool Quillet::Close(Ms timeout) {
    PostMessageW(main_, WM_CLOSE, 0, 0);
    return process_.WaitExit(timeout);
}

bool Quillet::EndByMenu(UINT id, Ms timeout) {
    PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return process_.WaitExit(timeout);
}

namespace {
constexpr wchar_t kWindowClass[] = L"QuilletE2E.Window";

void RegisterWindowClass(WNDPROC proc) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    registered = RegisterClassExW(&wc) != 0;
}
}  // namespace

Window::Window(const wchar_t* title, DWORD style, RECT rect) {
    RegisterWindowClass(&Window::Proc);
    window_.reset(CreateWindowExW(0, kWindowClass, title, style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), this));
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    // Messages that arrive while the window is still being created go to the default handling.
    if (self && self->window_.get() == hwnd) return self->HandleMessage(msg, wp, lp);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd(), msg, wp, lp);
}

// A popup without caption: Wine waits two seconds for a window manager (none under Xvfb) when a
// window with a caption disappears.
AppWindow::AppWindow()
    : Window(L"Another application", WS_POPUP | WS_BORDER | WS_VISIBLE, RECT{40, 480, 360, 700}) {}

bool AppWindow::Activate() {
    return WaitUntil(
        [&] {
            if (GetForegroundWindow() == hwnd()) return true;
            SetForegroundWindow(hwnd());
            return GetForegroundWindow() == hwnd();
        },
        Ms(3000));
}

Viewer::Viewer(const wchar_t* name) : Window(name, WS_OVERLAPPED, RECT{0, 0, 100, 100}) {}

Viewer::~Viewer() {
    Leave();
}

void Viewer::Join() {
    if (joined_) return;
    joined_ = true;
    next_ = SetClipboardViewer(hwnd());
}

void Viewer::Leave() {
    if (!joined_) return;
    joined_ = false;
    ChangeClipboardChain(hwnd(), next_);
}

LRESULT Viewer::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    constexpr UINT_PTR kHoldTimer = 1;
    DWORD_PTR result = 0;
    const UINT timeout = static_cast<UINT>(kWait.count());
    switch (msg) {
        case WM_DRAWCLIPBOARD:
            ++notifications_;
            if (on_notify) on_notify();
            if (hold_clipboard.count() > 0 && OpenClipboard(hwnd())) {
                SetTimer(hwnd(), kHoldTimer, static_cast<UINT>(hold_clipboard.count()), nullptr);
                if (next_) PostMessageW(next_, msg, wp, lp);
            } else if (next_) {
                SendMessageTimeoutW(next_, msg, wp, lp, SMTO_NORMAL, timeout, &result);
            }
            return 0;
        case WM_TIMER:
            if (wp != kHoldTimer) break;
            KillTimer(hwnd(), kHoldTimer);
            CloseClipboard();
            return 0;
        case WM_CHANGECBCHAIN:
            if (reinterpret_cast<HWND>(wp) == next_)
                next_ = reinterpret_cast<HWND>(lp);
            else if (next_)
                SendMessageTimeoutW(next_, msg, wp, lp, SMTO_NORMAL, timeout, &result);
            return 0;
        default:
            break;
    }
    return Window::HandleMessage(msg, wp, lp);
}

ClipFormat UnicodeText(std::wstring_view text) {
    std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    bytes.append(sizeof(wchar_t), '\0');
    return {CF_UNICODETEXT, std::move(bytes)};
}

ClipFormat AnsiText(std::string_view sjis) {
    std::string bytes(sjis);
    bytes.push_back('\0');
    return {CF_TEXT, std::move(bytes)};
}

ClipFormat SmallDib() {
    // A 4 x 4 pixel, 24-bit bottom-up picture.
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = 4;
    header.biHeight = 4;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = 4 * 4 * 3;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    for (int i = 0; i < 16; ++i) bytes.append("\x20\x80\xF0", 3);
    return {CF_DIB, std::move(bytes)};
}

ClipFormat PrivateFormat(std::string_view bytes) {
    return {RegisterClipboardFormatW(L"QuilletE2E.Private"), std::string(bytes)};
}

bool PutOnClipboard(HWND owner, const std::vector<ClipFormat>& given) {
    // Shift-JIS bytes are what a Japanese application copies, and Windows tags its copy with the
    // Japanese locale, from which it makes the Unicode text; so the driver plays it under any.
    std::vector<ClipFormat> formats = given;
    const auto is = [](UINT f) { return [f](const ClipFormat& c) { return c.format == f; }; };
    if (std::any_of(formats.begin(), formats.end(), is(CF_TEXT)) &&
        std::none_of(formats.begin(), formats.end(), is(CF_LOCALE))) {
        formats.push_back({CF_LOCALE, std::string("\x11\x04\0\0", 4)});  // LCID 0x411
    }
    ClipboardSession session;
    // Someone else (the program reading the last copy) may hold the clipboard for a moment.
    if (!WaitUntil([&] { return (session.open = OpenClipboard(owner) != 0); })) return false;
    if (!EmptyClipboard()) return false;
    for (const auto& f : formats) {
        UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, f.bytes.empty() ? 1 : f.bytes.size()));
        if (!memory) return false;
        void* p = GlobalLock(memory.get());
        if (!p) return false;
        if (!f.bytes.empty()) std::memcpy(p, f.bytes.data(), f.bytes.size());
        GlobalUnlock(memory.get());
        if (!SetClipboardData(f.format, memory.get())) return false;
        memory.release();  // the clipboard owns it now
    }
    return true;
}

std::optional<std::wstring> ClipboardText(HWND owner) {
    ClipboardSession session;
    if (!WaitUntil([&] { return (session.open = OpenClipboard(owner) != 0); })) return std::nullopt;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data) return std::nullopt;
    const auto* p = static_cast<const wchar_t*>(GlobalLock(data));
    if (!p) return std::nullopt;
    std::wstring text(p, wcsnlen(p, GlobalSize(data) / sizeof(wchar_t)));
    GlobalUnlock(data);
    return text;
}

namespace {

// The icon windows of the shell's tray: Wine's X11 driver keeps them in a stand-alone tray
// window, its explorer in the task bar's tray window; hidden ones are top-level windows.
std::vector<HWND> TrayIconWindows() {
    std::vector<HWND> icons;
    const HWND trays[] = {FindWindowW(L"__winex11_standalone_tray", nullptr),
                          FindWindowW(L"Shell_TrayWnd", nullptr), nullptr};
    for (HWND parent : trays) {
        for (const wchar_t* cls : {L"__winex11_tray_icon", L"__wine_tray_icon"}) {
            for (HWND w = FindWindowExW(parent, nullptr, cls, nullptr); w;
                 w = FindWindowExW(parent, w, cls, nullptr)) {
                icons.push_back(w);
            }
        }
    }
    return icons;
}

// The tooltip controls of the process that shows `icon`.
std::vector<HWND> TooltipsOf(HWND icon) {
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{0, {}};
    GetWindowThreadProcessId(icon, &search.pid);
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == s->pid && ClassName(w) == TOOLTIPS_CLASSW) s->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The text that `tooltip` holds for the tool `icon`: the tooltip lives in the shell's process,
// so the request and its answer are placed in that process's memory.
std::optional<std::wstring> ToolText(HWND tooltip, HWND icon) {
    DWORD pid = 0;
    GetWindowThreadProcessId(tooltip, &pid);
    quillet::UniqueKernelHandle shell(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (!shell) return std::nullopt;
    struct Request {
        TTTOOLINFOW info;
        wchar_t text[512];
    };
    auto* remote = static_cast<Request*>(
        VirtualAllocEx(shell.get(), nullptr, sizeof(Request), MEM_COMMIT, PAGE_READWRITE));
    if (!remote) return std::nullopt;
    Request local{};
    local.info.cbSize = sizeof local.info;
    local.info.hwnd = icon;
    local.info.uId = reinterpret_cast<UINT_PTR>(icon);
    local.info.lpszText = remote->text;
    local.text[0] = L'\x1';  // stays when the tooltip has no such tool
    std::optional<std::wstring> text;
    DWORD_PTR ignored = 0;
    SIZE_T n = 0;
    if (WriteProcessMemory(shell.get(), remote, &local, sizeof local, &n) &&
        SendMessageTimeoutW(tooltip, TTM_GETTEXTW, std::size(local.text),
                            reinterpret_cast<LPARAM>(&remote->info), SMTO_NORMAL, 5000, &ignored) &&
        ReadProcessMemory(shell.get(), remote->text, local.text, sizeof local.text, &n) &&
        local.text[0] != L'\x1') {
        local.text[std::size(local.text) - 1] = L'\0';
        text = local.text;
    }
    VirtualFreeEx(shell.get(), remote, 0, MEM_RELEASE);
    return text;
}

std::optional<std::wstring> TipOf(HWND icon) {
    for (HWND tooltip : TooltipsOf(icon))
        if (auto text = ToolText(tooltip, icon)) return text;
    return std::nullopt;
}

}  // namespace

std::vector<std::wstring> TrayTips() {
    std::vector<std::wstring> tips;
    for (HWND icon : TrayIconWindows())
        if (auto tip = TipOf(icon)) tips.push_back(*tip);
    return tips;
}

}  // namespace e2e
