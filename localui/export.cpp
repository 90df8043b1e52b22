// Writing a language file from loaded panels: the maintainer's way to get a complete file to
// translate. The file holds the texts the panels show now, in the panels' own order.
#include "localui/localui.h"

#include "localui/langfile.h"
#include "localui/panel_texts.h"

#include <new>

namespace {

int ExportPanel(IniText doc, int panel) {
    LocPanel description;
    std::vector<int> ids;
    if (int r = CollectPanel(panel, &description, &ids); r < 0) return r;
    char title[1024];
    if (int r = GetPanelAttribute(panel, ATTR_TITLE, title, sizeof title); r < 0) return r;
    if (int r = LocPutPanel(doc, description.name, title); r < 0) return r;
    for (size_t i = 0; i < description.controls.size(); ++i) {
        const LocCtrl &c = description.controls[i];
        if (c.textClass == kClassNone) continue;
        int r = LocPutControl(doc, LocSectionName(description.name, c.name), c,
                              CurrentTexts(panel, ids[i], c));
        if (r < 0) return r;
    }
    int child = 0;
    GetPanelAttribute(panel, ATTR_FIRST_CHILD, &child);
    while (child) {
        if (int r = ExportPanel(doc, child); r < 0) return r;
        GetPanelAttribute(child, ATTR_NEXT_PANEL, &child);
    }
    return 0;
}

int ExportMenuBar(IniText doc, int menuBar) {
    char bar[256], name[256], text[1024];
    if (int r = GetMenuBarAttribute(menuBar, 0, ATTR_CONSTANT_NAME, bar, sizeof bar); r < 0)
        return r;
    int id = 0;
    GetMenuBarAttribute(menuBar, 0, ATTR_MENU_FIRST_ITEM, &id);
    while (id) {
        GetMenuBarAttribute(menuBar, id, ATTR_CONSTANT_NAME, name, sizeof name);
        GetMenuBarAttribute(menuBar, id, ATTR_ITEM_NAME, text, sizeof text);
        if (int r = LocPutMenuItem(doc, LocSectionName(bar, name), text); r < 0) return r;
        GetMenuBarAttribute(menuBar, id, ATTR_MENU_NEXT_ITEM, &id);
    }
    return 0;
}

} // namespace

int ExportAllObjectsToLangFile(int panel, const char *languageFile) {
    if (!languageFile || !*languageFile) return LOC_ERR_NULL_ARGUMENT;
    IniText doc = Ini_New(0);
    if (!doc) return LOC_ERR_OUT_OF_MEMORY;
    int r = 0;
    try {
        int charSet = 0;
        GetPanelAttribute(panel, ATTR_CHARSET, &charSet);
        r = LocPutHeader(doc, charSet, charSet != 0);
        if (r == 0) r = ExportPanel(doc, panel);
        if (r == 0)
            if (int menuBar = GetPanelMenuBar(panel)) r = ExportMenuBar(doc, menuBar);
        if (r == 0) r = Ini_WriteToFile(doc, languageFile);
    } catch (const std::bad_alloc &) {
        r = LOC_ERR_OUT_OF_MEMORY;
    }
    Ini_Dispose(doc);
    return r;
}
