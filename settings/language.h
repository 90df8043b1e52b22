// The texts the program writes into controls itself in the current language: the four
// parameter descriptions and the output explanation of the data panel. The toolkit's own
// texts (standard dialogs, their buttons, the printout's footer) follow along.
#pragma once

void WriteLanguageTexts();
