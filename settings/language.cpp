// The language of the user interface: the language file that relabels the panels and the
// five texts the program writes into controls itself.
#include "settings/language.h"
#include "settings/settings.h"

#include "Tavironv10.h"
#include "base/state.h"
#include "base/texts.h"
#include "localui/localui.h"
#include "platform/ui.h"
#include "window/callbacks.h"

namespace {

// Language files by LanguageIndex: in the current directory, else beside the program, else in
// the installed data folder (a program started from a desktop menu runs in the home folder).
constexpr const char *kLanguageFiles[2] = {"language_ger.lwl", "language_eng.lwl"};

const TextPair kTextOutmode = {
    "Bei DIGITAL OUTMODE = DIREKT werden die Ausgaenge wie folgt geschaltet: \n"
    "OUT0 ist LO, wenn der Stanzhub ausserhalb der Toleranz liegt.\n"
    "OUT0 ist HI, wenn der Stanzhub innerhalb der Toleranz lieg. \n"
    "OUT1 ist LO, wenn der Stanzhub unterhalb der Toleranz liegt. \n"
    "OUT1 ist HI, wenn der Stanzhub oberhalb der Toleranz liegt. \n"
    "OUT2 ist LO, wenn der Stanzhub in der unteren Periodenhaelfte liegt. \n"
    "OUT2 ist HI, wenn der Stanzhub in der oberen Periodenhaelfte liegt.\n"
    "OUT3 ist HI, wenn die Aussparung erkannt wird der Stanzhub aber nicht und umgekehrt. \n"
    "OUT3 ist HI, wenn 60 Sekunden weder eine Aussparung noch ein Stanzhub erkannt wurde. \n"
    "Bei DIGITAL OUTMODE = INVERS ist es genau umgekehrt. ",
    "For DIGITAL OUTMODE = DIRECT, the outputs are switched as follows: \n"
    "OUT0 is LO when the stamping stroke is out of tolerance. \n"
    "OUT0 is HI when the stamping stroke is within tolerance. \n"
    "OUT1 is LO when the stamping stroke is below tolerance. \n"
    "OUT1 is HI if the stamping stroke is above tolerance. \n"
    "OUT2 is LO when the stamping stroke is in the lower half of the period. \n"
    "OUT2 is HI when the stamping stroke is in the upper half of the period. \n"
    "OUT3 is HI when the gap is detected, but the stamping stroke not and vice versa. \n"
    "OUT3 is HI if no gap or stamping stroke is detected for 60 seconds. \n"
    "For DIGITAL OUTMODE = INVERSE it is exactly the opposite."};

} // namespace

void WriteLanguageTexts() {
    // The explanations beside the four parameters are their controls' help texts.
    SetCtrlVal(App.ParaTab, PARA_TEXT_STROKE_TOL, Txt(help::CBF_EditStrokeTol));
    SetCtrlVal(App.ParaTab, PARA_TEXT_BAD_CNT_TO_FAIL, Txt(help::CBF_EditBadCntToFail));
    SetCtrlVal(App.ParaTab, PARA_TEXT_DIG_OUTMODE, Txt(help::CBF_EditDigOutmode));
    SetCtrlVal(App.ParaTab, PARA_TEXT_CNT_STROKE_EDGE, Txt(help::CBF_EditCntStrokeEdge));
    SetCtrlVal(App.DataPanel, DATAP_OUTMODE_TEXT, Txt(kTextOutmode));
    // Without its catalogue the toolkit stays English; nothing to tell the operator.
    SetToolkitLanguage(App.LanguageIndex == 0 ? "de" : "en");
}

void InitLanguage() {
    GetCtrlVal(App.ConnectTab, CONNECT_LANGUAGE, &App.LanguageIndex);
    // The selector only offers 0 and 1; anything else is read as English.
    if (App.LanguageIndex != 0) App.LanguageIndex = 1;
    // The tab pages and both child panels hang under the main panel, so this one call
    // relabels the whole user interface. A missing or broken file leaves the texts as they
    // are; the program's own texts switch all the same.
    char languageFile[MAX_PATHNAME_LEN];
    FindProgramFile(kLanguageFiles[App.LanguageIndex], 1, languageFile);
    LocalizePanel(App.MainPanel, languageFile);
    WriteLanguageTexts();
}
