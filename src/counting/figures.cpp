#include "counting/figures.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include "counting/graphemes.h"
#include "counting/x_entities.h"

namespace quillet {
namespace {

using unicode::Gcb;

constexpr std::u16string_view kClosingPunctuation = u"、。，．」』）】〕〉》］｝”’､｡｣";

// Two tables per BMP code unit for the scan. The first decides the path and weighs: for a plain
// unit its X weight less one (bits 0-3) and its UTF-8 bytes less one (bits 4-8), kSlow otherwise,
// so that the sum over eight units is the test and both weights at once. A plain unit is one
// whole character of one cell whatever follows it (class Other or Control, or a Hangul
// syllable), needs no NFC and is neither a dot (every link's host has one) nor a unit X's emoji
// rules must look at. Runs of plain units, nearly all of ordinary Japanese text, take the fast
// path.
constexpr uint16_t kSlow = 0x8000;
constexpr uint16_t kHeavyMask = 0x0F;
constexpr int kUtf8Shift = 4;
// The second holds the grapheme class and the manuscript's closers.
constexpr uint8_t kGcbMask = 0x1F;
constexpr uint8_t kClosing = 0x20;

struct ScanTables {
    std::array<uint16_t, 0x10000> path;
    std::array<uint8_t, 0x10000> info;
};

const ScanTables& Tables() {
    static const std::unique_ptr<ScanTables> tables = [] {
        auto t = std::make_unique<ScanTables>();
        for (char32_t u = 0; u < 0x10000; ++u) {
            const unicode::CharData d = unicode::DataOf(u);
            const char16_t unit = static_cast<char16_t>(u);
            const bool plain = (d.gcb == Gcb::Other || d.gcb == Gcb::Control || d.gcb == Gcb::LV ||
                                d.gcb == Gcb::LVT) &&
                               !d.nfcMayChange && (u < 0xD800 || u > 0xDFFF) && u != u'.' &&
                               xcount::EmojiStartOf(unit) != xcount::EmojiStart::Here &&
                               !xcount::ContinuesAfterNext(unit);
            const int utf8Extra = (u >= 0x80) + (u >= 0x800);
            t->path[u] = plain ? static_cast<uint16_t>((xcount::CodePointWeight(u) - 1) |
                                                       utf8Extra << kUtf8Shift)
                               : kSlow;
            t->info[u] = static_cast<uint8_t>(d.gcb);
        }
        for (char16_t c : kClosingPunctuation) t->info[c] |= kClosing;
        return t;
    }();
    return *tables;
}

// One pass over the text for the character count, the manuscript and X's weights: runs of plain
// units in bulk, every other code point through the grapheme rules and, for X, its links and
// emoji.
class Scanner {
public:
    Scanner(std::u16string_view text, bool withX)
        : text_(text), path_(Tables().path.data()), info_(Tables().info.data()) {
        if (withX) x_.emplace(text);
        Run();
    }

    int64_t Characters() const { return characters_; }
    int64_t Rows() const { return rows_; }
    int64_t XWeight() const { return xWeight_ + (x_ ? x_->Adjustment() : 0); }
    int64_t Utf8Bytes() const { return utf8_; }
    bool SawNfcCandidate() const { return nfcCandidate_; }

private:
    void Run() {
        const char16_t* t = text_.data();
        const std::size_t n = text_.size();
        std::size_t i = 0;
        while (i < n) {
            // A plain unit starts a character after anything but a prepended mark or a leading
            // jamo (which join what follows).
            const Gcb prev = breaker_.Previous();
            if (path_[t[i]] != kSlow && prev != Gcb::Prepend && prev != Gcb::L) {
                std::size_t j = i;
                int64_t heavy = 0, utf8Extra = 0;
                for (; j + 8 <= n; j += 8) {
                    const unsigned sum = path_[t[j]] + path_[t[j + 1]] + path_[t[j + 2]] +
                                         path_[t[j + 3]] + path_[t[j + 4]] + path_[t[j + 5]] +
                                         path_[t[j + 6]] + path_[t[j + 7]];
                    if (sum >= kSlow) break;
                    heavy += sum & kHeavyMask;
                    utf8Extra += sum >> kUtf8Shift;
                }
                for (; j < n && path_[t[j]] != kSlow; ++j) {
                    heavy += path_[t[j]] & kHeavyMask;
                    utf8Extra += path_[t[j]] >> kUtf8Shift;
                }
                if (j > i) {
                    Plain(i, j, heavy, utf8Extra);
                    i = j;
                    if (i == n) break;
                }
            }
            i += t[i] == u'\r' || t[i] == u'\n' ? LineBreak(i) : Slow(i);
        }
    }

    void Plain(std::size_t begin, std::size_t end, int64_t heavy, int64_t utf8Extra) {
        const auto count = static_cast<int64_t>(end - begin);
        characters_ += count;
        xWeight_ += count + heavy;
        utf8_ += count + utf8Extra;
        const char16_t last = text_[end - 1];
        breaker_.ResetTo(static_cast<Gcb>(info_[last] & kGcbMask));

        if (paragraphPending_) OpenParagraph();
        for (std::size_t p = begin; p < end;) {
            if (column_ == kManuscriptColumns) {
                while (p < end && (info_[text_[p]] & kClosing)) ++p;  // hangs in the margin
                if (p == end) break;
                ++rows_;
                column_ = 0;
            }
            const int64_t take =
                std::min(static_cast<int64_t>(end - p), kManuscriptColumns - column_);
            column_ += take;
            p += static_cast<std::size_t>(take);
        }
    }

