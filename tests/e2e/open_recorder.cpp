// Stands in for the browser in the end-to-end tests: registered for .html in the test's Wine
// prefix, it appends the path it was asked to open to a file, one Shift-JIS line each.
//   quillet_open_recorder.exe RECORD_FILE PATH
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    std::wstring line = argv[2];
    line += L"\r\n";
    const int n = WideCharToMultiByte(932, 0, line.data(), static_cast<int>(line.size()), nullptr,
                                      0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(932, 0, line.data(), static_cast<int>(line.size()), bytes.data(), n,
                        nullptr, nullptr);
    // The test polls the record by reading it; a write that meets one of those reads waits.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 200 && file == INVALID_HANDLE_VALUE; ++attempt) {
        file = CreateFileW(argv[1], GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_SHARING_VIOLATION) return 1;
        if (file == INVALID_HANDLE_VALUE) Sleep(10);
    }
    if (file == INVALID_HANDLE_VALUE) return 1;
    // Wine does not honour FILE_APPEND_DATA alone: move to the end by hand.
    SetFilePointer(file, 0, nullptr, FILE_END);
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 1;
}
