// The comparison panel: RAM, EEPROM and the parameter file side by side (see para_compare.h).
// The sensor is read through CompareSensorSets, which leaves its working set as it was; the
// file is read without questions, since nothing of it reaches the page unless the operator
// takes its column.
#include "params/para_compare.h"

#include "base/state.h"
#include "base/texts.h"
#include "inifile/inifile.h"
#include "params/layout/parafile_layout.h"
#include "params/para.h"
#include "params/parafile.h"
#include "params/verify/para_verify.h"
#include "platform/ui.h"
#include "window/help.h"
#include "window/panels.h"

#include "Tavironv10.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace {

constexpr int kCells[kCompareColumns][kParaCount] = {
    {COMPAREP_RAM_0, COMPAREP_RAM_1, COMPAREP_RAM_2, COMPAREP_RAM_3},
    {COMPAREP_EEPROM_0, COMPAREP_EEPROM_1, COMPAREP_EEPROM_2, COMPAREP_EEPROM_3},
    {COMPAREP_FILE_0, COMPAREP_FILE_1, COMPAREP_FILE_2, COMPAREP_FILE_3}};
constexpr int kMarks[kParaCount] = {COMPAREP_DIFF_0, COMPAREP_DIFF_1, COMPAREP_DIFF_2,
                                    COMPAREP_DIFF_3};
constexpr int kTakeButtons[kCompareColumns] = {COMPAREP_TAKE_RAM, COMPAREP_TAKE_EEPROM,
                                               COMPAREP_TAKE_FILE};
constexpr int kPlainColor = 0xFFFFFF;
constexpr int kDifferColor = 0xFFC8B4; // a cell that differs from the first of its row

const TextPair kColumnNames[kCompareColumns] = {
    {"RAM", "RAM"}, {"EEPROM", "EEPROM"}, {"DATEI", "FILE"}};
const TextPair kTxtDiffers = {"verschieden", "differs"};
const TextPair kTxtNoSensor = {"Kein Sensor verbunden: nur die Parameter-Datei (%s)",
                               "No sensor connected: the parameter file only (%s)"};
const TextPair kTxtFileMissing = {"%s (nicht gefunden)", "%s (not found)"};
const TextPair kTxtFileUnreadable = {"%s (nicht lesbar)", "%s (cannot be read)"};
const TextPair kTxtFileOtherKind = {"%s (keine Parameter-Datei dieses Programms)",
                                    "%s (not a parameter file of this program)"};
const TextPair kTxtTaken = {"Spalte %s auf die Seite uebernommen, nichts gesendet (%s)",
                            "Column %s taken onto the page, nothing sent (%s)"};

std::string Said(const TextPair &format, const std::string &a, const std::string &b = "") {
    char text[2 * kPathSize];
    std::snprintf(text, sizeof text, Txt(format), a.c_str(), b.c_str());
    return text;
}

std::string Clock() {
    return ClockText(std::time(nullptr));
}

// The line of the comparison panel and the data panel's STATUS alike.
void ShowCompareStatus(const std::string &line) {
    SetCtrlVal(App.ComparePanel, COMPAREP_STATUS, line.c_str());
    SetCtrlVal(App.DataPanel, DATAP_STATUS, line.c_str());
}

void ForgetColumn(int column) {
    for (int i = 0; i < kParaCount; ++i)
        App.CompareKnown[column][i] = 0;
}

void FillColumn(int column, const std::uint16_t values[kParaCount]) {
    for (int i = 0; i < kParaCount; ++i) {
        App.CompareValues[column][i] = values[i];
        App.CompareKnown[column][i] = 1;
    }
}

// The program talks to the sensor unless it is offline; READ SENSOR is dimmed exactly then
// (offline, or while another transfer or the live cycle runs).
bool SensorReachable() {
    int dimmed = 1;
    GetCtrlAttribute(App.ComparePanel, COMPAREP_READ, ATTR_DIMMED, &dimmed);
    return dimmed == 0;
}

} // namespace

void OpenComparison() {
    ShowChildPanelDisp(App.ComparePanel);
    CompareReadFile();
    if (SensorReachable()) {
        CompareReadSensor();
        return;
    }
    ForgetColumn(kCompareRam);
    ForgetColumn(kCompareEeprom);
    ShowComparison();
    ShowCompareStatus(Said(kTxtNoSensor, Clock()));
}

