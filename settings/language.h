// The texts the program writes into controls itself in the current language: the four
// parameter descriptions and the output explanation of the data panel.
#pragma once

void WriteLanguageTexts();
