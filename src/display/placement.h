// Where the main window goes at start-up when its saved place is on no monitor any more (a
// monitor removed, a resolution lowered). Pixels of the virtual screen.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>

namespace quillet::display {

struct ScreenRect {
    int64_t Left = 0;
    int64_t Top = 0;
    int64_t Right = 0;
    int64_t Bottom = 0;
    constexpr int64_t Width() const { return Right - Left; }
    constexpr int64_t Height() const { return Bottom - Top; }
    constexpr bool operator==(const ScreenRect&) const = default;
};

struct MonitorArea {
    ScreenRect Monitor;  // the whole monitor
    ScreenRect Work;     // the part that task bars leave free
};

// The caption lives in the window's top band. The user can take the window back as long as a
// monitor shows a grip of this many pixels each way of that band.
inline constexpr int64_t kCaptionBandPixels = 32;
inline constexpr int64_t kMinGripPixels = 16;

// Whether `monitor` shows enough of the window's caption band to drag the window by it.
constexpr bool ShowsCaption(const ScreenRect& window, const ScreenRect& monitor) {
    const int64_t bandBottom = std::min(window.Bottom, window.Top + kCaptionBandPixels);
    const int64_t width =
        std::min(window.Right, monitor.Right) - std::max(window.Left, monitor.Left);
    const int64_t height = std::min(bandBottom, monitor.Bottom) - std::max(window.Top, monitor.Top);
    return width >= std::min(kMinGripPixels, window.Width()) &&
           height >= std::min(kMinGripPixels, bandBottom - window.Top);
}

// Squared distance between two rectangles; 0 when they touch or overlap.
constexpr int64_t DistanceSquared(const ScreenRect& a, const ScreenRect& b) {
    const int64_t dx = std::max<int64_t>({0, b.Left - a.Right, a.Left - b.Right});
    const int64_t dy = std::max<int64_t>({0, b.Top - a.Bottom, a.Top - b.Bottom});
    // Positions come from a settings file: keep the squares inside 64 bits.
    constexpr int64_t kCap = int64_t{1} << 31;
    const int64_t x = std::min(dx, kCap), y = std::min(dy, kCap);
    return x * x + y * y;
}

// A window whose caption some monitor shows stays exactly where it was saved. Any other is
// moved, at its size, the shortest way into the work area of the nearest monitor (the first
// of equals); when it is larger than that area, its top-left corner goes to the area's.
// Without monitors the window stays.
constexpr ScreenRect PlaceOnScreen(const ScreenRect& window,
                                   std::span<const MonitorArea> monitors) {
    const MonitorArea* nearest = nullptr;
    int64_t best = std::numeric_limits<int64_t>::max();
    for (const MonitorArea& m : monitors) {
        if (ShowsCaption(window, m.Monitor)) return window;
        const int64_t d = DistanceSquared(window, m.Monitor);
        if (d < best) {
            best = d;
            nearest = &m;
        }
    }
    if (!nearest) return window;
    const ScreenRect& area = nearest->Work;
    auto fit = [](int64_t start, int64_t size, int64_t low, int64_t high) {
        return std::max(low, std::min(start, high - size));
    };
    const int64_t left = fit(window.Left, window.Width(), area.Left, area.Right);
    const int64_t top = fit(window.Top, window.Height(), area.Top, area.Bottom);
    return {left, top, left + window.Width(), top + window.Height()};
}

}  // namespace quillet::display
