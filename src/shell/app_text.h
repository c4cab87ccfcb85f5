// The program's own texts and unit conversions, portable so that they are tested natively.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillet::shell {

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

// The Tag, and so the tray icon's tip, after a count in tray mode.
inline std::u16string TrayTipText(std::u16string_view title, std::u16string_view report) {
    return u"- " + std::u16string(title) + u" -\r\n" + std::u16string(report);
}

// The one word at closing when the settings could not be written: where, why it may be, and
// that the old file is still there.
inline std::u16string SaveFailedMessage(std::u16string_view path) {
    return u"次の場所に設定を保存できませんでした。\r\n\r\n" + std::u16string(path) +
           u"\r\n\r\nフォルダーに書き込めないか、ファイルがほかのプログラムに使われています。"
           u"前の設定ファイルはそのまま残り、今回の設定の変更は保存されません。\r\n"
           u"Quillet！ を書き込めるフォルダー（ドキュメントなど）に置くと保存できます。";
}

// Twips per pixel for a screen resolution, rounded (15 at 96 dpi). A resolution the system
// cannot tell (0 or less) is taken as 96 dpi rather than dividing by it.
constexpr int32_t TwipsPerPixel(int dotsPerInch) {
    if (dotsPerInch <= 0) return 15;
    const int32_t tpp = (1440 + dotsPerInch / 2) / dotsPerInch;
    return tpp < 1 ? 1 : tpp;
}

// Twips to pixels, to the nearest pixel, for negative positions (screens left of the primary)
// as well; values beyond the pixel range are clamped rather than wrapped.
inline int32_t TwipsToPixels(double twips, int32_t twipsPerPixel) {
    if (twipsPerPixel <= 0) twipsPerPixel = 15;
    const double pixels = std::round(twips / twipsPerPixel);
    if (std::isnan(pixels)) return 0;
    if (pixels < -1e9) return -1000000000;
    if (pixels > 1e9) return 1000000000;
    return static_cast<int32_t>(pixels);
}

}  // namespace quillet::shell
