// Every callback the resource file names, declared from the one list (window/callback_list.h),
// with the right-click help of each control callback as help::<callback name>. Each callback
// lives with the part of the program it belongs to.
#pragma once

#include "base/texts.h"

#define TAV_CTRL_CB(name)                                                                          \
    int name(int panel, int control, int event, void *callbackData, int eventData1, int eventData2)
#define TAV_PANEL_CB(name)                                                                         \
    int name(int panel, int event, void *callbackData, int eventData1, int eventData2)

#define TAV_PANEL(name) TAV_PANEL_CB(name);
#define TAV_CTRL(name, german, english) TAV_CTRL_CB(name);
#define TAV_TEXT_BOX(name) TAV_CTRL_CB(name);
#include "window/callback_list.h"
#undef TAV_PANEL
#undef TAV_CTRL
#undef TAV_TEXT_BOX

// The right-click help of each control callback that has one, e.g. help::CBF_ButtonSend.
namespace help {
#define TAV_PANEL(name)
#define TAV_CTRL(name, german, english) extern const TextPair name;
#define TAV_TEXT_BOX(name)
#include "window/callback_list.h"
#undef TAV_PANEL
#undef TAV_CTRL
#undef TAV_TEXT_BOX
} // namespace help

// Hands the name table (app/callbacks.cpp) to the runtime; called once before the panels are
// loaded.
void RegisterAllCallbacks();
