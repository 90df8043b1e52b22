// Reading and writing the language file format: header check, panel and control sections,
// slot layouts per text class and file version, menu item sections.
#include "localui/langfile.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Slot layout of a class: fixed slots first, then the numbered item slots group by group.
struct FixedSlot {
    LocSlotKind kind;
    const char *key;
    bool sinceV200; // tooltips carry a flag only in files of version 200 and above
};
struct GroupSlots {
    int group;
    const char *keyFormat; // "%d" is the item number
    const char *countKey;
};
struct ClassShape {
    std::vector<FixedSlot> fixed;
    std::vector<GroupSlots> groups;
};

ClassShape ShapeOf(int textClass, int version) {
    const FixedSlot label{kSlotLabel, "Label", false};
    const FixedSlot tooltip{kSlotTooltip, "Tooltip", true};
    switch (textClass) {
    case kClassTooltip:
        return {{tooltip}, {}};
    case kClassLabel:
        return {{label, tooltip}, {}};
    case kClassString:
        return {{label, {kSlotDefault, "Default", false}, tooltip}, {}};
    case kClassTextMsg:
        return {{{kSlotDefault, "Default", false}, tooltip}, {}};
    case kClassBinary:
        return {{label, {kSlotOn, "On", false}, {kSlotOff, "Off", false}, tooltip}, {}};
    case kClassGraph:
        if (version > 100) {
            ClassShape s{{label,
                          {kSlotXName, "BXname", false},
                          {kSlotTopXName, "TXname", false},
                          {kSlotLeftYName, "LYname", false},
                          {kSlotRightYName, "RYname", false},
                          tooltip},
                         {{kGroupXItems, "BXitem_%d", "BXitems"},
                          {kGroupTopXItems, "TXitem_%d", "TXitems"},
                          {kGroupLeftYItems, "LYitem_%d", "LYitems"},
                          {kGroupRightYItems, "RYitem_%d", "RYitems"}}};
            if (version >= 102) s.groups.push_back({kGroupAnnotations, "ANNOitem_%d", "ANNOitems"});
            return s;
        }
        [[fallthrough]]; // files up to version 100: one X axis, as a digital graph has
    case kClassDigGraph:
        return {{label,
                 {kSlotXName, "Xname", false},
                 {kSlotLeftYName, "LYname", false},
                 {kSlotRightYName, "RYname", false},
                 tooltip},
                {{kGroupXItems, "Xitem_%d", "Xitems"},
                 {kGroupLeftYItems, "LYitem_%d", "LYitems"},
                 {kGroupRightYItems, "RYitem_%d", "RYitems"}}};
    case kClassList:
        return {{label, tooltip},
                {{kGroupListLabels, "ItemLabel_%d", "NumItemLabels"},
                 {kGroupListValues, "ItemVal_%d", "NumItemValues"}}};
    case kClassTab:
        return {{{kSlotTooltip, "Tooltip", false}},
                {{kGroupTabLabels, "TabLabel_%d", "NumTabLabels"}}};
    default:
        return {}; // tables, trees and unknown classes are not read
    }
}

bool Readable(int textClass) {
    return textClass >= kClassTooltip && textClass <= kClassTab && textClass != kClassTable &&
           textClass != kClassTree;
}

// Number of slots, computed wide so that absurd counts in a file cannot overflow.
long long SlotCount(const ClassShape &shape, int version, const long long *counts) {
    long long n = 0;
    for (const FixedSlot &f : shape.fixed)
        if (!f.sinceV200 || version >= 200) ++n;
    for (const GroupSlots &g : shape.groups)
        n += counts[g.group];
    return n;
}

std::string ItemKey(const char *format, long long index) {
    char key[64];
    std::snprintf(key, sizeof key, format, static_cast<int>(index));
    return key;
}

// The data item `tag` as text; 1 found, 0 missing, or a negative code.
int GetFlags(IniText doc, const std::string &section, const char *tag, std::string *flags) {
    unsigned char *bytes = nullptr;
    long count = 0;
    int r = Ini_GetData(doc, section.c_str(), tag, &bytes, &count);
    if (r == 1) flags->assign(reinterpret_cast<const char *>(bytes), static_cast<size_t>(count));
    std::free(bytes);
    return r;
}

int GetText(IniText doc, const std::string &section, const std::string &tag, std::string *out) {
    const char *text = nullptr;
    int r = Ini_GetPointerToString(doc, section.c_str(), tag.c_str(), &text);
    if (r == 1) out->assign(text ? text : "");
    return r;
}

