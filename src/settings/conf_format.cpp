#include "settings/conf_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "text/text.h"

namespace quillet {
namespace {

// The keys as they are written; reading compares them after trimming and lower-casing.
constexpr std::string_view kFormLeft = "form left";
constexpr std::string_view kFormTop = "form top";
constexpr std::string_view kFormWidth = "form width";
constexpr std::string_view kFormHeight = "form height";
constexpr std::string_view kTaskTray = "task tray";
constexpr std::string_view kTimeAutoClose = "time auto close";
constexpr std::string_view kDispPos = "disp pos";
constexpr std::string_view kSearchString = "search string";
constexpr std::string_view kSearchFuzzy = "search fuzzy";
constexpr std::string_view kCustomItem = "custom item";
constexpr std::string_view kCustomMsg = "custom msg";
constexpr std::string_view kCustomItemEx = "custom item ex";
constexpr std::string_view kCharLimit = "char limit";

struct NumberKey {
    std::string_view key;
    int32_t Settings::*field;
};
constexpr NumberKey kLeadingNumberKeys[] = {
    {kFormLeft, &Settings::FormLeft},       {kFormTop, &Settings::FormTop},
    {kFormWidth, &Settings::FormWidth},     {kFormHeight, &Settings::FormHeight},
    {kTaskTray, &Settings::TaskTray},       {kTimeAutoClose, &Settings::TimeAutoClose},
    {kSearchFuzzy, &Settings::SearchFuzzy},
};

struct TextKey {
    std::string_view key;
    std::u16string Settings::*field;
};
constexpr TextKey kTextKeys[] = {
    {kDispPos, &Settings::DispPos},
    {kSearchString, &Settings::SearchString},
    {kCustomItem, &Settings::CustomItem},
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimLeadingSpaces(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : s.substr(first);
}

std::string_view TrimSpaces(std::string_view s) {
    s = TrimLeadingSpaces(s);
    return s.substr(0, s.find_last_not_of(' ') + 1);  // npos + 1 == 0 for an empty view
}

// Keys are ASCII; a byte of a Shift-JIS character can never make a key match, so lower-casing
// the ASCII letters is all the comparison needs.
bool KeyEquals(std::string_view key, std::string_view lowerCaseName) {
    if (key.size() != lowerCaseName.size()) return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        char c = key[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != lowerCaseName[i]) return false;
    }
    return true;
}

// Length of the decimal number at the start of `s`: an optional sign, digits with an optional
// decimal point (at least one digit), an optional exponent. 0 when there is none.
std::size_t NumberLength(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i) ++digits;
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && IsDigit(s[i]); ++i) ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        const std::size_t expDigits = j;
        while (j < s.size() && IsDigit(s[j])) ++j;
        if (j > expDigits) i = j;  // "1e" and "1e+" stop before the "e"
    }
    return i;
}

// For a number beyond double's range: whether it is tiny (its first significant digit lies after
// the decimal point once the exponent applies) rather than huge. `number` has no sign.
bool IsTiny(std::string_view number) {
    const std::size_t e = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, e);
    int64_t exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view digits = number.substr(e + 1);
        const bool negative = !digits.empty() && digits[0] == '-';
        if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.remove_prefix(1);
        constexpr int64_t kCap = int64_t{1} << 40;  // far beyond any double, far below overflow
        for (char c : digits) exponent = std::min(exponent * 10 + (c - '0'), kCap);
        if (negative) exponent = -exponent;
    }
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) return true;  // all zeros
    // Decimal exponent of the first significant digit.
    const int64_t lead = first < point ? static_cast<int64_t>(point - first) - 1
                                       : -static_cast<int64_t>(first - point);
    return lead + exponent < 0;
}

