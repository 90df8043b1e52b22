// Applying a language file: LocalizePanel with its child-panel walk and menu bar,
// LocalizeMenuBar, and the two panel loaders that localise what they load.
#include "localui/localui.h"

#include "localui/langfile.h"
#include "localui/panel_texts.h"

#include <memory>
#include <new>

namespace {

struct DocGuard {
    IniText doc = nullptr;
    ~DocGuard() { Ini_Dispose(doc); }
};

// Replaces one text on a control. Returns 0 or the runtime's error.
int ApplyText(int panel, int control, int textClass, const LocText &t) {
    const char *s = t.text.c_str();
    switch (t.kind) {
    case kSlotLabel:
        return SetCtrlAttribute(panel, control, ATTR_LABEL_TEXT, s);
    case kSlotTooltip:
        return SetCtrlAttribute(panel, control, ATTR_TOOLTIP_TEXT, s);
    case kSlotDefault: // a text message shows its default text; other controls keep their value
        if (textClass == kClassTextMsg) return SetCtrlVal(panel, control, s);
        return SetCtrlAttribute(panel, control, ATTR_DEFAULT_VALUE_TEXT, s);
    case kSlotOn:
        return SetCtrlAttribute(panel, control, ATTR_ON_TEXT, s);
    case kSlotOff:
        return SetCtrlAttribute(panel, control, ATTR_OFF_TEXT, s);
    case kSlotXName:
        return SetCtrlAttribute(panel, control, ATTR_XNAME, s);
    case kSlotLeftYName:
        return SetCtrlAttribute(panel, control, ATTR_YNAME, s);
    case kSlotItem:
        if (t.group == kGroupListLabels) return ReplaceListItemLabel(panel, control, t.index, s);
        if (t.group == kGroupTabLabels)
            return SetTabPageAttribute(panel, control, t.index, ATTR_LABEL_TEXT, s);
        return 0; // axis items and annotations: our graphs have none, so none is ever given
    default:
        return 0; // top X and right Y axis names: our graphs have no such axis
    }
}

// Steps of one panel: read and check everything, then apply, then the child panels.
int LocalizeOnePanel(int panel, const char *path) {
    LocPanel description;
    std::vector<int> ids;
    if (int r = CollectPanel(panel, &description, &ids); r < 0) return r;

    DocGuard file;
    if (int r = LocReadLanguageFile(path, &file.doc); r < 0) return r;
    LocHeader header;
    if (int r = LocReadHeader(file.doc, &header); r < 0) return r;
    LocPanelTexts texts;
    if (int r = LocReadPanelTexts(file.doc, header, description, &texts); r < 0) return r;

    if (texts.hasTitle)
        if (int r = SetPanelAttribute(panel, ATTR_TITLE, texts.title.c_str()); r < 0) return r;
    for (const LocCtrlTexts &ct : texts.controls) {
        const int id = ids[ct.control];
        const int textClass = description.controls[ct.control].textClass;
        for (const LocText &t : ct.texts)
            if (int r = ApplyText(panel, id, textClass, t); r < 0) return r;
    }
    if (header.hasCharSet)
        if (int r = SetPanelAttribute(panel, ATTR_CHARSET, header.charSet); r < 0) return r;

    int child = 0;
    GetPanelAttribute(panel, ATTR_FIRST_CHILD, &child);
    while (child) {
        if (int r = LocalizeOnePanel(child, path); r < 0) return r;
        GetPanelAttribute(child, ATTR_NEXT_PANEL, &child);
    }
    return 0;
}

int LocalizeMenuBarFrom(int menuBar, const char *path) {
    char name[256];
    if (int r = GetMenuBarAttribute(menuBar, 0, ATTR_CONSTANT_NAME, name, sizeof name); r < 0)
        return r;
    std::string barName = name;
    std::vector<std::string> items;
    std::vector<int> ids;
    int id = 0;
    if (int r = GetMenuBarAttribute(menuBar, 0, ATTR_MENU_FIRST_ITEM, &id); r < 0) return r;
    while (id) {
        if (int r = GetMenuBarAttribute(menuBar, id, ATTR_CONSTANT_NAME, name, sizeof name); r < 0)
            return r;
        items.push_back(name);
        ids.push_back(id);
        if (int r = GetMenuBarAttribute(menuBar, id, ATTR_MENU_NEXT_ITEM, &id); r < 0) return r;
    }

    DocGuard file;
    if (int r = LocReadLanguageFile(path, &file.doc); r < 0) return r;
    LocHeader header;
    if (int r = LocReadHeader(file.doc, &header); r < 0) return r;
    std::vector<LocMenuText> texts;
    LocReadMenuTexts(file.doc, barName, items, &texts);
    for (const LocMenuText &t : texts)
        if (int r = SetMenuBarAttribute(menuBar, ids[t.item], ATTR_ITEM_NAME, t.name.c_str());
            r < 0)
            return r;
    return 0;
}

} // namespace

int LocalizePanel(int panel, const char *languageFile) {
    if (!languageFile || !*languageFile) return LOC_ERR_NULL_ARGUMENT;
    try {
        int r = LocalizeOnePanel(panel, languageFile);
        if (r < 0) return r;
        if (int menuBar = GetPanelMenuBar(panel)) r = LocalizeMenuBarFrom(menuBar, languageFile);
        return r;
    } catch (const std::bad_alloc &) {
        return LOC_ERR_OUT_OF_MEMORY;
    }
}

int LocalizeMenuBar(int menuBar, const char *languageFile) {
    if (!languageFile || !*languageFile) return LOC_ERR_NULL_ARGUMENT;
    try {
        return LocalizeMenuBarFrom(menuBar, languageFile);
    } catch (const std::bad_alloc &) {
        return LOC_ERR_OUT_OF_MEMORY;
    }
}

int LoadLocalizedPanel(int parent, const char *resourceFile, int panelNumber,
                       const char *languageFile, int *panel) {
    if (!panel) return LOC_ERR_NULL_ARGUMENT;
    *panel = 0;
    int handle = LoadPanel(parent, resourceFile, panelNumber);
    if (handle < 0) return handle;
    if (int r = LocalizePanel(handle, languageFile); r < 0) {
        DiscardPanel(handle);
        return r;
    }
    *panel = handle;
    return 0;
}

int LoadLocalizedPanelEx(int parent, const char *resourceFile, int panelNumber,
                         const CallbackEntry *callbacks, int callbackCount,
                         const char *languageFile, int *panel) {
    if (callbacks && callbackCount > 0) RegisterCallbacks(callbacks, callbackCount);
    return LoadLocalizedPanel(parent, resourceFile, panelNumber, languageFile, panel);
}
