// The scope printout: title, program version, sensor identification, the operator's comment,
// the recorder settings, the cursors with their deltas and a picture of the scope panel on one
// report, date, time and page numbers in the footer, printed on the printer the operator picks
// in the print dialog.
#include "scope/scope.h"

#include "Tavironv10.h"
#include "base/file_reason.h"
#include "base/state.h"
#include "base/texts.h"
#include "inifile/inifile.h"
#include "platform/report.h"
#include "platform/toolbox.h"
#include "platform/ui.h"
#include "taviron_version.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

const TextPair kReportTitle = {"Screenshot des Scope-Bildschirms.", "Scope Screen Shot"};
const TextPair kPanelIdLabel = {"Fenster ID:", "Panel ID: "};
const TextPair kCommentLabel = {"Kommentar:", "Comment:"};
const TextPair kSettingsLabel = {"Rekorder-Einstellungen:", "Recorder settings:"};
const TextPair kTriggerModeRow = {"Trigger Modus: %s", "Trigger mode: %s"};
const TextPair kTriggerLevelRow = {"Trigger Level: %d Digit", "Trigger level: %d digit"};
const TextPair kPreTriggerRow = {"Vortrigger: %d Werte", "Pre-trigger: %d samples"};
const TextPair kScanRateRow = {"Scan Rate: %d", "Scan rate: %d"};
const TextPair kScanFreqRow = {"Scanfrequenz: %s Hz", "Scan frequency: %s Hz"};
const TextPair kCycleTimeRow = {"Zykluszeit: %s ms", "Cycle time: %s ms"};
const TextPair kCursorRow = {"Cursor %d: Wert %d, %d Digit", "Cursor %d: sample %d, %d digit"};
const TextPair kDeltaXRow = {"Delta X: %s ms", "Delta X: %s ms"};
const TextPair kDeltaYRow = {"Delta Y: %d Digit", "Delta Y: %d digit"};
const TextPair kReportFailed = {"Report konnte nicht initialisiert werden...",
                                "Could not initialize reports..."};
const TextPair kPrinted = {"Ausdruck erfolgreich!", "Print successful!"};
const TextPair kPrintError = {"Druckfehler!", "Print error!"};
const TextPair kPrintWaiting = {
    "Der Druckauftrag wartet in der Warteschlange des Druckers %s; der Drucker ist angehalten.",
    "The print job is waiting in the queue of printer %s; the printer is stopped."};

// The job's name in the printer's queue: the program and the sensor's identification.
void SetJobTitle(int report) {
    char title[200];
    if (App.PanelId[0] != '\0')
        std::snprintf(title, sizeof title, "%s - %s", kProgramTitle, App.PanelId);
    else
        std::snprintf(title, sizeof title, "%s", kProgramTitle);
    Report_SetReportAttribute(report, REPORT_ATTR_JOB_TITLE, title);
}

// The states of a printer's queue and of a PDF file, said in the program's language: the
// scheduler's own words would be English whatever the interface speaks.
const TextPair kNotAccepting = {"Der Drucker %s nimmt keine Auftraege an.",
                                "The printer %s does not accept jobs."};
const TextPair kNoSuchPrinter = {"Der Drucker %s wurde nicht gefunden.",
                                 "The printer %s was not found."};
const TextPair kNoScheduler = {
    "Kein Drucker erreichbar: der Druckdienst des Systems antwortet nicht.",
    "No printer can be reached: the system's print service does not answer."};
const TextPair kPrinterSays = {"Meldung des Druckers: %s", "The printer's message: %s"};

std::string Format(const TextPair &pair, const char *value) {
    char text[1024];
    std::snprintf(text, sizeof text, Txt(pair), value);
    return text;
}