    // One code point; returns the code units it took.
    std::size_t Slow(std::size_t i) {
        std::size_t units = 0;
        const char32_t cp = unicode::CodePointAt(text_, i, units);
        const unicode::CharData d = unicode::DataOf(cp);
        nfcCandidate_ |= d.nfcMayChange;
        if (breaker_.Starts(d.gcb)) {
            ++characters_;
            if (d.gcb == Gcb::CR || d.gcb == Gcb::LF) {
                EndParagraph();
            } else {
                PlaceCell(cp <= 0xFFFF && (info_[cp] & kClosing));
            }
        }
        utf8_ += cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;  // lone surrogates 3
        xWeight_ += xcount::CodePointWeight(cp);
        if (x_) x_->At(i);
        return units;
    }

    // CR LF, a lone CR or a lone LF: always a character of its own (nothing joins it but the LF
    // its CR), which ends a paragraph and weighs 1 a code point. Taken here rather than through
    // the general rules because ordinary text has one every few dozen code units.
    std::size_t LineBreak(std::size_t i) {
        const std::size_t units =
            text_[i] == u'\r' && i + 1 < text_.size() && text_[i + 1] == u'\n' ? 2 : 1;
        ++characters_;
        xWeight_ += static_cast<int64_t>(units);
        utf8_ += static_cast<int64_t>(units);
        breaker_.ResetTo(text_[i + units - 1] == u'\n' ? Gcb::LF : Gcb::CR);
        EndParagraph();
        return units;
    }

    void OpenParagraph() {
        ++rows_;
        column_ = 0;
        paragraphPending_ = false;
    }

    void EndParagraph() {
        if (paragraphPending_) ++rows_;  // an empty paragraph
        paragraphPending_ = true;
    }

    void PlaceCell(bool closing) {
        if (paragraphPending_) OpenParagraph();
        if (column_ == kManuscriptColumns) {
            if (closing) return;
            ++rows_;
            column_ = 0;
        }
        ++column_;
    }

    std::u16string_view text_;
    const uint16_t* path_;
    const uint8_t* info_;
    unicode::GraphemeBreaker breaker_;
    int64_t characters_ = 0;
    // The manuscript: rows begun, cells used in the last, and whether the next character opens
    // a paragraph (true at the start and after each line break).
    int64_t rows_ = 0;
    int64_t column_ = 0;
    bool paragraphPending_ = true;
    // UTF-8 bytes. X: the sum of the code points' weights, and what links and emoji change.
    int64_t xWeight_ = 0;
    int64_t utf8_ = 0;
    std::optional<xcount::Entities> x_;
    bool nfcCandidate_ = false;
};

bool Flag(std::u16string_view flags, std::size_t n) {
    return n < flags.size() && flags[n] == u'1';
}

int64_t XOf(std::u16string_view text, const Scanner& scanned) {
    std::u16string nfc;
    if (!scanned.SawNfcCandidate() || !unicode::NfcWhereNeeded(text, nfc)) {
        return scanned.XWeight();
    }
    return Scanner(nfc, true).XWeight();
}

Manuscript PagesOf(const Scanner& scanned) {
    return {scanned.Rows(),
            (scanned.Rows() + kManuscriptRowsPerSheet - 1) / kManuscriptRowsPerSheet};
}

}  // namespace

int64_t CountCharacters(std::u16string_view text) {
    return Scanner(text, false).Characters();
}

Manuscript ManuscriptSize(std::u16string_view text) {
    return PagesOf(Scanner(text, false));
}

int64_t XWeightedLength(std::u16string_view text) {
    return XOf(text, Scanner(text, true));
}

int64_t Utf8Length(std::u16string_view text) {
    // Three bytes for every unit from U+0800 on, surrogates included; a valid pair then takes
    // its 6 down to 4, 2 for each of its units. One branch-free loop the compiler vectorises, in
    // blocks short enough for 16-bit sums.
    const char16_t* t = text.data();
    const std::size_t n = text.size();
    if (n == 0) return 0;
    constexpr std::size_t kBlock = 0xFFFF / 3;
    int64_t bytes = 0;
    for (std::size_t start = 0; start < n; start += kBlock) {
        const std::size_t end = std::min(n - 1, start + kBlock);
        uint16_t sum = 0;
        for (std::size_t i = start; i < end; ++i) {
            const bool pair = ((t[i] & 0xFC00) == 0xD800) & ((t[i + 1] & 0xFC00) == 0xDC00);
            sum += 1 + (t[i] >= 0x80) + (t[i] >= 0x800) - 2 * pair;
        }
        bytes += sum;
    }
    const char16_t last = t[n - 1];
    return bytes + 1 + (last >= 0x80) + (last >= 0x800);
}

UnicodeFigures ComputeFigures(std::u16string_view unicodeText, std::u16string_view customItemEx) {
    UnicodeFigures figures;
    const bool manuscript = Flag(customItemEx, 0), utf8 = Flag(customItemEx, 1),
               x = Flag(customItemEx, 2);
    if (manuscript || x) {
        const Scanner scanned(unicodeText, x);
        if (manuscript) figures.ManuscriptPages = PagesOf(scanned);
        if (x) figures.XWeighted = XOf(unicodeText, scanned);
        if (utf8) figures.Utf8Bytes = scanned.Utf8Bytes();
    } else if (utf8) {
        figures.Utf8Bytes = Utf8Length(unicodeText);
    }
    return figures;
}

std::optional<LimitStatus> CheckLimit(int64_t chars, int32_t limit) {
    if (limit <= 0) return std::nullopt;
    if (chars > limit) return LimitStatus{true, chars - limit};
    return LimitStatus{false, limit - chars};
}

}  // namespace quillet
