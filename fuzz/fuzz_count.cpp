// Arbitrary UTF-16 texts and patterns: the counts must equal the plain sliding comparison and
// keep their identities, and the figures stay within their bounds, whatever the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "counting/count.h"
#include "counting/figures.h"
#include "counting/report.h"
#include "text/text.h"

namespace {

int64_t SlidingCount(std::u16string_view text, std::u16string_view pat, bool fuzzy) {
    if (text.empty() || pat.empty()) return 0;
    int64_t count = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto cand = text.substr(i, pat.size());
        if (fuzzy ? quillet::text::LooseEqual(cand, pat) : cand == pat) {
            ++count;
            i += pat.size();
        } else {
            ++i;
        }
    }
    return count;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

// Layout: one flag byte (bit 0: loose), one pattern-length byte, then code units; the first
// pattern-length units are the pattern, the rest the text. A short text is repeated up to a
// few thousand units so that the long-text paths are reached too.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int32_t fuzzy = data[0] & 1;
    const bool stretch = data[0] & 2;
    std::size_t patLen = data[1] % 40;
    std::u16string units((size - 2) / 2, u'\0');
    std::memcpy(units.data(), data + 2, units.size() * 2);
    patLen = std::min(patLen, units.size());
    const std::u16string pattern = units.substr(0, patLen);
    std::u16string text = units.substr(patLen);
    if (stretch && !text.empty()) {
        while (text.size() < 5000) text += text;
    }

    Check(quillet::CountOccurrences(text, pattern, fuzzy) == SlidingCount(text, pattern, fuzzy));

    quillet::CountResult r;
    r.SearchStr = pattern;
    quillet::CountText(text, r, fuzzy);
    const auto d = quillet::Derive(r);
    Check(r.Chars == r.FullWidth + d.HalfWidth + r.LineBreaks + r.Tabs);
    Check(r.Bytes == 2 * r.FullWidth + d.HalfWidth + 2 * r.LineBreaks + r.Tabs);
    Check(d.CharsNet == d.FullWidthNet + d.HalfWidthNet);
    Check(r.FullWidth == r.Bytes - static_cast<int64_t>(text.size()));
    Check(r.FullWidth >= 0 && d.HalfWidth >= 0 && d.CharsNet >= 0 && d.HalfWidthNet >= 0);
    Check(r.LineBreaks == SlidingCount(text, u"\r\n", false));

    // The figures of the same text, lone surrogates and all: each bounded by what it counts.
    const auto figures = quillet::ComputeFigures(text, u"111");
    const int64_t characters = quillet::CountCharacters(text);
    const auto length = static_cast<int64_t>(text.size());
    Check(characters >= (length > 0) && characters <= length);
    Check(*figures.Utf8Bytes >= length && *figures.Utf8Bytes <= 3 * length);
    Check(*figures.Utf8Bytes == quillet::Utf8Length(text));  // the scan's and the plain loop's
    Check(figures.ManuscriptPages->Rows >= (length > 0));
    Check(figures.ManuscriptPages->Rows <= characters);
    Check(figures.ManuscriptPages->Sheets * quillet::kManuscriptRowsPerSheet >=
          figures.ManuscriptPages->Rows);
    Check(*figures.XWeighted >= 0);

    const int32_t limit = data[1];
    const auto report = quillet::BuildReport(r, d, pattern, figures, limit);
    Check(report.ReportWidth >= 0);
    Check(report.ReportWidth <= quillet::text::SjisByteLen(report.Text));
    Check(report.HasFigureLine);
    Check(report.OverLimit == (limit > 0 && r.Chars > limit));
    return 0;
}
