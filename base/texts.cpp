// Selection of the current language's half of a text pair.
#include "base/texts.h"

#include "base/state.h"

const TextPair kTitleInfo = {"Info!", "Message!"};

const char *Txt(const TextPair &pair) {
    return TxtIn(pair, App.LanguageIndex);
}

const char *TxtIn(const TextPair &pair, int language) {
    return language == 0 ? pair.ger : pair.eng;
}

std::string ClockText(std::time_t when) {
    // One thread: the shared result of localtime is used before anything else asks.
    const std::tm *local = std::localtime(&when);
    char text[16] = "--:--:--";
    if (local) std::strftime(text, sizeof text, "%H:%M:%S", local);
    return text;
}
