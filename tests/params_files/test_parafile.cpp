// The parameter file: what SEND with FILE writes, byte for byte, and how GET with FILE loads a
// file, checks it, fills defaults and tells the operator.
#include "files_fixture.h"

#include "params/parafile.h"
#include "tests/common/scratch_disk.h"

namespace {

const char *kNoFileEng = "No file was selected! \nProcess will not be done!";
const char *kNotParaEng = "Selected file is not a parameter file! \nDo you want to proceed anyway?";
const char *kVersionEng = "Selected file and scope version do not match! \nDo you want to proceed "
                          "anyway?";
const char *kNothingReadEng = "No parameter were read!";
const char *kDefaultsEng =
    "Following parameter could not be read \nand were set to default value:\n\n";

std::string ParaFileText(int a, int b, int c, int d) {
    return "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\nSCOPE VERSION: = \"TAVIRON Scope "
           "V1.0\"\r\n\r\n[PARAMETER]\r\nSTROKE TOLERANCE = " +
           std::to_string(a) + "\r\nBAD CNT TO FAIL = " + std::to_string(b) +
           "\r\nDIGITAL OUTMODE = " + std::to_string(c) +
           "\r\nCNT STROKE EDGE = " + std::to_string(d) + "\r\n\r\n";
}

} // namespace

TEST_F(FilesTest, SaveWritesTheFileByteForByteThroughTheDialog) {
    strcpy(App.ParaFilePath, (dir / "old" / "Parameter.ini").c_str());
    fs::create_directories(dir / "old");
    SetPage(50, 25, 0, 0);
    chosenPath = (dir / "saved.ini").string();

    SendParaToFile();

    EXPECT_EQ(ReadBytes(dir / "saved.ini"), ReadBytes(DataFile("Parameter.ini")));
    ASSERT_EQ(popups.size(), 1u) << "a save shows only its dialog";
    EXPECT_EQ(popups[0].kind, "file");
    EXPECT_EQ(popups[0].title, "Parameter");
    EXPECT_EQ(popups[0].text, "*.ini");
    EXPECT_EQ(popups[0].defaultPath, (dir / "old" / "Parameter.ini").string())
        << "the dialog starts in the folder of the last parameter file";
    EXPECT_EQ(std::string(App.ParaFilePath), chosenPath);
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"old", "saved.ini"}))
        << "no temporary file is left behind";
}

TEST_F(FilesTest, SaveTakesThePageValuesAndReplacesAnOlderFileWhole) {
    chosenPath = (dir / "p.ini").string();
    WriteBytes(dir / "p.ini",
               "; old comment\r\n[PARAMETER]\r\nSTROKE TOLERANCE = 1\r\nFOREIGN = 3\r\n"
               "[OTHER]\r\nX = 1\r\n");
    App.ParaValues[0] = 1; // stale values: the page is what counts
    SetPage(300, 9999, 1, 1);

    SendParaToFile();

    EXPECT_EQ(ReadBytes(dir / "p.ini"), ParaFileText(300, 9999, 1, 1));
    EXPECT_EQ(Values(), (std::vector<int>{300, 9999, 1, 1}));
    EXPECT_EQ(Kinds(), (std::vector<std::string>{"file", "confirm"})) << "replaced after a Yes";
}

TEST_F(FilesTest, FileWrittenByTheProgramLoadsWithoutAnyPopup) {
    chosenPath = (dir / "round.ini").string();
    SetPage(300, 9999, 1, 0);
    SendParaToFile();
    SetPage(10, 20, 0, 1);
    App.ParaValues[0] = App.ParaValues[1] = 0;
    popups.clear();

    ReadParaFromFile();

    EXPECT_EQ(Kinds(), (std::vector<std::string>{"file"}));
    EXPECT_EQ(Values(), (std::vector<int>{300, 9999, 1, 0}));
    EXPECT_EQ(Page(), (std::vector<int>{300, 9999, 1, 0}));
}

