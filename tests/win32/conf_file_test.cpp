// Conf.txt on a real file system under Windows (or Wine): reading, hiding, safe replacement.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "platform/unique_handle.h"
#include "settings/conf_file.h"
#include "settings/conf_format.h"
#include "settings/settings.h"

namespace {

using quillet::ConfLoad;
using quillet::ConfSave;
using quillet::FormatConfText;
using quillet::Settings;
using quillet::UniqueFile;
using quillet::WindowGeometry;

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    return bytes;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Holds a file open without sharing, as another program that locked it would.
UniqueFile Lock(const std::wstring& path) {
    return UniqueFile(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

Settings Custom() {
    Settings s;
    s.FormLeft = -1500;
    s.FormTop = 300;
    s.FormWidth = 4500;
    s.FormHeight = 1800;
    s.TaskTray = 1;
    s.TimeAutoClose = 15;
    s.DispPos = u"左上隅";
    s.SearchString = u"表ソ能  ";
    s.SearchFuzzy = 1;
    s.CustomItem = u"1010101";
    s.CustomMsg = 0;
    return s;
}

constexpr WindowGeometry kGeometry{-1500.0f, 300.0f, 4500.0f, 1800.0f};

// A fresh, empty folder per test, removed with all it holds afterwards.
class ConfFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
        static int serial = 0;
        folder_ = std::wstring(temp) + L"quillet-conf-" + std::to_wstring(GetCurrentProcessId()) +
                  L"-" + std::to_wstring(++serial);
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        path_ = folder_ + L"\\Conf.txt";
        temp_ = path_ + L".tmp";
    }

    void TearDown() override { RemoveTree(folder_); }

    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring path = folder + L"\\" + name;
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(path);
                } else {
                    DeleteFileW(path.c_str());
                }
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring folder_, path_, temp_;
};

TEST_F(ConfFileTest, SaveThenLoadRoundTrip) {
    ASSERT_TRUE(ConfSave(path_, Custom(), kGeometry));
    EXPECT_EQ(ReadBytes(path_), FormatConfText(Custom(), kGeometry));
    EXPECT_FALSE(Exists(temp_));

    Settings loaded;
    EXPECT_TRUE(ConfLoad(path_, loaded));
    EXPECT_EQ(loaded, Custom());
}

TEST_F(ConfFileTest, SaveReplacesTheWholeOldContent) {
    WriteBytes(path_, std::string(100000, 'x'));
    ASSERT_TRUE(ConfSave(path_, Settings{}, {}));
    EXPECT_EQ(ReadBytes(path_), FormatConfText(Settings{}, {}));
}

TEST_F(ConfFileTest, FailedReplacementLeavesTheOldFileAndNoTempFile) {
    // The new file is written and flushed, then the old one cannot be replaced: it is locked.
    const std::string old = FormatConfText(Custom(), kGeometry);
    WriteBytes(path_, old);
    {
        const UniqueFile lock = Lock(path_);
        ASSERT_TRUE(lock);
        EXPECT_FALSE(ConfSave(path_, Settings{}, {}));
    }
    EXPECT_EQ(ReadBytes(path_), old);
    EXPECT_FALSE(Exists(temp_));
}

TEST_F(ConfFileTest, ReadOnlyFileStaysUntouched) {
    const std::string old = FormatConfText(Custom(), kGeometry);
    WriteBytes(path_, old);
    ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(ConfSave(path_, Settings{}, {}));
    EXPECT_EQ(ReadBytes(path_), old);
    EXPECT_FALSE(Exists(temp_));
}

