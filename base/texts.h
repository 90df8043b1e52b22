// Bilingual texts: every message, popup and help text is a {German, English} pair chosen by
// LanguageIndex. The right-click help of the control callbacks uses ShowHelp.
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

// The right-click help popup of a control callback.
void ShowHelp(const TextPair &text);

// The whole of a callback whose control only answers its right click with a help popup.
int AnswerHelp(int event, const TextPair &help);
