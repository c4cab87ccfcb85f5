#include "display/dpi.h"

#include "display/units.h"
#include "platform/system.h"

namespace quillet::display {

namespace {

using SetAwarenessContext = BOOL(WINAPI*)(HANDLE);
using DpiForWindow = UINT(WINAPI*)(HWND);
using DpiForSystem = UINT(WINAPI*)();
using MetricsForDpi = int(WINAPI*)(int, UINT);
using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

// Functions of newer systems, looked up once; null where the system lacks them.
struct Api {
    template <typename F>
    static F Find(const wchar_t* module, const char* name) {
        return sys::FindSystemFunction<F>(module, name);
    }
    SetAwarenessContext setAwarenessContext =
        Find<SetAwarenessContext>(L"user32.dll", "SetProcessDpiAwarenessContext");
    DpiForWindow dpiForWindow = Find<DpiForWindow>(L"user32.dll", "GetDpiForWindow");
    DpiForSystem dpiForSystem = Find<DpiForSystem>(L"user32.dll", "GetDpiForSystem");
    MetricsForDpi metricsForDpi = Find<MetricsForDpi>(L"user32.dll", "GetSystemMetricsForDpi");
    AdjustForDpi adjustForDpi = Find<AdjustForDpi>(L"user32.dll", "AdjustWindowRectExForDpi");
    DpiForMonitor dpiForMonitor = Find<DpiForMonitor>(L"shcore.dll", "GetDpiForMonitor");
};

const Api& Calls() {
    static const Api api;
    return api;
}

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
const HANDLE kPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

int DpiOfMonitor(HMONITOR monitor) {
    UINT x = 0, y = 0;
    if (monitor && Calls().dpiForMonitor &&
        SUCCEEDED(Calls().dpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && x > 0) {
        return static_cast<int>(x);
    }
    return SystemDpi();
}

}  // namespace

void DeclarePerMonitorAwareness() {
    if (Calls().setAwarenessContext) Calls().setAwarenessContext(kPerMonitorV2);
}

int SystemDpi() {
    if (Calls().dpiForSystem) return SafeDpi(static_cast<int>(Calls().dpiForSystem()));
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : kDesignDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return SafeDpi(dpi);
}

int DpiOfWindow(HWND hwnd) {
    if (hwnd && Calls().dpiForWindow) {
        if (const UINT dpi = Calls().dpiForWindow(hwnd)) return static_cast<int>(dpi);
    }
    return hwnd ? DpiOfMonitor(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST)) : SystemDpi();
}

int DpiAt(POINT point) {
    return DpiOfMonitor(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
}

int SystemMetric(int index, int dpi) {
    if (Calls().metricsForDpi) return Calls().metricsForDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

RECT OuterRect(RECT client, DWORD style, bool menu, DWORD exStyle, int dpi) {
    if (!Calls().adjustForDpi ||
        !Calls().adjustForDpi(&client, style, menu, exStyle, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&client, style, menu, exStyle);
    }
    return client;
}

}  // namespace quillet::display
