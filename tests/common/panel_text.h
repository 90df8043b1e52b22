// Reading a control's text and caption back in tests.
#pragma once

#include "platform/ui.h"

#include <string>

inline std::string Text(int panel, int ctrl) {
    char buf[1024] = "";
    GetCtrlVal(panel, ctrl, buf);
    return buf;
}

inline std::string Label(int panel, int ctrl) {
    char buf[256] = "";
    GetCtrlAttribute(panel, ctrl, ATTR_LABEL_TEXT, buf, sizeof buf);
    return buf;
}
