// What the runtime's panel, control and menu functions return when they fail (0 is success).
#pragma once

constexpr int kErrPanel = -4;    // panel handle unknown
constexpr int kErrImage = -12;   // an image file that cannot be read
constexpr int kErrCtrl = -13;    // control id unknown
constexpr int kErrType = -27;    // value does not suit the control
constexpr int kErrMenuBar = -36; // menu bar handle unknown
constexpr int kErrItem = -37;    // menu item id unknown
constexpr int kErrAttr = -45;    // attribute not valid for this panel or control, or a bad argument
