#include "text/text.h"

#include <algorithm>
#include <array>
#include <memory>

#include "text/text_tables.h"

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

// The loose classes laid out one after the other, each in increasing order (a counting sort by
// key), so that a search can ask for the members of a class without walking all code units.
struct LooseClasses {
    std::array<char16_t, detail::kUnits> members{};
    std::array<uint32_t, detail::kUnits + 1> start{};  // by key: where its class begins
};

const LooseClasses& Classes() {
    static const std::unique_ptr<LooseClasses> classes = [] {
        auto c = std::make_unique<LooseClasses>();
        const auto& key = Loose().key;
        for (std::size_t u = 0; u < detail::kUnits; ++u) ++c->start[key[u] + 1];
        for (std::size_t k = 0; k < detail::kUnits; ++k) c->start[k + 1] += c->start[k];
        std::array<uint32_t, detail::kUnits> fill{};
        std::copy(c->start.begin(), c->start.end() - 1, fill.begin());
        for (std::size_t u = 0; u < detail::kUnits; ++u) {
            c->members[fill[key[u]]++] = static_cast<char16_t>(u);
        }
        return c;
    }();
    return *classes;
}

}  // namespace

std::u16string_view LooseClassMembers(char16_t unit) {
    const auto& c = Classes();
    const char16_t k = LooseKey(unit);
    return {c.members.data() + c.start[k], c.start[k + 1] - c.start[k]};
}

const uint8_t* SjisLenTable() {
    return Sjis().len.data();
}
const char16_t* LooseKeyTable() {
    return Loose().key.data();
}

int SjisUnitLen(char16_t unit) {
    return Sjis().len[unit];
}

int64_t SjisByteLen(std::u16string_view text) {
    const uint8_t* len = SjisLenTable();
    int64_t bytes = 0;
    for (char16_t unit : text) bytes += len[unit];
    return bytes;
}

char16_t LooseKey(char16_t unit) {
    return Loose().key[unit];
}

bool LooseEqual(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    const char16_t* key = LooseKeyTable();
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (key[a[i]] != key[b[i]]) return false;
    }
    return true;
}

}  // namespace quillet::text
