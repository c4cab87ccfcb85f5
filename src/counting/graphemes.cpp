#include "counting/graphemes.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <map>
#include <memory>
#include <vector>

#include "text/text.h"

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

// Every code point in pages of 256, each page an index into blocks of 256 values that pages
// alike share (most pages lie inside one run): one lookup for any code point, emoji included,
// in far less memory than a byte per code point.
struct PagedValues {
    std::array<uint16_t, 0x110000 / 256> page{};
    std::vector<uint8_t> blocks;
};

const PagedValues& Paged() {
    static const std::unique_ptr<PagedValues> table = [] {
        auto t = std::make_unique<PagedValues>();
        std::map<std::array<uint8_t, 256>, uint16_t> seen;
        std::array<uint8_t, 256> block{};
        constexpr std::size_t kRuns = std::size(kCharRuns);
        std::size_t r = 0;
        for (std::size_t p = 0; p < t->page.size(); ++p) {
            const char32_t first = static_cast<char32_t>(p * 256), last = first + 256;
            for (char32_t cp = first; cp < last;) {
                while (r + 1 < kRuns && (kCharRuns[r + 1] >> 8) <= cp) ++r;
                const char32_t end =
                    r + 1 < kRuns ? std::min<char32_t>(kCharRuns[r + 1] >> 8, last) : last;
                std::fill(block.begin() + (cp - first), block.begin() + (end - first),
                          static_cast<uint8_t>(kCharRuns[r]));
                cp = end;
            }
            const auto [it, added] = seen.try_emplace(block, static_cast<uint16_t>(seen.size()));
            if (added) t->blocks.insert(t->blocks.end(), block.begin(), block.end());
            t->page[p] = it->second;
        }
        return t;
    }();
    return *table;
}

}  // namespace

CharData DataOf(char32_t cp) {
    if (cp > 0x10FFFF) return {};
    const PagedValues& t = Paged();
    return Decode(cp, t.blocks[std::size_t{t.page[cp >> 8]} * 256 + (cp & 0xFF)]);
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
    constexpr std::size_t kJoinWithin = 32;
    const PagedValues& table = Paged();
    auto mayChange = [&table](char32_t cp) {
        return (table.blocks[std::size_t{table.page[cp >> 8]} * 256 + (cp & 0xFF)] & 0x20) != 0;
    };
    std::size_t copied = 0;  // text before this is in `out`
    std::size_t cut = 0;     // where the stretch of the next code point NFC may change begins
    bool changed = false;
    for (std::size_t i = 0, units = 0; i < text.size(); i += units) {
        const char32_t cp = CodePointAt(text, i, units);
        if (!mayChange(cp)) {
            // A starter that nothing before it composes with: NFC may cut before it. An unpaired
            // surrogate composes with nothing after it either, and the platform's normaliser
            // refuses one, so the cut goes after it.
            cut = units == 1 && cp >= 0xD800 && cp <= 0xDFFF ? i + 1 : i;
            continue;
        }
        // The stretch ends before a code point NFC leaves alone, but takes in the next ones NFC
        // may change when they come within a few units, so that text full of them (decomposed
        // kana, say) reaches the normaliser in few calls. An unpaired surrogate ends it.
        std::size_t end = i + units;
        for (std::size_t pos = end, u = 0; pos < text.size() && pos - end < kJoinWithin; pos += u) {
            const char32_t next = CodePointAt(text, pos, u);
            if (next >= 0xD800 && next <= 0xDFFF) break;
            if (mayChange(next)) end = pos + u;
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
