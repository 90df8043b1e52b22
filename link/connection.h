// Connection management: the page's protocol-dependent controls, the one place that dims the
// operation controls of every page, connecting, going offline and changing the baud rate.
#pragma once

void InitConnectPanel();
void SetButtonsDimmed(int keepParaControls, int dimmed);
void TryToConnect();
void Disconnect();
void ChangeBaudrate();
