// Reading a control's text and caption back in tests.
#pragma once

#include "platform/ui.h"

#include <string>
#include <vector>

// The text of a text control (a status box holds long texts).
inline std::string Text(int panel, int ctrl) {
    std::vector<char> buf(1 << 16);
    GetCtrlValText(panel, ctrl, buf.data(), int(buf.size()));
    return buf.data();
}

inline std::string Label(int panel, int ctrl) {
    char buf[256] = "";
    GetCtrlAttribute(panel, ctrl, ATTR_LABEL_TEXT, buf, sizeof buf);
    return buf;
}
