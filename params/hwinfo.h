// The hardware information file for support: program and firmware identification, the
// sensor's hardware block as hex text, and its working parameters.
#pragma once

int GenerateHWInfoFile();
