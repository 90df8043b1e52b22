// The four sensor parameters: between the parameter page and ParaValues, and to and from the
// sensor's RAM or EEPROM.
#pragma once

void GetPanelValues();
void SetPanelValues();
void SendPara();
void GetPara();
