#include "dialogs/help_rules.h"

#include <algorithm>

#include "counting/figures.h"
#include "text/text.h"

namespace quillet::dialogs {

std::u16string HelpText(std::u16string_view searchString, std::u16string_view customItemEx,
                        int32_t charLimit) {
    std::u16string search(searchString.empty() ? kSearchPlaceholder : searchString);
    // Columns in the fixed-pitch font are Shift-JIS bytes.
    const int64_t columns = text::SjisByteLen(search);
    const auto wanted = static_cast<int64_t>(kSearchPlaceholder.size());
    if (columns < wanted) search.append(static_cast<size_t>(wanted - columns), u' ');
    std::u16string text =
        u"字数　:総文字数\r\n"
        u"改行　:改行コード=CrLf\r\n"
        u"byte　:Shift-JISコードでのバイト数\r\n"
        u"全角　:全角文字\r\n"
        u"半角　:半角文字\r\n"
        u"全SP　:全角スペース\r\n"
        u"半SP　:半角スペース\r\n"
        u"タブ　:Tab\r\n" +
        search + u"　:指定文字列の個数\r\n";
    const UnicodeFigures shown = ComputeFigures(u"", customItemEx);
    if (shown.ManuscriptPages) text += u"原稿　:20字×20行の原稿用紙の行数(枚数)\r\n";
    if (shown.Utf8Bytes) text += u"UTF8　:UTF-8でのバイト数\r\n";
    if (shown.XWeighted) text += u"X   　:Xの数え方(http://無しのURLも23)\r\n";
    if (CheckLimit(0, charLimit)) text += u"残り　:字数制限までの残り/超過した字数\r\n";
    return text + u"\r\n(nn)は改行/スペース/タブを除いた文字数";
}

HelpPoint HelpPlacement(HelpPoint pointer, int32_t width, int32_t height,
                        const display::ScreenRect& work) {
    const int64_t left = width < pointer.x - work.Left ? int64_t{pointer.x} - width : pointer.x;
    const int64_t top = height < pointer.y - work.Top ? int64_t{pointer.y} - height : pointer.y;
    const display::ScreenRect inside =
        display::MoveInside({left, top, left + width, top + height}, work);
    return {static_cast<int32_t>(inside.Left), static_cast<int32_t>(inside.Top)};
}

int32_t HelpClientWidth(int dpi) {
    return display::Scale(kHelpClientWidth, dpi);
}

int32_t HelpClientHeight(int32_t textHeight, int dpi) {
    return std::max(display::Scale(kHelpClientHeight, dpi),
                    display::Scale(kHelpLabelTop, dpi) + textHeight +
                        display::Scale(kHelpLabelBottomMargin, dpi));
}

HelpButtonSize HelpCloseSize(int dpi) {
    return {display::Scale(kHelpCloseWidth, dpi), display::Scale(kHelpCloseHeight, dpi)};
}

HelpLayout LayoutHelp(int32_t clientWidth, int32_t clientHeight, int dpi) {
    const HelpButtonSize close = HelpCloseSize(dpi);
    const int32_t inset = display::Scale(kHelpCloseInset, dpi);
    HelpLayout l;
    l.labelLeft = display::Scale(kHelpLabelLeft, dpi);
    l.labelTop = display::Scale(kHelpLabelTop, dpi);
    l.labelWidth = clientWidth - l.labelLeft - display::Scale(kHelpLabelRightMargin, dpi);
    l.labelHeight = clientHeight - l.labelTop - display::Scale(kHelpLabelBottomMargin, dpi);
    l.closeLeft = l.labelLeft + l.labelWidth - close.width - inset;
    l.closeTop = l.labelTop + l.labelHeight - close.height - inset;
    return l;
}

}  // namespace quillet::dialogs
