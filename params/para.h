// The four sensor parameters: between the parameter page and ParaValues, and to and from the
// sensor's RAM or EEPROM.
#pragma once

// The four values of the parameter page into ParaValues, and back onto the page.
void GetPanelValues();
void SetPanelValues();
// The operator chose a value in a parameter control: it is sent from now on.
void ParaChosen(int control);
// 1 when every parameter shows the value that will be sent; otherwise tells the operator which
// one still needs a choice and gives 0.
int ParaValuesChosen();
// SEND with RAM or EEPROM selected: clears SendParaPending and, once every value on the page
// has been chosen (ParaValuesChosen), writes the page's values into the sensor's working set and,
// with EEPROM selected, stores them in its EEPROM. A set the sensor finds implausible (it then
// falls back to defaults) is reported like a link failure. On any failure the link is down
// (SetTimeout has run) and ErrorText says why.
void SendPara();
// GET with RAM or EEPROM selected: clears GetParaPending, with EEPROM first loads the EEPROM set
// into the working set, then reads the working set into ParaValues and onto the page. Failures
// as for SendPara; an EEPROM set replaced by defaults is shown but leaves the link up.
void GetPara();