TEST_F(FilesTest, CancelledOrMissingFileDoesNothingButSaySo) {
    struct Case {
        const char *what;
        bool save;
        std::string chosen; // "" = cancelled
    };
    const Case cases[] = {
        {"save cancelled", true, ""},
        {"load cancelled", false, ""},
        {"load of a name that does not exist", false, (dir / "nothere.ini").string()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        popups.clear();
        strcpy(App.ParaFilePath, (dir / "last.ini").c_str());
        chosenPath = c.chosen;
        SetPage(111, 222, 1, 1);
        App.ParaValues[0] = 5;

        c.save ? SendParaToFile() : ReadParaFromFile();

        ASSERT_EQ(popups.size(), 2u);
        EXPECT_EQ(popups[1].kind, "message");
        EXPECT_EQ(popups[1].title, "Message!");
        EXPECT_EQ(popups[1].text, kNoFileEng);
        EXPECT_EQ(Page(), (std::vector<int>{111, 222, 1, 1})) << "the page is not touched";
        EXPECT_EQ(App.ParaValues[0], 5);
        EXPECT_TRUE(FilesIn(dir).empty()) << "nothing is written";
        if (c.chosen.empty()) {
            EXPECT_EQ(std::string(App.ParaFilePath), (dir / "last.ini").string());
        }
    }
}

// An empty ".ini" file asks both questions; Yes twice gives the defaults and names every key.
// The same in both languages.
TEST_F(FilesTest, EmptyFileAsksBothConfirmationsThenSetsAllDefaults) {
    struct Lang {
        int index;
        const char *title, *notPara, *version, *header;
    };
    const Lang langs[] = {
        {1, "Message!", kNotParaEng, kVersionEng, kDefaultsEng},
        {0, "Info!", "Gewaehlte Datei ist keine Parameter-Datei! \nTrotzdem fortfahren?",
         "Gewaehlte Datei und Scope-Version stimmen nicht ueberein! \nTrotzdem fortfahren?",
         "Folgende Parameter konnten nicht eingelesen werden \nund wurden auf Voreinstellung "
         "gesetzt:\n\n"},
    };
    WriteBytes(dir / "empty.ini", "");
    for (const Lang &l : langs) {
        SCOPED_TRACE(l.title);
        App.LanguageIndex = l.index;
        popups.clear();
        chosenPath = (dir / "empty.ini").string();
        SetPage(300, 9999, 1, 1);
        App.ParaValues[0] = 300;

        ReadParaFromFile();

        ASSERT_EQ(Kinds(), (std::vector<std::string>{"file", "confirm", "confirm", "message"}));
        EXPECT_EQ(popups[1].title, l.title);
        EXPECT_EQ(popups[1].text, l.notPara);
        EXPECT_EQ(popups[2].text, l.version);
        EXPECT_EQ(popups[3].title, l.title);
        EXPECT_EQ(popups[3].text, std::string(l.header) + "STROKE TOLERANCE\nBAD CNT TO FAIL\n"
                                                          "DIGITAL OUTMODE\nCNT STROKE EDGE\n");
        EXPECT_EQ(Values(), (std::vector<int>{50, 25, 0, 0}));
        EXPECT_EQ(Page(), (std::vector<int>{50, 25, 0, 0}));
    }
}

TEST_F(FilesTest, NoToAConfirmationReadsNothing) {
    WriteBytes(dir / "hw.ini", ReadBytes(DataFile("HardwareInitialFile.ini")));
    struct Case {
        std::deque<int> answers;
        int confirmations;
    };
    const Case cases[] = {{{0}, 1}, {{1, 0}, 2}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.confirmations);
        popups.clear();
        confirmAnswers = c.answers;
        chosenPath = (dir / "hw.ini").string();
        App.ParaValues[0] = 77;
        App.ParaValues[1] = 88;
        App.ParaValues[2] = 1;
        App.ParaValues[3] = 0;
        SetPage(1, 2, 0, 1); // typed but not sent

        ReadParaFromFile();

        std::vector<std::string> expected = {"file"};
        expected.insert(expected.end(), c.confirmations, "confirm");
        expected.push_back("message");
        ASSERT_EQ(Kinds(), expected);
        EXPECT_EQ(popups.back().text, kNothingReadEng);
        EXPECT_EQ(Values(), (std::vector<int>{77, 88, 1, 0}));
        EXPECT_EQ(Page(), Values()) << "the page shows the values held, unchanged";
    }
}

