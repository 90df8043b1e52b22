// The hardware information file button, with the program connected over TCP to the simulated
// sensor: the exchanges it makes, the file it writes, and what it reports when the dialog is
// cancelled, the link fails or the file cannot be written.
#include "connected_fixture.h"

#include "protocol/frame.h"
#include "tests/support/scripted_sensor.h"

namespace {

const char *kTimeoutEng = "TIMEOUT! \nNo data received! \nCommunication error! \nCheck power "
                          "supply and COM settings. \nTry to connect again!";

// A sensor that answers the identity check, the parameter read and every other order like the
// simulated one, but sends a hardware block of any length (the simulated sensor always sends 512
// bytes).
void AnswerWithBlock(ScriptedSensor &sensor, const ScriptedSensor::Bytes &block) {
    const std::string firmware = "TAVIRON V1.0.3 2026-11-28";
    sensor.alwaysReply(OrderFirmware, {ScriptedSensor::frame(OrderFirmware, 0,
                                                             {firmware.begin(), firmware.end()})});
    sensor.alwaysReply(OrderSensorId,
                       {ScriptedSensor::frame(OrderSensorId, 4711, {'F', 'A', 'K', 'E'})});
    sensor.alwaysReply(OrderGetPara,
                       {ScriptedSensor::frame(OrderGetPara, 0, {50, 0, 25, 0, 0, 0, 0, 0})});
    sensor.alwaysReply(OrderHardwareInfo, {ScriptedSensor::frame(OrderHardwareInfo, 0, block)});
    sensor.acknowledgeOthers();
}

class HwInfoTest : public ConnectedTest {
  protected:
    void SetUp() override {
        ConnectedTest::SetUp();
        if (HasFatalFailure()) return;
        StartSimulatedSensor();
        if (HasFatalFailure()) return;
        Connect(sim->tcpPort());
        sim->clearLog();
    }
};

} // namespace

TEST_F(HwInfoTest, WritesTheFileFromTheSensorsWorkingSetAndBlock) {
    App.MemorySelect = 2;     // EEPROM selected: the file still takes the working set
    SetPage(300, 9999, 0, 0); // typed, not sent
    chosenPath = (dir / "support.ini").string();

    PressButton();

    EXPECT_EQ(Orders(), (std::vector<std::string>{"2/0", "194/15450"}));
    EXPECT_EQ(App.MemorySelect, 2);
    ASSERT_EQ(Kinds(), (std::vector<std::string>{"file"}));
    EXPECT_EQ(popups[0].title, "HardwareInitialFile");
    EXPECT_EQ(popups[0].text, "*.ini");
    EXPECT_EQ(popups[0].defaultPath, (dir / "last" / "HardwareInitialFile.ini").string());

    EXPECT_EQ(ReadBytes(dir / "support.ini"), ReadBytes(DataFile("HardwareInitialFile.ini")));
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"eeprom.txt", "support.ini"}));
    EXPECT_EQ(std::string(App.HwInfoFilePath), chosenPath);
    EXPECT_EQ(Status(), "File has been saved!\n" + chosenPath + "\n\n");
    EXPECT_EQ(Page(), (std::vector<int>{120, 7, 1, 1}));
    EXPECT_EQ(Dimmed(App.MainPanel, MAINP_SEND), 0) << "enabled again";
    EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_TRY_TO_CONNECT), 0);
    EXPECT_EQ(Dimmed(App.ConnectTab, CONNECT_GEN_HW_INFO_FILE), 1)
        << "only a new identity check enables it";
}

// A cancelled dialog is reported in the status box, in the current language; the page keeps
// the values read from the sensor.
TEST_F(HwInfoTest, CancelledDialogWritesNothingAndKeepsTheValuesRead) {
    const std::pair<int, std::string> langs[] = {
        {1, "No file was selected! \nProcess will not be done!\n\n"},
        {0, "Keine Datei ausgewaehlt! \nAktion wird nicht ausgefuehrt!\n\n"},
    };
    for (const auto &[language, text] : langs) {
        SCOPED_TRACE(language);
        App.LanguageIndex = language;
        ResetTextBox(App.ConnectTab, CONNECT_STATUS, "");
        SetPage(300, 9999, 0, 0);
        chosenPath.clear();

        PressButton();

        EXPECT_EQ(Kinds().back(), "file");
        EXPECT_EQ(Status(), text);
        EXPECT_EQ(Page(), (std::vector<int>{120, 7, 1, 1}));
        EXPECT_EQ(Values(), (std::vector<int>{120, 7, 1, 1}));
        EXPECT_EQ(std::string(App.HwInfoFilePath),
                  (dir / "last" / "HardwareInitialFile.ini").string());
    }
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"eeprom.txt"}));
}

