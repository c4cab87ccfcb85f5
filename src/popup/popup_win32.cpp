// Placeholder until the popup lands: a count in tray mode is shown nowhere yet.
#include "popup/popup.h"

namespace quillet::popup {

class PopupWindow {};

Popup::Popup(shell::AppState& app, HINSTANCE instance, dialogs::HelpNote& help)
    : app_(app), instance_(instance), help_(help) {}
Popup::~Popup() = default;

void Popup::Present(std::u16string_view, int32_t, const std::function<void(const std::wstring&)>&) {}
void Popup::Close() {}
HWND Popup::Hwnd() const {
    return nullptr;
}

}  // namespace quillet::popup
