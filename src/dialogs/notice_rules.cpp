#include "dialogs/notice_rules.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

#include "counting/count.h"
#include "settings/settings.h"

namespace quillet::dialogs {

std::u16string ComposeNoticeMessage(std::u16string_view message, int32_t displayMs) {
    const std::string digits = std::to_string(displayMs);
    std::u16string composed(message);
    composed += kNoticeSeparator;
    composed.append(digits.begin(), digits.end());
    return composed;
}

NoticeParts SplitNoticeMessage(std::u16string_view composed) {
    NoticeParts parts;
    const size_t first = composed.find(kNoticeSeparator);
    parts.message = std::u16string(composed.substr(0, first));
    if (first == std::u16string_view::npos) return parts;
    const std::u16string_view rest = composed.substr(first + 1);
    parts.time = std::u16string(rest.substr(0, rest.find(kNoticeSeparator)));
    return parts;
}

int32_t NoticeDisplayMs(std::u16string_view timeText) {
    // The leading decimal number: spaces, an optional sign, digits with an optional fraction and
    // exponent. Whatever cannot continue it ends it.
    size_t i = 0;
    auto digit = [&](size_t at) {
        return at < timeText.size() && timeText[at] >= u'0' && timeText[at] <= u'9';
    };
    auto is = [&](size_t at, char16_t c) { return at < timeText.size() && timeText[at] == c; };
    while (is(i, u' ')) ++i;
    const size_t begin = i;
    if (is(i, u'+') || is(i, u'-')) ++i;
    const size_t mantissa = i;
    while (digit(i)) ++i;
    if (is(i, u'.')) {
        ++i;
        while (digit(i)) ++i;
    }
    if (i == mantissa || (i == mantissa + 1 && is(mantissa, u'.'))) return 0;
    if ((is(i, u'e') || is(i, u'E'))) {
        size_t e = i + 1;
        if (is(e, u'+') || is(e, u'-')) ++e;
        if (digit(e)) {
            while (digit(e)) ++e;
            i = e;
        }
    }
    const std::string number(timeText.begin() + begin, timeText.begin() + i);
    return RoundHalfEven(std::strtod(number.c_str(), nullptr)).value_or(0);
}

int32_t NoticeHeightTwips(std::u16string_view message) {
    const int64_t breaks = CountOccurrences(message, u"\r\n", 0);
    const int64_t lines = std::min<int64_t>(breaks, std::numeric_limits<int32_t>::max()) + 1;
    const int64_t height =
        kNoticeLabelTopTwips + lines * kNoticeLineTwips + kNoticeBottomMarginTwips;
    return static_cast<int32_t>(std::min<int64_t>(height, std::numeric_limits<int32_t>::max()));
}

namespace {
int32_t Scaled(int32_t length, int32_t step) {
    // Rounded to the nearest unit, computed in 64 bits.
    const int64_t scaled =
        (static_cast<int64_t>(length) * step + kShrinkDivisor / 2) / kShrinkDivisor;
    return static_cast<int32_t>(std::max<int64_t>(scaled, 1));
}
}  // namespace

NoticeSize ShrinkSize(const NoticeRect& start, int32_t step) {
    step = std::clamp(step, 1, kShrinkDivisor);
    return {Scaled(start.width, step), Scaled(start.height, step)};
}

NoticeRect ShrinkPlace(const NoticeRect& start, NoticeSize actual) {
    const int64_t right = static_cast<int64_t>(start.left) + start.width;
    const int64_t bottom = static_cast<int64_t>(start.top) + start.height;
    return {static_cast<int32_t>(right - actual.width),
            static_cast<int32_t>(bottom - actual.height), actual.width, actual.height};
}

NoticeRect CentreIn(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t width,
                    int32_t height) {
    const int64_t x = left + (static_cast<int64_t>(right) - left - width) / 2;
    const int64_t y = top + (static_cast<int64_t>(bottom) - top - height) / 2;
    return {static_cast<int32_t>(x), static_cast<int32_t>(y), width, height};
}

}  // namespace quillet::dialogs
