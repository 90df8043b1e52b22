// The right-click help popup of the control callbacks, and the texts more than one part shows.
#include "window/help.h"

#include "platform/ui.h"

void ShowHelp(const TextPair &text) {
    MessagePopup(Txt(kTitleInfo), Txt(text));
}

int AnswerHelp(int event, const TextPair &help) {
    if (event == EVENT_RIGHT_CLICK) ShowHelp(help);
    return 0;
}

bool HelpAsked(int event, const TextPair &help) {
    if (event != EVENT_RIGHT_CLICK) return false;
    ShowHelp(help);
    return true;
}

const TextPair kTxtNoFileSelected = {"Keine Datei ausgewaehlt! \nAktion wird nicht ausgefuehrt!",
                                     "No file was selected! \nProcess will not be done!"};