TEST_F(FilesTest, HardwareInformationFileLoadsAfterTwoYesAnswers) {
    WriteBytes(dir / "hw.ini", ReadBytes(DataFile("HardwareInitialFile.ini")));
    chosenPath = (dir / "hw.ini").string();
    SetPage(50, 25, 0, 0);

    ReadParaFromFile();

    ASSERT_EQ(Kinds(), (std::vector<std::string>{"file", "confirm", "confirm"}));
    EXPECT_EQ(popups[1].text, kNotParaEng);
    EXPECT_EQ(popups[2].text, kVersionEng);
    EXPECT_EQ(Values(), (std::vector<int>{120, 7, 1, 1}));
    EXPECT_EQ(Page(), (std::vector<int>{120, 7, 1, 1}));
}

// Keys that cannot be read as integers take their defaults; each is named once, in file order.
// Values are taken as their low 16 bits. Names match whatever their case and order.
TEST_F(FilesTest, ParameterSectionIsReadKeyByKey) {
    const std::string head = "[GENERAL INFO]\nFILE TYPE: = \"Parameter File\"\nSCOPE VERSION: = "
                             "\"TAVIRON Scope V1.0\"\n[PARAMETER]\n";
    struct Case {
        const char *what;
        std::string text;
        std::vector<int> values;
        std::string listed; // "" = no message
    };
    const Case cases[] = {
        {"only DIGITAL OUTMODE missing",
         head + "STROKE TOLERANCE = 300\nBAD CNT TO FAIL = 9\nCNT STROKE EDGE = 1\n",
         {300, 9, 0, 1},
         "DIGITAL OUTMODE\n"},
        {"70000 and -1 keep their low 16 bits",
         head + "STROKE TOLERANCE = 70000\nBAD CNT TO FAIL = -1\nDIGITAL OUTMODE = 1\n"
                "CNT STROKE EDGE = 0\n",
         {4464, 65535, 1, 0},
         ""},
        {"not numbers, blank, out of 32-bit range, blank after the sign",
         head + "STROKE TOLERANCE = abc\nBAD CNT TO FAIL =\nDIGITAL OUTMODE = 2147483648\n"
                "CNT STROKE EDGE = - 1\n",
         {50, 25, 0, 0},
         "STROKE TOLERANCE\nBAD CNT TO FAIL\nDIGITAL OUTMODE\nCNT STROKE EDGE\n"},
        {"other case and order",
         "[general info]\r\nfile type: = \"Parameter File\"\r\nscope version: = \"TAVIRON Scope "
         "V1.0\"\r\n[parameter]\r\ncnt stroke edge = 1\r\ndigital outmode = 0\r\nbad cnt to "
         "fail = 12\r\nstroke tolerance = 400\r\n",
         {400, 12, 0, 1},
         ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        popups.clear();
        WriteBytes(dir / "case.ini", c.text);
        chosenPath = (dir / "case.ini").string();

        ReadParaFromFile();

        EXPECT_EQ(Values(), c.values);
        if (c.listed.empty()) {
            EXPECT_EQ(Kinds(), (std::vector<std::string>{"file"}));
        } else {
            ASSERT_EQ(Kinds(), (std::vector<std::string>{"file", "message"}));
            EXPECT_EQ(popups[1].text, kDefaultsEng + c.listed);
        }
    }
}

TEST_F(FilesTest, LoadedValuesAreShownOnThePage) {
    // BAD CNT TO FAIL takes the full 16-bit range, so the wrapped values show unchanged.
    WriteBytes(dir / "wide.ini", ParaFileText(20, 70000, 1, 1));
    chosenPath = (dir / "wide.ini").string();
    ReadParaFromFile();
    EXPECT_EQ(Page(), (std::vector<int>{20, 4464, 1, 1}));

    WriteBytes(dir / "wide.ini", ParaFileText(20, -1, 0, 0));
    ReadParaFromFile();
    EXPECT_EQ(Page(), (std::vector<int>{20, 65535, 0, 0}));
}

// A save that cannot be written says so with the file and the reason in the operator's words,
// never a code, and leaves a file that was there byte for byte: a folder that is not there, and
// a full disk (a small disk mounted for the test, where that can be done).
TEST_F(FilesTest, SaveThatCannotBeWrittenSaysWhyAndKeepsTheOldFile) {
    chosenPath = (dir / "no such folder" / "p.ini").string();
    SetPage(50, 25, 0, 0);
    SendParaToFile();
    ASSERT_EQ(Kinds(), (std::vector<std::string>{"file", "message"}));
    EXPECT_EQ(popups[1].title, "Message!");
    EXPECT_EQ(popups[1].text,
              "Parameter file could not be saved!\n" + chosenPath + "\nthe folder does not exist");
    EXPECT_FALSE(fs::exists(dir / "no such folder"));

    ScratchDisk disk;
    std::string why;
    if (!disk.Mount(64, false, &why)) GTEST_SKIP() << "no full disk to save on: " << why;
    const std::string old = ParaFileText(125, 25, 0, 0);
    WriteBytes(disk.file("p.ini"), old);
    disk.Fill();
    const struct {
        int language;
        const char *text;
    } langs[] = {
        {1, "Parameter file could not be saved!\n%s\nthe disk is full"},
        {0, "Parameter-Datei konnte nicht gespeichert werden!\n%s\nder Datentraeger ist voll"},
    };
    for (const auto &l : langs) {
        SCOPED_TRACE(l.language);
        App.LanguageIndex = l.language;
        popups.clear();
        chosenPath = disk.file("p.ini");
        SendParaToFile(); // the question to replace it answered Yes
        ASSERT_EQ(Kinds(), (std::vector<std::string>{"file", "confirm", "message"}));
        char expected[512];
        std::snprintf(expected, sizeof expected, l.text, chosenPath.c_str());
        EXPECT_EQ(popups[2].text, expected);
        EXPECT_EQ(ReadBytes(chosenPath), old) << "the old file stays as it was";
    }
}

// A save over a parameter file that exists asks first, in the program's language, naming the
// file. No goes back to the dialog; cancelled there, the old file stays byte for byte and the
// operator is told that nothing was done. Yes replaces it.
TEST_F(FilesTest, SaveOverAnExistingFileAsksAndNoKeepsItByteForByte) {
    struct Lang {
        int index;
        const char *question, *yes, *no, *noFile;
    };
    const Lang langs[] = {
        {1, "This file already exists:\n%s\n\nDo you want to replace it?", "Yes", "No", kNoFileEng},
        {0, "Die Datei existiert bereits:\n%s\n\nSoll sie ersetzt werden?", "Ja", "Nein",
         "Keine Datei ausgewaehlt! \nAktion wird nicht ausgefuehrt!"},
    };
    const fs::path file = dir / "press 4.ini";
    const std::string old = ParaFileText(125, 25, 0, 0);
    for (const Lang &l : langs) {
        SCOPED_TRACE(l.yes);
        TestSelectRingItem(App.ConnectTab, CONNECT_LANGUAGE, l.index); // as the operator does
        TestProcessEvents(5);
        WriteBytes(file, old);
        SetPage(50, 25, 0, 0);
        popups.clear();
        fileAnswers = {file.string(), ""};
        confirmAnswers = {0};

        TestClickCtrl(App.MainPanel, MAINP_SEND); // FILE is selected: the program is offline
        TestProcessEvents(5);

        EXPECT_EQ(ReadBytes(file), old) << "No keeps the file as it was";
        ASSERT_EQ(Kinds(), (std::vector<std::string>{"file", "confirm", "file", "message"}));
        char question[512];
        std::snprintf(question, sizeof question, l.question, file.c_str());
        EXPECT_EQ(popups[1].title, "Parameter");
        EXPECT_EQ(popups[1].text, question);
        EXPECT_EQ(popups[1].buttons, (std::vector<std::string>{l.yes, l.no}));
        EXPECT_EQ(popups[3].text, l.noFile);
        EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"press 4.ini"}));

        popups.clear();
        fileAnswers = {file.string()};
        confirmAnswers = {1};
        TestClickCtrl(App.MainPanel, MAINP_SEND);
        TestProcessEvents(5);
        ASSERT_GE(popups.size(), 2u);
        EXPECT_EQ(popups[1].kind, "confirm");
        EXPECT_EQ(ReadBytes(file), ParaFileText(50, 25, 0, 0)) << "Yes replaces it";
    }
}
