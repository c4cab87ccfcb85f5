#include "settings/conf_file.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system.h"
#include "platform/unique_handle.h"

namespace quillet {
namespace {

// Conf.txt holds a few hundred bytes; a file this large is not one the program wrote, and
// reading it would only tie up memory.
constexpr std::size_t kMaxConfBytes = std::size_t{16} << 20;

// A hidden or system file, a folder, or nothing at all: all count as "no settings file".
bool IsOrdinaryFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    constexpr DWORD kExcluded =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (attributes & kExcluded) == 0;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// The new file beside the old one: deleted again unless it was moved into place.
class TempFile {
public:
    explicit TempFile(std::wstring path) : path_(std::move(path)) {}
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (!path_.empty()) DeleteFileW(path_.c_str());
    }
    void Keep() { path_.clear(); }

private:
    std::wstring path_;
};

// "Conf.txt.<process>-<tick>-<attempt>.tmp": a name no earlier save is likely to have left.
std::wstring FreshTempName(const std::wstring& path, int attempt) {
    wchar_t suffix[48];
    swprintf(suffix, sizeof suffix / sizeof suffix[0], L".%lx-%lx-%d.tmp",
             static_cast<unsigned long>(GetCurrentProcessId()),
             static_cast<unsigned long>(GetTickCount()), attempt);
    return path + suffix;
}

// The new file beside `path`, opened for writing. `path` + ".tmp" first, so that one a crash left
// behind is taken along by the next save; when a stray file of that name cannot be overwritten
// (read-only, hidden, in use, a folder), a fresh name instead.
UniqueFile CreateTempBeside(const std::wstring& path, std::wstring& tempPath) {
    tempPath = path + L".tmp";
    // A stray that is read-only, hidden or a system file was put there by someone: leave it.
    // (Windows would refuse to overwrite it; Wine would overwrite it and keep its attributes,
    // which the moved file would then pass on to Conf.txt.)
    constexpr DWORD kNotOurs = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                               FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    const DWORD attributes = GetFileAttributesW(tempPath.c_str());
    UniqueFile file;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kNotOurs) == 0) {
        file.reset(CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return file;
    }
    constexpr int kFreshNames = 16;
    for (int attempt = 1; attempt <= kFreshNames; ++attempt) {
        tempPath = FreshTempName(path, attempt);
        file.reset(CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return file;
        // Only a name that is taken is worth another try; a folder that refuses is final.
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS &&
            error != ERROR_ACCESS_DENIED) {
            break;
        }
    }
    return UniqueFile();
}

bool SaveThroughTempFile(const std::wstring& path, std::string_view bytes) {
    if (ConfIsReadOnly(path)) return false;
    std::wstring tempPath;
    std::optional<TempFile> temp;  // declared before the handle, so deleted after it is closed
    UniqueFile file = CreateTempBeside(path, tempPath);
    if (!file) return false;
    temp.emplace(tempPath);
    // On disk before it replaces anything, so a crash leaves either the old or the new file.
    if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) return false;
    file.reset();
    // Not ReplaceFileW: Wine's version deletes the old file before it moves the new one in.
    if (!MoveFileExW(tempPath.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return false;
    }
    temp->Keep();
    return true;
}

}  // namespace

bool ConfIsReadOnly(const std::wstring& path) {
    // A read-only Conf.txt is the user's word that it stays as it is. Windows refuses to replace
    // it anyway; Wine would not, so ask first.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ConfPath() {
    return sys::ExecutableFolder() + L"\\Conf.txt";
}

bool ConfLoad(const std::wstring& path, Settings& settings) {
    if (!IsOrdinaryFile(path)) return false;
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    try {
        std::string bytes;
        char buffer[16384];
        bool complete = false;
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) break;
            if (got == 0) {
                complete = true;
                break;
            }
            if (bytes.size() + got > kMaxConfBytes) return false;
            bytes.append(buffer, got);
        }
        // After a read error only the lines that ended before it count: a cut-off value would
        // be a value nobody wrote.
        if (!complete) bytes.resize(bytes.rfind('\r') + 1);  // npos + 1 == 0: nothing
        ApplyConfText(bytes, settings);
        return complete;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool ConfSave(const std::wstring& path, const Settings& settings, const WindowGeometry& geometry) {
    // Closing goes on whatever happens here: no exception may leave.
    try {
        return SaveThroughTempFile(path, FormatConfText(settings, geometry));
    } catch (...) {
        return false;
    }
}

}  // namespace quillet
