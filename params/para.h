// The four sensor parameters: between the parameter page and ParaValues, and to and from the
// sensor's RAM or EEPROM.
#pragma once

void GetPanelValues();
void SetPanelValues();
// The operator chose a value in a parameter control: it is sent from now on.
void ParaChosen(int control);
// 1 when every parameter shows the value that will be sent; otherwise tells the operator which
// one still needs a choice and gives 0.
int ParaValuesChosen();
void SendPara();
void GetPara();
