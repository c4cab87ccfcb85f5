// The program's own texts and unit conversions, portable so that they are tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet::app {

// "Ver" + major + "." + minor and revision run together: 0.5.x.0 reads "Ver0.50".
inline std::u16string FormatAppVersion(int major, int minor, int revision) {
    auto number = [](int n) {
        const std::string digits = std::to_string(n);
        return std::u16string(digits.begin(), digits.end());
    };
    return u"Ver" + number(major) + u"." + number(minor) + number(revision);
}

inline std::u16string FormatAppTitle(std::u16string_view version) {
    return u"Quillet！ " + std::u16string(version);
}

// The second instance's message, naming the executable as it is called now.
inline std::u16string AlreadyRunningMessage(std::u16string_view exeStem) {
    return u"Quillet！(" + std::u16string(exeStem) + u") は既に起動中です！";
}
inline constexpr std::u16string_view kAlreadyRunningCaption = u"起動中！";

// The caption of the tray menu's version item.
inline std::u16string VersionItemCaption(std::u16string_view exeStem, std::u16string_view version,
                                         std::u16string_view company) {
    return std::u16string(exeStem) + u" " + std::u16string(version) + u"  " +
           std::u16string(company);
}

// The main window's text before the first count.
inline constexpr std::u16string_view kInstructionText =
    u"カウントしたい文字列を選択して\r\nコピー操作を行ってください --\r\n";

// The notice of going into the tray: the title, an empty line, then the announcement.
inline std::u16string TrayNoticeText(std::u16string_view title) {
    return std::u16string(title) + u"\r\n\r\nタスクトレイに収納します！";
}
inline constexpr std::u16string_view kEndNoticeText = u"終了します！";

// The Tag, and so the tray icon's tip, after a count in tray mode. Over the limit it begins with
// 「超過」, which a tip cut short still shows.
inline std::u16string TrayTipText(std::u16string_view title, std::u16string_view report,
                                  bool overLimit = false) {
    return (overLimit ? u"超過 - " : u"- ") + std::u16string(title) + u" -\r\n" +
           std::u16string(report);
}

// The one word at closing when the settings could not be written: where, why it may be, and
// that the old file is still there.
inline std::u16string SaveFailedMessage(std::u16string_view path) {
    return u"次の場所に設定を保存できませんでした。\r\n\r\n" + std::u16string(path) +
           u"\r\n\r\nフォルダーに書き込めないか、ファイルがほかのプログラムに使われています。"
           u"前の設定ファイルはそのまま残り、今回の設定の変更は保存されません。\r\n"
           u"Quillet！ を書き込めるフォルダー（ドキュメントなど）に置くと保存できます。";
}

// ヘルプ when the page could not be opened: a click that does nothing would tell the user nothing.
// The page's expected place, and the two usual reasons.
inline std::u16string HelpPageFailedMessage(std::u16string_view path) {
    return u"ヘルプのページを開けませんでした。\r\n\r\n" + std::u16string(path) +
           u"\r\n\r\nQuillet.exe と同じフォルダーに Quillet.html があるか確かめてください。"
           u"zip ファイルの中から起動したときは、すべて展開してから起動してください。";
}

}  // namespace quillet::app
