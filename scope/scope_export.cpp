// EXPORT on the scope panel: the record on the graphs, with the cursors and their deltas, saved
// as a CSV file chosen in the file dialog, with a PNG picture of the scope panel beside it
// under the same name.
#include "scope/calc/scope_csv.h"
#include "scope/scope.h"

#include "Tavironv10.h"
#include "base/file_reason.h"
#include "base/state.h"
#include "base/texts.h"
#include "platform/toolbox.h"
#include "platform/ui.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

namespace {

const TextPair kNoRecord = {"Keine Aufnahme zum Exportieren vorhanden!", "No recording to export!"};
const TextPair kSaved = {"Aufnahme gespeichert:", "Recording saved:"};
const TextPair kCsvFailed = {"Aufnahme konnte nicht gespeichert werden:",
                             "Recording could not be saved:"};
const TextPair kDialogTitle = {"Scope-Aufnahme", "Scope record"};
const TextPair kPngFailed = {"Bild des Scope-Fensters konnte nicht gespeichert werden:",
                             "Picture of the scope panel could not be saved:"};

bool EndsWithCsv(const std::string &path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    for (char &c : end)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return end == ".csv";
}

} // namespace

std::string ScopePicturePath(const char *csvPath) {
    std::string path = csvPath ? csvPath : "";
    if (EndsWithCsv(path)) path.resize(path.size() - 4);
    return path + ".png";
}

int ExportScopeRecord(const char *csvPath, const char *date, int *writeCode) {
    int unused = 0;
    int &code = writeCode ? *writeCode : unused;
    // The deltas written, and shown on the picture, are those of the record and cursors now.
    calcScopDeltaXY();
    double scanFrequency = 0;
    GetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_FREQ, &scanFrequency);
    ScopeCsvHeader h{};
    h.date = date;
    h.panelId = App.PanelId;
    h.sensorName = App.SensorName;
    h.firmware = App.FirmwareVersion;
    h.triggerLevel = App.ScopeRecordSettings[0];
    h.triggerMode = App.ScopeRecordSettings[1];
    h.preTrigger = App.ScopeRecordSettings[2];
    h.scanRate = App.ScopeRecordSettings[3];
    h.scanFrequency = scanFrequency;
    h.cycleTime = App.CycleTime;
    double x = 0, y = 0;
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 1, &x, &y);
    h.cursor1 = int(std::lround(x));
    GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, 2, &x, &y);
    h.cursor2 = int(std::lround(x));
    GetCtrlVal(App.ScopePanel, SCOPEP_DELTA_X, &h.deltaX);
    GetCtrlVal(App.ScopePanel, SCOPEP_DELTA_Y, &h.deltaY);
    std::string text = ScopeCsvText(h, App.ScopeSamples);
    code = WriteFileSafely(csvPath, text.data(), long(text.size()));
    if (code != 0) return -1;
    code = SavePanelDisplayToPngFile(App.ScopePanel, ScopePicturePath(csvPath).c_str());
    return code != 0 ? -2 : 0;
}

void ExportScope() {
    if (!App.ScopeRecordShown) {
        MessagePopup(Txt(kTitleInfo), Txt(kNoRecord));
        return;
    }
    char path[MAX_PATHNAME_LEN] = "";
    if (FileSavePopup(App.ProjectDir, "ScopeRecord.csv", "*.csv", Txt(kDialogTitle),
                      VAL_SAVE_BUTTON, 0, 0, 1, 1, path) < 1)
        return;
    // The picture beside it is a file of its own: an older one is not replaced without asking
    // either, and No saves nothing, as a cancelled dialog.
    std::string picture = ScopePicturePath(path);
    if (!ConfirmFileReplace(Txt(kDialogTitle), picture.c_str())) return;

    char date[32] = "";
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local)) std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &local);

    int code = 0;
    int r = ExportScopeRecord(path, date, &code);
    std::string message;
    // A failure says which file and why in the operator's words; the code only on standard
    // error.
    if (r == 0) {
        message = std::string(Txt(kSaved)) + "\n" + path + "\n" + picture;
    } else if (r == -1) {
        message =
            std::string(Txt(kCsvFailed)) + "\n" + path + "\n" + Txt(FileWriteReason(code, path));
        LogFileWriteFailure("Scope record not saved", path, code);
    } else {
        message = std::string(Txt(kPngFailed)) + "\n" + picture + "\n" +
                  Txt(FileWriteReason(code, picture.c_str()));
        LogFileWriteFailure("Scope picture not saved", picture.c_str(), code);
    }
    MessagePopup(Txt(kTitleInfo), message.c_str());
}
