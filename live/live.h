// The live data cycle: GO polls the sensor back to back and shows every pass on the data panel.
#pragma once

void GetData();
void SetPanelData();
