#include "counting/report.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>

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

// The fourth line's entries, one space apart.
std::u16string FigureLine(const UnicodeFigures& figures, const std::optional<LimitStatus>& limit) {
    std::u16string line;
    auto entry = [&line](std::u16string_view label) {
        if (!line.empty()) line += u' ';
        line += label;
    };
    if (const auto& m = figures.ManuscriptPages) {
        entry(u"原稿:");
        AppendNumber(line, m->Rows);
        line += u"行(";
        AppendNumber(line, m->Sheets);
        line += u"枚)";
    }
    if (figures.Utf8Bytes) {
        entry(u"UTF8:");
        AppendNumber(line, *figures.Utf8Bytes);
        line += u"byte";
    }
    if (figures.XWeighted) {
        entry(u"X:");
        AppendNumber(line, *figures.XWeighted);
        line += u'/';
        AppendNumber(line, kXMaxWeightedLength);
    }
    if (limit) {
        entry(limit->Over ? u"超過:" : u"残り:");
        AppendNumber(line, limit->Amount);
    }
    return line;
}

}  // namespace

Report BuildReport(const CountResult& r, const DerivedFigures& d, std::u16string_view customItem,
                   const UnicodeFigures& figures, int32_t charLimit) {
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

    const auto limit = CheckLimit(r.Chars, charLimit);
    const std::u16string line4 = FigureLine(figures, limit);

    const int64_t widest = std::max({Width(line1), Width(line2), Width(line3), Width(line4)});
    Report report;
    report.HasFigureLine = !line4.empty();
    report.OverLimit = limit && limit->Over;
    report.ReportWidth =
        static_cast<int32_t>(std::min<int64_t>(widest, std::numeric_limits<int32_t>::max()));
    report.Text.reserve(line1.size() + line2.size() + line3.size() + line4.size() + 6);
    if (!line1.empty()) report.Text.append(line1).append(u"\r\n");
    if (!line2.empty()) report.Text.append(line2).append(u"\r\n");
    report.Text += line3;
    if (report.HasFigureLine) {
        if (!report.Text.empty() && !report.Text.ends_with(u"\r\n")) report.Text += u"\r\n";
        report.Text += line4;
    }
    return report;
}

}  // namespace quillet