void CompareReadSensor() {
    std::uint16_t ram[kParaCount], eeprom[kParaCount];
    SetButtonsDimmed(kAllControls, kDimmed);
    const int read = CompareSensorSets(ram, eeprom);
    SetButtonsDimmed(kAllControls, kEnabled);
    if (read == 1) {
        FillColumn(kCompareRam, ram);
        FillColumn(kCompareEeprom, eeprom);
        ShowCompareStatus(
            CompareStatusLine(CountDifferences(ram, eeprom), App.LanguageIndex, Clock()));
    } else {
        // The failure has been reported (status box, STATUS); the comparison says the same.
        ForgetColumn(kCompareRam);
        ForgetColumn(kCompareEeprom);
        char line[256] = "";
        GetCtrlVal(App.DataPanel, DATAP_STATUS, line);
        SetCtrlVal(App.ComparePanel, COMPAREP_STATUS, line);
    }
    ShowComparison();
}

void CompareReadFile() {
    ForgetColumn(kCompareFile);
    const std::string path = App.ParaFilePath;
    std::string shown = path;
    long size = 0;
    if (!GetFileInfo(path.c_str(), &size)) {
        shown = Said(kTxtFileMissing, path);
    } else {
        IniText document = Ini_New(0);
        if (!document || Ini_ReadFromFile(document, path.c_str()) < 0) {
            shown = Said(kTxtFileUnreadable, path);
        } else if (!ParaFileTypeMatches(document) || !ParaFileVersionMatches(document)) {
            shown = Said(kTxtFileOtherKind, path);
        } else {
            std::uint16_t values[kParaCount];
            const unsigned missing = GetParaFileValues(document, values);
            FillColumn(kCompareFile, values);
            for (int i = 0; i < kParaCount; ++i) // a lacking item is not its default
                if (missing & (1u << i)) App.CompareKnown[kCompareFile][i] = 0;
        }
        Ini_Dispose(document);
    }
    SetCtrlVal(App.ComparePanel, COMPAREP_FILE_PATH, shown.c_str());
    ShowComparison();
}

void CompareChooseFile() {
    if (SelectParaFile(false) != VAL_EXISTING_FILE_SELECTED) {
        MessagePopup(Txt(kTitleInfo), Txt(kTxtNoFileSelected));
        return;
    }
    CompareReadFile();
}

void CompareTake(int column) {
    if (column < 0 || column >= kCompareColumns) return;
    for (int i = 0; i < kParaCount; ++i)
        if (!App.CompareKnown[column][i]) return;
    std::memcpy(App.ParaValues, App.CompareValues[column], sizeof App.ParaValues);
    SetPanelValues();
    ShowCompareStatus(Said(kTxtTaken, Txt(kColumnNames[column]), Clock()));
}

void ShowComparison() {
    ParaColumn columns[kCompareColumns];
    for (int c = 0; c < kCompareColumns; ++c)
        for (int i = 0; i < kParaCount; ++i) {
            columns[c].known[i] = App.CompareKnown[c][i] != 0;
            columns[c].value[i] = App.CompareValues[c][i];
        }
    const ParaComparison marks = CompareColumns(columns);
    const int panel = App.ComparePanel;
    for (int c = 0; c < kCompareColumns; ++c) {
        bool complete = true;
        for (int i = 0; i < kParaCount; ++i) {
            const std::string text = columns[c].known[i]
                                         ? ParaValueText(i, columns[c].value[i], App.LanguageIndex)
                                         : "-";
            SetCtrlVal(panel, kCells[c][i], text.c_str());
            SetCtrlAttribute(panel, kCells[c][i], ATTR_TEXT_BGCOLOR,
                             marks.cellDiffers[c][i] ? kDifferColor : kPlainColor);
            complete = complete && columns[c].known[i];
        }
        SetCtrlAttribute(panel, kTakeButtons[c], ATTR_DIMMED, complete ? 0 : 1);
    }
    for (int i = 0; i < kParaCount; ++i)
        SetCtrlVal(panel, kMarks[i], marks.rowDiffers[i] ? Txt(kTxtDiffers) : "");
}
