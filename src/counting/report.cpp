#include "counting/report.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "text/text.h"

namespace quillet {
namespace {

void AppendNumber(std::u16string& out, int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);  // ASCII digits and sign widen unchanged
}

bool Shown(std::u16string_view customItem, std::size_t item) {
    return item < customItem.size() && customItem[item] == u'1';
}

int64_t Width(std::u16string_view line) {
    return text::SjisByteLen(line);
}

}  // namespace

Report BuildReport(const CountResult& r, const DerivedFigures& d, std::u16string_view customItem) {
    std::u16string line1, line2, line3;
    if (Shown(customItem, 0)) {
        line1 += u"字数:";
        AppendNumber(line1, r.Chars);
        line1 += u'(';
        AppendNumber(line1, d.CharsNet);
        line1 += u") ";
    }
    if (Shown(customItem, 1)) {
        line1 += u"改行:";
        AppendNumber(line1, r.LineBreaks);
        line1 += u' ';
    }
    if (Shown(customItem, 2)) {
        AppendNumber(line1, r.Bytes);
        line1 += u"byte";
    }
    if (Shown(customItem, 3)) {
        line2 += u"全角:";
        AppendNumber(line2, r.FullWidth);
        line2 += u'(';
        AppendNumber(line2, d.FullWidthNet);
        line2 += u") ";
    }
    if (Shown(customItem, 4)) {
        line2 += u"半角:";
        AppendNumber(line2, d.HalfWidth);
        line2 += u'(';
        AppendNumber(line2, d.HalfWidthNet);
        line2 += u')';
    }
    if (Shown(customItem, 5)) {
        line3 += u"全SP:";
        AppendNumber(line3, r.FullSpaces);
        line3 += u" 半SP:";
        AppendNumber(line3, r.HalfSpaces);
        line3 += u' ';
    }
    if (Shown(customItem, 6)) {
        line3 += u"タブ:";
        AppendNumber(line3, r.Tabs);
        line3 += u' ';
    }
    if (!r.SearchStr.empty()) {
        line3 += r.SearchStr;
        line3 += u':';
        AppendNumber(line3, r.SearchCount);
    }

    const int64_t widest = std::max({Width(line1), Width(line2), Width(line3)});
    Report report;
    report.ReportWidth =
        static_cast<int32_t>(std::min<int64_t>(widest, std::numeric_limits<int32_t>::max()));
    report.Text.reserve(line1.size() + line2.size() + line3.size() + 4);
    if (!line1.empty()) report.Text.append(line1).append(u"\r\n");
    if (!line2.empty()) report.Text.append(line2).append(u"\r\n");
    report.Text += line3;
    return report;
}

}  // namespace quillet
