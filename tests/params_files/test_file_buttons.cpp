// SEND and GET with FILE selected work on the parameter file.
#include "connected_fixture.h"

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
