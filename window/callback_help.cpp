// The right-click help texts of the control callbacks, defined from the one list.
#include "window/callbacks.h"

namespace help {
#define TAV_PANEL(name)
#define TAV_CTRL(name, german, english) const TextPair name = {german, english};
#define TAV_TEXT_BOX(name)
#include "window/callback_list.h"
#undef TAV_PANEL
#undef TAV_CTRL
#undef TAV_TEXT_BOX
} // namespace help
