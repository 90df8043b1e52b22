// The start-up sequence: from loaded panels to a program that shows its window and, once the
// link is there, has tried to reach the sensor.
#include "app/app.h"
#include "base/state.h"
#include "connect/connection.h"
#include "platform/toolbox.h"
#include "platform/ui.h"
#include "scope/scope_graph.h"
#include "settings/settings.h"
#include "window/panels.h"

#include "Tavironv10.h"

namespace {

constexpr int kServerListColor = 0xE0E0E0;

} // namespace

void InitAll() {
    InstallLinkHandlers(); // every link failure is shown by SetTimeout
    App.TcpConnected = 0;
    App.MemorySelect = 1;
    App.Running = 0;
    App.SendParaPending = 0;
    App.GetParaPending = 0;

    GetPanelHandleFromTabPage(App.MainPanel, MAINP_TAB, 0, &App.ConnectTab);
    GetPanelHandleFromTabPage(App.MainPanel, MAINP_TAB, 1, &App.ParaTab);
    GetPanelHandleFromTabPage(App.MainPanel, MAINP_TAB, 2, &App.ScopeTab);
    SetDimmedTipSource(DimmedControlTip); // a dimmed control says why in its tool tip

    ShowLogo();
    LabelDigitalLines();

    // The parameters start as designed into the panel.
    GetCtrlVal(App.ParaTab, PARA_STROKE_TOL, &App.ParaValues[StrokeTolerance]);
    GetCtrlVal(App.ParaTab, PARA_BAD_CNT_TO_FAIL, &App.ParaValues[BadCntToFail]);
    GetCtrlVal(App.ParaTab, PARA_DIG_OUTMODE, &App.ParaValues[DigitalOutmode]);
    GetCtrlVal(App.ParaTab, PARA_CNT_STROKE_EDGE, &App.ParaValues[CntStrokeEdge]);

    GetProjectDir(App.ProjectDir);
    // Beside the program, unless it is installed or its folder is read-only (platform/ui.h).
    char settingsDir[kPathSize];
    GetSettingsDir(settingsDir);
    JoinPath(App.SettingsFilePath, settingsDir, "PanelSettings.cfg");

    SetCtrlAttribute(App.ConnectTab, CONNECT_STATUS, ATTR_MAX_LINES, kStatusBoxLines);
    Combo_NewComboBox(App.ConnectTab, CONNECT_SERVER);
    Combo_SetComboAttribute(App.ConnectTab, CONNECT_SERVER, ATTR_COMBO_LIST_BGCOLOR,
                            kServerListColor);

    LoadPanelSettings(); // language, identification, window, directories, server list

    // The parameter page in front; the scope page is hidden unless asked for (--scope, or the
    // tab control's key combination later).
    SetActiveTabPage(App.MainPanel, MAINP_TAB, 1);
    SetTabPageAttribute(App.MainPanel, MAINP_TAB, 2, ATTR_VISIBLE, 0);

    ShowChildPanelDisp(App.DataPanel);
    DisplayPanel(App.MainPanel);

    GetConnectionSettingsFromFile();

    // One connection attempt: connected, offline, or the operator chose to close the program.
    InitConnectPanel();
    SetButtonsDimmed(kAllControls, kDimmed);
    TryToConnect();
    if (App.LinkOk == 1) SetButtonsDimmed(kAllControls, kEnabled);

    if (App.ScopePageAtStart) ShowScopePage();
}
