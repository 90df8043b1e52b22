// The scope printout: title, program version, sensor identification, the operator's comment
// and a picture of the scope panel on one report, date, time and page numbers in the footer,
// printed on the printer the operator picks in the print dialog.
#include "scope/scope.h"

#include "Tavironv10.h"
#include "app/state.h"
#include "app/texts.h"
#include "platform/report.h"
#include "platform/toolbox.h"
#include "platform/ui.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

const TextPair kReportTitle = {"Screenshot des Scope-Bildschirms.", "Scope Screen Shot"};
constexpr const char *kVersionLine = "TAVIRON Scope V1.0";
const TextPair kPanelIdLabel = {"Fenster ID:", "Panel ID: "};
const TextPair kCommentLabel = {"Kommentar:", "Comment:"};
const TextPair kReportFailed = {"Report konnte nicht initialisiert werden...",
                                "Could not initialize reports..."};
const TextPair kPrinted = {"Ausdruck erfolgreich!", "Print successful!"};
const TextPair kPrintError = {"Druckfehler!", "Print error!"};

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
    Report_AppendLine(report, kVersionLine);

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

    // The picture goes through a bitmap file that only this call uses; the report reads it
    // when it is appended.
    if (MakeScreenshotFile(imageFile)) {
        SavePanelDisplayToFile(App.ScopePanel, imageFile);
        Report_AppendImageFile(report, imageFile, "Panel");
    }

    printerName[0] = '\0';
    SelectPrinter(printerName);
    if (printerName[0] != '\0') {
        if (Report_Print(report, printerName, 1) == 0)
            MessagePopup(Txt(kTitleInfo), Txt(kPrinted));
        else
            MessagePopup(Txt(kTitleInfo), Txt(kPrintError));
    }

    Report_Discard(report);
    if (imageFile[0] != '\0') std::remove(imageFile);
}
