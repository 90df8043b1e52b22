// Fuzz target for the language file reader: reads arbitrary bytes as a language file (through
// the INI line reader on memory), checks the header, reads the texts of a few described panels
// and menu bars, and writes what it got back into a fresh file.
//
// Besides memory errors and undefined behaviour it checks what the reader promises: a file
// never yields items the control lacks, never yields a ring value, and what the writer makes
// of the texts reads back as the same texts.
#include "inifile/inifile.h"
#include "inifile/linefile.h"
#include "localui/langfile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

int MemorySource(void *context, char *line, int size, int *number, int *eof) {
    return LineFile_Read(static_cast<LineFile>(context), line, size - 1, number, eof);
}

LocCtrl Ctrl(const char *name, int textClass, int group = -1, int items = 0) {
    LocCtrl c;
    c.name = name;
    c.textClass = textClass;
    if (group >= 0) c.items[group] = items;
    if (group == kGroupListLabels) c.items[kGroupListValues] = items;
    return c;
}

// Panels shaped like the program's, with every text class and some item counts.
const std::vector<LocPanel> &Panels() {
    static const std::vector<LocPanel> panels = [] {
        LocCtrl graph = Ctrl("MAINP_GRAPH", kClassGraph);
        graph.items[kGroupXItems] = 2;
        graph.items[kGroupLeftYItems] = 1;
        graph.items[kGroupAnnotations] = 1;
        LocCtrl dig = Ctrl("MAINP_DIG", kClassDigGraph);
        dig.items[kGroupXItems] = 1;
        dig.items[kGroupRightYItems] = 2;
        return std::vector<LocPanel>{
            {"MAINP",
             {Ctrl("MAINP_BANNER", kClassTooltip), Ctrl("MAINP_TAB", kClassTab, kGroupTabLabels, 3),
              Ctrl("MAINP_SEND", kClassLabel), Ctrl("MAINP_RAM", kClassBinary), graph, dig,
              Ctrl("MAINP_TABLE", kClassTable), Ctrl("MAINP_TREE", kClassTree),
              Ctrl("MAINP_NONE", kClassNone)}},
            {"CONNECT",
             {Ctrl("CONNECT_PROTOCOL", kClassList, kGroupListLabels, 2),
              Ctrl("CONNECT_BAUDRATE", kClassList, kGroupListLabels, 8),
              Ctrl("CONNECT_SERVER", kClassString), Ctrl("CONNECT_STATUS", kClassString)}},
            {"PARA",
             {Ctrl("PARA_TEXT_STROKE_TOL", kClassTextMsg), Ctrl("STROKE_TOL", kClassLabel),
              Ctrl("PARA_DIG_OUTMODE", kClassList, kGroupListLabels, 0)}},
        };
    }();
    return panels;
}

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// Every text of `texts` must be one the control can take.
void CheckTexts(const LocPanel &panel, const LocPanelTexts &texts) {
    for (const LocCtrlTexts &ct : texts.controls) {
        Check(ct.control >= 0 && ct.control < static_cast<int>(panel.controls.size()));
        const LocCtrl &c = panel.controls[ct.control];
        for (const LocText &t : ct.texts)
            if (t.kind == kSlotItem) {
                Check(t.group >= 0 && t.group < kNumItemGroups && t.group != kGroupListValues);
                Check(t.index >= 0 && t.index < c.items[t.group]);
            }
    }
}

std::vector<std::string> Flatten(const LocCtrlTexts &ct) {
    std::vector<std::string> out;
    for (const LocText &t : ct.texts)
        if (!t.text.empty())
            out.push_back(std::to_string(t.kind) + "/" + std::to_string(t.group) + "/" +
                          std::to_string(t.index) + ":" + t.text);
    return out;
}

// Writes the texts read from one panel into a fresh file and checks they read back the same.
void CheckRoundTrip(const LocPanel &panel, const LocPanelTexts &texts) {
    IniText doc = Ini_New(0);
    if (!doc) return;
    bool written = LocPutHeader(doc, 0, false) == 0 &&
                   LocPutPanel(doc, panel.name, texts.hasTitle ? texts.title : "") == 0;
    for (const LocCtrlTexts &ct : texts.controls) {
        const LocCtrl &c = panel.controls[ct.control];
        written =
            written && LocPutControl(doc, LocSectionName(panel.name, c.name), c, ct.texts) == 0;
    }
    LocHeader header;
    LocPanelTexts again;
    if (written && LocReadHeader(doc, &header) == 0 &&
        LocReadPanelTexts(doc, header, panel, &again) == 0) {
        Check(again.hasTitle == (texts.hasTitle && !texts.title.empty()));
        if (again.hasTitle) Check(again.title == texts.title);
        size_t k = 0;
        for (const LocCtrlTexts &ct : texts.controls) {
            std::vector<std::string> want = Flatten(ct);
            if (k < again.controls.size() && again.controls[k].control == ct.control) {
                Check(Flatten(again.controls[k]) == want);
                ++k;
            }
        }
    } else {
        Check(false); // what the writer wrote must read
    }
    Ini_Dispose(doc);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    IniText doc = Ini_New(0);
    if (!doc) return 0;
    LineFile lines = LineFile_NewFromMemory(data, size);
    Ini_ReadGeneric(doc, MemorySource, lines);
    LineFile_Dispose(lines);

    LocHeader header;
    if (LocReadHeader(doc, &header) == 0) {
        for (const LocPanel &panel : Panels()) {
            LocPanelTexts texts;
            if (LocReadPanelTexts(doc, header, panel, &texts) != 0) continue;
            CheckTexts(panel, texts);
            CheckRoundTrip(panel, texts);
        }
        std::vector<LocMenuText> menu;
        LocReadMenuTexts(doc, "MENUBAR", {"MENUBAR_FILE", "EDIT", "MENUBAR_HELP"}, &menu);
        for (const LocMenuText &m : menu)
            Check(m.item >= 0 && m.item < 3);
    }
    Ini_Dispose(doc);
    return 0;
}