// The value of a number that NumberLength accepted; infinite when it is too large for a double.
double NumberValue(std::string_view number) {
    const bool negative = number[0] == '-';
    if (number[0] == '-' || number[0] == '+') number.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                           std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        value = IsTiny(number) ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

// The leading numeric part of a value: spaces skipped, reading stops where the number cannot go
// on, no number at all is 0. Empty when the rounded number does not fit in 32 bits.
std::optional<int32_t> LeadingNumber(std::string_view value) {
    value = TrimLeadingSpaces(value);
    const std::size_t n = NumberLength(value);
    if (n == 0) return 0;
    return RoundHalfEven(NumberValue(value.substr(0, n)));
}

// A value that must be a number as a whole, spaces around it allowed.
std::optional<int32_t> WholeNumber(std::string_view value) {
    value = TrimSpaces(value);
    const std::size_t n = NumberLength(value);
    if (n == 0 || n != value.size()) return std::nullopt;
    return RoundHalfEven(NumberValue(value));
}

// The figures' flags: exactly three of "0" and "1", which is all the dialog ever writes.
std::optional<std::u16string> FlagText(std::string_view value) {
    value = TrimSpaces(value);
    if (value.size() != 3 || value.find_first_not_of("01") != std::string_view::npos) {
        return std::nullopt;
    }
    return std::u16string(value.begin(), value.end());
}

// Digits only, as the dialog's field takes them: no sign, point or exponent.
std::optional<int32_t> DigitsNumber(std::string_view value) {
    value = TrimSpaces(value);
    if (value.empty() || value.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    int32_t number = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (ec != std::errc() || end != value.data() + value.size()) return std::nullopt;
    return number;
}

void ApplyLine(std::string_view line, Settings& settings) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || line.find('=', eq + 1) != std::string_view::npos) return;
    const std::string_view key = TrimSpaces(line.substr(0, eq));
    const std::string_view value = TrimLeadingSpaces(line.substr(eq + 1));

    for (const auto& [name, field] : kLeadingNumberKeys) {
        if (KeyEquals(key, name)) {
            // Out of range: the setting keeps what it had rather than a value nobody wrote.
            if (const auto number = LeadingNumber(value)) settings.*field = *number;
            return;
        }
    }
    for (const auto& [name, field] : kTextKeys) {
        if (KeyEquals(key, name)) {
            settings.*field = text::FromSjis(value);
            return;
        }
    }
    if (KeyEquals(key, kCustomMsg)) {
        // Not a number, or out of range: the setting keeps what it had.
        if (const auto number = WholeNumber(value)) settings.CustomMsg = *number;
    }
    // The figures' settings are newer and narrower: a value they cannot take is their default.
    const Settings defaults;
    if (KeyEquals(key, kCustomItemEx)) {
        settings.CustomItemEx = FlagText(value).value_or(defaults.CustomItemEx);
    }
    if (KeyEquals(key, kCharLimit)) {
        settings.CharLimit = DigitsNumber(value).value_or(defaults.CharLimit);
    }
}

void AppendLine(std::string& out, std::string_view key, std::string_view value) {
    out.append(key);
    out.append(" = ");
    out.append(value);
    out.append("\r\n");
}

std::string IntegerText(int32_t value) {
    char buf[16];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, result.ptr);
}

// The shortest decimal text that reads back as the same float, in plain decimal: the shortest
// digits come from the exponent form, which every standard library gives alike, and are then
// placed around the decimal point by hand ("1e+06" becomes "1000000").
std::string FloatText(float value) {
    if (!std::isfinite(value)) return "0";
    if (value == 0) return "0";  // also for -0
    char buf[32];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const std::string_view sci(buf, static_cast<std::size_t>(result.ptr - buf));
    const std::size_t e = sci.find('e');
    std::string out;
    std::string digits;
    for (char c : sci.substr(0, e)) {
        if (c == '-') {
            out.push_back('-');
        } else if (c != '.') {
            digits.push_back(c);
        }
    }
    int exponent = 0;
    std::string_view expText = sci.substr(e + 1);
    if (expText[0] == '+') expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
    const int count = static_cast<int>(digits.size());
    if (exponent >= count - 1) {
        out += digits;
        out.append(static_cast<std::size_t>(exponent - (count - 1)), '0');
    } else if (exponent >= 0) {
        out += digits.substr(0, static_cast<std::size_t>(exponent) + 1);
        out.push_back('.');
        out += digits.substr(static_cast<std::size_t>(exponent) + 1);
    } else {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    }
    return out;
}

}  // namespace

void ApplyConfText(std::string_view bytes, Settings& settings) {
    // A line ends at CR LF or at a lone CR; a lone LF belongs to the line.
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t cr = bytes.find('\r', pos);
        ApplyLine(bytes.substr(pos, cr == std::string_view::npos ? cr : cr - pos), settings);
        if (cr == std::string_view::npos) break;
        pos = cr + 1;
        if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
    }
}

std::string FormatConfText(const Settings& settings, const WindowGeometry& geometry) {
    std::string out;
    AppendLine(out, kFormLeft, FloatText(geometry.Left));
    AppendLine(out, kFormTop, FloatText(geometry.Top));
    AppendLine(out, kFormWidth, FloatText(geometry.Width));
    AppendLine(out, kFormHeight, FloatText(geometry.Height));
    AppendLine(out, kTaskTray, IntegerText(settings.TaskTray));
    AppendLine(out, kTimeAutoClose, IntegerText(settings.TimeAutoClose));
    AppendLine(out, kDispPos, text::ToSjis(settings.DispPos));
    AppendLine(out, kSearchString, text::ToSjis(settings.SearchString));
    AppendLine(out, kSearchFuzzy, IntegerText(settings.SearchFuzzy));
    AppendLine(out, kCustomItem, text::ToSjis(settings.CustomItem));
    AppendLine(out, kCustomMsg, IntegerText(settings.CustomMsg));
    const Settings defaults;
    if (settings.CustomItemEx != defaults.CustomItemEx) {
        AppendLine(out, kCustomItemEx, text::ToSjis(settings.CustomItemEx));
    }
    if (settings.CharLimit != defaults.CharLimit) {
        AppendLine(out, kCharLimit, IntegerText(settings.CharLimit));
    }
    return out;
}

}  // namespace quillet
