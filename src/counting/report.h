// The count report: up to three lines of the enabled items, an optional fourth of the figures
// taken from the Unicode text and the limit, and the width of its widest line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "counting/count.h"
#include "counting/figures.h"

namespace quillet {

// The seven report items, in the order of the custom-item flags and of the settings list.
inline constexpr std::u16string_view kReportItems[7] = {u"字数", u"改行",     u"Byte数", u"全角",
                                                        u"半角", u"スペース", u"タブ"};

struct Report {
    std::u16string Text;
    // Greatest Shift-JIS byte length of the lines, without their CR LF; 0 when all are empty.
    // Saturates at INT32_MAX: it only sizes the popup.
    int32_t ReportWidth = 0;
    // The fourth line is there: the popup is one line taller.
    bool HasFigureLine = false;
    // 字数 is over the limit: the report is drawn in red and the tray tip begins with 「超過」.
    bool OverLimit = false;
};

// `customItem`: the n-th character "1" shows the n-th item; anything else, or a missing
// character, hides it; characters after the seventh are ignored.
// The fourth line holds, in this order and one space apart, 「原稿:R行(S枚)」, 「UTF8:Nbyte」,
// 「X:N/280」 for each figure present in `figures`, and 「残り:n」 or 「超過:n」 when `charLimit`
// is above 0. It follows the first three after a CR LF, unless they are empty or already end with
// one. Without figures and limit the report is the three lines alone.
Report BuildReport(const CountResult& result, const DerivedFigures& derived,
                   std::u16string_view customItem, const UnicodeFigures& figures = {},
                   int32_t charLimit = 0);

}  // namespace quillet
