#include "platform/text.h"

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

const detail::LooseTable& Loose() {
    static const std::unique_ptr<detail::LooseTable> table = [] {
        auto t = std::make_unique<detail::LooseTable>();
        detail::BuildLooseTable(*t);
        return t;
    }();
    return *table;
}

}  // namespace

int SjisUnitLen(char16_t unit) { return Sjis().len[unit]; }

int64_t SjisByteLen(std::u16string_view text) {
    const auto& len = Sjis().len;
    int64_t bytes = 0;
    for (char16_t unit : text) bytes += len[unit];
    return bytes;
}

char16_t LooseKey(char16_t unit) { return Loose().key[unit]; }

bool LooseEqual(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    const auto& key = Loose().key;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (key[a[i]] != key[b[i]]) return false;
    }
    return true;
}

}  // namespace quillet::text
