// The right-click help of the control callbacks, and the help texts said once for every part
// that shows them.
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

const TextPair kTextStrokeTol = {
    "Plus / Minus Toleranz fuer Stanzhub. \nEingabe in Promille.",
    "Plus / minus tolerance for punching stroke. \nInput in per thousand."};
const TextPair kTextBadCntToFail = {
    "Anzahl von Fehlerereignissen, \nbevor die Ausgaenge geschaltet werden",
    "Number of errors before \nthe outputs are set."};
const TextPair kTextDigOutmode = {
    "Waehle die Ansteuerung der Digitalausgaenge. \nDIREKT : Ausgaenge sind High aktiv. "
    "\nINVERS : Ausgaenge sind Low aktiv.",
    "Select the control of the digital outputs. \nDIRECT  : Outputs are high activ. "
    "\nINVERSE : Outputs are low activ."};
const TextPair kTextCntStrokeEdge = {
    "Waehlen Sie aus, welche Kante des \nStanzhubs ausgewertet werden soll.",
    "Select which edge of the \npunching stroke should be evaluated."};

const TextPair kTxtNoFileSelected = {"Keine Datei ausgewaehlt! \nAktion wird nicht ausgefuehrt!",
                                     "No file was selected! \nProcess will not be done!"};
