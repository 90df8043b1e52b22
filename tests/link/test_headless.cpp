// The link as a program without a window uses it: a core application object (no display, no
// widgets), a line opened by a device path or by server and port, the identity orders and a
// parameter read through the same exchange as the window program, and a failure that comes
// back as a code with its text, no panel written. This test links only the link, its texts and
// the simulated sensor: a link that needed the panels or widgets would not link.
#include "link/exchange.h"
#include "link/identity.h"
#include "link/link_fault.h"
#include "link/serial_line.h"
#include "link/tcp_line.h"
#include "linktext/linktext.h"
#include "platform/core/runtime.h"
#include "protocol/frame.h"
#include "sim/sim.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::vector<LinkFault> g_reports;

struct Kind {
    const char *name;
    bool serial;
};
void PrintTo(const Kind &kind, std::ostream *out) {
    *out << kind.name;
}

class HeadlessLink : public ::testing::TestWithParam<Kind> {
  protected:
    std::unique_ptr<tavsim::SimSensor> sim;

    static void SetUpTestSuite() {
        static char name[] = "test_link_headless";
        static char *argv[] = {name, nullptr};
        ASSERT_EQ(InitRuntime(1, argv), 1);
    }
    static void TearDownTestSuite() { CloseRuntime(); }

    void SetUp() override {
        App = AppState{};
        g_reports.clear();
        SetLinkFailureHandler([](const LinkFault &f) { g_reports.push_back(f); });
        tavsim::SimConfig config;
        config.tcpPort = 0;
        config.serial = GetParam().serial;
        config.tcp = !GetParam().serial;
        sim = std::make_unique<tavsim::SimSensor>(config);
        std::string error;
        ASSERT_TRUE(sim->start(&error)) << error;
        Open();
    }
    void TearDown() override {
        LinkLine().Close();
        sim.reset();
        SetLinkFailureHandler(nullptr);
    }

    void Open() {
        if (GetParam().serial) {
            App.ComProtocol = 0;
            ASSERT_EQ(OpenSerialLine(1, sim->serialPath().c_str(), 115200), 0);
        } else {
            App.ComProtocol = 1;
            ASSERT_EQ(OpenTcpLine("127.0.0.1", sim->tcpPort()), 0);
        }
        App.LinkOk = 1;
    }
};

TEST_P(HeadlessLink, IdentityAndParametersThroughTheProgramsExchange) {
    ASSERT_EQ(ReadFirmwareText(), 1);
    EXPECT_EQ(std::strncmp(App.FirmwareVersion, "TAVIRON V1.0", 12), 0) << App.FirmwareVersion;
    EXPECT_EQ(FirmwareAccepted(), 1);
    int serial = 0;
    ASSERT_EQ(ReadSensorIdentity(&serial), 1);
    EXPECT_NE(App.SensorName[0], 0);
    EXPECT_NE(serial, 0);

    tavsim::ParamSet set;
    set.strokeTolerance = 321;
    set.badCntToFail = 7;
    set.digitalOutmode = 1;
    sim->setRamParams(set);
    FillTxBuf(OrderGetPara, 0, 0);
    ASSERT_EQ(DataExchange(kHeaderSize), 1);
    ASSERT_EQ(App.RxLength, 8);
    const u8 *d = RxData();
    EXPECT_EQ(d[0] | d[1] << 8, 321);
    EXPECT_EQ(d[2] | d[3] << 8, 7);
    EXPECT_EQ(d[4] | d[5] << 8, 1);
    EXPECT_TRUE(g_reports.empty());
}

// The sensor gone: one report with its code, the texts a program without a window shows in
// either language, and the link marked failed.
TEST_P(HeadlessLink, ASensorThatGoesAwayIsOneCodeWithItsText) {
    sim->stop();
    FillTxBuf(OrderGetPara, 0, 0);
    EXPECT_EQ(DataExchange(kHeaderSize), -1);
    ASSERT_EQ(g_reports.size(), 1u);
    const LinkError expected = GetParam().serial ? LinkError::DeviceGone : LinkError::ServerClosed;
    EXPECT_EQ(int(g_reports[0].code), int(expected));
    EXPECT_EQ(App.LinkOk, 0);
    App.LanguageIndex = 1;
    const std::string english = LinkFailureText(g_reports[0]);
    App.LanguageIndex = 0;
    const std::string german = LinkFailureText(g_reports[0]);
    EXPECT_FALSE(english.empty());
    EXPECT_NE(english, german);
    if (GetParam().serial) {
        EXPECT_NE(english.find(sim->serialPath()), std::string::npos) << english;
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, HeadlessLink,
                         ::testing::Values(Kind{"serial", true}, Kind{"tcp", false}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
