// The callback table: names as the resource file gives them, and the functions behind them,
// from the one list (window/callback_list.h).
#include "window/callbacks.h"

#include "platform/ui.h"

namespace {

const CallbackEntry kCallbacks[] = {
#define TAV_PANEL(name) {#name, nullptr, name},
#define TAV_CTRL(name, german, english) {#name, name, nullptr},
#define TAV_TEXT_BOX(name) {#name, name, nullptr},
#include "window/callback_list.h"
#undef TAV_PANEL
#undef TAV_CTRL
#undef TAV_TEXT_BOX
};

} // namespace

void RegisterAllCallbacks() {
    RegisterCallbacks(kCallbacks, sizeof kCallbacks / sizeof kCallbacks[0]);
}
