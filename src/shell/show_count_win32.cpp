#include "shell/show_count.h"

#include "clipboard/clipboard.h"
#include "platform/wide.h"
#include "shell/count_event.h"
#include "shell/main_window.h"

namespace quillet::shell {

void ShowCount(app::AppState& app, MainWindow& main, const std::u16string& text,
               const std::u16string& unicodeText) {
    const Delivery delivery = DeliveryFor(clip::HasText(), text, app.settings.TaskTray);
    if (delivery == Delivery::None) return;
    const Report report = ComposeReport(text, unicodeText, app.settings);
    if (delivery == Delivery::Popup) {
        main.Windows().popup.Present(report,
                                     [&main](const std::wstring& tag) { main.SetTagAndTip(tag); });
    } else {
        main.ShowReport(Wide(report.Text), report.OverLimit);
    }
}

}  // namespace quillet::shell
