#include "dialogs/setting_rules.h"

#include <cstdlib>
#include <string>

namespace quillet::dialogs {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Takes back a tick setting: the loaded value while the box shows what it showed on load.
int32_t TakeTick(int32_t loaded, bool shownOnLoad, bool ticked) {
    if (ticked == shownOnLoad) return loaded;
    return ticked ? 1 : 0;
}

}  // namespace

ItemTicks CustomItemTicks(std::u16string_view customItem) {
    ItemTicks ticks{};
    for (std::size_t i = 0; i < ticks.size() && i < customItem.size(); ++i) {
        ticks[i] = customItem[i] == u'1';
    }
    return ticks;
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
    if (shown.Items == CustomItemTicks(loaded.CustomItem)) {
        settings.CustomItem = loaded.CustomItem;
    } else {
        settings.CustomItem.clear();
        for (bool ticked : shown.Items) settings.CustomItem.push_back(ticked ? u'1' : u'0');
    }
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