TEST_F(ConfFileTest, StrayTempFilesThatAreNotOursAreLeftAndTheSaveGoesOn) {
    // Someone else's "Conf.txt.tmp": the new file takes a fresh name beside it.
    for (DWORD attributes : {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                             FILE_ATTRIBUTE_DIRECTORY}) {
        SCOPED_TRACE(attributes);
        WriteBytes(path_, FormatConfText(Custom(), kGeometry));
        if (attributes == FILE_ATTRIBUTE_DIRECTORY) {
            ASSERT_TRUE(CreateDirectoryW(temp_.c_str(), nullptr));
        } else {
            WriteBytes(temp_, "not ours");
            ASSERT_TRUE(SetFileAttributesW(temp_.c_str(), attributes));
        }
        ASSERT_TRUE(ConfSave(path_, Settings{}, {}));
        EXPECT_EQ(ReadBytes(path_), FormatConfText(Settings{}, {}));
        // An ordinary file: the attributes of the stray did not travel with it.
        constexpr DWORD kOdd = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                               FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
        EXPECT_EQ(GetFileAttributesW(path_.c_str()) & kOdd, 0u);
        EXPECT_EQ(GetFileAttributesW(temp_.c_str()) & attributes, attributes);
        SetFileAttributesW(temp_.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (attributes == FILE_ATTRIBUTE_DIRECTORY) {
            RemoveDirectoryW(temp_.c_str());
        } else {
            DeleteFileW(temp_.c_str());
        }
    }
}

TEST_F(ConfFileTest, NoFolderLeavesNothingBehind) {
    EXPECT_FALSE(ConfSave(folder_ + L"\\missing\\Conf.txt", Settings{}, {}));
}

TEST_F(ConfFileTest, InterruptedSaveLeavesAReadableOldFile) {
    // A process killed after writing part of the new file leaves it beside the intact old one.
    WriteBytes(path_, FormatConfText(Custom(), kGeometry));
    WriteBytes(temp_, "form left = 1\r\nform top");
    Settings loaded;
    EXPECT_TRUE(ConfLoad(path_, loaded));
    EXPECT_EQ(loaded, Custom());

    // The next save goes through and takes the stray file with it.
    ASSERT_TRUE(ConfSave(path_, Settings{}, {}));
    EXPECT_EQ(ReadBytes(path_), FormatConfText(Settings{}, {}));
    EXPECT_FALSE(Exists(temp_));
}

TEST_F(ConfFileTest, HiddenSystemOrMissingFileLeavesTheSettings) {
    WriteBytes(path_, FormatConfText(Custom(), kGeometry));
    for (DWORD attributes : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        ASSERT_TRUE(SetFileAttributesW(path_.c_str(), attributes));
        Settings s;
        EXPECT_FALSE(ConfLoad(path_, s)) << attributes;
        EXPECT_EQ(s, Settings{}) << attributes;
    }
    // Read-only and archived files are ordinary files.
    ASSERT_TRUE(
        SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    Settings s;
    EXPECT_TRUE(ConfLoad(path_, s));
    EXPECT_EQ(s, Custom());

    Settings untouched;
    EXPECT_FALSE(ConfLoad(folder_ + L"\\Other.txt", untouched));
    EXPECT_FALSE(ConfLoad(folder_, untouched));  // a folder is no settings file
    EXPECT_EQ(untouched, Settings{});
}

TEST_F(ConfFileTest, UnreadableOrOversizedFileLeavesTheSettings) {
    WriteBytes(path_, FormatConfText(Custom(), kGeometry));
    {
        const UniqueFile lock = Lock(path_);
        ASSERT_TRUE(lock);
        Settings s;
        EXPECT_FALSE(ConfLoad(path_, s));
        EXPECT_EQ(s, Settings{});
    }
    std::string huge = "form left = 1\r\n";
    huge.resize((std::size_t{16} << 20) + 1, ' ');
    WriteBytes(path_, huge);
    Settings s;
    EXPECT_FALSE(ConfLoad(path_, s));
    EXPECT_EQ(s, Settings{});
}

TEST(ConfPath, IsConfTxtBesideTheExecutable) {
    wchar_t exe[32768];
    const DWORD n = GetModuleFileNameW(nullptr, exe, 32768);
    ASSERT_GT(n, 0u);
    std::wstring expected(exe, n);
    expected.resize(expected.find_last_of(L'\\'));
    EXPECT_EQ(quillet::ConfPath(), expected + L"\\Conf.txt");
}

}  // namespace
