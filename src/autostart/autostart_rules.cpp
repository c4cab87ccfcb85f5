#include "autostart/autostart_rules.h"

#include <vector>

#include "text/text.h"

namespace quillet::autostart {

namespace {

constexpr std::u16string_view kTip = u"Windows にサインインしたときに Quillet！ を起動します";

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

bool EndsWithExe(std::u16string_view path) {
    return path.size() >= 4 && text::SameFileName(path.substr(path.size() - 4), u".exe");
}

// Windows adds ".exe" to a program named without an extension.
std::u16string WithExtension(std::u16string_view path) {
    const std::size_t name = path.find_last_of(u"\\/");
    const std::u16string_view last = name == std::u16string_view::npos ? path : path.substr(name);
    std::u16string program(path);
    if (last.find(u'.') == std::u16string_view::npos) program += u".exe";
    return program;
}

std::u16string_view TrimBlanks(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

std::u16string RunValueFor(std::u16string_view exePath) {
    std::u16string value;
    value.reserve(exePath.size() + 2);
    value.append(1, u'"').append(exePath).append(1, u'"');
    return value;
}

std::u16string ProgramOf(std::u16string_view runValue, const FileProbe& probe) {
    const std::u16string_view value = TrimBlanks(runValue);
    if (value.empty()) return {};
    if (value.front() == u'"') {
        const std::u16string_view rest = value.substr(1);
        return std::u16string(rest.substr(0, rest.find(u'"')));
    }
    // Every place the path could end: before each run of blanks, and at the end.
    std::vector<std::u16string_view> pieces;
    for (std::size_t i = 1; i < value.size(); ++i) {
        if (IsBlank(value[i]) && !IsBlank(value[i - 1])) pieces.push_back(value.substr(0, i));
    }
    pieces.push_back(value);
    for (std::u16string_view piece : pieces) {
        const std::u16string program = WithExtension(piece);
        if (probe(program) == FileState::Exists) return program;
    }
    for (std::u16string_view piece : pieces) {
        if (EndsWithExe(piece)) return std::u16string(piece);
    }
    return WithExtension(pieces.front());
}

std::u16string RootOf(std::u16string_view path) {
    if (path.size() >= 3 && path[1] == u':' && (path[2] == u'\\' || path[2] == u'/')) {
        return std::u16string(path.substr(0, 2)).append(1, u'\\');
    }
    if (path.size() > 2 && path.substr(0, 2) == u"\\\\") {
        // \\server\share\ : the server and the share, both needed.
        const std::size_t server = path.find(u'\\', 2);
        if (server == std::u16string_view::npos || server == 2) return {};
        const std::size_t share = path.find(u'\\', server + 1);
        if (share == server + 1) return {};
        if (share == std::u16string_view::npos) return std::u16string(path).append(1, u'\\');
        return std::u16string(path.substr(0, share + 1));
    }
    return {};
}

bool DisabledByFlag(std::string_view flagBytes) {
    return !flagBytes.empty() && (static_cast<unsigned char>(flagBytes.front()) & 1) != 0;
}

Judged Judge(const RunEntry& entry, std::u16string_view thisExe, const FileProbe& probe) {
    Judged judged;
    judged.Disabled = entry.Disabled;
    if (!entry.Value) return judged;
    judged.Program = ProgramOf(*entry.Value, probe);
    if (judged.Program.empty()) return judged;
    if (text::SameFileName(judged.Program, thisExe)) {
        judged.owner = Owner::ThisCopy;
        return judged;
    }
    // Gone only when the root answers: a copy on a USB stick that is out, or on a share that
    // does not answer now, still starts once it is back.
    const std::u16string root = RootOf(judged.Program);
    const bool gone = probe(judged.Program) == FileState::Missing && !root.empty() &&
                      probe(root) == FileState::Exists;
    judged.owner = gone ? Owner::Gone : Owner::OtherCopy;
    return judged;
}

bool BoxTicked(const Judged& judged) {
    return judged.owner == Owner::ThisCopy && !judged.Disabled;
}

std::u16string BoxTooltip(const Judged& judged) {
    // Short lines with breaks of their own: a tooltip wraps only at blanks, which Japanese text
    // does not have.
    std::u16string tip(kTip);
    const std::u16string program = u"\r\n" + judged.Program;
    switch (judged.owner) {
        case Owner::None:
            break;
        case Owner::ThisCopy:
            if (judged.Disabled) {
                tip +=
                    u"\r\nタスク マネージャーの「スタートアップ」で無効にされているため、"
                    u"\r\nいまは起動しません。起動するには、そこで有効にしてください。";
            }
            break;
        case Owner::OtherCopy:
            if (judged.Disabled) {
                tip += u"\r\n別の場所にある次の Quillet！ が登録されています。" + program +
                       u"\r\nただし、タスク マネージャーで無効にされています。";
            } else {
                tip += u"\r\nいまは、別の場所にある次の Quillet！ が起動します。" + program +
                       u"\r\nチェックすると、この Quillet！ に切り替えます。";
            }
            break;
        case Owner::Gone:
            tip += u"\r\n登録されている次の Quillet！ が見つからないため、起動しません。" + program;
            break;
    }
    return tip;
}

std::optional<std::u16string> RepointAtStartUp(const Judged& judged, std::u16string_view thisExe) {
    if (judged.owner != Owner::Gone) return std::nullopt;
    return RunValueFor(thisExe);
}

Change ChangeOnApply(bool tickedOnLoad, bool tickedNow, const Judged& now) {
    if (tickedNow == tickedOnLoad) return Change::None;
    if (tickedNow) return Change::Write;
    return now.owner == Owner::ThisCopy ? Change::Delete : Change::None;
}

}  // namespace quillet::autostart
