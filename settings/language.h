// The texts the program writes into controls itself in the current language: the four
// parameter descriptions and the output explanation of the data panel. The toolkit's own
// texts (standard dialogs, their buttons, the printout's footer) follow along.
#pragma once

// Writes those texts into their controls in the language of LanguageIndex.
void WriteLanguageTexts();

// The system's language as a LanguageIndex, from the locale variables in the order the C
// library reads them (the first that is set and not empty of LC_ALL, LC_MESSAGES, LANG): one
// beginning with "de" is German (0), anything else, or none, English (1). Pure.
int LanguageFromLocale(const char *lcAll, const char *lcMessages, const char *lang);
// The same for this process's environment.
int SystemLanguage();
