#include "dialogs/help_rules.h"

#include <algorithm>

#include "text/text.h"

namespace quillet::dialogs {

std::u16string HelpText(std::u16string_view searchString) {
    std::u16string search(searchString.empty() ? kSearchPlaceholder : searchString);
    // Columns in the fixed-pitch font are Shift-JIS bytes.
    const int64_t columns = text::SjisByteLen(search);
    const auto wanted = static_cast<int64_t>(kSearchPlaceholder.size());
    if (columns < wanted) search.append(static_cast<size_t>(wanted - columns), u' ');
    return u"字数　:総文字数\r\n"
           u"改行　:改行コード=CrLf\r\n"
           u"byte　:Shift-JISコードでのバイト数\r\n"
           u"全角　:全角文字\r\n"
           u"半角　:半角文字\r\n"
           u"全SP　:全角スペース\r\n"
           u"半SP　:半角スペース\r\n"
           u"タブ　:Tab\r\n" +
           search +
           u"　:指定文字列の個数\r\n"
           u"\r\n"
           u"(nn)は改行/スペース/タブを除いた文字数";
}

HelpPoint HelpPlacement(HelpPoint pointer, int32_t width, int32_t height) {
    return {width < pointer.x ? pointer.x - width : pointer.x,
            height < pointer.y ? pointer.y - height : pointer.y};
}

int32_t HelpClientHeight(int32_t textHeight) {
    return std::max(kHelpClientHeight, kHelpLabelTop + textHeight + kHelpLabelBottomMargin);
}

HelpLayout LayoutHelp(int32_t clientWidth, int32_t clientHeight) {
    HelpLayout l;
    l.labelLeft = kHelpLabelLeft;
    l.labelTop = kHelpLabelTop;
    l.labelWidth = clientWidth - l.labelLeft - kHelpLabelRightMargin;
    l.labelHeight = clientHeight - l.labelTop - kHelpLabelBottomMargin;
    l.closeLeft = l.labelLeft + l.labelWidth - kHelpCloseWidth - kHelpCloseInset;
    l.closeTop = l.labelTop + l.labelHeight - kHelpCloseHeight - kHelpCloseInset;
    return l;
}

}  // namespace quillet::dialogs