// A failure of either exchange is reported by the link's failure handler; no dialog follows.
TEST_F(HwInfoTest, FailedExchangeShowsTheFailureAndNoDialog) {
    struct Case {
        const char *what;
        tavsim::FaultKind fault;
        int order;
        std::string text;
        std::vector<std::string> orders;
    };
    const Case cases[] = {
        {"no reply to the parameter read", tavsim::FaultKind::NoReply, 2, kTimeoutEng, {"2/0"}},
        {"block refused",
         tavsim::FaultKind::ErrorOrder,
         194,
         "Invalid order number! \nVerify PC and sensor software!",
         {"2/0", "194/15450"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ResetTextBox(App.ConnectTab, CONNECT_STATUS, "");
        sim->clearLog();
        popups.clear();
        sim->setFault({c.fault, 1, c.order});
        if (c.fault == tavsim::FaultKind::NoReply) TimeOutAfterRequest(c.order);
        chosenPath = (dir / "never.ini").string();

        PressButton();

        EXPECT_TRUE(popups.empty()) << "no dialog";
        EXPECT_EQ(Status(), c.text + "\n\n");
        EXPECT_EQ(Orders(), c.orders);
        EXPECT_EQ(App.LinkOk, 0);
        char dataStatus[64];
        GetCtrlVal(App.DataPanel, DATAP_STATUS, dataStatus);
        EXPECT_STREQ(dataStatus, "TIMEOUT!");
        int page = -1;
        GetActiveTabPage(App.MainPanel, MAINP_TAB, &page);
        EXPECT_EQ(page, 0);
        EXPECT_FALSE(fs::exists(dir / "never.ini"));
        App.LinkOk = 1; // the conversation stays open for the next case
    }
}

// A file that exists is not replaced without asking; No and a cancelled dialog keep it byte for
// byte, and the status box says that nothing was saved.
TEST_F(HwInfoTest, SaveOverAnExistingFileAsksFirst) {
    const fs::path file = dir / "support.ini";
    WriteBytes(file, "kept\r\n");
    fileAnswers = {file.string(), ""};
    confirmAnswers = {0};

    PressButton();

    EXPECT_EQ(ReadBytes(file), "kept\r\n");
    ASSERT_EQ(Kinds(), (std::vector<std::string>{"file", "confirm", "file"}));
    EXPECT_EQ(popups[1].title, "HardwareInitialFile");
    EXPECT_EQ(popups[1].text,
              "This file already exists:\n" + file.string() + "\n\nDo you want to replace it?");
    EXPECT_EQ(Status(), "No file was selected! \nProcess will not be done!\n\n");

    ClearStatus();
    popups.clear();
    fileAnswers = {file.string()};
    confirmAnswers = {1};
    PressButton();
    EXPECT_EQ(Kinds(), (std::vector<std::string>{"file", "confirm"}));
    EXPECT_EQ(ReadBytes(file), ReadBytes(DataFile("HardwareInitialFile.ini")));
    EXPECT_EQ(Status(), "File has been saved!\n" + file.string() + "\n\n");
}

TEST_F(HwInfoTest, FileThatCannotBeWrittenIsNotReportedAsSaved) {
    chosenPath = (dir / "no such folder" / "hw.ini").string();

    PressButton();

    EXPECT_EQ(Status(),
              "File could not be saved!\n" + chosenPath + "\nthe folder does not exist\n\n");
    EXPECT_FALSE(fs::exists(dir / "no such folder"));
}

// A block shorter than 512 bytes gives a text of what arrived, missing bytes as "--"; a longer
// one gives its first 512 bytes. The file keeps its layout either way.
TEST_F(ConnectedTest, HardwareBlockOfAnotherLengthKeepsTheFileLayout) {
    struct Case {
        int length;
        std::string firstPiece, lastPiece;
    };
    const Case cases[] = {
        {5, "DATA Line0001 = \"02010403--05" + std::string(68, '-') + "\"",
         "DATA Line0013 = \"" + std::string(64, '-') + "\""},
        {600, "DATA Line0001 = \"0201040306050807", "DATA Line0013 = \"e2e1e4e3"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.length);
        std::vector<std::uint8_t> block(c.length);
        for (int i = 0; i < c.length; ++i)
            block[i] = std::uint8_t(i + 1);
        ScriptedSensor sensor;
        AnswerWithBlock(sensor, block);
        Connect(sensor.port());
        chosenPath = (dir / "hw.ini").string();

        TestClickCtrl(App.ConnectTab, CONNECT_GEN_HW_INFO_FILE);
        TestProcessEvents(10);

        std::string file = ReadBytes(dir / "hw.ini");
        EXPECT_NE(file.find("\r\n" + c.firstPiece), std::string::npos) << file;
        EXPECT_NE(file.find("\r\n" + c.lastPiece), std::string::npos) << file;
        EXPECT_EQ(file.find("DATA Line0014"), std::string::npos);
        IniText doc = Ini_New(0);
        Ini_ReadFromFile(doc, (dir / "hw.ini").c_str());
        char data[2048] = "";
        Ini_GetStringIntoBuffer(doc, "HARDWARE INFO", "DATA", data, sizeof data);
        Ini_Dispose(doc);
        EXPECT_EQ(std::string(data).size(), 1024u);
        fs::remove(dir / "hw.ini");
    }
}
