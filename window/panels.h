// The controls every page shares: which child panel the main window shows, and the one place
// that dims and enables the operations of all pages while one of them talks to the sensor.
#pragma once

// First argument of SetButtonsDimmed: whether SEND, GET and the memory toggles follow too.
constexpr int kAllControls = 0;
constexpr int kKeepParaControls = 1; // the live cycle leaves them usable
// `dimmed` of SetButtonsDimmed and SetLinkButtonsDimmed.
constexpr int kEnabled = 0;
constexpr int kDimmed = 1;

// Dims (kDimmed) or enables (kEnabled) GO, COMPARE and the comparison's READ SENSOR, the
// connection page's TRY TO CONNECT, DISCONNECT and baud rate, the scope page's buttons and,
// unless kKeepParaControls, the parameter page's SEND, GET, RAM, EEPROM and FILE; then lets
// the screen show it. Dimming also dims
// CHANGE BAUDRATE and the hardware information button; enabling leaves those two to the
// identity check (SetLinkButtonsDimmed).
void SetButtonsDimmed(int keepParaControls, int dimmed);

// The three buttons that need a link identified with the settings now on the page: ACCEPT,
// CHANGE BAUDRATE and the hardware information button.
void SetLinkButtonsDimmed(int dimmed);

// Shows the scope panel or the comparison panel when `panel` is one of them, otherwise the
// data panel, and hides the others.
void ShowChildPanelDisp(int panel);

// Why a control of the main panel, the connection page, the scope page or the data panel is
// dimmed and what enables it, in the current language, for its tool tip while it is dimmed
// (SetDimmedTipSource; `busy`: an operation runs now). Null for controls it does not know.
const char *DimmedControlTip(int panel, int control, int busy);
