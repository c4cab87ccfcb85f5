#include "popup/popup_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillet::popup {

namespace {

int32_t RoundHalfUp(double value) {
    const double r = std::floor(value + 0.5);
    if (!(r > std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    if (!(r < std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

}  // namespace

PixelRect ToPixels(const TwipBox& box, int dpi) {
    auto px = [dpi](double twips) {
        return RoundHalfUp(display::PixelsFromTwipsExact(twips, dpi));
    };
    return {px(box.left), px(box.top), px(box.left + box.width), px(box.top + box.height)};
}

Anchor AnchorFor(std::u16string_view dispPos) {
    if (dispPos == u"左上隅") return Anchor::TopLeftCorner;
    if (dispPos == u"右上隅") return Anchor::TopRightCorner;
    if (dispPos == u"右下隅") return Anchor::BottomRightCorner;
    return Anchor::Pointer;
}

int32_t PopupWidth(int64_t reportWidth) {
    // A width beyond the limit is cut before multiplying, so nothing overflows.
    const int64_t limit = (kMaxPopupWidth - kWidthBase) / kPixelsPerByte + 1;
    const int64_t bytes = std::clamp<int64_t>(reportWidth, 0, limit);
    return static_cast<int32_t>(
        std::min<int64_t>(kPixelsPerByte * bytes + kWidthBase, kMaxPopupWidth));
}

int32_t FitTextWidth(int32_t width, int64_t widestLinePixels, int dpi) {
    const int64_t needed = std::clamp<int64_t>(widestLinePixels, 0, kMaxPopupWidth) +
                           display::Scale(kTextClearance, dpi);
    return static_cast<int32_t>(
        std::min<int64_t>(std::max<int64_t>(width, needed), kMaxPopupWidth));
}

Request PopupRequest(std::u16string_view dispPos, int64_t reportWidth, Point pointer,
                     const display::ScreenRect& work, int dpi, int32_t figureLineHeight) {
    Request r;
    r.width = std::min(display::Scale(PopupWidth(reportWidth), dpi), kMaxPopupWidth);
    // A line is a few dozen pixels; the bound only keeps a wrong measure from overflowing.
    const int32_t figureLine = std::clamp(figureLineHeight, 0, kMaxPopupWidth);
    r.height = display::Scale(kBodyHeight, dpi) + figureLine;
    const int32_t margin = display::Scale(kCornerAnchorMargin, dpi);
    const auto left = static_cast<int32_t>(work.Left) + margin;
    const auto top = static_cast<int32_t>(work.Top) + margin;
    const auto right = static_cast<int32_t>(work.Right) - margin;
    const auto bottom = static_cast<int32_t>(work.Bottom) - margin;
    switch (AnchorFor(dispPos)) {
        case Anchor::TopLeftCorner:
            r.anchor = {left, top};
            break;
        case Anchor::TopRightCorner:
            r.anchor = {right, top};
            break;
        case Anchor::BottomRightCorner:
            r.anchor = {right, bottom};
            break;
        case Anchor::Pointer:
            r.anchor = pointer;
            r.height = display::Scale(kPointerHeight, dpi) + figureLine;
            r.tail = true;
            break;
    }
    return r;
}

std::u16string_view SideToken(Side side) {
    switch (side) {
        case Side::LeftAbove:
            return u"左上";
        case Side::LeftBelow:
            return u"左下";
        case Side::RightAbove:
            return u"右上";
        case Side::RightBelow:
            return u"右下";
    }
    return u"";
}

Side ChooseSide(Point anchor, int32_t width, int32_t height, const display::ScreenRect& work) {
    const bool left = anchor.x - work.Left > width;
    const bool above = anchor.y - work.Top > height;
    if (left) return above ? Side::LeftAbove : Side::LeftBelow;
    return above ? Side::RightAbove : Side::RightBelow;
}

InnerLayout LayoutInside(Side side, int32_t tail, double clientWidth, double clientHeight,
                         int dpi) {
    // In twips, which design pixels give at 15 each whatever the DPI. The text sits half a
    // corner diameter inside the body, clear of the rounded corners.
    constexpr double kPx = display::kTwipsPerDesignPixel;
    const double inset = kCornerEllipse / 2.0 * kPx;
    const double band = display::TwipsFromPixels(tail, dpi);
    InnerLayout l;
    l.text.left = inset;
    l.text.width = clientWidth - kFrWidthTwips;
    if (IsAbove(side)) {
        l.text.top = inset;
        l.text.height = clientHeight - (band - kCornerEllipse * kPx);
    } else {
        l.text.top = band + inset;
        l.text.height = clientHeight - kCornerEllipse * kPx;
    }
    // The icon column sits inside the text's top-right corner.
    l.fr = {l.text.left + l.text.width - kFrWidthTwips, l.text.top, kFrWidthTwips, kFrHeightTwips};
    return l;
}

Shape BalloonShape(Side side, int32_t tail, int32_t right, int32_t bottom, int dpi) {
    Shape s;
    s.ellipse = display::Scale(kCornerEllipse, dpi);
    const bool above = IsAbove(side);
    s.body = above ? PixelRect{0, 0, right, bottom - tail} : PixelRect{0, tail, right, bottom};
    if (tail > 0) {
        const Point apex{IsLeft(side) ? right : 0, above ? bottom : 0};
        // The base lies on the body's row next to the band, so tail and body touch.
        const int32_t baseY = above ? bottom - tail - 1 : tail;
        auto fromAnchorSide = [&](int32_t designOffset) {
            const int32_t offset = display::Scale(designOffset, dpi);
            const int32_t x = IsLeft(side) ? right - offset : offset;
            return std::clamp(x, 0, std::max(right, 0));
        };
        s.tail = std::array<Point, 3>{apex, Point{fromAnchorSide(kTailBaseNear), baseY},
                                      Point{fromAnchorSide(kTailBaseFar), baseY}};
    }
    return s;
}

Layout LayoutPopup(const Request& request, const display::ScreenRect& work, int dpi) {
    Layout l;
    l.tail = request.tail ? display::Scale(kTailBand, dpi) : 0;
    l.side = ChooseSide(request.anchor, request.width, request.height, work);
    // In 64 bits: an anchor far off the screen must not wrap around.
    const int64_t left =
        IsLeft(l.side) ? int64_t{request.anchor.x} - request.width : int64_t{request.anchor.x};
    const int64_t top =
        IsAbove(l.side) ? int64_t{request.anchor.y} - request.height : int64_t{request.anchor.y};
    const display::ScreenRect placed =
        display::MoveInside({left, top, left + request.width, top + request.height}, work);
    l.window = {static_cast<int32_t>(placed.Left), static_cast<int32_t>(placed.Top),
                static_cast<int32_t>(placed.Right), static_cast<int32_t>(placed.Bottom)};
    l.inside = LayoutInside(l.side, l.tail, display::TwipsFromPixels(request.width, dpi),
                            display::TwipsFromPixels(request.height, dpi), dpi);
    l.shape = BalloonShape(l.side, l.tail, request.width, request.height, dpi);
    return l;
}

int64_t TagValue(std::u16string_view tag) {
    bool negative = false;
    size_t i = 0;
    if (i < tag.size() && tag[i] == u'-') negative = true, ++i;
    int64_t value = 0;
    for (; i < tag.size() && tag[i] >= u'0' && tag[i] <= u'9'; ++i) {
        if (value > (std::numeric_limits<int64_t>::max() - 9) / 10) break;
        value = value * 10 + (tag[i] - u'0');
    }
    return negative ? -value : value;
}

std::u16string TagText(int64_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

CountDown::CountDown(int32_t timeAutoClose) : tag_(TagText(timeAutoClose)) {}

bool CountDown::TextChanged(int32_t timeAutoClose) {
    if (timeAutoClose < 1) return false;
    tag_ = TagText(timeAutoClose);
    enabled_ = true;
    label_.clear();
    return true;
}

void CountDown::TextClicked() {
    keepOpen_ = true;
    label_.clear();
}

CountDown::Tick CountDown::OnTick() {
    if (!enabled_) return Tick::Stopped;
    if (keepOpen_) {
        enabled_ = false;
        return Tick::Stopped;
    }
    const int64_t remaining = TagValue(tag_) - 1;
    tag_ = TagText(remaining);
    if (remaining <= 0) {
        enabled_ = false;
        return Tick::Close;
    }
    label_ = tag_;
    return Tick::Counting;
}

}  // namespace quillet::popup
