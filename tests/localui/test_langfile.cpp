// The language file reader and writer without panels: header checks, panel section, the
// slot layouts of the file versions, item counts against the control's own, and what makes a
// control section be left out.
#include "localui/langfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

struct Doc {
    IniText doc = Ini_New(0);
    ~Doc() { Ini_Dispose(doc); }
    operator IniText() const { return doc; }
};

void PutFlags(IniText doc, const char *section, const std::string &flags) {
    Ini_PutData(doc, section, "Flags", reinterpret_cast<const unsigned char *>(flags.data()),
                static_cast<long>(flags.size()));
}

void PutHeader(IniText doc, int version = 200) {
    Ini_PutInt(doc, kLangHeaderSection, "Version", version);
    Ini_PutInt(doc, kLangHeaderSection, "Magic", kLangMagic);
}

LocCtrl Ctrl(const char *name, int textClass, int group = -1, int items = 0) {
    LocCtrl c;
    c.name = name;
    c.textClass = textClass;
    if (group >= 0) c.items[group] = items;
    if (group == kGroupListLabels) c.items[kGroupListValues] = items;
    return c;
}

// Ring section with `count` items in the file, every label flagged and given as "L<i>".
void PutRing(IniText doc, const char *section, int count) {
    Ini_PutInt(doc, section, "Type", kClassList);
    Ini_PutInt(doc, section, "NumItemLabels", count);
    Ini_PutInt(doc, section, "NumItemValues", count);
    PutFlags(doc, section, "uu" + std::string(count, 'v') + std::string(count, 'u'));
    for (int i = 0; i < count; ++i) {
        char key[32], text[32];
        std::snprintf(key, sizeof key, "ItemLabel_%d", i);
        std::snprintf(text, sizeof text, "L%d", i);
        Ini_PutString(doc, section, key, text);
    }
}

std::vector<std::string> ItemLabels(const LocCtrlTexts &ct) {
    std::vector<std::string> out;
    for (const LocText &t : ct.texts)
        if (t.kind == kSlotItem && t.group == kGroupListLabels)
            out.push_back(std::to_string(t.index) + "=" + t.text);
    return out;
}

} // namespace

TEST(LangFileHeader, ChecksVersionMagicAndCharSet) {
    struct Case {
        const char *name;
        const char *version, *magic, *charSet; // nullptr: key missing
        int result;
    } cases[] = {
        {"valid", "200", "-1395807027", nullptr, 0},
        {"valid with character set", "200", "-1395807027", "3", 0},
        {"wrong magic", "200", "12345", nullptr, LOC_ERR_INVALID_FILE},
        {"magic as unsigned value", "200", "2899160269", nullptr, LOC_ERR_OUT_OF_MEMORY},
        {"magic missing", "200", nullptr, nullptr, LOC_ERR_INVALID_FILE},
        {"version missing", nullptr, "-1395807027", nullptr, LOC_ERR_INVALID_FILE},
        {"version not a number", "2x0", "-1395807027", nullptr, LOC_ERR_OUT_OF_MEMORY},
        {"magic not a number", "200", "ACCDACCD", nullptr, LOC_ERR_OUT_OF_MEMORY},
        {"character set not a number", "200", "-1395807027", "latin", LOC_ERR_OUT_OF_MEMORY},
    };
    for (const Case &c : cases) {
        Doc doc;
        Ini_PutString(doc, "Other", "x", "y"); // a file that has something, just not a header
        if (c.version) Ini_PutRawString(doc, kLangHeaderSection, "Version", c.version);
        if (c.magic) Ini_PutRawString(doc, kLangHeaderSection, "Magic", c.magic);
        if (c.charSet) Ini_PutRawString(doc, kLangHeaderSection, "CharSet", c.charSet);
        LocHeader h;
        EXPECT_EQ(LocReadHeader(doc, &h), c.result) << c.name;
        if (c.result == 0) {
            EXPECT_EQ(h.version, 200) << c.name;
            EXPECT_EQ(h.hasCharSet, c.charSet != nullptr) << c.name;
            if (c.charSet) {
                EXPECT_EQ(h.charSet, 3) << c.name;
            }
        }
    }
}

TEST(LangFileHeader, FileWithoutHeaderSectionIsInvalid) {
    Doc doc;
    PutFlags(doc, "MAINP", "u");
    LocHeader h;
    EXPECT_EQ(LocReadHeader(doc, &h), LOC_ERR_INVALID_FILE);
}

