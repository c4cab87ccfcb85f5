// Placeholder until the help note lands.
#include "dialogs/help_note.h"

namespace quillet::dialogs {

class HelpNoteWindow {};

HelpNote::HelpNote(shell::AppState& app, HINSTANCE instance) : app_(app), instance_(instance) {}
HelpNote::~HelpNote() = default;
void HelpNote::Show(bool) {}
HWND HelpNote::Hwnd() const {
    return nullptr;
}

}  // namespace quillet::dialogs
