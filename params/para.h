// The four sensor parameters: between the parameter page and ParaValues, and to and from the
// sensor's RAM or EEPROM; which memory SEND and GET use; what this connection knows of the
// sensor's two sets.
#pragma once

#include <cstdint>

// The four values of the parameter page into ParaValues, and back onto the page.
void GetPanelValues();
void SetPanelValues();
// The operator chose a value in a parameter control: it is sent from now on.
void ParaChosen(int control);
// 1 when every parameter shows the value that will be sent; otherwise tells the operator which
// one still needs a choice and gives 0.
int ParaValuesChosen();
// SEND with RAM or EEPROM selected: clears SendParaPending and, once every value on the page
// has been chosen (ParaValuesChosen), writes the page's values into the sensor's working set
// and, with EEPROM selected, stores them in its EEPROM. Then it reads back what the sensor
// holds (RAM; with EEPROM selected the EEPROM set loaded into RAM), shows it on the page and
// compares it with what was sent: the status line says the outcome, a popup each difference.
// A set the sensor finds implausible (it then falls back to defaults) is handled as a link
// failure (LinkError::SensorRejected), whose STATUS names it. On any failure of the link the
// failure has been reported (LinkFailure) and ErrorText says why.
void SendPara();
// GET with RAM or EEPROM selected: clears GetParaPending, with EEPROM first loads the EEPROM set
// into the working set, then reads the working set into ParaValues and onto the page. Failures
// as for SendPara; an EEPROM set replaced by defaults is shown but leaves the link up.
void GetPara();
// GET as the operator asks for it (GET, F10, or served by the live cycle): GetPara, then the
// status line says where the values came from and when.
void GetParaAsked();
// The status line (and the status box, which keeps the whole path) after the page was saved
// into (`saved` 1) or read from (0) the parameter file ParaFilePath.
void ShowParaFileDone(int saved);
// Makes `memory` (1 RAM, 2 EEPROM, 3 FILE) the one SEND and GET use, its toggle the one on.
void SelectMemory(int memory);
// A new connection: nothing is known yet of the sensor's sets.
void ForgetSensorSets();
// The parameter page's note that RAM holds values not stored in EEPROM, shown or not as
// RamNotStored says.
void ShowNotStored();
// The comparison's read of the sensor: its RAM set (order 2), then its EEPROM set (order 4,
// which loads it into RAM, and order 2). When the two differ, the RAM set read first is written
// back (order 1) and read again (order 2), so that the comparison leaves the sensor working as
// it did; a set that does not come back is shown in a popup. The page is not touched; what the
// sensor holds is noted (RamNotStored). 1 with `ram` (what RAM holds now) and `eeprom`, or -1
// when an exchange failed (reported as every link failure).
int CompareSensorSets(std::uint16_t ram[4], std::uint16_t eeprom[4]);
