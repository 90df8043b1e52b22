// Connection management: the page's protocol-dependent controls, the one place that dims the
// operation controls of every page, connecting, going offline and changing the baud rate.
#pragma once

// First argument of SetButtonsDimmed: whether SEND, GET and the memory toggles follow too.
constexpr int kAllControls = 0;
constexpr int kKeepParaControls = 1; // the live cycle leaves them usable
// `dimmed` of SetButtonsDimmed and SetLinkButtonsDimmed (link/exchange.h).
constexpr int kEnabled = 0;
constexpr int kDimmed = 1;

void InitConnectPanel();
// Dims (kDimmed) or enables (kEnabled) GO, the connection page's TRY TO CONNECT, DISCONNECT
// and baud rate, the scope page's buttons and, unless kKeepParaControls, the parameter
// page's SEND, GET, RAM, EEPROM and FILE. Dimming also dims CHANGE BAUDRATE and the hardware
// information button; enabling leaves them to the identity check.
void SetButtonsDimmed(int keepParaControls, int dimmed);
void TryToConnect();
void Disconnect();
void ChangeBaudrate();
