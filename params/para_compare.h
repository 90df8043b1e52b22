// COMPARE: the sensor's RAM set, its EEPROM set and a parameter file side by side, four rows,
// differences marked, and any complete column taken onto the parameter page. It answers what
// the sensor holds and whether it is stored, before a write.
#pragma once

// Column numbers of the comparison, as CompareValues counts them.
constexpr int kCompareRam = 0;
constexpr int kCompareEeprom = 1;
constexpr int kCompareFile = 2;

// COMPARE on the parameter page: shows the comparison panel in place of the data panel, reads
// the parameter file at ParaFilePath and, unless the program is offline, the sensor's two sets.
void OpenComparison();
// READ SENSOR: the sensor's RAM and EEPROM sets again (CompareSensorSets); the page is not
// touched. A failure of the link is reported as every other; its columns are then unknown.
void CompareReadSensor();
// The parameter file at ParaFilePath into the file column, without a question: a missing or
// unreadable file, or one of another kind, leaves the column unknown and says so beside the
// path. No popup.
void CompareReadFile();
// Another parameter file chosen in the file dialog, read into the file column.
void CompareChooseFile();
// ONTO PAGE under a column: its four values onto the parameter page (nothing is sent).
void CompareTake(int column);
// The columns as CompareValues and CompareKnown hold them: values, marks, the buttons of the
// columns that are complete.
void ShowComparison();