// One control's section. Returns false when the control is to be left out.
bool ReadControl(IniText doc, int version, const std::string &section, const LocCtrl &ctrl,
                 std::vector<LocText> *texts) {
    if (!Readable(ctrl.textClass) || !Ini_SectionExists(doc, section.c_str())) return false;
    int type = 0;
    if (Ini_GetInt(doc, section.c_str(), "Type", &type) != 1 || type != ctrl.textClass)
        return false;
    long long counts[kNumItemGroups] = {};
    for (const LocCountKey &k : LocCountKeys(ctrl.textClass, version)) {
        int n = 0;
        int r = Ini_GetInt(doc, section.c_str(), k.key, &n);
        if (r < 0 || (r == 1 && n < 0)) return false;
        counts[k.group] = r == 1 ? n : 0;
    }
    std::string flags;
    int r = GetFlags(doc, section, "Flags", &flags);
    if (r < 0) return false;
    const ClassShape shape = ShapeOf(ctrl.textClass, version);
    // The flags follow the layout the file itself declares; items beyond what the control
    // has are then passed over, so a file can neither add items nor shift the flags.
    if (static_cast<long long>(flags.size()) != SlotCount(shape, version, counts)) return false;
    std::vector<LocSlot> layout = LocSlotLayout(ctrl.textClass, version, counts);
    for (size_t i = 0; i < layout.size(); ++i) {
        const LocSlot &slot = layout[i];
        if (flags[i] != kFlagGiven) continue;
        if (slot.kind == kSlotItem &&
            (slot.index >= ctrl.items[slot.group] || slot.group == kGroupListValues))
            continue; // an item the control lacks, or a ring value: data, never replaced
        LocText t{slot.kind, slot.group, slot.index, {}};
        if (GetText(doc, section, slot.key, &t.text) != 1) return false;
        texts->push_back(std::move(t));
    }
    return true;
}

} // namespace

std::vector<LocCountKey> LocCountKeys(int textClass, int version) {
    std::vector<LocCountKey> keys;
    for (const GroupSlots &g : ShapeOf(textClass, version).groups)
        keys.push_back({g.group, g.countKey});
    return keys;
}

std::vector<LocSlot> LocSlotLayout(int textClass, int version, const long long *counts) {
    std::vector<LocSlot> layout;
    if (!Readable(textClass)) return layout;
    const ClassShape shape = ShapeOf(textClass, version);
    for (const FixedSlot &f : shape.fixed)
        if (!f.sinceV200 || version >= 200) layout.push_back({f.kind, -1, 0, f.key});
    for (const GroupSlots &g : shape.groups)
        for (long long i = 0; i < counts[g.group]; ++i)
            layout.push_back({kSlotItem, g.group, static_cast<int>(i), ItemKey(g.keyFormat, i)});
    return layout;
}

std::string LocSectionName(const std::string &owner, const std::string &name) {
    if (name.size() > owner.size() && name.compare(0, owner.size(), owner) == 0 &&
        name[owner.size()] == '_')
        return name;
    return owner + "_" + name;
}

int LocReadLanguageFile(const char *path, IniText *document) {
    *document = nullptr;
    if (!path || !*path) return LOC_ERR_NULL_ARGUMENT;
    IniText doc = Ini_New(0);
    if (!doc) return LOC_ERR_OUT_OF_MEMORY;
    int r = Ini_ReadFromFile(doc, path);
    if (r < 0) {
        Ini_Dispose(doc);
        if (r == INI_ERR_OPEN_FOR_READ) return LOC_ERR_OPEN;
        if (r == INI_ERR_OUT_OF_MEMORY) return LOC_ERR_OUT_OF_MEMORY;
        return LOC_ERR_READ;
    }
    *document = doc;
    return 0;
}

int LocReadHeader(IniText doc, LocHeader *header) {
    *header = LocHeader{};
    int r = Ini_GetInt(doc, kLangHeaderSection, "Version", &header->version);
    if (r == 0) return LOC_ERR_INVALID_FILE;
    if (r < 0) return LOC_ERR_OUT_OF_MEMORY; // present but not an integer
    int magic = 0;
    r = Ini_GetInt(doc, kLangHeaderSection, "Magic", &magic);
    if (r == 0) return LOC_ERR_INVALID_FILE;
    if (r < 0) return LOC_ERR_OUT_OF_MEMORY;
    if (magic != kLangMagic) return LOC_ERR_INVALID_FILE;
    r = Ini_GetInt(doc, kLangHeaderSection, "CharSet", &header->charSet);
    if (r < 0) return LOC_ERR_OUT_OF_MEMORY;
    header->hasCharSet = r == 1;
    return 0;
}

