// Selection of the current language's half of a text pair, and the help popup.
#include "base/texts.h"

#include "base/state.h"
#include "platform/ui.h"

const TextPair kTitleInfo = {"Info!", "Message!"};

const char *Txt(const TextPair &pair) {
    return App.LanguageIndex == 0 ? pair.ger : pair.eng;
}

void ShowHelp(const TextPair &text) {
    MessagePopup(Txt(kTitleInfo), Txt(text));
}

int AnswerHelp(int event, const TextPair &help) {
    if (event == EVENT_RIGHT_CLICK) ShowHelp(help);
    return 0;
}
