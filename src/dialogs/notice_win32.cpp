// Placeholder until the notice window lands.
#include "dialogs/notice.h"

namespace quillet::dialogs {

class NoticeWindow {};

Notice::Notice(shell::AppState& app, HINSTANCE instance) : app_(app), instance_(instance) {}
Notice::~Notice() = default;
void Notice::Show(std::u16string_view, int32_t, int32_t) {}
bool Notice::IsOpen() const {
    return false;
}

}  // namespace quillet::dialogs
