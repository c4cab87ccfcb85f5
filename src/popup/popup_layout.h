// The count popup's arithmetic, apart from the Win32 calls that carry it out: the request each
// display position makes, the side of the anchor the balloon opens on, where its window and
// controls go, its outline, and the auto-close count-down.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "display/placement.h"

namespace quillet::popup {

// Pixel figures here are design pixels (96 dpi); the popup scales them to the DPI of the monitor
// it opens on. Twips are the same at every DPI (1440 per inch).
inline constexpr int32_t kBodyHeight = 60;  // the balloon body, in every mode
inline constexpr int32_t kTailBand = 20;    // the strip between body and pointer
inline constexpr int32_t kPointerHeight = kBodyHeight + kTailBand;
inline constexpr int32_t kCornerEllipse = 15;       // the body's rounded corners (diameter)
inline constexpr int32_t kCornerAnchorMargin = 20;  // corner anchors' distance from the edges
// 6 pixels per Shift-JIS byte of the widest line, calibrated so that 25 bytes give 230.
inline constexpr int32_t kPixelsPerByte = 6;
inline constexpr int32_t kWidthBase = 80;
// Window sizes beyond the 16-bit coordinate range are not drawable anywhere; a search string of
// some thousand characters would otherwise ask for one.
inline constexpr int32_t kMaxPopupWidth = 32767;
// The pointer tail's base on the body's edge, measured from the anchor's side of the window.
inline constexpr int32_t kTailBaseNear = 12;
inline constexpr int32_t kTailBaseFar = 32;

// The icon column Fr and its controls, in twips (15 per pixel at 96 dpi).
inline constexpr int32_t kFrWidthTwips = 285;
inline constexpr int32_t kFrHeightTwips = 1005;
inline constexpr int32_t kImgTopTwips = 0;
inline constexpr int32_t kImgSizeTwips = 285;
inline constexpr int32_t kCloseTopTwips = 270;
inline constexpr int32_t kCloseWidthTwips = 285;
inline constexpr int32_t kCloseHeightTwips = 255;
inline constexpr int32_t kTimeTopTwips = 540;
inline constexpr int32_t kTimeWidthTwips = 315;
inline constexpr int32_t kTimeHeightTwips = 225;
// The popup's client area when it is created, before the first layout.
inline constexpr int32_t kCreatedWidthTwips = 9375;
inline constexpr int32_t kCreatedHeightTwips = 4305;

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Pixels: left and top inclusive, right and bottom exclusive, as Win32 rectangles.
struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Twips; halves of pixels occur (the text's 7.5-pixel inset), so they are not whole numbers.
struct TwipBox {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const TwipBox&, const TwipBox&) = default;
};

// Twips to whole screen pixels at `dpi`, each edge to the nearest pixel (halves up), so that
// boxes that share an edge in twips still share it in pixels.
PixelRect ToPixels(const TwipBox& box, int dpi);

// ---- The request of one report (the presentation) ----

enum class Anchor { TopLeftCorner, TopRightCorner, BottomRightCorner, Pointer };

// Exact text equality with the three corner items; anything else, the empty text included,
// means the pointer.
Anchor AnchorFor(std::u16string_view dispPos);

// 6 × ReportWidth + 80 design pixels, kept within 80 .. kMaxPopupWidth.
int32_t PopupWidth(int64_t reportWidth);

// Room the text box needs beside its widest line, in design pixels: the 7.5-pixel inset on the
// left, on the right the icon column (which covers the top-right corner of every line) and its
// 11.5-pixel margin, and 6 pixels of air between the text and the column.
inline constexpr int32_t kTextClearance = 44;

// The width of 6 pixels per byte assumes glyphs 6 pixels wide; a font whose half-width glyphs
// are wider (7 pixels at 13 pixels high is common) needs more for a long line. The popup grows
// to the measured width of its widest line then (screen pixels at `dpi`), never shrinks below
// `width`, and stays drawable.
int32_t FitTextWidth(int32_t width, int64_t widestLinePixels, int dpi);

// One report's popup in screen pixels at `dpi`: the anchor, the window's size and whether it has
// the pointer's tail. The corners are those of `work`, the work area of the monitor under the
// pointer, where the user works; the task bar is left free.
//
// The body is one line of the report's font taller when the report has its fourth line, so that
// the first three keep the room they always had: `figureLineHeight` is that font's line height
// in screen pixels at `dpi` when the line is there, 0 when it is not.
struct Request {
    Point anchor;
    int32_t width = 0;
    int32_t height = 0;
    bool tail = false;
    friend bool operator==(const Request&, const Request&) = default;
};

Request PopupRequest(std::u16string_view dispPos, int64_t reportWidth, Point pointer,
                     const display::ScreenRect& work, int dpi, int32_t figureLineHeight = 0);

// ---- LayoutPopup ----

// The direction the balloon opens from its anchor: 左上, 左下, 右上, 右下.
enum class Side { LeftAbove, LeftBelow, RightAbove, RightBelow };

std::u16string_view SideToken(Side side);
constexpr bool IsAbove(Side side) {
    return side == Side::LeftAbove || side == Side::RightAbove;
}
constexpr bool IsLeft(Side side) {
    return side == Side::LeftAbove || side == Side::LeftBelow;
}

// Left of the anchor when it lies more than `width` right of the work area's left edge, above
// it when more than `height` below its top (both strict); the right and bottom edges are not
// looked at here.
Side ChooseSide(Point anchor, int32_t width, int32_t height, const display::ScreenRect& work);

// The text box and the icon column, in client twips. `clientWidth` and `clientHeight` are the
// window's client size in twips; `tail` the band's height in screen pixels at `dpi` (0 without).
struct InnerLayout {
    TwipBox text;
    TwipBox fr;
    friend bool operator==(const InnerLayout&, const InnerLayout&) = default;
};
InnerLayout LayoutInside(Side side, int32_t tail, double clientWidth, double clientHeight, int dpi);

// The balloon outline in client pixels (the client rectangle is 0, 0, right, bottom): the body
// with rounded corners (`ellipse` their diameter), and in pointer mode a triangle from the
// body's edge to the anchor's corner.
struct Shape {
    PixelRect body;
    int32_t ellipse = kCornerEllipse;
    std::optional<std::array<Point, 3>> tail;  // the apex first
};
Shape BalloonShape(Side side, int32_t tail, int32_t right, int32_t bottom, int dpi);

// Everything LayoutPopup decides for one report, at `dpi`.
struct Layout {
    Side side = Side::LeftAbove;
    int32_t tail = 0;  // screen pixels
    PixelRect window;  // screen pixels
    InnerLayout inside;
    Shape shape;
};
// The anchor is a corner of the window, on the side ChooseSide picks; a window that would still
// cross an edge of the work area is moved inside it.
Layout LayoutPopup(const Request& request, const display::ScreenRect& work, int dpi);

// ---- Timer_AutoClose ----

// The auto-close count-down of one loaded popup. The remaining seconds are kept as decimal text,
// the timer's tag; every step reads it back as a number.
class CountDown {
public:
    // Loading the popup arms the count-down with TimeAutoClose, whatever its value.
    explicit CountDown(int32_t timeAutoClose);

    // A new text restarts a positive count-down from the full value; 0 or less leaves it alone.
    // True when it restarted.
    bool TextChanged(int32_t timeAutoClose);
    // A click on the text keeps the popup open: the next tick stops the timer for good.
    void TextClicked();

    enum class Tick { Stopped, Close, Counting };
    // One second has passed.
    Tick OnTick();

    bool TimerEnabled() const { return enabled_; }
    bool KeepOpen() const { return keepOpen_; }
    const std::u16string& Tag() const { return tag_; }
    // What lblTime shows: empty, or the remaining seconds.
    const std::u16string& Label() const { return label_; }

private:
    std::u16string tag_;
    std::u16string label_;
    bool enabled_ = true;
    bool keepOpen_ = false;
};

// The tag's number: an optional '-' and decimal digits; anything else reads as 0.
int64_t TagValue(std::u16string_view tag);
std::u16string TagText(int64_t value);

}  // namespace quillet::popup
