// Connection management: the page's protocol-dependent controls, connecting, the identity check
// of the sensor at the other end, going offline and changing the baud rate.
#pragma once

#include "base/panels.h"

void InitConnectPanel();
void TryToConnect();
void Disconnect();
void ChangeBaudrate();
void CheckComLine();
