// Callbacks of SEND, GET, the memory toggles and the four parameter controls.
#include "window/callbacks.h"
#include "window/help.h"

#include "Tavironv10.h"
#include "base/state.h"
#include "base/texts.h"
#include "params/para.h"
#include "params/parafile.h"
#include "platform/ui.h"
#include "window/panels.h"

int CBF_ButtonSend(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_ButtonSend)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        // FILE works on files also while the live cycle runs; a running cycle sends the values
        // itself before its next poll.
        if (App.MemorySelect == 3) {
            SendParaToFile();
        } else if (App.Running) {
            App.SendParaPending = 1;
        } else {
            SetButtonsDimmed(kAllControls, kDimmed);
            SendPara();
            SetButtonsDimmed(kAllControls, kEnabled);
        }
        break;
    default:
        break;
    }
    return 0;
}

int CBF_ButtonGet(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_ButtonGet)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        if (App.MemorySelect == 3) {
            ReadParaFromFile();
        } else if (App.Running) {
            App.GetParaPending = 1;
        } else {
            SetButtonsDimmed(kAllControls, kDimmed);
            GetParaAsked();
            SetButtonsDimmed(kAllControls, kEnabled);
        }
        break;
    default:
        break;
    }
    return 0;
}

int CBF_ButtonSelectMem(int, int control, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_ButtonSelectMem)) return 0;
    switch (event) {
    case EVENT_VAL_CHANGED: {
        // The toggle that raised the event decides; exactly one of the three stays on.
        i16 select = control == MAINP_RAM      ? 1
                     : control == MAINP_EEPROM ? 2
                     : control == MAINP_FILE   ? 3
                                               : 0;
        if (select != 0) SelectMemory(select);
        break;
    }
    default:
        break;
    }
    return 0;
}

int CBF_EditStrokeTol(int, int control, int event, void *, int, int) {
    if (event == EVENT_COMMIT) ParaChosen(control);
    return AnswerHelp(event, help::CBF_EditStrokeTol);
}

int CBF_EditBadCntToFail(int, int control, int event, void *, int, int) {
    if (event == EVENT_COMMIT) ParaChosen(control);
    return AnswerHelp(event, help::CBF_EditBadCntToFail);
}

int CBF_EditDigOutmode(int, int control, int event, void *, int, int) {
    if (event == EVENT_COMMIT) ParaChosen(control);
    return AnswerHelp(event, help::CBF_EditDigOutmode);
}

int CBF_EditCntStrokeEdge(int, int control, int event, void *, int, int) {
    if (event == EVENT_COMMIT) ParaChosen(control);
    return AnswerHelp(event, help::CBF_EditCntStrokeEdge);
}
