#include "display/monitors.h"

#include <windows.h>

#include "display/dpi.h"

namespace quillet::display {

namespace {

ScreenRect FromRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

MonitorArea AreaOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoW(monitor, &info)) {
        const ScreenRect screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return {screen, screen, SystemDpi()};
    }
    return {FromRect(info.rcMonitor), FromRect(info.rcWork),
            DpiAt({info.rcMonitor.left, info.rcMonitor.top})};
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(AreaOf(monitor));
    return TRUE;
}

}  // namespace

std::vector<MonitorArea> Monitors() {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

MonitorArea MonitorUnderPointer() {
    POINT pointer{};
    GetCursorPos(&pointer);
    return MonitorAtPoint(pointer);
}

MonitorArea MonitorAtPoint(POINT point) {
    return AreaOf(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
}

MonitorArea MonitorOfWindow(HWND hwnd) {
    return AreaOf(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST));
}

}  // namespace quillet::display