TEST(LangFileOpen, MapsFileErrors) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("langfile-open-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream((dir / "ok.lwl").string()) << "[Language Resource File]\nVersion = 200\n";
    struct Case {
        const char *name;
        std::string path;
        bool nullPath;
        int result;
    } cases[] = {
        {"no path", "", true, LOC_ERR_NULL_ARGUMENT},
        {"empty path", "", false, LOC_ERR_NULL_ARGUMENT},
        {"missing file", (dir / "missing.lwl").string(), false, LOC_ERR_OPEN},
        {"a directory", dir.string(), false, LOC_ERR_READ},
        {"readable file", (dir / "ok.lwl").string(), false, 0},
    };
    for (const Case &c : cases) {
        IniText doc = reinterpret_cast<IniText>(1);
        EXPECT_EQ(LocReadLanguageFile(c.nullPath ? nullptr : c.path.c_str(), &doc), c.result)
            << c.name;
        EXPECT_EQ(doc != nullptr, c.result == 0) << c.name;
        Ini_Dispose(doc);
    }
    fs::remove_all(dir);
}

// A language file saved by an editor that starts it with a UTF-8 byte-order mark is still valid.
TEST(LangFileOpen, ByteOrderMarkBeforeTheHeaderIsIgnored) {
    namespace fs = std::filesystem;
    const fs::path file =
        fs::temp_directory_path() / ("langfile-bom-" + std::to_string(::getpid()) + ".lwl");
    std::ofstream(file.string(), std::ios::binary)
        << "\xEF\xBB\xBF[Language Resource File]\r\nVersion = 200\r\nMagic = " << kLangMagic
        << "\r\n";
    IniText doc = nullptr;
    ASSERT_EQ(LocReadLanguageFile(file.string().c_str(), &doc), 0);
    LocHeader h;
    EXPECT_EQ(LocReadHeader(doc, &h), 0);
    EXPECT_EQ(h.version, 200);
    Ini_Dispose(doc);
    fs::remove(file);
}

TEST(LangFilePanel, PanelSectionFlagsAndTitle) {
    struct Case {
        const char *name;
        const char *flags; // nullptr: no panel section
        const char *title;
        int result;
        bool hasTitle;
    } cases[] = {
        {"title given", "v", "Titel", 0, true},
        {"title kept", "u", nullptr, 0, false},
        {"title kept although present", "u", "Titel", 0, false},
        {"flagged title missing", "v", nullptr, LOC_ERR_INVALID_FILE, false},
        {"flags of two bytes", "vv", "Titel", LOC_ERR_INVALID_FILE, false},
        {"flags empty", "", "Titel", LOC_ERR_INVALID_FILE, false},
        {"no panel section", nullptr, nullptr, LOC_ERR_INVALID_FILE, false},
    };
    for (const Case &c : cases) {
        Doc doc;
        PutHeader(doc);
        if (c.flags) PutFlags(doc, "PANEL", c.flags);
        if (c.title) Ini_PutString(doc, "PANEL", "Title", c.title);
        LocHeader h;
        ASSERT_EQ(LocReadHeader(doc, &h), 0);
        LocPanelTexts t;
        EXPECT_EQ(LocReadPanelTexts(doc, h, LocPanel{"PANEL", {}}, &t), c.result) << c.name;
        EXPECT_EQ(t.hasTitle, c.hasTitle) << c.name;
        if (c.hasTitle) {
            EXPECT_EQ(t.title, "Titel");
        }
    }
}

TEST(LangFileControls, ItemCountsAreClippedToTheControlBothWays) {
    Doc doc;
    PutHeader(doc);
    PutFlags(doc, "P", "u");
    PutRing(doc, "P_RING3", 5); // the file knows five items, the ring has three
    PutRing(doc, "P_RING5", 3); // the file knows three, the ring has five
    LocPanel panel{"P",
                   {Ctrl("P_RING3", kClassList, kGroupListLabels, 3),
                    Ctrl("P_RING5", kClassList, kGroupListLabels, 5)}};
    LocHeader h;
    ASSERT_EQ(LocReadHeader(doc, &h), 0);
    LocPanelTexts t;
    ASSERT_EQ(LocReadPanelTexts(doc, h, panel, &t), 0);
    ASSERT_EQ(t.controls.size(), 2u);
    EXPECT_EQ(ItemLabels(t.controls[0]), (std::vector<std::string>{"0=L0", "1=L1", "2=L2"}));
    EXPECT_EQ(ItemLabels(t.controls[1]), (std::vector<std::string>{"0=L0", "1=L1", "2=L2"}));
}