// Tells the operator what became of the print: printed (naming the PDF file it went into),
// waiting in a stopped queue (naming the printer), or failed and why: the queue refuses jobs,
// there is no such printer, no print service, or the PDF file could not be written. What the
// queue's keeper wrote as the reason follows.
void ShowPrintOutcome(int report, const char *printerName, int result) {
    const bool pdf = std::strchr(printerName, '/') != nullptr;
    std::string text;
    switch (result) {
    case 0:
        text = Txt(kPrinted);
        if (pdf) text += std::string("\n") + printerName;
        break;
    case REPORT_PRINT_WAITING:
        text = Format(kPrintWaiting, printerName);
        break;
    case REPORT_ERR_NOT_ACCEPTING:
        text = std::string(Txt(kPrintError)) + "\n" + Format(kNotAccepting, printerName);
        break;
    case REPORT_ERR_PRINTER:
        text = std::string(Txt(kPrintError)) + "\n" + Format(kNoSuchPrinter, printerName);
        break;
    case REPORT_ERR_NO_SCHEDULER:
        text = std::string(Txt(kPrintError)) + "\n" + Txt(kNoScheduler);
        break;
    default:
        text = Txt(kPrintError);
        if (pdf) {
            const int code = result == REPORT_ERR_DISK_FULL ? INI_ERR_DISK_FULL : 0;
            text +=
                std::string("\n") + printerName + "\n" + Txt(FileWriteReason(code, printerName));
            LogFileWriteFailure("Printout not saved", printerName, code);
        }
        break;
    }
    if (const char *said = Report_PrintMessage(report); result != 0 && said[0] != '\0')
        text += "\n" + Format(kPrinterSays, said);
    MessagePopup(Txt(kTitleInfo), text.c_str());
}

constexpr int kBlack = 0x000000;

// Creates a new, empty file for the panel picture under a name no other process can have
// taken or can take over (mkstemps opens it exclusively). Returns 1 with the path in `path`,
// 0 when no file could be made.
int MakeScreenshotFile(char (&path)[512]) {
    const char *dir = std::getenv("TMPDIR");
    if (!dir || !*dir) dir = "/tmp";
    static const char kSuffix[] = ".bmp";
    int n = std::snprintf(path, sizeof path, "%s/taviron-scope-XXXXXX%s", dir, kSuffix);
    if (n < 0 || n >= int(sizeof path)) return 0;
    int fd = mkstemps(path, int(sizeof kSuffix - 1));
    if (fd < 0) return 0;
    close(fd);
    return 1;
}

// A numeric display's value as it shows it, with its decimal places.
std::string DisplayText(int panel, int control) {
    double v = 0;
    int decimals = 0;
    GetCtrlVal(panel, control, &v);
    GetCtrlAttribute(panel, control, ATTR_PRECISION, &decimals);
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", std::clamp(decimals, 0, 15), v);
    return text;
}

// The recorder settings as the scope page shows them, so that the deltas on the picture can
// be checked on paper: mode (its name in the current language), level, pre-trigger, scan rate,
// scan frequency and cycle time.
void AppendRecorderSettings(int report) {
    int mode = 0, level = 0, preTrigger = 0, scanRate = 0;
    GetCtrlVal(App.ScopeTab, SCOPETAB_TRIG_MODE, &mode);
    GetCtrlVal(App.ScopeTab, SCOPETAB_TRIG_LEVEL, &level);
    GetCtrlVal(App.ScopeTab, SCOPETAB_PRE_TRIG, &preTrigger);
    GetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_RATE, &scanRate);
    char modeName[128] = "";
    if (GetLabelFromIndex(App.ScopeTab, SCOPETAB_TRIG_MODE, mode, modeName, sizeof modeName) < 0)
        std::snprintf(modeName, sizeof modeName, "%d", mode);

    char line[256];
    Report_AppendLine(report, Txt(kSettingsLabel));
    std::snprintf(line, sizeof line, Txt(kTriggerModeRow), modeName);
    Report_AppendLine(report, line);
    std::snprintf(line, sizeof line, Txt(kTriggerLevelRow), level);
    Report_AppendLine(report, line);
    std::snprintf(line, sizeof line, Txt(kPreTriggerRow), preTrigger);
    Report_AppendLine(report, line);
    std::snprintf(line, sizeof line, Txt(kScanRateRow), scanRate);
    Report_AppendLine(report, line);
    std::snprintf(line, sizeof line, Txt(kScanFreqRow),
                  DisplayText(App.ScopeTab, SCOPETAB_SCAN_FREQ).c_str());
    Report_AppendLine(report, line);
    std::snprintf(line, sizeof line, Txt(kCycleTimeRow),
                  DisplayText(App.ScopeTab, SCOPETAB_CYCLE_TIME).c_str());
    Report_AppendLine(report, line);
}

