#include "counting/x_entities.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <string>

namespace quillet::xcount {
namespace {

#include "counting/x_tables.inc"

constexpr std::size_t npos = std::u16string_view::npos;

// A trie of the packages' strings, each end marked with the string's place in the library's order
// of preference (lower first).
class Trie {
public:
    struct Node {
        uint32_t firstEdge = 0, edges = 0;
        int32_t rank = -1;         // a string ends here
        int32_t rankNotFe0e = -1;  // a string ends here that U+FE0E must not follow
    };
    template <class Strings, class Fold>
    Trie(const Strings& strings, Fold fold) {
        std::vector<std::map<char16_t, uint32_t>> kids(1);
        std::vector<Node> nodes(1);
        int32_t rank = 0;
        for (const auto& entry : strings) {
            uint32_t at = 0;
            for (char16_t u : entry.first) {
                const auto [it, added] = kids[at].try_emplace(fold(u), uint32_t(kids.size()));
                if (added) kids.emplace_back(), nodes.emplace_back();
                at = it->second;
            }
            int32_t& slot = entry.second ? nodes[at].rankNotFe0e : nodes[at].rank;
            if (slot < 0) slot = rank;
            ++rank;
        }
        for (std::size_t n = 0; n < nodes.size(); ++n) {
            nodes[n].firstEdge = uint32_t(edges_.size());
            nodes[n].edges = uint32_t(kids[n].size());
            edges_.insert(edges_.end(), kids[n].begin(), kids[n].end());
        }
        nodes_ = std::move(nodes);
    }
    const Node& Root() const { return nodes_[0]; }
    const Node* Next(const Node& node, char16_t u) const {
        const auto first = edges_.begin() + node.firstEdge, last = first + node.edges;
        const auto it = std::lower_bound(first, last, std::pair<char16_t, uint32_t>(u, 0));
        return it != last && it->first == u ? &nodes_[it->second] : nullptr;
    }

private:
    std::vector<Node> nodes_;
    std::vector<std::pair<char16_t, uint32_t>> edges_;
};

char16_t Fold(char16_t u) {
    if (u < 0x80) return u >= u'A' && u <= u'Z' ? char16_t(u + 0x20) : u;
    const auto it = std::lower_bound(std::begin(kXFold), std::end(kXFold), u,
                                     [](const auto& pair, char16_t v) { return pair[0] < v; });
    return it != std::end(kXFold) && (*it)[0] == u ? (*it)[1] : u;
}

struct Tables {
    std::array<uint16_t, 0x10000> unit{};
    std::array<EmojiStart, 0x10000> emojiStart{};
    std::array<bool, 0x10000> afterNext{};
    std::unique_ptr<Trie> tlds, emoji;
};

const Tables& Get() {
    static const std::unique_ptr<Tables> tables = [] {
        auto t = std::make_unique<Tables>();
        constexpr std::size_t kRuns = std::size(kXUnitRuns);
        for (std::size_t r = 0; r < kRuns; ++r) {
            const uint32_t first = kXUnitRuns[r] >> 16;
            const uint32_t end = r + 1 < kRuns ? kXUnitRuns[r + 1] >> 16 : 0x10000;
            std::fill(t->unit.begin() + first, t->unit.begin() + end,
                      static_cast<uint16_t>(kXUnitRuns[r] & 0xFFFF));
        }
        std::vector<std::pair<std::u16string_view, bool>> tlds, emoji;
        for (auto tld : kXTlds) tlds.emplace_back(tld, false);
        for (const auto& e : kXEmoji) emoji.emplace_back(e.units, e.notBeforeFe0e);
        t->tlds = std::make_unique<Trie>(tlds, Fold);
        t->emoji = std::make_unique<Trie>(emoji, [](char16_t u) { return u; });
        // An ASCII first unit that never ends a sequence by itself is looked at from the unit
        // after it, so that digits, # and * stay in the scan's bulk path.
        for (const auto& e : kXEmoji) {
            const char16_t first = e.units[0];
            const Trie::Node* node = t->emoji->Next(t->emoji->Root(), first);
            const bool afterNext = first < 0x80 && node->rank < 0 && node->rankNotFe0e < 0;
            t->emojiStart[first] = afterNext ? EmojiStart::AfterNext : EmojiStart::Here;
            if (afterNext) t->afterNext[e.units[1]] = true;
        }
        return t;
    }();
    return *tables;
}

bool Has(char16_t u, uint16_t bits) {
    return (Get().unit[u] & bits) != 0;
}
bool Has(std::u16string_view t, std::size_t i, uint16_t bits) {
    return i < t.size() && Has(t[i], bits);
}
bool LabelUnit(char16_t u) {
    return Has(u, kXDomain) || u == u'_' || u == u'-';
}
bool EqualsFolded(std::u16string_view t, std::size_t at, std::u16string_view lower) {
    if (at + lower.size() > t.size()) return false;
    for (std::size_t k = 0; k < lower.size(); ++k) {
        if (Fold(t[at + k]) != lower[k]) return false;
    }
    return true;
}

// A top-level domain at `q`, inside the text up to `limit`: the first in the library's order
// that matches and is not followed by a letter, digit, @, + or -, else xn-- and its run.
std::size_t TldAt(std::u16string_view t, std::size_t q, std::size_t limit) {
    const Trie& trie = *Get().tlds;
    const Trie::Node* node = &trie.Root();
    int32_t best = -1;
    std::size_t end = npos;
    for (std::size_t k = q; k < limit && (node = trie.Next(*node, Fold(t[k]))) != nullptr;) {
        ++k;
        if (node->rank >= 0 && (best < 0 || node->rank < best) &&
            (k == limit || Has(t[k], kXAfterTld))) {
            best = node->rank;
            end = k;
        }
    }
    if (end != npos) return end;
    if (!EqualsFolded(t.substr(0, limit), q, u"xn--")) return npos;
    std::size_t k = q + 4;
    while (k < limit && Has(t[k], kXPunycode)) ++k;
    return k > q + 4 ? k : npos;
}

// The longest run of `chars` from `k` (inside `limit`) that ends with one of `endings`: its end,
// or `k` when none.
std::size_t RunEndingWith(std::u16string_view t, std::size_t k, std::size_t limit, uint16_t chars,
                          uint16_t endings) {
    std::size_t end = k;
    for (; k < limit && Has(t[k], chars); ++k) {
        if (Has(t[k], endings)) end = k + 1;
    }
    return end;
}

// Balanced parentheses in a path at `k`: ( path+ ) or ( path* ( path+ ) path* ); their end, or
// npos.
std::size_t ParensAt(std::u16string_view t, std::size_t k) {
    auto skip = [&](std::size_t i) {
        while (i < t.size() && Has(t[i], kXPath)) ++i;
        return i;
    };
    if (k >= t.size() || t[k] != u'(') return npos;
    std::size_t i = skip(k + 1);
    if (i > k + 1 && i < t.size() && t[i] == u')') return i + 1;
    if (i >= t.size() || t[i] != u'(') return npos;
    const std::size_t inner = skip(i + 1);
    if (inner == i + 1 || inner >= t.size() || t[inner] != u')') return npos;
    i = skip(inner + 1);
    return i < t.size() && t[i] == u')' ? i + 1 : npos;
}

// The length punycode gives a label, as the library checks it: the label split at the dots
// punycode knows (U+3002, U+FF0E, U+FF61), each part encoded when it holds a unit beyond
// U+007F. Stops early (returning more than kXMaxLabel) for a label that cannot fit.
std::size_t PunycodeLength(std::u16string_view label) {
    std::size_t total = 0;
    for (std::size_t begin = 0; begin <= label.size();) {
        std::size_t end = begin;
        bool ascii = true;
        while (end < label.size() && label[end] != 0x3002 && label[end] != 0xFF0E &&
               label[end] != 0xFF61) {
            ascii &= label[end] < 0x80;
            ++end;
        }
        if (begin > 0) ++total;  // the '.' between parts
        const std::u16string_view part = label.substr(begin, end - begin);
        if (ascii) {
            total += part.size();
        } else {
            std::vector<char32_t> cps;
            for (std::size_t i = 0; i < part.size();) {
                const char16_t u = part[i];
                if (u >= 0xD800 && u <= 0xDBFF && i + 1 < part.size() && part[i + 1] >= 0xDC00 &&
                    part[i + 1] <= 0xDFFF) {
                    cps.push_back(0x10000 + ((char32_t{u} - 0xD800) << 10) +
                                  (part[i + 1] - 0xDC00));
                    i += 2;
                } else {
                    cps.push_back(u);
                    ++i;
                }
            }
            // "xn--", then at least a unit for every code point.
            if (total + 4 + cps.size() > kXMaxLabel) return kXMaxLabel + 1;
            // RFC 3492's encoder, counting what it writes.
            constexpr uint32_t base = 36, tmin = 1, tmax = 26, skew = 38, damp = 700;
            std::size_t out = 0;
            for (char32_t c : cps) out += c < 0x80;
            const std::size_t basic = out;
            if (basic > 0) ++out;
            uint32_t n = 0x80, bias = 72;
            uint64_t delta = 0;
            for (std::size_t h = basic; h < cps.size();) {
                char32_t m = 0x10FFFF + 1;
                for (char32_t c : cps) {
                    if (c >= n && c < m) m = c;
                }
                // Taken once a round, as punycode.js does, though h grows within it.
                const std::size_t handledPlusOne = h + 1;
                delta += uint64_t(m - n) * handledPlusOne;
                n = m;
                for (char32_t c : cps) {
                    if (c < n) ++delta;
                    if (c != n) continue;
                    uint64_t q = delta;
                    for (uint32_t k = base;; k += base) {
                        const uint32_t tk = k <= bias ? tmin : k >= bias + tmax ? tmax : k - bias;
                        if (q < tk) break;
                        ++out;
                        q = (q - tk) / (base - tk);
                    }
                    ++out;
                    uint64_t d = h == basic ? delta / damp : delta / 2;
                    d += d / handledPlusOne;
                    uint32_t k = 0;
                    for (; d > ((base - tmin) * tmax) / 2; k += base) d /= base - tmin;
                    bias = uint32_t(k + (base - tmin + 1) * d / (d + skew));
                    delta = 0;
                    ++h;
                }
                ++delta;
                ++n;
            }
            total += 4 + out;
        }
        if (total > kXMaxLabel) return total;
        begin = end + 1;
    }
    return total;
}

// The library's ASCII domains inside a host without a scheme, as it reports them: each match of
// its ASCII domain pattern, placed where the matched text first occurs after the previous one
// (when `place`; else only the first match, where it is).
std::vector<Span> AsciiDomains(std::u16string_view host, bool place) {
    // The end of the ASCII domain that starts at each label (npos for none), right to left.
    const std::size_t n = host.size();
    std::vector<std::size_t> fromLabel(n + 1, npos);
    for (std::size_t dot = n; dot-- > 0;) {
        if (host[dot] != u'.') continue;
        const std::size_t s = dot + 1;
        std::size_t k = s;
        while (k < n && Has(host[k], kXAsciiLabel)) ++k;
        if (k > s && k < n && host[k] == u'.') {
            fromLabel[s] = fromLabel[k + 1] != npos ? fromLabel[k + 1] : TldAt(host, k + 1, n);
        }
    }
    std::vector<Span> found;
    std::size_t placedEnd = 0;
    for (std::size_t k = 0; k < n;) {
        if (!Has(host[k], kXAsciiLabel)) {
            ++k;
            continue;
        }
        // Every start in this run has the same first label, so the same end or none.
        std::size_t run = k;
        while (run < n && Has(host[run], kXAsciiLabel)) ++run;
        std::size_t end = npos;
        if (run < n && host[run] == u'.') {
            end = fromLabel[run + 1] != npos ? fromLabel[run + 1] : TldAt(host, run + 1, n);
        }
        if (end == npos) {
            k = run;
            continue;
        }
        if (!place) return {{k, end}};
        const std::u16string_view match = host.substr(k, end - k);
        const std::size_t at = host.substr(0, end).find(match, placedEnd);
        found.push_back({at, at + match.size()});
        placedEnd = at + match.size();
        k = end;
    }
    return found;
}

bool HostValid(std::u16string_view host) {
    if (host.substr(0, 4) == u"xn--" && AsciiDomains(host, false).empty()) return false;
    for (std::size_t begin = 0; begin <= host.size();) {
        std::size_t end = host.find(u'.', begin);
        if (end == npos) end = host.size();
        const std::size_t length = PunycodeLength(host.substr(begin, end - begin));
        if (length < 1 || length > kXMaxLabel) return false;
        begin = end + 1;
    }
    return true;
}

}  // namespace

int CodePointWeight(char32_t cp) {
    for (const auto& range : kXLightRanges) {
        if (cp >= range[0] && cp <= range[1]) return 1;
    }
    return 2;
}

EmojiStart EmojiStartOf(char16_t unit) {
    return Get().emojiStart[unit];
}

bool ContinuesAfterNext(char16_t unit) {
    return Get().afterNext[unit];
}

std::size_t EmojiAt(std::u16string_view text, std::size_t i) {
    const Trie& trie = *Get().emoji;
    const Trie::Node* node = &trie.Root();
    int32_t best = -1;
    std::size_t length = 0;
    for (std::size_t k = i; k < text.size() && (node = trie.Next(*node, text[k])) != nullptr;) {
        ++k;
        int32_t rank = node->rank;
        if (node->rankNotFe0e >= 0 && (k == text.size() || text[k] != 0xFE0E) &&
            (rank < 0 || node->rankNotFe0e < rank)) {
            rank = node->rankNotFe0e;
        }
        if (rank >= 0 && (best < 0 || rank < best)) {
            best = rank;
            length = k - i;
        }
    }
    return length;
}

LinkFinder::Label LinkFinder::LabelAt(std::size_t p) const {
    Label label;
    std::size_t k = p;
    bool underscore = false;
    while (k < t_.size() && LabelUnit(t_[k])) underscore |= t_[k++] == u'_';
    label.dot = k;
    label.sub =
        k > p && k < t_.size() && t_[k] == u'.' && Has(t_[p], kXDomain) && Has(t_[k - 1], kXDomain);
    label.name = label.sub && !underscore;
    return label;
}

// The host the pattern matches from `p`, whose first label is `label`: as many subdomains as
// match, giving back one at a time, then a domain name and a top-level domain. Its end or npos.
std::size_t LinkFinder::HostAt(const Label& label) {
    if (!label.sub) return npos;
    const std::size_t longer = HostAfter(label.dot + 1);
    if (longer != npos) return longer;
    return label.name ? TldAt(t_, label.dot + 1, t_.size()) : npos;
}

// HostAt for a label that starts right after a dot, kept for the run of labels it belongs to
// (so that a long run of labels is walked once, right to left, however many dots ask).
std::size_t LinkFinder::HostAfter(std::size_t segment) {
    const auto it = std::lower_bound(hosts_.begin(), hosts_.end(),
                                     std::pair<std::size_t, std::size_t>(segment, 0));
    if (it != hosts_.end() && it->first == segment) return it->second;
    std::vector<std::pair<std::size_t, Label>> run;
    for (std::size_t s = segment;;) {
        const Label label = LabelAt(s);
        run.emplace_back(s, label);
        if (!label.sub) break;
        s = label.dot + 1;
    }
    hosts_.assign(run.size(), {0, npos});
    std::size_t next = npos;
    for (std::size_t k = run.size(); k-- > 0;) {
        const Label& label = run[k].second;
        std::size_t host = npos;
        if (label.sub) {
            host = next != npos ? next : label.name ? TldAt(t_, label.dot + 1, t_.size()) : npos;
        }
        hosts_[k] = {run[k].first, host};
        next = host;
    }
    return hosts_.front().second;
}

// After the host: a port, a path and a query. The match's end; `path` tells whether a path was
// there. The library's path is a repetition of pieces, each the first of: path characters and
// balanced parentheses up to the last of them that is a letter, digit or one of + - = _ # /
// (its pattern's alternation binds looser than it reads, so parentheses alone end no such
// piece); balanced parentheses; '@', path characters and '/' (never the first to match where
// the second fails). So the path runs to that last ending character, then takes any balanced
// parentheses that follow it directly. A query ends on a letter, digit or one of - _ & = # /.
std::size_t LinkFinder::MatchEnd(std::size_t k, bool& path) const {
    if (k + 1 < t_.size() && t_[k] == u':' && Has(t_[k + 1], kXPort)) {
        ++k;
        while (Has(t_, k, kXPort)) ++k;
    }
    path = k < t_.size() && t_[k] == u'/';
    if (path) {
        std::size_t end = ++k;
        for (;;) {
            if (Has(t_, k, kXPath)) {
                if (Has(t_[k], kXPathEnd)) end = k + 1;
                ++k;
            } else if (const std::size_t parens = ParensAt(t_, k); parens != npos) {
                k = parens;
            } else {
                break;
            }
        }
        for (std::size_t parens; (parens = ParensAt(t_, end)) != npos;) end = parens;
        k = end;
    }
    if (k < t_.size() && t_[k] == u'?') {
        const std::size_t end = RunEndingWith(t_, k + 1, t_.size(), kXQuery, kXQueryEnd);
        if (end > k + 1) k = end;
    }
    return k;
}

void LinkFinder::Accept(std::size_t start, std::size_t scheme, std::size_t hostEnd, std::size_t end,
                        bool path, std::vector<Span>& links) const {
    const std::u16string_view host = t_.substr(start + scheme, hostEnd - start - scheme);
    if (!HostValid(host)) return;
    // The length limit counts a missing scheme as https://.
    if ((scheme > 0 ? scheme : 8) + (end - start) > kXMaxLinkLength) return;
    if (scheme == 0) {
        if (start > 0 && Has(t_[start - 1], kXNoSchemeAfter)) return;
        const std::vector<Span> ascii = AsciiDomains(host, true);
        for (const Span& s : ascii) links.push_back({start + s.begin, start + s.end});
        // With a path, the last takes what follows the host too. The library then steps over
        // the link's text, the host's ASCII part with what follows, not over its reported
        // range: where that part ends before the host does, the units after it are weighed.
        if (!ascii.empty() && path) links.back().end += end - hostEnd;
        return;
    }
    // A t.co link ends after its slug (of 40 at most, or it is no link) and its query.
    const std::size_t after = start + scheme;
    if (EqualsFolded(t_.substr(0, end), after, u"t.co/")) {
        std::size_t k = after + 5;
        while (k < end && Has(t_[k], kXTcoSlug)) ++k;
        if (k > after + 5) {
            if (k - after - 5 > kXMaxTcoSlug) return;
            if (k < end && t_[k] == u'?') {
                const std::size_t q = RunEndingWith(t_, k + 1, end, kXQuery, kXQueryEnd);
                if (q > k + 1) k = q;
            }
            end = k;
        }
    }
    links.push_back({start, end});
}

void LinkFinder::AtDot(std::size_t dot, std::vector<Span>& links) {
    // The pattern tries each start from `from_` on, the unit before it being its preceding
    // character; the very start of the text only before any match, and after start 1.
    const std::size_t first = matched_ ? from_ + 1 : 0;
    if (dot <= first) return;
    std::size_t b = dot;
    while (b > first && LabelUnit(t_[b - 1])) --b;
    const auto precededWell = [&](std::size_t u) {
        return u == 0 ? !matched_ : Has(t_[u - 1], kXPreceding);
    };
    auto found = [&](std::size_t u, std::size_t scheme, std::size_t hostEnd) {
        bool path = false;
        const std::size_t end = MatchEnd(hostEnd, path);
        Accept(u, scheme, hostEnd, end, path, links);
        from_ = end;
        matched_ = true;
    };
    for (std::size_t scheme : {std::size_t{7}, std::size_t{8}}) {
        if (b < first + scheme ||
            !EqualsFolded(t_, b - scheme, scheme == 7 ? u"http://" : u"https://")) {
            continue;
        }
        const std::size_t u = b - scheme;
        if (!precededWell(u)) continue;
        const std::size_t host = HostAt(LabelAt(b));
        if (host != npos) return found(u, scheme, host);
    }
    // Without a scheme: every start in the label before the dot, from the left (at the text's
    // start, 1 before 0). The host is the same for all but for the first label's own rules.
    std::size_t lastUnderscore = npos;
    for (std::size_t k = b; k < dot; ++k) {
        if (t_[k] == u'_') lastUnderscore = k;
    }
    std::size_t longer = npos, tld = npos;
    bool known = false;
    for (std::size_t i = b; i < dot; ++i) {
        const std::size_t u = b == 0 && !matched_ && i < 2 && dot > 1 ? 1 - i : i;
        if (!precededWell(u) || !Has(t_[u], kXDomain) || !Has(t_[dot - 1], kXDomain)) continue;
        if (!known) {
            longer = HostAfter(dot + 1);
            if (longer == npos) tld = TldAt(t_, dot + 1, t_.size());
            known = true;
        }
        std::size_t host = longer;
        if (host == npos && (lastUnderscore == npos || lastUnderscore < u)) host = tld;
        if (host != npos) return found(u, 0, host);
    }
}

void Entities::TryEmoji(std::size_t i) {
    const std::size_t length = EmojiAt(t_, i);
    if (length == 0) return;
    emojiEnd_ = i + length;
    // Links found ahead of the scan: a match's host may hold several, after units not in any.
    while (!ahead_.empty() && ahead_.front().end <= i) ahead_.pop_front();
    if (!ahead_.empty() && ahead_.front().begin <= i) return;
    // A link's start lies less than 256 units before the first dot of its host (its first label
    // is at most 63 code points, its scheme 8 units), and the dots still to come lie after `i`.
    while (!recent_.empty() && recent_.front().first + 256 < i) recent_.pop_front();
    const int64_t change = Change(i, i + length, kXEmojiWeight);
    recent_.emplace_back(i, change);
    adjustment_ += change;
}

void Entities::Dot(std::size_t i) {
    found_.clear();
    links_.AtDot(i, found_);
    for (const Span& link : found_) {
        while (!recent_.empty() && recent_.back().first >= link.begin) {
            adjustment_ -= recent_.back().second;
            recent_.pop_back();
        }
        adjustment_ += Change(link.begin, link.end, kXLinkWeight);
        ahead_.push_back(link);
    }
}

int64_t Entities::Change(std::size_t begin, std::size_t end, int64_t weight) const {
    int64_t sum = 0;
    std::size_t i = begin;
    while (i < end) {
        const char16_t u = t_[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < t_.size() && t_[i + 1] >= 0xDC00 &&
            t_[i + 1] <= 0xDFFF) {
            sum += 2;
            i += 2;
        } else {
            sum += CodePointWeight(u);
            ++i;
        }
    }
    // A link whose text ends inside a surrogate pair: the library weighs the pair's second half
    // on its own, 2, where the sum took the pair as one code point of 2.
    return weight - sum + (i > end ? 2 : 0);
}

}  // namespace quillet::xcount
