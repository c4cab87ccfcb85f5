// Starting with Windows: the value under the user's Run key that starts the program at sign-in,
// read and judged for the running copy. Apart from the registry, so that every rule is tested
// natively; autostart.h reads and writes the registry with them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::autostart {

// The value's name under HKCU\Software\Microsoft\Windows\CurrentVersion\Run, and under Task
// Manager's StartupApproved\Run.
inline constexpr std::u16string_view kValueName = u"Quillet";

// The value that starts this copy: its full path in quotes, so that blanks in the path cannot
// split the command line.
std::u16string RunValueFor(std::u16string_view exePath);

// What the file system says about a path: there, not found, or not known (access denied, a
// drive or share that does not answer).
enum class FileState { Exists, Missing, Unknown };
using FileProbe = std::function<FileState(std::u16string_view path)>;

// The program a Run value starts, read as CreateProcess reads a command line: a quoted path as
// written, whatever follows it being arguments. An unquoted value is cut at each blank in turn
// and the first piece that names something that exists wins (".exe" added to a piece without an
// extension, as Windows adds it); when none exists, the first piece that ends in ".exe", else the
// first word. Empty when the value holds no path.
std::u16string ProgramOf(std::u16string_view runValue, const FileProbe& probe);

// The root that must answer before "not found" may mean gone: "C:\" of "C:\x\Quillet.exe",
// "\\server\share\" of a UNC path; empty for a relative path, which Windows looks for elsewhere.
std::u16string RootOf(std::u16string_view path);

// Task Manager's flag (REG_BINARY): the first byte even means enabled, odd disabled. No flag, or
// an empty one, is enabled.
bool DisabledByFlag(std::string_view flagBytes);

// The entry as the registry holds it.
struct RunEntry {
    // The value's text, environment variables expanded; none when there is no string value.
    std::optional<std::u16string> Value;
    bool Disabled = false;  // by Task Manager
};

enum class Owner {
    None,       // no value, or one that names no program
    ThisCopy,   // the running copy starts at sign-in
    OtherCopy,  // another program that exists, or one that cannot be looked at now
    Gone,       // a program that is no longer there (its folder was moved or deleted)
};

struct Judged {
    Owner owner = Owner::None;
    std::u16string Program;  // what the value starts
    bool Disabled = false;
};

// Which copy the entry starts. Paths are compared as Windows compares file names.
Judged Judge(const RunEntry& entry, std::u16string_view thisExe, const FileProbe& probe);

// The box is ticked only when this copy really starts at sign-in.
bool BoxTicked(const Judged& judged);

// The box's tooltip: what it does, and why the box is clear when an entry is there.
std::u16string BoxTooltip(const Judged& judged);

// At start-up: the value that points an entry whose program is gone at this copy (the user moved
// the folder); none for every other entry, another copy's above all.
std::optional<std::u16string> RepointAtStartUp(const Judged& judged, std::u16string_view thisExe);

enum class Change { None, Write, Delete };

// The dialog's apply step. `now` is the entry read again when applying: a box cleared deletes the
// value only while it still names this copy, never one that another copy wrote meanwhile. A box
// that shows what it showed on load writes nothing.
Change ChangeOnApply(bool tickedOnLoad, bool tickedNow, const Judged& now);

}  // namespace quillet::autostart
