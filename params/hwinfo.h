// The hardware information file for support: program and firmware identification, the
// sensor's hardware block as hex text, and its working parameters.
#pragma once

// Reads the working parameters and the hardware block from the sensor, asks for the file and
// writes it (replaced whole). Returns 0 when the file was saved, -1 after a link failure, a
// cancelled dialog or a failed write, each reported in the connection page's status box.
int GenerateHWInfoFile();
