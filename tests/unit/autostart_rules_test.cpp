// Starting with Windows: reading a Run value, judging it for the running copy, and what the
// box, its tooltip, start-up and the apply step make of it. The file system is invented.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "autostart/autostart_rules.h"

namespace quillet::autostart {
namespace {

constexpr char16_t kThis[] = u"C:\\Users\\友子\\Quillet\\Quillet.exe";
constexpr std::u16string_view kPlainTip = u"Windows にサインインしたときに Quillet！ を起動します";

// C:\ answers, D:\ (a USB stick that is out) does not; "C:\Locked" cannot be looked into.
FileProbe Disk(std::set<std::u16string> files) {
    return [files = std::move(files)](std::u16string_view path) {
        if (path.starts_with(u"D:") || path.starts_with(u"C:\\Locked")) return FileState::Unknown;
        if (path == u"C:\\" || files.contains(std::u16string(path))) return FileState::Exists;
        return FileState::Missing;
    };
}

std::string Narrow(std::u16string_view s) {
    std::string out;
    for (char16_t c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

TEST(AutostartRules, ProgramOfAValueIsReadAsWindowsReadsACommandLine) {
    const FileProbe disk = Disk({u"C:\\Program Files\\Q\\Quillet.exe", u"C:\\Q\\Quillet.exe"});
    const FileProbe hijacked = Disk({u"C:\\Program.exe", u"C:\\Program Files\\Q\\Quillet.exe"});
    const struct {
        std::u16string value;
        const FileProbe& probe;
        std::u16string program;
    } cases[] = {
        {u"\"C:\\Program Files\\Q\\Quillet.exe\"", disk, u"C:\\Program Files\\Q\\Quillet.exe"},
        {u"  \"C:\\Q\\Quillet.exe\" /min", disk, u"C:\\Q\\Quillet.exe"},
        {u"\"C:\\Q\\Quillet.exe", disk, u"C:\\Q\\Quillet.exe"},
        {u"C:\\Program Files\\Q\\Quillet.exe -x", disk, u"C:\\Program Files\\Q\\Quillet.exe"},
        {u"C:\\Program Files\\Q\\Quillet.exe", hijacked, u"C:\\Program.exe"},
        {u"C:\\Q\\Quillet\t-x", disk, u"C:\\Q\\Quillet.exe"},
        {u"C:\\old dir\\Quillet.exe  -x", disk, u"C:\\old dir\\Quillet.exe"},
        {u"C:\\v1.2\\prog x", disk, u"C:\\v1.2\\prog.exe"},
        {u"", disk, u""},
        {u" \t", disk, u""},
        {u"\"\" x", disk, u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgramOf(c.value, c.probe), c.program) << Narrow(c.value);
}

TEST(AutostartRules, RootsAndTaskManagersFlag) {
    const std::pair<std::u16string, std::u16string> roots[] = {
        {u"C:\\x\\Quillet.exe", u"C:\\"},
        {u"c:/x", u"c:\\"},
        {u"\\\\pc\\share\\Quillet.exe", u"\\\\pc\\share\\"},
        {u"\\\\pc\\share", u"\\\\pc\\share\\"},
        {u"\\\\pc", u""},
        {u"C:Quillet.exe", u""},
        {u"Quillet.exe", u""}};
    for (const auto& [path, root] : roots) EXPECT_EQ(RootOf(path), root) << Narrow(path);

    using namespace std::string_view_literals;
    EXPECT_FALSE(DisabledByFlag(""));
    EXPECT_FALSE(DisabledByFlag("\x02\0\0\0\0\0\0\0\0\0\0\0"sv));
    EXPECT_FALSE(DisabledByFlag("\x06"));
    EXPECT_TRUE(DisabledByFlag("\x03\0\0\0\x10"sv));
    EXPECT_TRUE(DisabledByFlag("\xff"));
}

TEST(AutostartRules, TheEntryIsJudgedForThisCopy) {
    const FileProbe disk = Disk({kThis, u"C:\\Other\\Quillet.exe"});
    const std::u16string other = u"C:\\Other\\Quillet.exe";
    const struct {
        std::optional<std::u16string> value;
        bool disabled;
        Owner owner;
        bool ticked;
        std::u16string_view tipAlso;  // in the tooltip after the plain text
    } cases[] = {
        {std::nullopt, false, Owner::None, false, u""},
        {u"", false, Owner::None, false, u""},
        {RunValueFor(kThis), false, Owner::ThisCopy, true, u""},
        // Case as Windows ignores it; width is not case.
        {u"c:\\users\\友子\\quillet\\QUILLET.EXE /x", false, Owner::ThisCopy, true, u""},
        {u"\"Ｃ:\\Users\\友子\\Quillet\\Quillet.exe\"", false, Owner::OtherCopy, false, u"Ｃ:"},
        {RunValueFor(kThis), true, Owner::ThisCopy, false, u"タスク マネージャー"},
        {RunValueFor(other), false, Owner::OtherCopy, false, u"起動します。\r\nC:\\Other"},
        {RunValueFor(other), true, Owner::OtherCopy, false, u"無効"},
        {u"\"C:\\Moved\\Quillet.exe\"", false, Owner::Gone, false, u"見つからない"},
        // Not known to be gone: a drive that is out, a folder that cannot be read, a relative
        // path that Windows looks for elsewhere.
        {u"\"D:\\Quillet\\Quillet.exe\"", false, Owner::OtherCopy, false, u"D:\\Quillet"},
        {u"\"C:\\Locked\\Quillet.exe\"", false, Owner::OtherCopy, false, u""},
        {u"Quillet.exe", false, Owner::OtherCopy, false, u""},
    };
    for (const auto& c : cases) {
        const Judged judged = Judge({c.value, c.disabled}, kThis, disk);
        const std::string name = Narrow(c.value.value_or(u"(none)"));
        EXPECT_EQ(judged.owner, c.owner) << name;
        EXPECT_EQ(BoxTicked(judged), c.ticked) << name;
        const std::u16string tip = BoxTooltip(judged);
        EXPECT_TRUE(tip.starts_with(kPlainTip)) << name;
        EXPECT_NE(tip.find(c.tipAlso), std::u16string::npos) << name;
        EXPECT_EQ(tip.size() > kPlainTip.size(),
                  c.disabled || c.owner == Owner::OtherCopy || c.owner == Owner::Gone)
            << name;
        // Start-up mends only an entry whose program is gone.
        const auto repoint = RepointAtStartUp(judged, kThis);
        EXPECT_EQ(repoint.has_value(), c.owner == Owner::Gone) << name;
        if (repoint) {
            EXPECT_EQ(*repoint, u"\"C:\\Users\\友子\\Quillet\\Quillet.exe\"");
        }
    }
}

TEST(AutostartRules, ApplyWritesOnATickAndDeletesOnlyThisCopysValue) {
    const struct {
        bool onLoad, now;
        Owner owner;  // when applying
        Change change;
    } cases[] = {
        {false, false, Owner::OtherCopy, Change::None},
        {true, true, Owner::ThisCopy, Change::None},
        {false, true, Owner::None, Change::Write},
        {false, true, Owner::OtherCopy, Change::Write},
        {true, false, Owner::ThisCopy, Change::Delete},
        {true, false, Owner::OtherCopy, Change::None},
        {true, false, Owner::None, Change::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChangeOnApply(c.onLoad, c.now, {c.owner, u"", false}), c.change)
            << c.onLoad << c.now << static_cast<int>(c.owner);
    }
}

}  // namespace
}  // namespace quillet::autostart
