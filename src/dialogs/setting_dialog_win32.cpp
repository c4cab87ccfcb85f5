// Placeholder until the settings dialog lands.
#include "dialogs/setting_dialog.h"

namespace quillet::dialogs {

class SettingWindow {};

SettingDialog::SettingDialog(shell::AppState& app, HINSTANCE instance, std::function<void()> onUnload)
    : app_(app), instance_(instance), onUnload_(std::move(onUnload)) {}
SettingDialog::~SettingDialog() = default;
void SettingDialog::Open() {}
void SettingDialog::Close() {}
HWND SettingDialog::Hwnd() const {
    return nullptr;
}

}  // namespace quillet::dialogs
