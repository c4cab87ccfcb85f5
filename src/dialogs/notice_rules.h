// The notice window's rules: how its message travels, how tall it is, how it shrinks away.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet::dialogs {

// The message and the display time travel together in one text: message, U+0001, milliseconds.
inline constexpr char16_t kNoticeSeparator = u'\u0001';

std::u16string ComposeNoticeMessage(std::u16string_view message, int32_t displayMs);

struct NoticeParts {
    std::u16string message;
    std::u16string time;
};

// Split at every U+0001; only the first two parts count, missing ones are empty.
NoticeParts SplitNoticeMessage(std::u16string_view composed);

// The display time read back: the leading number, rounded half to even. Empty, non-numeric or
// out-of-range text gives 0.
int32_t NoticeDisplayMs(std::u16string_view timeText);

// Layout in twips (15 twips per pixel at 96 dpi).
inline constexpr int32_t kNoticeClientWidthTwips = 4680;
inline constexpr int32_t kNoticeLabelTopTwips = 90;
inline constexpr int32_t kNoticeLineTwips = 500;
inline constexpr int32_t kNoticeBottomMarginTwips = 200;

// One 500-twip line per CR LF-separated line, below the label's top and above a bottom margin:
// one line gives 790 twips, three lines 1790. Saturates instead of wrapping for absurd messages.
int32_t NoticeHeightTwips(std::u16string_view message);

// The closing animation: 19 steps from 19/20 down to 1/20 of the size, the bottom-right corner
// kept where it is.
inline constexpr int32_t kShrinkSteps = 19;
inline constexpr int32_t kShrinkDivisor = 20;
inline constexpr int32_t kShrinkStepSleepMs = 10;

struct NoticeRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;

    friend bool operator==(const NoticeRect&, const NoticeRect&) = default;
};

struct NoticeSize {
    int32_t width = 0;
    int32_t height = 0;
};

// The size asked for at `step` (19 down to 1): the start size times step / 20, to the nearest
// unit, never less than one unit.
NoticeSize ShrinkSize(const NoticeRect& start, int32_t step);

// Where the window goes once it has taken `actual` (the size read back, which the system may
// have adjusted): its bottom-right corner stays at the start's.
NoticeRect ShrinkPlace(const NoticeRect& start, NoticeSize actual);

// A window of `width` × `height` centred in the area (left, top, right, bottom).
NoticeRect CentreIn(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t width,
                    int32_t height);

}  // namespace quillet::dialogs