int LocReadPanelTexts(IniText doc, const LocHeader &header, const LocPanel &panel,
                      LocPanelTexts *texts) {
    *texts = LocPanelTexts{};
    std::string flags;
    int r = GetFlags(doc, panel.name, "Flags", &flags);
    if (r == LOC_ERR_OUT_OF_MEMORY) return r;
    if (r != 1 || flags.size() != 1) return LOC_ERR_INVALID_FILE;
    if (flags[0] == kFlagGiven) {
        r = GetText(doc, panel.name, "Title", &texts->title);
        if (r == LOC_ERR_OUT_OF_MEMORY) return r;
        if (r != 1) return LOC_ERR_INVALID_FILE;
        texts->hasTitle = true;
    }
    for (size_t i = 0; i < panel.controls.size(); ++i) {
        const LocCtrl &c = panel.controls[i];
        LocCtrlTexts ct{static_cast<int>(i), {}};
        if (ReadControl(doc, header.version, LocSectionName(panel.name, c.name), c, &ct.texts))
            texts->controls.push_back(std::move(ct));
    }
    return 0;
}

void LocReadMenuTexts(IniText doc, const std::string &menuBar,
                      const std::vector<std::string> &items, std::vector<LocMenuText> *texts) {
    texts->clear();
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string section = LocSectionName(menuBar, items[i]);
        std::string flags;
        if (GetFlags(doc, section, "Flags", &flags) != 1 || flags.size() != 1 ||
            flags[0] != kFlagGiven)
            continue;
        LocMenuText t{static_cast<int>(i), {}};
        if (GetText(doc, section, "Name", &t.name) == 1) texts->push_back(std::move(t));
    }
}

// ---- Writing ------------------------------------------------------------------------------

int LocPutHeader(IniText doc, int charSet, bool withCharSet) {
    int r = Ini_PutInt(doc, kLangHeaderSection, "Version", kLangVersion);
    if (r == 0) r = Ini_PutInt(doc, kLangHeaderSection, "Magic", kLangMagic);
    if (r == 0 && withCharSet) r = Ini_PutInt(doc, kLangHeaderSection, "CharSet", charSet);
    return r;
}

namespace {

int PutFlags(IniText doc, const std::string &section, const std::string &flags) {
    return Ini_PutData(doc, section.c_str(), "Flags",
                       reinterpret_cast<const unsigned char *>(flags.data()),
                       static_cast<long>(flags.size()));
}

} // namespace

int LocPutPanel(IniText doc, const std::string &panel, const std::string &title) {
    int r = PutFlags(doc, panel, std::string(1, title.empty() ? kFlagKept : kFlagGiven));
    if (r == 0 && !title.empty()) r = Ini_PutString(doc, panel.c_str(), "Title", title.c_str());
    return r;
}

int LocPutControl(IniText doc, const std::string &section, const LocCtrl &ctrl,
                  const std::vector<LocText> &current) {
    int r = Ini_PutInt(doc, section.c_str(), "Type", ctrl.textClass);
    long long counts[kNumItemGroups];
    for (int g = 0; g < kNumItemGroups; ++g)
        counts[g] = ctrl.items[g];
    for (const LocCountKey &k : LocCountKeys(ctrl.textClass, kLangVersion))
        if (r == 0) r = Ini_PutInt(doc, section.c_str(), k.key, ctrl.items[k.group]);
    std::vector<LocSlot> layout = LocSlotLayout(ctrl.textClass, kLangVersion, counts);
    std::string flags(layout.size(), kFlagKept);
    std::vector<std::pair<const LocSlot *, const std::string *>> given;
    for (size_t i = 0; i < layout.size(); ++i) {
        const LocSlot &slot = layout[i];
        if (slot.group == kGroupListValues) continue;
        for (const LocText &t : current)
            if (t.kind == slot.kind && t.group == slot.group && t.index == slot.index &&
                !t.text.empty()) {
                flags[i] = kFlagGiven;
                given.emplace_back(&slot, &t.text);
                break;
            }
    }
    if (r == 0) r = PutFlags(doc, section, flags);
    for (auto &[slot, text] : given)
        if (r == 0) r = Ini_PutString(doc, section.c_str(), slot->key.c_str(), text->c_str());
    return r;
}

int LocPutMenuItem(IniText doc, const std::string &section, const std::string &name) {
    int r = PutFlags(doc, section, std::string(1, name.empty() ? kFlagKept : kFlagGiven));
    if (r == 0 && !name.empty()) r = Ini_PutString(doc, section.c_str(), "Name", name.c_str());
    return r;
}
