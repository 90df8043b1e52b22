// The four sensor parameters: between the parameter page and ParaValues, and to and from the
// sensor's working (RAM) set, on into or out of its EEPROM when EEPROM is selected. Every SEND
// is read back after its frames and compared; the status line says what happened and when.
#include "params/para.h"

#include "base/state.h"
#include "base/texts.h"
#include "link/link_fault.h"
#include "link/para_transfer.h"
#include "linktext/linktext.h"
#include "params/layout/para_names.h"
#include "params/verify/para_verify.h"
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

// Loads the EEPROM set into RAM (order 4). An EEPROM set the sensor replaced by its defaults
// is reported and the link stays good. 1, or -1 when the exchange failed.
int LoadEeprom() {
    int refusal = 0;
    const int loaded = LoadEepromSet(&refusal);
    if (loaded < 0) return -1;
    if (loaded == 0) {
        SetActiveTabPage(App.MainPanel, MAINP_TAB, 0);
        std::snprintf(App.ErrorText, sizeof App.ErrorText, "%s",
                      PlausibilityText(refusal, kTxtEepromImplausible).c_str());
        SetCtrlVal(App.ConnectTab, CONNECT_STATUS, App.ErrorText);
    }
    return 1;
}

// Writes `values` into the sensor's working set (order 1). 1 when taken, 0 when the sensor
// rejected them (it then holds its defaults; reported as the link failure SensorRejected, which
// STATUS names), -1 when the exchange failed.
int WriteRam(const u16 values[4]) {
    int refusal = 0;
    const int written = WriteWorkingSet(values, &refusal);
    if (written != 0) return written;
    LinkFault fault;
    fault.code = LinkError::SensorRejected;
    fault.number = refusal;
    LinkFailure(fault);
    return 0;
}

// Notes what was read of the sensor: its RAM set, and its EEPROM set when `eeprom` is given.
// Read alone, RAM tells nothing of the EEPROM; with a known EEPROM set it tells all.
void NoteSensorSets(const u16 ram[4], const u16 *eeprom) {
    std::memcpy(App.SensorRam, ram, sizeof App.SensorRam);
    App.SensorRamKnown = 1;
    if (eeprom) {
        std::memcpy(App.SensorEeprom, eeprom, sizeof App.SensorEeprom);
        App.SensorEepromKnown = 1;
    }
    if (App.SensorEepromKnown) {
        App.RamNotStored = CountDifferences(App.SensorRam, App.SensorEeprom) != 0;
        ShowNotStored();
    }
}

// Loads the EEPROM set into RAM (order 4), when asked, then reads RAM (order 2) into
// ParaValues and onto the page, and notes what the sensor holds. 1, or -1 when an exchange
// failed (then ParaValues and the page are as they were).
int ReadSensorSet(bool loadEeprom) {
    if (loadEeprom && LoadEeprom() != 1) return -1;
    u16 held[4];
    if (ReadWorkingSet(held) != 1) return -1;
    std::memcpy(App.ParaValues, held, sizeof held);
    SetPanelValues();
    NoteSensorSets(held, loadEeprom ? held : nullptr);
    return 1;
}

// Said when the working set could not be put back after the EEPROM was read for a comparison.
const TextPair kTxtRamNotPutBack = {
    "Das RAM konnte nach dem Lesen des EEPROM nicht wiederhergestellt werden.\n\n",
    "RAM could not be put back as it was after the EEPROM was read.\n\n"};

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
    const int written = WriteRam(sent);
    if (written < 0) return;
    const bool rejected = written == 0; // the sensor holds its defaults now
    const int memory = App.MemorySelect == 2 ? MemoryEeprom : MemoryRam;
    if (memory == MemoryEeprom) {
        if (StoreWorkingSet() != 1) return;
    }

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

int CompareSensorSets(u16 ram[4], u16 eeprom[4]) {
    if (ReadWorkingSet(ram) != 1) return -1;
    if (LoadEeprom() != 1 || ReadWorkingSet(eeprom) != 1) return -1;
    if (CountDifferences(ram, eeprom) != 0) {
        // Loading the EEPROM replaced the working set: it is put back as it was, and read
        // again to know what the sensor holds.
        u16 before[4];
        std::memcpy(before, ram, sizeof before);
        const int written = WriteRam(before);
        if (written < 0 || ReadWorkingSet(ram) != 1) return -1;
        if (written == 0 || CountDifferences(before, ram) != 0) {
            const ParaVerdict verdict =
                VerifySentSet(MemoryRam, written == 0, before, ram, App.LanguageIndex,
                              ClockText(std::time(nullptr)));
            MessagePopup(Txt(kTitleInfo), (Txt(kTxtRamNotPutBack) + verdict.popup).c_str());
        }
    }
    NoteSensorSets(ram, eeprom);
    return 1;
}
