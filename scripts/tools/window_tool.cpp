// Looks at or closes a window of a running program, for scripts.
//   quillet_window_tool.exe text CLASS [CONTROL_ID]  prints the window's text as UTF-8
//   quillet_window_tool.exe close CLASS              asks the window to close, waits until it has
//   quillet_window_tool.exe command CLASS ID         chooses the menu command ID of the window
//   quillet_window_tool.exe press CLASS CAPTION      presses the window's button with that caption
//   quillet_window_tool.exe wait CLASS [SECONDS]     waits until a visible window of CLASS exists
//   quillet_window_tool.exe gone CLASS [SECONDS]     waits until no visible window of CLASS exists
//   quillet_window_tool.exe post CLASS MSG WPARAM LPARAM
//                                                    posts a message (numbers: decimal or 0x hex)
// Exits 1 when the window (or control) does not exist, or did not close or appear in time
// (10 s unless given).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

int PrintText(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return 1;
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(copied);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), bytes,
                        nullptr, nullptr);
    // Bytes as they are: no CR added before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    return 0;
}

int Close(HWND hwnd) {
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    for (int i = 0; i < 100; ++i) {
        if (!IsWindow(hwnd)) return 0;
        Sleep(100);
    }
    return 1;
}

int Command(HWND hwnd, const wchar_t* id) {
    const auto command = static_cast<WORD>(std::wcstol(id, nullptr, 10));
    return PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(command, 0), 0) ? 0 : 1;
}

int Press(HWND hwnd, const std::wstring& caption) {
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t kind[16] = {}, text[256] = {};
        GetClassNameW(child, kind, 16);
        GetWindowTextW(child, text, 256);
        if (_wcsicmp(kind, L"Button") == 0 && caption == text && IsWindowVisible(child)) {
            return PostMessageW(child, BM_CLICK, 0, 0) ? 0 : 1;
        }
    }
    return 1;
}

// A visible top-level window of the class, of any process; menus ("#32768") included.
HWND FindVisible(const wchar_t* className) {
    struct Search {
        const wchar_t* name;
        HWND found;
    } search{className, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            wchar_t name[256] = {};
            GetClassNameW(hwnd, name, 256);
            if (IsWindowVisible(hwnd) && std::wcscmp(name, s.name) == 0) {
                s.found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int WaitFor(const wchar_t* className, bool present, double seconds) {
    for (int waited = 0; waited <= seconds * 1000; waited += 20) {
        if ((FindVisible(className) != nullptr) == present) return 0;
        Sleep(20);
    }
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fputs(
            "usage: quillet_window_tool text CLASS [CONTROL_ID] | close CLASS | command CLASS ID"
            " | press CLASS CAPTION | wait CLASS [S] | gone CLASS [S] | post CLASS MSG WPARAM"
            " LPARAM\n",
            stderr);
        return 2;
    }
    const std::wstring verb = argv[1];
    const double seconds = argc > 3 ? std::wcstod(argv[3], nullptr) : 10.0;
    if (verb == L"wait") return WaitFor(argv[2], true, seconds);
    if (verb == L"gone") return WaitFor(argv[2], false, seconds);
    HWND hwnd = FindWindowW(argv[2], nullptr);
    if (verb == L"post") {
        if (!hwnd || argc < 6) return 1;
        const auto number = [](const wchar_t* text) { return std::wcstoull(text, nullptr, 0); };
        return PostMessageW(hwnd, static_cast<UINT>(number(argv[3])),
                            static_cast<WPARAM>(number(argv[4])),
                            static_cast<LPARAM>(number(argv[5])))
                   ? 0
                   : 1;
    }
    if (!hwnd) return 1;
    if (verb == L"close") return Close(hwnd);
    if (verb == L"command") return argc > 3 ? Command(hwnd, argv[3]) : 2;
    if (verb == L"press") return argc > 3 ? Press(hwnd, argv[3]) : 2;
    if (argc > 3) hwnd = GetDlgItem(hwnd, std::wcstol(argv[3], nullptr, 10));
    if (!hwnd) return 1;
    return PrintText(hwnd);
}
