// X's own counting rules beyond plain code point weights: the links and the emoji sequences that
// its counting library (twitter-text, with the emoji pattern of twemoji-parser) weighs as a whole.
// The tables come from those packages (x_tables.inc, made by tools/make_x_tables.js); the link
// finder follows the library's link pattern step by step, as a regular expression engine with
// backtracking would run it, but in time linear in the text.
//
// The library weighs a text thus: it finds the links (each a match of its link pattern, a few of
// them dropped or cut afterwards) and the emoji (each a match of the emoji pattern) over the whole
// text, each list on its own, then walks the text: a link that starts where it stands weighs 23,
// else an emoji sequence 2, else the code point by its range; it goes on after what it weighed
// (after a link, as many units on as the link's text has, which for a host's ASCII part with a
// path can be short of the link's end).
// A link never starts inside an emoji sequence (a link starts with a letter, digit, '-' or a
// Latin letter with an accent, none of which an emoji sequence holds past its first unit), so
// every link is weighed and an emoji sequence only where it does not start inside a link.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string_view>
#include <utility>
#include <vector>

namespace quillet::xcount {

// The weight of one code point by X's ranges: 1 or 2.
int CodePointWeight(char32_t cp);

// How a code unit may begin an emoji sequence. `Here`: the scan must look at it. `AfterNext`: an
// ASCII unit (a keycap's digit, # or *) whose sequences all go on with a unit for which
// `ContinuesAfterNext` holds, so the scan may take it in bulk and look back from that unit.
enum class EmojiStart : uint8_t { None, Here, AfterNext };
EmojiStart EmojiStartOf(char16_t unit);
bool ContinuesAfterNext(char16_t unit);

// The length of the emoji sequence the pattern matches at `i`, 0 when none.
std::size_t EmojiAt(std::u16string_view text, std::size_t i);

// A link as the library weighs it: from its start, as many units as its text has.
struct Span {
    std::size_t begin = 0, end = 0;
};

// The links of a text, found dot by dot: every link's host holds a dot, and the pattern's
// matches are tried in the order of the first dot of their host.
class LinkFinder {
public:
    explicit LinkFinder(std::u16string_view text) : t_(text) {}
    // Called for every '.' of the text in order; appends the links whose match reaches it first.
    void AtDot(std::size_t dot, std::vector<Span>& links);

private:
    struct Label {
        std::size_t dot = 0;  // where the label ends
        bool sub = false;     // a valid subdomain label followed by '.'
        bool name = false;    // also a valid domain name label (no '_')
    };
    Label LabelAt(std::size_t p) const;
    std::size_t HostAfter(std::size_t segment);
    std::size_t HostAt(const Label& label);
    std::size_t MatchEnd(std::size_t hostEnd, bool& path) const;
    void Accept(std::size_t start, std::size_t scheme, std::size_t hostEnd, std::size_t end,
                bool path, std::vector<Span>& links) const;

    std::u16string_view t_;
    std::size_t from_ = 0;  // where the pattern searches on (its lastIndex)
    bool matched_ = false;  // since a match, a link cannot start at the text's start
    // The host that starts at each label of the last run of labels looked at, npos for none.
    std::vector<std::pair<std::size_t, std::size_t>> hosts_;
};

// The weight a text's links and emoji sequences add to (or take from) the sum of its code point
// weights. Told of the code units the scan looks at one by one; all others are plain.
class Entities {
public:
    explicit Entities(std::u16string_view text) : t_(text), links_(text) {}
    // At a code point that the scan takes on its own (a surrogate pair at its first unit).
    void At(std::size_t i) {
        const char16_t u = t_[i];
        if (ContinuesAfterNext(u) && i > 0 && i - 1 >= emojiEnd_ &&
            EmojiStartOf(t_[i - 1]) == EmojiStart::AfterNext) {
            TryEmoji(i - 1);
        }
        if (i >= emojiEnd_ && EmojiStartOf(u) == EmojiStart::Here) TryEmoji(i);
        if (u == u'.') Dot(i);
    }
    int64_t Adjustment() const { return adjustment_; }

private:
    void TryEmoji(std::size_t i);
    void Dot(std::size_t i);
    // What weighing [begin, end) as `weight` changes from the sum of its code points' weights.
    int64_t Change(std::size_t begin, std::size_t end, int64_t weight) const;

    std::u16string_view t_;
    LinkFinder links_;
    std::vector<Span> found_;
    std::size_t emojiEnd_ = 0;  // the emoji pattern searches on from here
    std::deque<Span> ahead_;    // the links not yet passed: an emoji sequence in one is not weighed
    int64_t adjustment_ = 0;
    // Recent emoji sequences and what each added: a link found later at a dot may cover them.
    std::deque<std::pair<std::size_t, int64_t>> recent_;
};

}  // namespace quillet::xcount
