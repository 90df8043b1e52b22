// Bilingual texts: every message, popup and help text is a {German, English} pair chosen by
// LanguageIndex. (The right-click help popup of the control callbacks: window/help.h.)
#pragma once

#include <ctime>
#include <string>

struct TextPair {
    const char *ger;
    const char *eng;
};

// The half of the pair for the current language; an index other than 0 or 1 reads English.
const char *Txt(const TextPair &pair);
// The half of the pair for `language` (0 German, anything else English).
const char *TxtIn(const TextPair &pair, int language);

// The time of day as the program's texts give it: "14:02:11".
std::string ClockText(std::time_t when);

// Title of every help popup and of most messages: "Info!" / "Message!".
extern const TextPair kTitleInfo;
