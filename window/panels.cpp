// Dimming of the operation controls of every page, and the switch between the data panel and
// the scope panel.
#include "window/panels.h"

#include "base/state.h"
#include "platform/ui.h"

#include "Tavironv10.h"

#include <initializer_list>

namespace {

void Dim(int panel, int control, int dimmed) {
    SetCtrlAttribute(panel, control, ATTR_DIMMED, dimmed);
}

} // namespace

void SetButtonsDimmed(int keepParaControls, int dimmed) {
    if (!keepParaControls) {
        for (int c : {MAINP_SEND, MAINP_GET, MAINP_RAM, MAINP_EEPROM, MAINP_FILE})
            Dim(App.MainPanel, c, dimmed);
    }
    Dim(App.MainPanel, MAINP_GO, dimmed);
    // The comparison reads the sensor: never beside the live cycle or another transfer.
    Dim(App.ParaTab, PARA_COMPARE, dimmed);
    Dim(App.ComparePanel, COMPAREP_READ, dimmed);
    for (int c : {CONNECT_TRY_TO_CONNECT, CONNECT_DISCONNECT, CONNECT_BAUDRATE})
        Dim(App.ConnectTab, c, dimmed);
    if (dimmed == 1) {
        Dim(App.ConnectTab, CONNECT_CHANGE_BAUDRATE, 1);
        Dim(App.ConnectTab, CONNECT_GEN_HW_INFO_FILE, 1);
    }
    for (int c : {SCOPETAB_GET_CYCLE_TIME, SCOPETAB_SCAN, SCOPETAB_BREAK})
        Dim(App.ScopeTab, c, dimmed);
    ProcessSystemEvents();
}

void SetLinkButtonsDimmed(int dimmed) {
    for (int c : {CONNECT_ACCEPT, CONNECT_CHANGE_BAUDRATE, CONNECT_GEN_HW_INFO_FILE})
        Dim(App.ConnectTab, c, dimmed);
}

void ShowChildPanelDisp(int panel) {
    HidePanel(App.DataPanel);
    HidePanel(App.ScopePanel);
    HidePanel(App.ComparePanel);
    DisplayPanel(panel == App.ScopePanel || panel == App.ComparePanel ? panel : App.DataPanel);
}
