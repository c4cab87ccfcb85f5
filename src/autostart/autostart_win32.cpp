#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "autostart/autostart.h"
#include "platform/system.h"
#include "platform/unique_handle.h"
#include "platform/wide.h"

namespace quillet::autostart {

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

UniqueRegKey OpenUserKey(const wchar_t* path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, access, &key) != ERROR_SUCCESS) return {};
    return UniqueRegKey(key);
}

// The value's type and bytes; none when it is not there or cannot be read.
std::optional<std::pair<DWORD, std::vector<BYTE>>> ReadValue(const wchar_t* path) {
    UniqueRegKey key = OpenUserKey(path, KEY_QUERY_VALUE);
    if (!key) return std::nullopt;
    const std::wstring name = Wide(kValueName);
    DWORD type = 0, size = 0;
    std::vector<BYTE> data;
    // Another program may change the value between the two calls: ask again until it fits.
    for (LSTATUS status = ERROR_MORE_DATA; status == ERROR_MORE_DATA;) {
        data.resize(size);
        status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                                  data.empty() ? nullptr : data.data(), &size);
        if (status == ERROR_SUCCESS && size > data.size()) status = ERROR_MORE_DATA;
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return std::nullopt;
    }
    data.resize(size);
    return std::make_pair(type, std::move(data));
}

// A string value's text: the stored terminator, if any, left off; REG_EXPAND_SZ expanded, as
// Windows expands it when it starts the entry.
std::optional<std::u16string> StringOf(DWORD type, const std::vector<BYTE>& data) {
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    std::copy(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(text.size() * 2),
              reinterpret_cast<BYTE*>(text.data()));
    text.resize(std::wstring_view(text.c_str()).size());
    if (type == REG_EXPAND_SZ) {
        const DWORD need = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
        std::wstring expanded(need, L'\0');
        if (need == 0 || ExpandEnvironmentStringsW(text.c_str(), expanded.data(), need) != need) {
            return std::nullopt;
        }
        expanded.resize(need - 1);
        text = std::move(expanded);
    }
    return U16(text);
}

RunEntry ReadEntry() {
    RunEntry entry;
    if (const auto value = ReadValue(kRunKey)) entry.Value = StringOf(value->first, value->second);
    if (const auto flag = ReadValue(kApprovedKey); flag && flag->first == REG_BINARY) {
        entry.Disabled = DisabledByFlag(std::string_view(
            reinterpret_cast<const char*>(flag->second.data()), flag->second.size()));
    }
    return entry;
}

FileState Probe(std::u16string_view path) {
    if (GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES) return FileState::Exists;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileState::Missing
                                                                          : FileState::Unknown;
}

std::u16string ThisCopy() {
    return U16(sys::ExecutablePath());
}

bool WriteValue(std::u16string_view value) {
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const UniqueRegKey key(created);
    // REG_SZ: Wine starts no REG_EXPAND_SZ entry, and the path needs no expanding.
    const std::wstring text = Wide(value);
    return RegSetValueExW(key.get(), Wide(kValueName).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

void DeleteValue() {
    if (UniqueRegKey key = OpenUserKey(kRunKey, KEY_SET_VALUE)) {
        RegDeleteValueW(key.get(), Wide(kValueName).c_str());
    }
}

}  // namespace

Judged LookNow() {
    return Judge(ReadEntry(), ThisCopy(), Probe);
}

void ApplyBox(bool tickedOnLoad, bool tickedNow) {
    switch (ChangeOnApply(tickedOnLoad, tickedNow, LookNow())) {
        case Change::Write:
            WriteValue(RunValueFor(ThisCopy()));
            break;
        case Change::Delete:
            DeleteValue();
            break;
        case Change::None:
            break;
    }
}

void RepointIfGone() {
    const std::u16string exe = ThisCopy();
    if (const auto value = RepointAtStartUp(Judge(ReadEntry(), exe, Probe), exe)) {
        WriteValue(*value);
    }
}

}  // namespace quillet::autostart
