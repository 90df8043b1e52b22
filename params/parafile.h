// The parameter file: SEND and GET with FILE selected save and load the four parameters.
#pragma once

// The parameter file dialog, starting in the folder of the last parameter file (a save asks
// before an existing file is chosen): the dialog's result; the chosen path replaces
// ParaFilePath, a cancelled dialog leaves it as it was.
int SelectParaFile(bool forSave);
// SEND with FILE selected: asks for a file and writes the page's four values into it (replaced
// whole); a cancelled dialog says that nothing was done.
void SendParaToFile();
// GET with FILE selected: asks for a file, checks that it is a parameter file of this program
// (asking before using another) and shows its values on the page.
void ReadParaFromFile();
// The four values from the document in IniHandle into ParaValues; a missing item takes its
// default, and a message names the items that were missing.
void AcquireParaFromIniHandle();
