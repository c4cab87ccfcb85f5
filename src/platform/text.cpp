#include "platform/text.h"

#include <array>
#include <memory>

#include "platform/text_tables.h"

namespace quillet::text {
namespace {

// Built on first use; magic statics make that safe even if a second thread ever asks.
const detail::SjisTable& Sjis() {
    static const std::unique_ptr<detail::SjisTable> table = [] {
        auto t = std::make_unique<detail::SjisTable>();
        detail::BuildSjisTable(*t);
        return t;
    }();
    return *table;
}

// The two-byte units as a bit set: 8 KiB stays in the first-level cache where the 64 KiB byte
// table does not, which makes measuring long texts about twice as fast.
const std::array<uint64_t, detail::kUnits / 64>& TwoByteBits() {
    static const auto bits = [] {
        std::array<uint64_t, detail::kUnits / 64> b{};
        const auto& len = Sjis().len;
        for (std::size_t u = 0; u < detail::kUnits; ++u) {
            if (len[u] == 2) b[u / 64] |= uint64_t{1} << (u % 64);
        }
        return b;
    }();
    return bits;
}

const detail::LooseTable& Loose() {
    static const std::unique_ptr<detail::LooseTable> table = [] {
        auto t = std::make_unique<detail::LooseTable>();
        detail::BuildLooseTable(*t);
        return t;
    }();
    return *table;
}

}  // namespace

const uint8_t* SjisLenTable() { return Sjis().len.data(); }
const char16_t* LooseKeyTable() { return Loose().key.data(); }

int SjisUnitLen(char16_t unit) { return Sjis().len[unit]; }

int64_t SjisByteLen(std::u16string_view text) {
    const uint64_t* bits = TwoByteBits().data();
    int64_t twoByte = 0;
    for (char16_t unit : text) twoByte += (bits[unit >> 6] >> (unit & 63)) & 1;
    return static_cast<int64_t>(text.size()) + twoByte;
}

char16_t LooseKey(char16_t unit) { return Loose().key[unit]; }

bool LooseEqual(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    const char16_t* key = LooseKeyTable();
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (key[a[i]] != key[b[i]]) return false;
    }
    return true;
}

}  // namespace quillet::text
