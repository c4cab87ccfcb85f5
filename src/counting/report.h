// The count report: up to three lines of the enabled items, and the width of its widest line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "counting/count.h"

namespace quillet {

// The seven report items, in the order of the custom-item flags and of the settings list.
inline constexpr std::u16string_view kReportItems[7] = {u"字数", u"改行",     u"Byte数", u"全角",
                                                        u"半角", u"スペース", u"タブ"};

struct Report {
    std::u16string Text;
    // Greatest Shift-JIS byte length of the three lines, without their CR LF; 0 when all are
    // empty. Saturates at INT32_MAX: it only sizes the popup.
    int32_t ReportWidth = 0;
};

// `customItem`: the n-th character "1" shows the n-th item; anything else, or a missing
// character, hides it; characters after the seventh are ignored.
Report BuildReport(const CountResult& result, const DerivedFigures& derived,
                   std::u16string_view customItem);

}  // namespace quillet
