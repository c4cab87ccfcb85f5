#include "shell/show_count.h"

#include "platform/clipboard.h"
#include "platform/wide.h"
#include "shell/app_info.h"
#include "shell/count_event.h"
#include "shell/main_window.h"

namespace quillet::shell {

namespace {

// Tray mode's delivery: the count popup. The popup window does not exist yet in this build, so
// a count in tray mode is not shown anywhere.
void PresentInPopup(AppState& /*app*/, const Report& /*report*/) {}

}  // namespace

void ShowCount(AppState& app, MainWindow& main, const std::u16string& text) {
    const Delivery delivery = DeliveryFor(clip::HasText(), text, app.settings.TaskTray);
    if (delivery == Delivery::None) return;
    const Report report = ComposeReport(text, app.settings);
    if (delivery == Delivery::Popup) {
        PresentInPopup(app, report);
    } else {
        main.ShowReport(Wide(report.Text));
    }
}

}  // namespace quillet::shell
