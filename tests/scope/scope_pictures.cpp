// Makes the pictures of the scope for the documentation: the program next to the simulated
// sensor records a stroke (rising edge, pre-trigger 20), both cursors are placed on it, and
// the main window with the scope panel is saved as a bitmap; then the printout goes into a PDF
// file. Usage: scope_pictures OUTPUT_DIR (writes scope.bmp and scope-print.pdf there).
#include "Tavironv10.h"
#include "app/app.h"
#include "base/state.h"
#include "platform/testing.h"
#include "platform/toolbox.h"
#include "platform/ui.h"
#include "scope/scope.h"
#include "sim/sim.h"
#include "window/panels.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int Run(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: scope_pictures OUTPUT_DIR\n");
        return 2;
    }
    std::string out = argv[1];

    tavsim::SimConfig config;
    config.tcp = false;
    config.serial = true;
    config.sensor.steppedClock = true;
    tavsim::SimSensor sim(config);
    std::string error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "sensor: %s\n", error.c_str());
        return 1;
    }
    TestMapComPort(1, sim.serialPath().c_str());
    std::string pdf = out + "/scope-print.pdf";
    SetPopupResponder([&](const PopupRecord &r, std::string *path) {
        std::printf("popup %s: %s\n", r.kind.c_str(), r.text.c_str());
        if (r.kind == "print") *path = pdf;
        return 1;
    });

    if (LoadPanels(argc, argv) != 0) return 1;
    InitAll(); // connects over COM1 to the sensor
    if (App.LinkOk != 1) {
        std::fprintf(stderr, "no link to the sensor\n");
        return 1;
    }
    ShowScopePage(); // as --scope does
    TestProcessEvents(50);

    TestClickCtrl(App.ScopeTab, SCOPETAB_GET_CYCLE_TIME);
    TestProcessEvents(20);
    TestSelectRingItem(App.ScopeTab, SCOPETAB_TRIG_MODE, 1);
    SetCtrlVal(App.ScopeTab, SCOPETAB_TRIG_LEVEL, 2000);
    SetCtrlVal(App.ScopeTab, SCOPETAB_PRE_TRIG, 20);
    SetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_RATE, 2);
    TestProcessEvents(20);
    TestClickCtrl(App.ScopeTab, SCOPETAB_SCAN);
    TestProcessEvents(50);

    TestMoveCursor(App.ScopePanel, SCOPEP_GRAPH, 1, 20, 2000);
    TestMoveCursor(App.ScopePanel, SCOPEP_GRAPH, 2, 75, 700);
    std::snprintf(App.PanelId, sizeof App.PanelId, "PRESS 4 / DIE 17");
    SetCtrlVal(App.ScopeTab, SCOPETAB_COMMENT,
               "Stroke after die change.\nCursors: gap end, stroke.");
    TestProcessEvents(200);

    std::string shot = out + "/scope.bmp";
    if (SavePanelDisplayToFile(App.MainPanel, shot.c_str()) != 0) return 1;
    TestClickCtrl(App.ScopePanel, SCOPEP_PRINT);
    TestProcessEvents(50);

    ShutDown();
    TestMapComPort(1, nullptr);
    sim.stop();
    std::printf("wrote %s and %s\n", shot.c_str(), pdf.c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    int code = Run(argc, argv);
    CloseUserInterface(); // the runtime ends before the process does
    return code;
}
