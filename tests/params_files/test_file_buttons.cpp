// SEND and GET with FILE selected work on the parameter file, offline as well as while the live
// cycle runs, and never touch the sensor.
#include "connected_fixture.h"

#include <functional>

TEST_F(ConnectedTest, SendAndGetWithFileWorkOffline) {
    // The program went offline at start-up: FILE is selected, SEND and GET are enabled.
    chosenPath = (dir / "offline.ini").string();
    SetPage(300, 9999, 1, 0);

    TestClickCtrl(App.MainPanel, MAINP_SEND);
    TestProcessEvents(10);
    EXPECT_EQ(ReadBytes(dir / "offline.ini").substr(0, 14), "[GENERAL INFO]");
    EXPECT_NE(ReadBytes(dir / "offline.ini").find("\r\nBAD CNT TO FAIL = 9999\r\n"),
              std::string::npos);

    SetPage(1, 2, 0, 1);
    TestClickCtrl(App.MainPanel, MAINP_GET);
    TestProcessEvents(10);
    EXPECT_EQ(Page(), (std::vector<int>{300, 9999, 1, 0}));
    EXPECT_EQ(Kinds(), (std::vector<std::string>{"file", "file"}));
}

// FILE chosen while the cycle polls the sensor: SEND and GET go to the file at once instead of
// being parked for the cycle, and the sensor sees no parameter order.
TEST_F(ConnectedTest, SendAndGetWithFileDuringTheLiveCycle) {
    StartSimulatedSensor();
    ASSERT_FALSE(HasFatalFailure());
    Connect(sim->tcpPort());
    WriteBytes(dir / "in.ini", "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\nSCOPE "
                               "VERSION: = \"TAVIRON Scope V1.0\"\r\n\r\n[PARAMETER]\r\nSTROKE "
                               "TOLERANCE = 222\r\nBAD CNT TO FAIL = 33\r\nDIGITAL OUTMODE = "
                               "0\r\nCNT STROKE EDGE = 1\r\n\r\n");
    SetPage(300, 9999, 1, 0);
    TestClickCtrl(App.MainPanel, MAINP_RAM); // the cycle starts with RAM selected
    TestProcessEvents(5);
    ASSERT_EQ(App.MemorySelect, 1);
    sim->clearLog();

    // GO starts the cycle; once it polls, the operator's clicks reach the program while the
    // cycle waits for the sensor, and STOP ends it.
    bool sawRunning = false;
    double giveUp = Timer() + 5;
    std::function<void()> operate = [&] {
        if (App.Running != 1 && Timer() < giveUp) {
            TestRunFromLoop(operate); // GO's callback has not reached its cycle yet
            return;
        }
        sawRunning = App.Running == 1;
        TestClickCtrl(App.MainPanel, MAINP_FILE);
        TestProcessEvents(50);
        chosenPath = (dir / "out.ini").string();
        TestClickCtrl(App.MainPanel, MAINP_SEND);
        TestProcessEvents(50);
        chosenPath = (dir / "in.ini").string();
        TestClickCtrl(App.MainPanel, MAINP_GET);
        TestProcessEvents(50);
        TestClickCtrl(App.MainPanel, MAINP_STOP);
        QuitUserInterface(0);
    };
    TestClickCtrl(App.MainPanel, MAINP_GO);
    TestRunFromLoop(operate);
    RunUserInterface();

    EXPECT_TRUE(sawRunning) << "the clicks came while the cycle ran";
    EXPECT_EQ(App.Running, 0);
    EXPECT_EQ(App.SendParaPending, 0);
    EXPECT_EQ(App.GetParaPending, 0);
    EXPECT_NE(ReadBytes(dir / "out.ini").find("\r\nSTROKE TOLERANCE = 300\r\n"), std::string::npos);
    EXPECT_EQ(Page(), (std::vector<int>{222, 33, 0, 1}));
    for (const std::string &o : Orders())
        EXPECT_EQ(o, "8/0") << "only live data polls reach the sensor";
    EXPECT_FALSE(Orders().empty());
}
