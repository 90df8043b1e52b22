// Callbacks of the sensor identification and the language selector.
#include "window/callbacks.h"
#include "window/help.h"

#include "Tavironv10.h"
#include "base/state.h"
#include "base/texts.h"
#include "platform/ui.h"
#include "settings/settings.h"

int CBF_EditID(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_EditID)) return 0;
    switch (event) {
    case EVENT_COMMIT: // the identification is taken on commit only
        GetCtrlVal(App.ConnectTab, CONNECT_ID, App.PanelId);
        break;
    default:
        break;
    }
    return 0;
}

int CBF_EditLanguage(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_EditLanguage)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        InitLanguage();
        break;
    default:
        break;
    }
    return 0;
}
