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

int32_t SafeTwipsPerPixel(int32_t twipsPerPixel) {
    return twipsPerPixel > 0 ? twipsPerPixel : 15;
}

}  // namespace

PixelRect ToPixels(const TwipBox& box, int32_t twipsPerPixelX, int32_t twipsPerPixelY) {
    const double tx = SafeTwipsPerPixel(twipsPerPixelX);
    const double ty = SafeTwipsPerPixel(twipsPerPixelY);
    return {RoundHalfUp(box.left / tx), RoundHalfUp(box.top / ty),
            RoundHalfUp((box.left + box.width) / tx), RoundHalfUp((box.top + box.height) / ty)};
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

int32_t FitTextWidth(int32_t width, int64_t widestLinePixels) {
    const int64_t needed =
        std::clamp<int64_t>(widestLinePixels, 0, kMaxPopupWidth) + kTextClearance;
    return static_cast<int32_t>(
        std::min<int64_t>(std::max<int64_t>(width, needed), kMaxPopupWidth));
}

int32_t ScreenPixels(int64_t twips, int32_t twipsPerPixel) {
    return RoundHalfUp(static_cast<double>(twips) / SafeTwipsPerPixel(twipsPerPixel));
}

Request PopupRequest(std::u16string_view dispPos, int64_t reportWidth, Point pointer,
                     int32_t screenWidth, int32_t screenHeight) {
    Request r;
    r.width = PopupWidth(reportWidth);
    r.height = kBodyHeight;
    switch (AnchorFor(dispPos)) {
        case Anchor::TopLeftCorner:
            r.anchor = {kCornerAnchorMargin, kCornerAnchorMargin};
            break;
        case Anchor::TopRightCorner:
            r.anchor = {screenWidth - kCornerAnchorMargin, kCornerAnchorMargin};
            break;
        case Anchor::BottomRightCorner:
            r.anchor = {screenWidth - kCornerAnchorMargin, screenHeight - kCornerAnchorMargin};
            break;
        case Anchor::Pointer:
            r.anchor = pointer;
            r.height = kPointerHeight;
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

Side ChooseSide(Point anchor, int32_t width, int32_t height) {
    const bool left = anchor.x > width;
    const bool above = anchor.y > height;
    if (left) return above ? Side::LeftAbove : Side::LeftBelow;
    return above ? Side::RightAbove : Side::RightBelow;
}

TwipBox WindowBox(Side side, Point anchor, int32_t width, int32_t height, int32_t twipsPerPixelX,
                  int32_t twipsPerPixelY) {
    const double tx = SafeTwipsPerPixel(twipsPerPixelX);
    const double ty = SafeTwipsPerPixel(twipsPerPixelY);
    // In 64 bits: an anchor far off the screen must not wrap around.
    const int64_t left = IsLeft(side) ? int64_t{anchor.x} - width : int64_t{anchor.x};
    const int64_t top = IsAbove(side) ? int64_t{anchor.y} - height : int64_t{anchor.y};
    return {static_cast<double>(left) * tx, static_cast<double>(top) * ty, width * tx, height * ty};
}

InnerLayout LayoutInside(Side side, int32_t tail, double clientWidth, double clientHeight,
                         int32_t twipsPerPixelX, int32_t twipsPerPixelY) {
    const double tx = SafeTwipsPerPixel(twipsPerPixelX);
    const double ty = SafeTwipsPerPixel(twipsPerPixelY);
    // The text sits half a corner diameter inside the body, clear of the rounded corners.
    const double inset = kCornerEllipse / 2.0;
    InnerLayout l;
    l.text.left = inset * tx;
    l.text.width = clientWidth - kFrWidthTwips;
    if (IsAbove(side)) {
        l.text.top = inset * ty;
        l.text.height = clientHeight - (tail - kCornerEllipse) * ty;
    } else {
        l.text.top = (tail + inset) * ty;
        l.text.height = clientHeight - kCornerEllipse * ty;
    }
    // The icon column sits inside the text's top-right corner.
    l.fr = {l.text.left + l.text.width - kFrWidthTwips, l.text.top, kFrWidthTwips, kFrHeightTwips};
    return l;
}

Shape BalloonShape(Side side, int32_t tail, int32_t right, int32_t bottom) {
    Shape s;
    const bool above = IsAbove(side);
    s.body = above ? PixelRect{0, 0, right, bottom - tail} : PixelRect{0, tail, right, bottom};
    if (tail > 0) {
        const Point apex{IsLeft(side) ? right : 0, above ? bottom : 0};
        // The base lies on the body's row next to the band, so tail and body touch.
        const int32_t baseY = above ? bottom - tail - 1 : tail;
        auto fromAnchorSide = [&](int32_t offset) {
            const int32_t x = IsLeft(side) ? right - offset : offset;
            return std::clamp(x, 0, std::max(right, 0));
        };
        s.tail = std::array<Point, 3>{apex, Point{fromAnchorSide(kTailBaseNear), baseY},
                                      Point{fromAnchorSide(kTailBaseFar), baseY}};
    }
    return s;
}

Layout LayoutPopup(Point anchor, int32_t width, int32_t height, bool tail, int32_t twipsPerPixelX,
                   int32_t twipsPerPixelY) {
    Layout l;
    l.tail = tail ? kTailBand : 0;
    l.side = ChooseSide(anchor, width, height);
    l.window = WindowBox(l.side, anchor, width, height, twipsPerPixelX, twipsPerPixelY);
    l.inside = LayoutInside(l.side, l.tail, l.window.width, l.window.height, twipsPerPixelX,
                            twipsPerPixelY);
    l.shape = BalloonShape(l.side, l.tail, width, height);
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