TEST(LangFileControls, MalformedOrForeignSectionsLeaveOnlyThatControlOut) {
    struct Case {
        const char *name;
        void (*spoil)(IniText doc); // applied to the section of P_B
    } cases[] = {
        {"no section", [](IniText d) { (void)d; }},
        {"type of another class", [](IniText d) { Ini_PutInt(d, "P_B", "Type", kClassBinary); }},
        {"type missing",
         [](IniText d) {
             PutFlags(d, "P_B", "vu");
             Ini_PutString(d, "P_B", "Label", "B");
         }},
        {"flags one too short",
         [](IniText d) {
             Ini_PutInt(d, "P_B", "Type", kClassLabel);
             PutFlags(d, "P_B", "v");
             Ini_PutString(d, "P_B", "Label", "B");
         }},
        {"flagged text missing",
         [](IniText d) {
             Ini_PutInt(d, "P_B", "Type", kClassLabel);
             PutFlags(d, "P_B", "vu");
         }},
    };
    for (const Case &c : cases) {
        Doc doc;
        PutHeader(doc);
        PutFlags(doc, "P", "u");
        Ini_PutInt(doc, "P_A", "Type", kClassLabel);
        PutFlags(doc, "P_A", "vu");
        Ini_PutString(doc, "P_A", "Label", "A");
        c.spoil(doc);
        LocPanel panel{"P", {Ctrl("P_A", kClassLabel), Ctrl("P_B", kClassLabel)}};
        LocHeader h;
        ASSERT_EQ(LocReadHeader(doc, &h), 0);
        LocPanelTexts t;
        ASSERT_EQ(LocReadPanelTexts(doc, h, panel, &t), 0) << c.name;
        ASSERT_EQ(t.controls.size(), 1u) << c.name;
        EXPECT_EQ(t.controls[0].control, 0) << c.name;
        ASSERT_EQ(t.controls[0].texts.size(), 1u);
        EXPECT_EQ(t.controls[0].texts[0].text, "A");
    }
}

TEST(LangFileControls, Version150FilesHaveNoTooltipFlags) {
    Doc doc;
    PutHeader(doc, 150);
    PutFlags(doc, "P", "u");
    // Written the way a version 150 file is: one flag, for the label.
    Ini_PutInt(doc, "P_OLD", "Type", kClassLabel);
    PutFlags(doc, "P_OLD", "v");
    Ini_PutString(doc, "P_OLD", "Label", "Neu");
    Ini_PutString(doc, "P_OLD", "Tooltip", "never applied");
    // The same control written with a tooltip flag does not match the version's layout.
    Ini_PutInt(doc, "P_NEW", "Type", kClassLabel);
    PutFlags(doc, "P_NEW", "vv");
    Ini_PutString(doc, "P_NEW", "Label", "Neu");
    Ini_PutString(doc, "P_NEW", "Tooltip", "Tipp");
    LocPanel panel{"P", {Ctrl("P_OLD", kClassLabel), Ctrl("P_NEW", kClassLabel)}};
    LocHeader h;
    ASSERT_EQ(LocReadHeader(doc, &h), 0);
    LocPanelTexts t;
    ASSERT_EQ(LocReadPanelTexts(doc, h, panel, &t), 0);
    ASSERT_EQ(t.controls.size(), 1u);
    EXPECT_EQ(t.controls[0].control, 0);
    ASSERT_EQ(t.controls[0].texts.size(), 1u);
    EXPECT_EQ(t.controls[0].texts[0].kind, kSlotLabel);
}

TEST(LangFileControls, GraphKeysFollowTheFileVersion) {
    const long long counts[kNumItemGroups] = {1, 1, 1, 1, 1, 0, 0, 0};
    auto keys = [&](int version) {
        std::string s;
        for (const LocSlot &slot : LocSlotLayout(kClassGraph, version, counts))
            s += slot.key + " ";
        return s;
    };
    EXPECT_EQ(keys(100), "Label Xname LYname RYname Xitem_0 LYitem_0 RYitem_0 ");
    EXPECT_EQ(keys(101), "Label BXname TXname LYname RYname BXitem_0 TXitem_0 LYitem_0 RYitem_0 ");
    EXPECT_EQ(keys(102), "Label BXname TXname LYname RYname BXitem_0 TXitem_0 LYitem_0 RYitem_0 "
                         "ANNOitem_0 ");
    EXPECT_EQ(keys(200), "Label BXname TXname LYname RYname Tooltip BXitem_0 TXitem_0 LYitem_0 "
                         "RYitem_0 ANNOitem_0 ");
}

