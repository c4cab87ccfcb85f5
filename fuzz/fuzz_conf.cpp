// The Conf.txt reader on arbitrary bytes: no crash, no undefined behaviour, and what it read
// survives being written and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/conf_format.h"
#include "settings/settings.h"

namespace {

using quillet::Settings;

// Settings unlike the defaults in the eleven lines, so that a line lost on the way back shows.
// The figures' two lines are written only when not at their defaults, so those two start at
// their defaults, as at start-up.
Settings Other() {
    Settings s;
    s.FormLeft = s.FormTop = s.FormWidth = s.FormHeight = -77;
    s.TaskTray = s.TimeAutoClose = s.SearchFuzzy = s.CustomMsg = -77;
    s.DispPos = s.SearchString = s.CustomItem = u"other";
    return s;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Settings read;
    quillet::ApplyConfText(bytes, read);

    // The window holds its geometry as floats: beyond 2^24 twips the shortest text of the float
    // is another whole number than the one read, but the same float.
    const quillet::WindowGeometry geometry{
        static_cast<float>(read.FormLeft), static_cast<float>(read.FormTop),
        static_cast<float>(read.FormWidth), static_cast<float>(read.FormHeight)};
    Settings back = Other();
    quillet::ApplyConfText(quillet::FormatConfText(read, geometry), back);
    Check(static_cast<float>(back.FormLeft) == geometry.Left);
    Check(static_cast<float>(back.FormTop) == geometry.Top);
    Check(static_cast<float>(back.FormWidth) == geometry.Width);
    Check(static_cast<float>(back.FormHeight) == geometry.Height);

    // Texts that came from a file hold no CR and no "=", and do not begin with a space: the
    // format carries them, and every other setting, unchanged.
    back.FormLeft = read.FormLeft;
    back.FormTop = read.FormTop;
    back.FormWidth = read.FormWidth;
    back.FormHeight = read.FormHeight;
    Check(back == read);
    // What the figures' lines can read is only ever what the dialog writes.
    Check(read.CharLimit >= 0);
    Check(read.CustomItemEx.size() == 3 &&
          read.CustomItemEx.find_first_not_of(u"01") == std::u16string::npos);
    return 0;
}
