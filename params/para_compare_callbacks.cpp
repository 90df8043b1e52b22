// Callbacks of COMPARE on the parameter page and of the comparison panel's buttons.
#include "window/callbacks.h"
#include "window/help.h"

#include "Tavironv10.h"
#include "base/state.h"
#include "base/texts.h"
#include "params/para_compare.h"
#include "platform/ui.h"
#include "window/panels.h"

int CBF_ButtonCompare(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_ButtonCompare)) return 0;
    if (event == EVENT_COMMIT) OpenComparison();
    return 0;
}

int CBF_ButtonCompareRead(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_ButtonCompareRead)) return 0;
    if (event == EVENT_COMMIT) CompareReadSensor();
    return 0;
}

int CBF_ButtonCompareTake(int, int control, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_ButtonCompareTake)) return 0;
    if (event == EVENT_COMMIT)
        CompareTake(control == COMPAREP_TAKE_RAM      ? kCompareRam
                    : control == COMPAREP_TAKE_EEPROM ? kCompareEeprom
                    : control == COMPAREP_TAKE_FILE   ? kCompareFile
                                                      : -1);
    return 0;
}

int CBF_ButtonCompareFile(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_ButtonCompareFile)) return 0;
    if (event == EVENT_COMMIT) CompareChooseFile();
    return 0;
}

int CBF_ButtonCloseCompare(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_ButtonCloseCompare)) return 0;
    if (event == EVENT_COMMIT) ShowChildPanelDisp(App.DataPanel);
    return 0;
}
