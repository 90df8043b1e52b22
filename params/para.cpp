// The four sensor parameters: between the parameter page and ParaValues, and to and from the
// sensor's working (RAM) set, on into or out of its EEPROM when EEPROM is selected.
#include "params/para.h"

#include "base/state.h"
#include "base/texts.h"
#include "link/exchange.h"
#include "linktext/linktext.h"
#include "platform/ui.h"
#include "protocol/frame.h"

#include "Tavironv10.h"

#include <cstdio>

namespace {

constexpr int kParaBlockSize = 8;
constexpr int kParaControls[4] = {PARA_STROKE_TOL, PARA_BAD_CNT_TO_FAIL, PARA_DIG_OUTMODE,
                                  PARA_CNT_STROKE_EDGE};

// Names as the parameter file and the page call them, for messages.
constexpr const char *kParaNames[4] = {"STROKE TOLERANCE", "BAD CNT TO FAIL", "DIGITAL OUTMODE",
                                       "CNT STROKE EDGE"};

const TextPair kTxtCannotShow = {
    "Parameter %s: der empfangene Wert %u kann nicht angezeigt werden. Bitte vor SEND einen "
    "Wert waehlen.\n",
    "Parameter %s: the value %u received cannot be shown. Please choose a value before SEND.\n"};
const TextPair kTxtChooseFirst = {
    "Parameter %s: der empfangene Wert %u kann nicht angezeigt werden. Bitte zuerst einen Wert "
    "waehlen; es wurde nichts gesendet.",
    "Parameter %s: the value %u received cannot be shown. Please choose a value first; nothing "
    "was sent."};

} // namespace

void GetPanelValues() {
    // A value its control could not show stays as received until the operator chooses one.
    for (int i = 0; i < 4; ++i)
        if (!App.ParaUnshown[i]) GetCtrlVal(App.ParaTab, kParaControls[i], &App.ParaValues[i]);
}

void SetPanelValues() {
    for (int i = 0; i < 4; ++i) {
        SetCtrlVal(App.ParaTab, kParaControls[i], unsigned(App.ParaValues[i]));
        // A ring without that value, or a numeric control whose range ends before it, shows
        // something else: the operator is told, and SEND will not pass it off as chosen.
        u16 shown = 0;
        GetCtrlVal(App.ParaTab, kParaControls[i], &shown);
        App.ParaUnshown[i] = shown != App.ParaValues[i];
        if (App.ParaUnshown[i]) {
            char message[256];
            std::snprintf(message, sizeof message, Txt(kTxtCannotShow), kParaNames[i],
                          unsigned(App.ParaValues[i]));
            SetCtrlVal(App.ConnectTab, CONNECT_STATUS, message);
        }
    }
}

void ParaChosen(int control) {
    for (int i = 0; i < 4; ++i)
        if (kParaControls[i] == control) App.ParaUnshown[i] = 0;
}

int ParaValuesChosen() {
    for (int i = 0; i < 4; ++i) {
        if (!App.ParaUnshown[i]) continue;
        char message[256];
        std::snprintf(message, sizeof message, Txt(kTxtChooseFirst), kParaNames[i],
                      unsigned(App.ParaValues[i]));
        SetCtrlVal(App.ConnectTab, CONNECT_STATUS, message);
        SetCtrlVal(App.ConnectTab, CONNECT_STATUS, "\n");
        MessagePopup(Txt(kTitleInfo), message);
        return 0;
    }
    return 1;
}

void SendPara() {
    App.SendParaPending = 0;
    if (!ParaValuesChosen()) return;
    GetPanelValues();
    for (int i = 0; i < 4; ++i)
        putU16(TxData() + 2 * i, App.ParaValues[i]);
    FillTxBuf(OrderSendPara, 0, kParaBlockSize);
    if (DataExchange(kHeaderSize + kParaBlockSize) != 1) return;
    if (App.RxArgument != 0) {
        // The sensor set its RAM to defaults: reported like a link failure.
        LinkFault rejected;
        rejected.code = LinkError::SensorRejected;
        rejected.number = App.RxArgument;
        LinkFailure(rejected);
    }
    if (App.MemorySelect == 2) {
        FillTxBuf(OrderStoreEeprom, 0, 0);
        DataExchange(kHeaderSize);
    }
}

void GetPara() {
    App.GetParaPending = 0;
    if (App.MemorySelect == 2) {
        FillTxBuf(OrderLoadEeprom, 0, 0);
        if (DataExchange(kHeaderSize) != 1) return;
        if (App.RxArgument != 0) {
            // The EEPROM set was replaced by defaults; the link itself is fine.
            SetActiveTabPage(App.MainPanel, MAINP_TAB, 0);
            std::snprintf(App.ErrorText, sizeof App.ErrorText, "%s",
                          PlausibilityText(App.RxArgument, kTxtEepromImplausible).c_str());
            SetCtrlVal(App.ConnectTab, CONNECT_STATUS, App.ErrorText);
        }
    }
    FillTxBuf(OrderGetPara, 0, 0);
    if (DataExchange(kHeaderSize) != 1) return;
    for (int i = 0; i < 4; ++i)
        App.ParaValues[i] = getU16(RxData() + 2 * i);
    SetPanelValues();
}
