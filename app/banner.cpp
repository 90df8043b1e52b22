// The banner along the top of the main panel: title, the maker's lines and the logo.
#include "app/app.h"
#include "base/state.h"
#include "platform/ui.h"
#include "taviron_version.h"

#include "Tavironv10.h"

namespace {

constexpr int kWhite = 0xFFFFFF;
constexpr int kBannerColor = 0x0080FF;

} // namespace

int ShowInfoText(const char *text, int tooltip, int left, int top, int pointSize, int bgColor,
                 int textColor) {
    int ctrl = NewCtrl(App.MainPanel, CTRL_TEXT_MSG, "", top, left);
    SetCtrlAttribute(App.MainPanel, ctrl, ATTR_TEXT_POINT_SIZE, pointSize);
    SetCtrlAttribute(App.MainPanel, ctrl, ATTR_TEXT_BGCOLOR, bgColor);
    SetCtrlAttribute(App.MainPanel, ctrl, ATTR_TEXT_COLOR, textColor);
    if (tooltip) SetCtrlAttribute(App.MainPanel, ctrl, ATTR_TOOLTIP_TEXT, kProgramVersion);
    return SetCtrlVal(App.MainPanel, ctrl, text);
}

void ShowLogo() {
    ShowInfoText(kProgramTitle, 1, 547, 29, 19, VAL_TRANSPARENT, kWhite);
    ShowInfoText("Halvoran GmbH", 0, 15, 6, 11, VAL_TRANSPARENT, kWhite);
    ShowInfoText("Tel. +49 7231 4470-0", 0, 15, 22, 11, VAL_TRANSPARENT, kWhite);
    ShowInfoText("www.halvoran.de", 0, 15, 36, 11, VAL_TRANSPARENT, kWhite);
    SetCtrlAttribute(App.MainPanel, MAINP_BANNER, ATTR_FRAME_COLOR, kBannerColor);
    SetCtrlAttribute(App.MainPanel, MAINP_LOGO, ATTR_TOP, 6);
    SetCtrlAttribute(App.MainPanel, MAINP_LOGO, ATTR_LEFT, 549);
    DisplayImageFile(App.MainPanel, MAINP_LOGO, "logoHV.bmp");
    SetCtrlAttribute(App.MainPanel, MAINP_LOGO, ATTR_VISIBLE, 1);
}
