// The four sensor parameters: between the parameter page and ParaValues, and to and from the
// sensor's working (RAM) set, on into or out of its EEPROM when EEPROM is selected. Every SEND
// is read back after its frames and compared; the status line says what happened and when.
#include "params/para.h"

#include "base/state.h"
#include "base/texts.h"
#include "link/exchange.h"
#include "linktext/linktext.h"
#include "params/para_names.h"
#include "params/para_transfer.h"
#include "params/para_verify.h"
#include "platform/ui.h"

#include "Tavironv10.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

constexpr int kParaControls[4] = {PARA_STROKE_TOL, PARA_BAD_CNT_TO_FAIL, PARA_DIG_OUTMODE,
                                  PARA_CNT_STROKE_EDGE};

const TextPair kTxtCannotShow = {
    "Parameter %s: der empfangene Wert %u kann nicht angezeigt werden. Bitte vor SEND einen "
    "Wert waehlen.\n",
    "Parameter %s: the value %u received cannot be shown. Please choose a value before SEND.\n"};
const TextPair kTxtChooseFirst = {
    "Parameter %s: der empfangene Wert %u kann nicht angezeigt werden. Bitte zuerst einen Wert "
    "waehlen; es wurde nichts gesendet.",
    "Parameter %s: the value %u received cannot be shown. Please choose a value first; nothing "
    "was sent."};

// Loads the EEPROM set into RAM (order 4), when asked, then reads RAM (order 2) into
// ParaValues and onto the page, and notes what the sensor holds. An EEPROM set the sensor
// replaced by its defaults is reported and the read goes on; the link stays good. 1, or -1
// when an exchange failed (then ParaValues and the page are as they were).
int ReadSensorSet(bool loadEeprom) {
    if (loadEeprom) {
        int refusal = 0;
        const int loaded = LoadEepromSet(&refusal);
        if (loaded < 0) return -1;
        if (loaded == 0) {
            SetActiveTabPage(App.MainPanel, MAINP_TAB, 0);
            std::snprintf(App.ErrorText, sizeof App.ErrorText, "%s",
                          PlausibilityText(refusal, kTxtEepromImplausible).c_str());
            SetCtrlVal(App.ConnectTab, CONNECT_STATUS, App.ErrorText);
        }
    }
    if (ReadWorkingSet(App.ParaValues) != 1) return -1;
    SetPanelValues();

    std::memcpy(App.SensorRam, App.ParaValues, sizeof App.SensorRam);
    App.SensorRamKnown = 1;
    if (loadEeprom) {
        std::memcpy(App.SensorEeprom, App.ParaValues, sizeof App.SensorEeprom);
        App.SensorEepromKnown = 1;
    }
    // Read alone, RAM tells nothing of the EEPROM; with a known EEPROM set it tells all.
    if (App.SensorEepromKnown) {
        App.RamNotStored = CountDifferences(App.SensorRam, App.SensorEeprom) != 0;
        ShowNotStored();
    }
    return 1;
}

void ShowStatusLine(const std::string &line) {
    SetCtrlVal(App.DataPanel, DATAP_STATUS, line.c_str());
}

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
            std::snprintf(message, sizeof message, Txt(kTxtCannotShow), kParaNames[i].fileKey,
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
        std::snprintf(message, sizeof message, Txt(kTxtChooseFirst), kParaNames[i].fileKey,
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
    u16 sent[4];
    std::memcpy(sent, App.ParaValues, sizeof sent);
    int refusal = 0;
    const int written = WriteWorkingSet(sent, &refusal);
    if (written < 0) return;
    const bool rejected = written == 0;
    if (rejected) {
        // The sensor set its RAM to defaults: handled as a failure, which STATUS names.
        LinkFault fault;
        fault.code = LinkError::SensorRejected;
        fault.number = refusal;
        LinkFailure(fault);
    }
    const int memory = App.MemorySelect == 2 ? MemoryEeprom : MemoryRam;
    if (memory == MemoryEeprom && StoreWorkingSet() != 1) return;

    // What the sensor holds now, after the frames above: RAM, or the EEPROM set loaded into it.
    if (ReadSensorSet(memory == MemoryEeprom) != 1) return;
    const ParaVerdict verdict = VerifySentSet(memory, rejected, sent, App.ParaValues,
                                              App.LanguageIndex, ClockText(std::time(nullptr)));
    if (!rejected) ShowStatusLine(verdict.statusLine);
    if (memory == MemoryRam) {
        // Sent to RAM only: stored only if the EEPROM is known to hold the same.
        App.RamNotStored =
            !(App.SensorEepromKnown && CountDifferences(App.SensorRam, App.SensorEeprom) == 0);
        ShowNotStored();
    }
    if (!verdict.popup.empty()) MessagePopup(Txt(kTitleInfo), verdict.popup.c_str());
}

void GetPara() {
    App.GetParaPending = 0;
    ReadSensorSet(App.MemorySelect == 2);
}

void GetParaAsked() {
    App.GetParaPending = 0;
    const int memory = App.MemorySelect == 2 ? MemoryEeprom : MemoryRam;
    if (ReadSensorSet(memory == MemoryEeprom) == 1)
        ShowStatusLine(GetStatusLine(memory, App.LanguageIndex, ClockText(std::time(nullptr))));
}

void ShowParaFileDone(int saved) {
    const std::string clock = ClockText(std::time(nullptr));
    const std::string line =
        saved ? FileSavedLine(App.ParaFilePath, App.LanguageIndex, clock)
              : GetStatusLine(MemoryFile, App.LanguageIndex, clock, App.ParaFilePath);
    ShowStatusLine(line);
    SetCtrlVal(App.ConnectTab, CONNECT_STATUS, (line + "\n\n").c_str());
}

void SelectMemory(int memory) {
    App.MemorySelect = i16(memory);
    SetCtrlVal(App.MainPanel, MAINP_RAM, memory == MemoryRam ? 1 : 0);
    SetCtrlVal(App.MainPanel, MAINP_EEPROM, memory == MemoryEeprom ? 1 : 0);
    SetCtrlVal(App.MainPanel, MAINP_FILE, memory == MemoryFile ? 1 : 0);
}

void ForgetSensorSets() {
    App.SensorRamKnown = 0;
    App.SensorEepromKnown = 0;
    App.RamNotStored = 0;
    ShowNotStored();
}

void ShowNotStored() {
    SetCtrlAttribute(App.ParaTab, PARA_NOT_STORED, ATTR_VISIBLE, App.RamNotStored ? 1 : 0);
}
