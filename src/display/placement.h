// Where windows go on the monitors the system shows: the monitor under a point, moving a window
// inside a work area, and where the main window goes at start-up, including when its saved place
// is on no monitor any more (a monitor removed, a resolution lowered). Pixels of the virtual
// screen; portable, so that the rules are tested with invented monitors.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>

#include "display/units.h"

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
    ScreenRect Monitor;    // the whole monitor
    ScreenRect Work;       // the part that task bars leave free
    int Dpi = kDesignDpi;  // its resolution, which sizes the windows on it
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

// `window` moved, at its size, the shortest way inside `area`; when it is larger than the area,
// its top-left corner goes to the area's.
constexpr ScreenRect MoveInside(const ScreenRect& window, const ScreenRect& area) {
    auto fit = [](int64_t start, int64_t size, int64_t low, int64_t high) {
        return std::max(low, std::min(start, high - size));
    };
    const int64_t left = fit(window.Left, window.Width(), area.Left, area.Right);
    const int64_t top = fit(window.Top, window.Height(), area.Top, area.Bottom);
    return {left, top, left + window.Width(), top + window.Height()};
}

// A window of `width` × `height` centred in `area` (halves rounded towards the top left).
constexpr ScreenRect CentreIn(const ScreenRect& area, int64_t width, int64_t height) {
    const int64_t left = area.Left + (area.Width() - width) / 2;
    const int64_t top = area.Top + (area.Height() - height) / 2;
    return {left, top, left + width, top + height};
}

// The monitor that holds the point, or else the nearest one (the first of equals); null
// without monitors.
constexpr const MonitorArea* MonitorAt(int64_t x, int64_t y,
                                       std::span<const MonitorArea> monitors) {
    const MonitorArea* nearest = nullptr;
    int64_t best = std::numeric_limits<int64_t>::max();
    for (const MonitorArea& m : monitors) {
        const ScreenRect& r = m.Monitor;
        if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return &m;
        const int64_t d = DistanceSquared({x, y, x + 1, y + 1}, r);
        if (d < best) {
            best = d;
            nearest = &m;
        }
    }
    return nearest;
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
    return MoveInside(window, nearest->Work);
}

// The main window's place in Conf.txt is in twips. Its position is read at the system's DPI (the
// primary monitor's at sign-in), the same for every monitor, so positions on all monitors stay
// in one coordinate system; its size at the DPI of the monitor it comes back on, so it keeps its
// size in inches there. A place saved on a monitor and read on the same monitor at the same DPI
// gives back the same pixels. A place no monitor shows is brought onto the nearest work area.
struct TwipsGeometry {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
};

inline ScreenRect WindowFromTwips(const TwipsGeometry& g, int systemDpi,
                                  std::span<const MonitorArea> monitors) {
    const int64_t left = PixelsFromTwips(g.Left, systemDpi);
    const int64_t top = PixelsFromTwips(g.Top, systemDpi);
    const MonitorArea* at = MonitorAt(left, top, monitors);
    const int dpi = at ? at->Dpi : systemDpi;
    const ScreenRect placed{left, top, left + PixelsFromTwips(g.Width, dpi),
                            top + PixelsFromTwips(g.Height, dpi)};
    return PlaceOnScreen(placed, monitors);
}

// The window's rectangle back to twips: `windowDpi` is the DPI the window is at now.
inline TwipsGeometry TwipsFromWindow(const ScreenRect& r, int systemDpi, int windowDpi) {
    return {TwipsFromPixels(static_cast<double>(r.Left), systemDpi),
            TwipsFromPixels(static_cast<double>(r.Top), systemDpi),
            TwipsFromPixels(static_cast<double>(r.Width()), windowDpi),
            TwipsFromPixels(static_cast<double>(r.Height()), windowDpi)};
}

}  // namespace quillet::display
