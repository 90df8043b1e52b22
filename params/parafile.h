// The parameter file: SEND and GET with FILE selected save and load the four parameters.
#pragma once

void SendParaToFile();
void ReadParaFromFile();
void AcquireParaFromIniHandle();