// Where the cursors stand on the record and the deltas between them, as the displays show
// them, so that the measurement can be read on paper. Nothing without a record.
void AppendCursorDeltas(int report) {
    if (!App.ScopeRecordShown) return;
    char line[256];
    for (int cursor = 1; cursor <= 2; ++cursor) {
        double x = 0, y = 0;
        GetGraphCursor(App.ScopePanel, SCOPEP_GRAPH, cursor, &x, &y);
        std::snprintf(line, sizeof line, Txt(kCursorRow), cursor, int(std::lround(x)),
                      int(std::lround(y)));
        Report_AppendLine(report, line);
    }
    std::snprintf(line, sizeof line, Txt(kDeltaXRow),
                  DisplayText(App.ScopePanel, SCOPEP_DELTA_X).c_str());
    Report_AppendLine(report, line);
    int deltaY = 0;
    GetCtrlVal(App.ScopePanel, SCOPEP_DELTA_Y, &deltaY);
    std::snprintf(line, sizeof line, Txt(kDeltaYRow), deltaY);
    Report_AppendLine(report, line);
}

} // namespace

void SelectPrinter(char *printerName) {
    // The name stays as it was when the dialog is cancelled.
    PrinterSelectPopup(printerName, 512);
}

void PrintScopeGraph() {
    char line[1024];
    char comment[1024];
    char imageFile[512] = "";
    char printerName[512];

    // The deltas on the picture and on paper are those of the record and cursors shown now.
    calcScopDeltaXY();
    if (Report_New(&App.ReportHandle) < 0) {
        MessagePopup(Txt(kTitleInfo), Txt(kReportFailed));
        return;
    }
    const int report = App.ReportHandle;
    Report_SetReportAttribute(report, REPORT_ATTR_FOOTER_LEFT_TEXT, REPORT_FIELD_SHORT_DATE);
    Report_SetReportAttribute(report, REPORT_ATTR_FOOTER_CENTER_TEXT, REPORT_FIELD_TIME);
    Report_SetReportAttribute(report, REPORT_ATTR_FOOTER_RIGHT_TEXT, REPORT_FIELD_PAGE_N_OF_M);
    Report_SetTextAttribute(report, REPORT_TEXT_BOLD, 0);
    Report_SetTextAttribute(report, REPORT_TEXT_COLOR, kBlack);
    Report_SetTextAttribute(report, REPORT_TEXT_FONT, "Arial");
    Report_SetTextAttribute(report, REPORT_TEXT_POINT_SIZE, 20.0);
    Report_AppendLine(report, Txt(kReportTitle));
    Report_SetTextAttribute(report, REPORT_TEXT_POINT_SIZE, 10.0);
    Report_AppendLine(report, kProgramTitle);

    if (App.PanelId[0] != '\0') {
        std::snprintf(line, sizeof line, "%s%s", Txt(kPanelIdLabel), App.PanelId);
        Report_AppendLine(report, line);
    }
    Report_NewLine(report);

    std::memset(comment, 0, sizeof comment);
    GetCtrlVal(App.ScopeTab, SCOPETAB_COMMENT, comment);
    if (comment[0] != '\0') {
        Report_AppendLine(report, Txt(kCommentLabel));
        Report_AppendLine(report, comment);
        Report_NewLine(report);
    }
    AppendRecorderSettings(report);
    AppendCursorDeltas(report);
    Report_NewLine(report);

    // The picture goes through a bitmap file that only this call uses; the report reads it
    // when it is appended.
    if (MakeScreenshotFile(imageFile)) {
        SavePanelDisplayToFile(App.ScopePanel, imageFile);
        Report_AppendImageFile(report, imageFile, "Panel");
    }

    printerName[0] = '\0';
    SelectPrinter(printerName);
    if (printerName[0] != '\0') {
        SetJobTitle(report);
        ShowPrintOutcome(report, printerName, Report_Print(report, printerName, 1));
    }

    Report_Discard(report);
    if (imageFile[0] != '\0') std::remove(imageFile);
}
