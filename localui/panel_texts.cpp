// Describing a loaded panel for the language file: control kinds to text classes, item
// counts, and the texts each control shows now.
#include "localui/panel_texts.h"

#include "platform/ui.h"

#include <vector>

namespace {

constexpr int kTextSize = 16384; // longer than any text of our panels

std::string CtrlText(int panel, int control, int attribute) {
    std::vector<char> buf(kTextSize, 0);
    if (GetCtrlAttribute(panel, control, attribute, buf.data(), kTextSize) < 0) return {};
    return buf.data();
}

} // namespace

int TextClassOfStyle(int ctrlStyle) {
    switch (ctrlStyle) {
    case CTRL_DECORATION:
    case CTRL_PICTURE:
        return kClassTooltip;
    case CTRL_NUMERIC:
    case CTRL_COMMAND_BUTTON:
    case CTRL_LED:
    case CTRL_BUSY:
        return kClassLabel;
    case CTRL_STRING:
    case CTRL_TEXT_BOX:
        return kClassString;
    case CTRL_TEXT_MSG:
        return kClassTextMsg;
    case CTRL_TOGGLE_BUTTON:
        return kClassBinary;
    case CTRL_GRAPH:
        return kClassGraph;
    case CTRL_RING:
        return kClassList;
    case CTRL_TAB:
        return kClassTab;
    default:
        return kClassNone;
    }
}

int CollectPanel(int panel, LocPanel *description, std::vector<int> *ids) {
    char name[256];
    if (int r = GetPanelAttribute(panel, ATTR_CONSTANT_NAME, name, sizeof name); r < 0) return r;
    description->name = name;
    description->controls.clear();
    ids->clear();
    int id = 0;
    if (int r = GetPanelAttribute(panel, ATTR_PANEL_FIRST_CTRL, &id); r < 0) return r;
    while (id) {
        LocCtrl c;
        int style = 0;
        if (int r = GetCtrlAttribute(panel, id, ATTR_CONSTANT_NAME, name, sizeof name); r < 0)
            return r;
        c.name = name;
        if (int r = GetCtrlAttribute(panel, id, ATTR_CTRL_STYLE, &style); r < 0) return r;
        c.textClass = TextClassOfStyle(style);
        if (c.textClass == kClassList) {
            int n = 0;
            GetNumListItems(panel, id, &n);
            c.items[kGroupListLabels] = c.items[kGroupListValues] = n;
        } else if (c.textClass == kClassTab) {
            int n = 0;
            GetTabPageAttribute(panel, id, 0, ATTR_NUM_TAB_PAGES, &n);
            c.items[kGroupTabLabels] = n;
        }
        description->controls.push_back(c);
        ids->push_back(id);
        if (int r = GetCtrlAttribute(panel, id, ATTR_NEXT_CTRL, &id); r < 0) return r;
    }
    return 0;
}

std::vector<LocText> CurrentTexts(int panel, int control, const LocCtrl &ctrl) {
    std::vector<LocText> texts;
    auto add = [&](LocSlotKind kind, std::string text) {
        texts.push_back({kind, -1, 0, std::move(text)});
    };
    switch (ctrl.textClass) {
    case kClassLabel:
    case kClassString:
    case kClassBinary:
    case kClassGraph:
    case kClassList:
        add(kSlotLabel, CtrlText(panel, control, ATTR_LABEL_TEXT));
        break;
    default:
        break;
    }
    if (ctrl.textClass != kClassNone)
        add(kSlotTooltip, CtrlText(panel, control, ATTR_TOOLTIP_TEXT));
    if (ctrl.textClass == kClassString)
        add(kSlotDefault, CtrlText(panel, control, ATTR_DEFAULT_VALUE_TEXT));
    if (ctrl.textClass == kClassTextMsg) {
        std::vector<char> buf(kTextSize, 0);
        GetCtrlValText(panel, control, buf.data(), kTextSize);
        add(kSlotDefault, buf.data());
    }
    if (ctrl.textClass == kClassBinary) {
        add(kSlotOn, CtrlText(panel, control, ATTR_ON_TEXT));
        add(kSlotOff, CtrlText(panel, control, ATTR_OFF_TEXT));
    }
    if (ctrl.textClass == kClassGraph) {
        add(kSlotXName, CtrlText(panel, control, ATTR_XNAME));
        add(kSlotLeftYName, CtrlText(panel, control, ATTR_YNAME));
    }
    std::vector<char> buf(kTextSize, 0);
    for (int i = 0; i < ctrl.items[kGroupListLabels]; ++i) {
        buf[0] = 0;
        GetLabelFromIndex(panel, control, i, buf.data(), kTextSize);
        texts.push_back({kSlotItem, kGroupListLabels, i, buf.data()});
    }
    for (int i = 0; i < ctrl.items[kGroupTabLabels]; ++i) {
        buf[0] = 0;
        GetTabPageAttribute(panel, control, i, ATTR_LABEL_TEXT, buf.data(), kTextSize);
        texts.push_back({kSlotItem, kGroupTabLabels, i, buf.data()});
    }
    return texts;
}
