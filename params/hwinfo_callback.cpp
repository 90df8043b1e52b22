// Callback of the hardware information file button.
#include "window/callbacks.h"
#include "window/help.h"

#include "base/state.h"
#include "base/texts.h"
#include "params/hwinfo.h"
#include "platform/ui.h"
#include "window/panels.h"

int CBF_ButtonGenHwInfoFile(int, int, int event, void *, int, int) {
    if (HelpAsked(event, help::CBF_ButtonGenHwInfoFile)) return 0;
    switch (event) {
    case EVENT_COMMIT:
        // No second operation may start while the exchanges wait for the sensor.
        SetButtonsDimmed(kAllControls, kDimmed);
        GenerateHWInfoFile();
        SetButtonsDimmed(kAllControls, kEnabled);
        break;
    default:
        break;
    }
    return 0;
}
