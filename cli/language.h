// Which language taviron speaks: --lang, else the system's (base/system_language.h); 0 German,
// 1 English, as the program's LanguageIndex. Texts said in it.
#pragma once

#include "base/system_language.h"
#include "base/texts.h"

#include <string>

// "de" gives 0, "en" 1, anything else -1.
int LanguageFromOption(const char *text);

// The half of the pair for the language; any language other than 0 reads English.
inline const char *Say(const TextPair &pair, int language) {
    return language == 0 ? pair.ger : pair.eng;
}

// The half of the pair for the language with its "%s" replaced by `word`.
std::string SayWith(const TextPair &pair, int language, const std::string &word);
