// The language file format, without any panel: the header, the panel and control sections,
// the text classes with their slot layouts, and the menu item sections. Reading turns a file's
// INI document into the texts to apply to one described panel; writing puts a panel's texts
// into a document. Nothing here touches a panel, so the reader can be fuzzed on its own.
#pragma once

#include "inifile/inifile.h"

#include <string>
#include <vector>

// Result codes of the localisation library.
constexpr int LOC_ERR_OUT_OF_MEMORY = -12; // also: Version, Magic or CharSet not an integer
constexpr int LOC_ERR_NULL_ARGUMENT = -65; // no path given
constexpr int LOC_ERR_READ = -93;          // the file cannot be read (other than not found)
constexpr int LOC_ERR_OPEN = -94;          // the file cannot be opened
constexpr int LOC_ERR_INVALID_FILE = -6000;

// Header of every language file.
constexpr const char *kLangHeaderSection = "Language Resource File";
constexpr int kLangMagic = static_cast<int>(0xACCDACCDu); // -1395807027
constexpr int kLangVersion = 200;                         // the version this library writes

// Flag characters: 'v' = the file gives this text; anything else (written 'u') = keep it.
constexpr char kFlagGiven = 'v';
constexpr char kFlagKept = 'u';

// Text classes of controls, by the kind of texts they carry.
enum LocTextClass {
    kClassNone = 0,     // nothing to localise: passed over
    kClassTooltip = 1,  // decorations, pictures
    kClassLabel = 2,    // numerics, buttons, indicators
    kClassString = 3,   // strings and text boxes: label and default text
    kClassTextMsg = 4,  // text messages: their text
    kClassBinary = 5,   // toggles: label, on and off texts
    kClassGraph = 6,    // graphs and strip charts
    kClassDigGraph = 7, // digital graphs
    kClassList = 8,     // rings and lists
    kClassTable = 9,    // tables (no control of this program has this class)
    kClassTree = 10,    // trees (no control of this program has this class)
    kClassTab = 11,     // tab controls
};

// Groups of numbered item slots; each has a count key in the control's section.
enum LocItemGroup {
    kGroupXItems,      // bottom X axis item labels ("Xitems" in old graphs and digital graphs)
    kGroupTopXItems,   // top X axis item labels
    kGroupLeftYItems,  // left Y axis item labels
    kGroupRightYItems, // right Y axis item labels
    kGroupAnnotations, // annotation captions
    kGroupListLabels,  // ring and list item labels
    kGroupListValues,  // ring and list item values
    kGroupTabLabels,   // tab page labels
    kNumItemGroups
};

enum LocSlotKind {
    kSlotLabel,
    kSlotTooltip,
    kSlotDefault,
    kSlotOn,
    kSlotOff,
    kSlotXName,      // bottom X axis name ("Xname" in old graphs and digital graphs)
    kSlotTopXName,   // top X axis name
    kSlotLeftYName,  // left Y axis name
    kSlotRightYName, // right Y axis name
    kSlotItem,       // a numbered item of the slot's group
};

// One text slot of a control, in flag order.
struct LocSlot {
    LocSlotKind kind;
    int group; // LocItemGroup for kSlotItem, else -1
    int index; // item number for kSlotItem (from 0), else 0
    std::string key;
};

// One text that a file gives for a control.
struct LocText {
    LocSlotKind kind;
    int group;
    int index;
    std::string text;
};

// A control as the panel has it: constant name, class and how many items of each group it
// really has (a file can never add items).
struct LocCtrl {
    std::string name;
    int textClass = kClassNone;
    int items[kNumItemGroups] = {};
};

struct LocPanel {
    std::string name;
    std::vector<LocCtrl> controls;
};

struct LocHeader {
    int version = 0;
    bool hasCharSet = false;
    int charSet = 0;
};

// What one panel gets from the file: its title and, per control (by index into
// LocPanel::controls), the texts flagged 'v'. Controls the file leaves out have no entry.
struct LocCtrlTexts {
    int control;
    std::vector<LocText> texts;
};
struct LocPanelTexts {
    bool hasTitle = false;
    std::string title;
    std::vector<LocCtrlTexts> controls;
};

// Section of a control or menu item: "<owner>_<name>". Our constant names already carry the
// owner's prefix (MAINP_TAB on MAINP), so such a name is the section name as it stands.
std::string LocSectionName(const std::string &owner, const std::string &name);

// Reads the file into a fresh document. Returns 0, LOC_ERR_NULL_ARGUMENT, LOC_ERR_OPEN,
// LOC_ERR_READ or LOC_ERR_OUT_OF_MEMORY; on failure *document is none.
int LocReadLanguageFile(const char *path, IniText *document);

// Checks the header: 0, LOC_ERR_INVALID_FILE or LOC_ERR_OUT_OF_MEMORY.
int LocReadHeader(IniText document, LocHeader *header);

// The panel section and every control section of `panel`. Returns 0, or LOC_ERR_INVALID_FILE
// when the panel's section, its one-byte "Flags" or a flagged "Title" is missing. A control
// without a section, of another class or with a malformed section is left out.
int LocReadPanelTexts(IniText document, const LocHeader &header, const LocPanel &panel,
                      LocPanelTexts *texts);

// Menu items of a menu bar: for each item name, the new name when its section flags one.
struct LocMenuText {
    int item; // index into the item list
    std::string name;
};
void LocReadMenuTexts(IniText document, const std::string &menuBar,
                      const std::vector<std::string> &items, std::vector<LocMenuText> *texts);

// The slot layout of a class in files of `version`, with `counts` items per group. Empty for
// classes this library does not read (tables, trees, none).
std::vector<LocSlot> LocSlotLayout(int textClass, int version, const long long *counts);

// Count keys of the item groups a class has in files of `version`.
struct LocCountKey {
    int group;
    const char *key;
};
std::vector<LocCountKey> LocCountKeys(int textClass, int version);

// Writing. Texts of `current` that are non-empty are written and flagged 'v'; slots without
// a text, and ring item values (data, not texts), are flagged 'u'.
int LocPutHeader(IniText document, int charSet, bool withCharSet);
int LocPutPanel(IniText document, const std::string &panel, const std::string &title);
int LocPutControl(IniText document, const std::string &section, const LocCtrl &ctrl,
                  const std::vector<LocText> &current);
int LocPutMenuItem(IniText document, const std::string &section, const std::string &name);
