#include "shell/show_count.h"

#include "clipboard/clipboard.h"
#include "platform/wide.h"
#include "shell/count_event.h"
#include "shell/main_window.h"

namespace quillet::shell {

bool ShowCount(app::AppState& app, MainWindow& main, const std::u16string& text,
               const std::u16string& unicodeText) {
    // The clipboard lost its text since the read: nothing is shown, and the text is not taken
    // as counted. An empty text is, though there is nothing to show for it.
    const bool hasText = clip::HasText();
    const Delivery delivery = DeliveryFor(hasText, text, app.settings.TaskTray);
    if (delivery == Delivery::None) return hasText;
    const Report report = ComposeReport(text, unicodeText, app.settings);
    if (delivery == Delivery::Popup) {
        main.Windows().popup.Present(report,
                                     [&main](const std::wstring& tag) { main.SetTagAndTip(tag); });
    } else {
        main.ShowReport(Wide(report.Text), report.OverLimit);
    }
    return true;
}

}  // namespace quillet::shell
