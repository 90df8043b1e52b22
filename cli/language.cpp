// The language taviron speaks (see language.h).
#include "cli/language.h"

#include <cstring>

int LanguageFromOption(const char *text) {
    if (!text) return -1;
    if (std::strcmp(text, "de") == 0) return 0;
    if (std::strcmp(text, "en") == 0) return 1;
    return -1;
}

std::string SayWith(const TextPair &pair, int language, const std::string &word) {
    std::string text = Say(pair, language);
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, word);
    return text;
}
