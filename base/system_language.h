// The system's language as a LanguageIndex (0 German, 1 English): the window program's first
// start and taviron without --lang speak it.
#pragma once

// The language of an environment, from the values of LC_ALL, LC_MESSAGES, LANG and LANGUAGE
// (null or empty when not set), as the C library and the message catalogues of the system's
// other programs read them. The locale is the first of LC_ALL, LC_MESSAGES and LANG that is set;
// in the C (POSIX) locale the language is English whatever LANGUAGE says; otherwise the first
// entry of LANGUAGE, when it is set, names the language, else the locale does. German is any
// name "de" or beginning with "de_", "de." or "de@"; anything else, or nothing, is English.
// Pure.
int LanguageOfEnvironment(const char *lcAll, const char *lcMessages, const char *lang,
                          const char *language);
// The same for this process's environment.
int SystemLanguage();
