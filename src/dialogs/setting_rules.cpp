#include "dialogs/setting_rules.h"

#include <cstdlib>
#include <limits>
#include <string>

namespace quillet::dialogs {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

template <std::size_t N>
std::array<bool, N> Ticks(std::u16string_view flags) {
    std::array<bool, N> ticks{};
    for (std::size_t i = 0; i < N && i < flags.size(); ++i) ticks[i] = flags[i] == u'1';
    return ticks;
}

// Takes back a flag text shown as ticks: the loaded text while the ticks are those it showed,
// else one "1" or "0" per tick.
template <std::size_t N>
std::u16string TakeFlags(std::u16string_view loaded, const std::array<bool, N>& shown) {
    if (shown == Ticks<N>(loaded)) return std::u16string(loaded);
    std::u16string flags;
    for (bool ticked : shown) flags.push_back(ticked ? u'1' : u'0');
    return flags;
}

// Takes back a tick setting: the loaded value while the box shows what it showed on load.
int32_t TakeTick(int32_t loaded, bool shownOnLoad, bool ticked) {
    if (ticked == shownOnLoad) return loaded;
    return ticked ? 1 : 0;
}

}  // namespace

ItemTicks CustomItemTicks(std::u16string_view customItem) {
    return Ticks<kItemCount>(customItem);
}

FigureTicks CustomItemExTicks(std::u16string_view customItemEx) {
    return Ticks<kFigureCount>(customItemEx);
}

std::u16string FormatCharLimit(int32_t limit) {
    const std::string digits = std::to_string(limit);
    return {digits.begin(), digits.end()};
}

int32_t ReadCharLimit(std::u16string_view text, int32_t previous) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    int64_t value = 0;
    for (char16_t c : text) {
        if (!IsDigit(c)) return previous;
        value = value * 10 + (c - u'0');
        if (value > std::numeric_limits<int32_t>::max()) return previous;
    }
    return static_cast<int32_t>(value);
}

std::u16string FormatSeconds(int32_t seconds) {
    const std::string digits = std::to_string(seconds);
    std::u16string text(digits.begin(), digits.end());
    if (text.size() < 2) text.insert(0, 2 - text.size(), u' ');
    return text;
}

double LeadingValue(std::u16string_view text) {
    // The characters that can still belong to the number, blanks left out.
    std::string number;
    std::size_t i = 0;
    auto next = [&]() -> char16_t {
        while (i < text.size() && IsBlank(text[i])) ++i;
        return i < text.size() ? text[i] : u'\0';
    };
    auto take = [&] { number.push_back(static_cast<char>(text[i++])); };

    if (next() == u'+' || next() == u'-') take();
    std::size_t digits = 0;
    for (; IsDigit(next()); ++digits) take();
    if (next() == u'.') {
        take();
        for (; IsDigit(next()); ++digits) take();
    }
    if (digits == 0) return 0;
    const char16_t e = next();
    if (e == u'e' || e == u'E' || e == u'd' || e == u'D') {
        // Only an exponent with digits counts: "1e" and "1e+" end before the letter.
        const std::size_t mark = i;
        const std::size_t length = number.size();
        ++i;
        number.push_back('e');
        if (next() == u'+' || next() == u'-') take();
        if (IsDigit(next())) {
            while (IsDigit(next())) take();
        } else {
            i = mark;
            number.resize(length);
        }
    }
    // Only ASCII reached `number`, so the C locale's reading is the one meant. Too large gives
    // infinity, too small 0.
    return std::strtod(number.c_str(), nullptr);
}

int32_t ReadSeconds(std::u16string_view text, int32_t previous) {
    return RoundHalfEven(LeadingValue(text)).value_or(previous);
}

app::TrayResult Apply(const ControlValues& shown, const Settings& loaded, CloseButton button,
                      Settings& settings) {
    settings.TaskTray = TakeTick(loaded.TaskTray, TaskTrayTicked(loaded.TaskTray), shown.TaskTray);
    settings.CustomItem = TakeFlags(loaded.CustomItem, shown.Items);
    settings.CustomItemEx = TakeFlags(loaded.CustomItemEx, shown.Figures);
    settings.CharLimit = shown.CharLimit == FormatCharLimit(loaded.CharLimit)
                             ? loaded.CharLimit
                             : ReadCharLimit(shown.CharLimit, loaded.CharLimit);
    settings.SearchString = shown.SearchString;
    settings.DispPos = shown.DispPos;
    settings.TimeAutoClose = ReadSeconds(shown.TimeAutoClose, loaded.TimeAutoClose);
    settings.SearchFuzzy =
        TakeTick(loaded.SearchFuzzy, FlagTicked(loaded.SearchFuzzy), shown.SearchFuzzy);
    settings.CustomMsg = TakeTick(loaded.CustomMsg, FlagTicked(loaded.CustomMsg), shown.CustomMsg);

    if (button == CloseButton::End) return app::TrayResult::End;
    if (settings.TaskTray == 1) return app::TrayResult::Tray;
    return app::TrayResult::None;
}

DialogLayout LayoutFor(bool trayTicked, app::TrayResult trayResult) {
    DialogLayout layout;
    layout.OuterHeight = trayTicked ? kTallHeight : kShortHeight;
    layout.EndVisible = trayTicked && trayResult == app::TrayResult::Tray;
    layout.PopupFrameVisible = trayTicked;
    return layout;
}

}  // namespace quillet::dialogs
