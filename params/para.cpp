// The four sensor parameters: between the parameter page and ParaValues, and to and from the
// sensor's working (RAM) set, on into or out of its EEPROM when EEPROM is selected.
#include "params/para.h"

#include "app/state.h"
#include "app/texts.h"
#include "link/exchange.h"
#include "link/frame.h"
#include "platform/ui.h"

#include "Tavironv10.h"

#include <cstdio>

namespace {

constexpr int kParaBlockSize = 8;
constexpr int kParaControls[4] = {PARA_STROKE_TOL, PARA_BAD_CNT_TO_FAIL, PARA_DIG_OUTMODE,
                                  PARA_CNT_STROKE_EDGE};

const TextPair kTxtRamImplausible = {
    " Plausibilitaets-Check der Parameter im RAM fehlgeschlagen, wurden auf Voreinstellung "
    "gesetzt!",
    " Parameter in RAM did not pass plausibility check and were set to default value!"};
const TextPair kTxtEepromImplausible = {
    " Plausibilitaets-Check der Parameter im EEPROM fehlgeschlagen, wurden auf Voreinstellung "
    "gesetzt!\n\n",
    " Parameter from EEPROM did not pass plausibility check and were set to default value!\n\n"};

// The popup title, a line feed, the sensor's number and the message, into ErrorText.
void FormatPlausibility(const TextPair &message) {
    std::snprintf(App.ErrorText, sizeof App.ErrorText, "%s\n%d%s", Txt(kTitleInfo),
                  int(App.RxArgument), Txt(message));
}

} // namespace

void GetPanelValues() {
    for (int i = 0; i < 4; ++i)
        GetCtrlVal(App.ParaTab, kParaControls[i], &App.ParaValues[i]);
}

void SetPanelValues() {
    for (int i = 0; i < 4; ++i)
        SetCtrlVal(App.ParaTab, kParaControls[i], unsigned(App.ParaValues[i]));
}

void SendPara() {
    App.SendParaPending = 0;
    GetPanelValues();
    for (int i = 0; i < 4; ++i)
        putU16(TxData() + 2 * i, App.ParaValues[i]);
    FillTxBuf(OrderSendPara, 0, kParaBlockSize);
    if (DataExchange(kHeaderSize + kParaBlockSize) != 1) return;
    if (App.RxArgument != 0) {
        // The sensor set its RAM to defaults: reported like a link failure.
        FormatPlausibility(kTxtRamImplausible);
        SetTimeout();
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
            FormatPlausibility(kTxtEepromImplausible);
            SetCtrlVal(App.ConnectTab, CONNECT_STATUS, App.ErrorText);
        }
    }
    FillTxBuf(OrderGetPara, 0, 0);
    if (DataExchange(kHeaderSize) != 1) return;
    for (int i = 0; i < 4; ++i)
        App.ParaValues[i] = getU16(RxData() + 2 * i);
    SetPanelValues();
}
