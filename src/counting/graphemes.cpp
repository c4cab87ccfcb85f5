#include "counting/graphemes.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>

#include "platform/text.h"

namespace quillet::unicode {
namespace {

#include "counting/unicode_tables.inc"

CharData Decode(char32_t cp, uint32_t value) {
    CharData d;
    d.gcb = static_cast<Gcb>(value & 0x1F);
    d.nfcMayChange = (value & 0x20) != 0;
    if (d.gcb == Gcb::LV && (cp - kHangulFirst) % 28 != 0) d.gcb = Gcb::LVT;
    return d;
}

uint32_t RunValueOf(char32_t cp) {
    // The last run that starts at or before cp; the first run starts at U+0000.
    const auto it = std::upper_bound(std::begin(kCharRuns), std::end(kCharRuns), cp,
                                     [](char32_t c, uint32_t run) { return c < (run >> 8); });
    return *(it - 1) & 0xFF;
}

// The BMP, where nearly all text lies, one byte per code unit, filled from the runs in order.
const std::array<uint8_t, 0x10000>& Bmp() {
    static const std::unique_ptr<std::array<uint8_t, 0x10000>> table = [] {
        auto t = std::make_unique<std::array<uint8_t, 0x10000>>();
        for (std::size_t r = 0; r < std::size(kCharRuns); ++r) {
            const char32_t first = kCharRuns[r] >> 8;
            if (first > 0xFFFF) break;
            const char32_t end = r + 1 < std::size(kCharRuns)
                                     ? std::min<char32_t>(kCharRuns[r + 1] >> 8, 0x10000)
                                     : 0x10000;
            std::fill(t->begin() + first, t->begin() + end, static_cast<uint8_t>(kCharRuns[r]));
        }
        return t;
    }();
    return *table;
}

}  // namespace

CharData DataOf(char32_t cp) {
    if (cp > 0x10FFFF) return {};
    return Decode(cp, cp <= 0xFFFF ? Bmp()[cp] : RunValueOf(cp));
}

const char* TablesUnicodeVersion() {
    return kTablesUnicodeVersion;
}

bool GraphemeBreaker::Starts(Gcb cur) {
    const Gcb p = prev_;
    bool starts;
    if (first_) {
        starts = true;  // GB1
    } else if (p == Gcb::CR && cur == Gcb::LF) {
        starts = false;  // GB3
    } else if (p == Gcb::Control || p == Gcb::CR || p == Gcb::LF || cur == Gcb::Control ||
               cur == Gcb::CR || cur == Gcb::LF) {
        starts = true;  // GB4, GB5
    } else if (p == Gcb::L &&
               (cur == Gcb::L || cur == Gcb::V || cur == Gcb::LV || cur == Gcb::LVT)) {
        starts = false;  // GB6
    } else if ((p == Gcb::LV || p == Gcb::V) && (cur == Gcb::V || cur == Gcb::T)) {
        starts = false;  // GB7
    } else if ((p == Gcb::LVT || p == Gcb::T) && cur == Gcb::T) {
        starts = false;  // GB8
    } else if (IsExtend(cur) || cur == Gcb::ZWJ || cur == Gcb::SpacingMark || p == Gcb::Prepend) {
        starts = false;  // GB9, GB9a, GB9b
    } else if (cur == Gcb::LinkingConsonant && conjunct_ == Conjunct::Virama) {
        starts = false;  // CLDR's conjunct rule, GB9c
    } else if (p == Gcb::ZWJ && cur == Gcb::ExtPict && emoji_ == Emoji::PictZwj) {
        starts = false;  // GB11
    } else if (p == Gcb::RegionalIndicator && cur == Gcb::RegionalIndicator && riOdd_) {
        starts = false;  // GB12, GB13
    } else {
        starts = true;  // GB999
    }

    if (cur == Gcb::ExtPict) {
        emoji_ = Emoji::Pict;
    } else if (cur == Gcb::ZWJ && emoji_ == Emoji::Pict) {
        emoji_ = Emoji::PictZwj;
    } else if (!IsExtend(cur) || emoji_ != Emoji::Pict) {
        emoji_ = Emoji::None;
    }
    if (cur == Gcb::LinkingConsonant) {
        conjunct_ = Conjunct::Consonant;
    } else if (cur == Gcb::Virama && conjunct_ != Conjunct::None) {
        conjunct_ = Conjunct::Virama;
    } else if (cur != Gcb::ExtendCcc && cur != Gcb::ZWJ) {
        conjunct_ = Conjunct::None;
    }
    riOdd_ = cur == Gcb::RegionalIndicator && !(p == Gcb::RegionalIndicator && riOdd_);
    prev_ = cur;
    first_ = false;
    return starts;
}

bool NfcWhereNeeded(std::u16string_view text, std::u16string& out) {
    std::size_t copied = 0;  // text before this is in `out`
    std::size_t cut = 0;     // where the stretch of the next code point NFC may change begins
    bool changed = false;
    for (std::size_t i = 0, units = 0; i < text.size(); i += units) {
        const char32_t cp = CodePointAt(text, i, units);
        if (!DataOf(cp).nfcMayChange) {
            // A starter that nothing before it composes with: NFC may cut before it. An unpaired
            // surrogate composes with nothing after it either, and the platform's normaliser
            // refuses one, so the cut goes after it.
            cut = units == 1 && cp >= 0xD800 && cp <= 0xDFFF ? i + 1 : i;
            continue;
        }
        std::size_t end = i + units;
        for (std::size_t u = 0; end < text.size(); end += u) {
            if (!DataOf(CodePointAt(text, end, u)).nfcMayChange) break;
        }
        if (!changed) {
            out.clear();
            out.reserve(text.size());
            changed = true;
        }
        out.append(text.substr(copied, cut - copied));
        out += text::ToNfc(text.substr(cut, end - cut));
        copied = end;
        cut = end;
        units = end - i;
    }
    if (changed) out.append(text.substr(copied));
    return changed;
}

}  // namespace quillet::unicode
