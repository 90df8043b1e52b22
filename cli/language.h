// Which language taviron speaks: German when the environment's language is German, else
// English (0 German, 1 English, as the program's LanguageIndex), unless --lang says otherwise.
#pragma once

#include "base/texts.h"

#include <string>

// The language of an environment, from the values of LC_ALL, LC_MESSAGES, LANG and LANGUAGE
// (null or empty when not set). The locale is the first of LC_ALL, LC_MESSAGES and LANG that is
// set; in the C (POSIX) locale the language is English whatever LANGUAGE says; otherwise the
// first entry of LANGUAGE, when it is set, names the language, else the locale does. German is
// any name "de" or beginning with "de_", "de." or "de@".
int LanguageOfEnvironment(const char *lcAll, const char *lcMessages, const char *lang,
                          const char *language);
// The same, read from this process's environment.
int LanguageFromEnvironment();

// "de" gives 0, "en" 1, anything else -1.
int LanguageFromOption(const char *text);

// The half of the pair for the language; any language other than 0 reads English.
inline const char *Say(const TextPair &pair, int language) {
    return language == 0 ? pair.ger : pair.eng;
}

// The half of the pair for the language with its "%s" replaced by `word`.
std::string SayWith(const TextPair &pair, int language, const std::string &word);