TEST(LangFileControls, AbsurdItemCountsLeaveTheControlOut) {
    Doc doc;
    PutHeader(doc);
    PutFlags(doc, "P", "u");
    Ini_PutInt(doc, "P_HUGE", "Type", kClassList);
    Ini_PutInt(doc, "P_HUGE", "NumItemLabels", 2147483647);
    Ini_PutInt(doc, "P_HUGE", "NumItemValues", 2147483647);
    PutFlags(doc, "P_HUGE", "vvvv");
    Ini_PutInt(doc, "P_NEG", "Type", kClassList);
    Ini_PutInt(doc, "P_NEG", "NumItemLabels", -2);
    Ini_PutInt(doc, "P_NEG", "NumItemValues", 4);
    PutFlags(doc, "P_NEG", "vvvv");
    LocPanel panel{"P",
                   {Ctrl("P_HUGE", kClassList, kGroupListLabels, 2),
                    Ctrl("P_NEG", kClassList, kGroupListLabels, 2)}};
    LocHeader h;
    ASSERT_EQ(LocReadHeader(doc, &h), 0);
    LocPanelTexts t;
    EXPECT_EQ(LocReadPanelTexts(doc, h, panel, &t), 0);
    EXPECT_TRUE(t.controls.empty());
}

TEST(LangFileWriter, WhatIsWrittenReadsBackForEveryClass) {
    LocCtrl graph = Ctrl("P_GRAPH", kClassGraph);
    LocCtrl tab = Ctrl("P_TAB", kClassTab, kGroupTabLabels, 2);
    LocCtrl ring = Ctrl("P_RING", kClassList, kGroupListLabels, 2);
    LocPanel panel{"P",
                   {Ctrl("P_DECO", kClassTooltip), Ctrl("P_NUM", kClassLabel),
                    Ctrl("P_STR", kClassString), Ctrl("P_MSG", kClassTextMsg),
                    Ctrl("P_TOGGLE", kClassBinary), graph, ring, tab}};
    std::vector<std::vector<LocText>> texts = {
        {{kSlotTooltip, -1, 0, "Zier"}},
        {{kSlotLabel, -1, 0, "Zahl"}, {kSlotTooltip, -1, 0, ""}},
        {{kSlotLabel, -1, 0, "Text"}, {kSlotDefault, -1, 0, "Vorgabe"}, {kSlotTooltip, -1, 0, "T"}},
        {{kSlotDefault, -1, 0, "Zeile 1\nZeile \"2\""}},
        {{kSlotLabel, -1, 0, "Schalter"}, {kSlotOn, -1, 0, "EIN"}, {kSlotOff, -1, 0, "AUS"}},
        {{kSlotLabel, -1, 0, "Graph"},
         {kSlotXName, -1, 0, "Zeit"},
         {kSlotLeftYName, -1, 0, "Wert"}},
        {{kSlotLabel, -1, 0, "Auswahl"},
         {kSlotItem, kGroupListLabels, 0, "eins"},
         {kSlotItem, kGroupListLabels, 1, "zwei"}},
        {{kSlotItem, kGroupTabLabels, 0, "A"}, {kSlotItem, kGroupTabLabels, 1, "B"}},
    };
    Doc doc;
    ASSERT_EQ(LocPutHeader(doc, 0, false), 0);
    ASSERT_EQ(LocPutPanel(doc, "P", "Fenster"), 0);
    for (size_t i = 0; i < panel.controls.size(); ++i)
        ASSERT_EQ(LocPutControl(doc, panel.controls[i].name, panel.controls[i], texts[i]), 0);

    LocHeader h;
    ASSERT_EQ(LocReadHeader(doc, &h), 0);
    EXPECT_EQ(h.version, kLangVersion);
    LocPanelTexts read;
    ASSERT_EQ(LocReadPanelTexts(doc, h, panel, &read), 0);
    EXPECT_EQ(read.title, "Fenster");
    ASSERT_EQ(read.controls.size(), panel.controls.size());
    for (size_t i = 0; i < panel.controls.size(); ++i) {
        std::vector<std::string> want, got;
        for (const LocText &t : texts[i])
            if (!t.text.empty()) want.push_back(std::to_string(t.kind) + ":" + t.text);
        for (const LocText &t : read.controls[i].texts)
            got.push_back(std::to_string(t.kind) + ":" + t.text);
        EXPECT_EQ(got, want) << panel.controls[i].name;
    }
}
