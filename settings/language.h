// The texts the program writes into controls itself in the current language: the four
// parameter descriptions and the output explanation of the data panel. The toolkit's own
// texts (standard dialogs, their buttons, the printout's footer) follow along.
#pragma once

// Writes those texts into their controls in the language of LanguageIndex.
void WriteLanguageTexts();
