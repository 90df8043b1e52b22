// The program started in-process as WinMain starts it, in a private program directory (the
// resource file and logo linked in, no panel settings file, so the default settings apply),
// next to a simulated sensor that serves TCP on an ephemeral port of 127.0.0.1 and a
// pseudo-terminal mapped to COM1, the default port: the start-up attempt reaches it. Popups
// are answered by a responder that records them; it answers Offline unless a test says
// otherwise.
#pragma once

#include "app/app.h"
#include "base/state.h"
#include "connect/connection.h"
#include "platform/testing.h"
#include "platform/ui.h"
#include "sim/sim.h"

#include "Tavironv10.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class LinkTest : public ::testing::Test {
  protected:
    std::filesystem::path dir;
    std::unique_ptr<tavsim::SimSensor> sim;
    std::vector<PopupRecord> popups;
    int answer = VAL_GENERIC_POPUP_BTN2; // Offline

    // Changes to the sensor's set-up before it starts.
    virtual void ConfigureSim(tavsim::SimConfig &) {}

    void SetUp() override {
        namespace fs = std::filesystem;
        char tmpl[] = "/tmp/taviron-link-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        for (const char *f : {"Tavironv10.uir", "logoHV.bmp"})
            fs::create_symlink(fs::path(TAVIRON_BIN_DIR) / f, dir / f);
        TestSetProjectDir(dir.c_str());
        App = AppState{};
        tavsim::SimConfig config;
        config.tcpPort = 0;
        config.serial = true;
        config.sensor.steppedClock = true;
        ConfigureSim(config);
        sim = std::make_unique<tavsim::SimSensor>(config);
        std::string error;
        ASSERT_TRUE(sim->start(&error)) << error;
        TestMapComPort(1, sim->serialPath().c_str());
        SetPopupResponder([this](const PopupRecord &r, std::string *path) {
            popups.push_back(r);
            if (r.kind == "file") { // file dialogs choose a file in the private directory
                *path = (dir / "chosen.ini").string();
                return std::filesystem::exists(*path) ? int(VAL_EXISTING_FILE_SELECTED)
                                                      : int(VAL_NEW_FILE_SELECTED);
            }
            return answer;
        });
        static char name[] = "test_link";
        static char *argv[] = {name, nullptr};
        ASSERT_EQ(LoadPanels(1, argv), 0);
        InitAll();
        TestProcessEvents(5);
    }

    void TearDown() override {
        ShutDown();
        TestProcessEvents(5);
        TestMapComPort(1, nullptr);
        SetPopupResponder({});
        if (sim) sim->stop();
        TestSetProjectDir("");
        std::filesystem::remove_all(dir);
    }

    // The connection settings as an operator leaves them on the page.
    void UseSerial(int comPort = 1, int baudIndex = 4) {
        SetCtrlVal(App.ConnectTab, CONNECT_PROTOCOL, 0);
        SetCtrlVal(App.ConnectTab, CONNECT_COM_PORT, comPort);
        SetCtrlVal(App.ConnectTab, CONNECT_BAUDRATE, baudIndex);
        InitConnectPanel();
    }
    void UseTcp(const std::string &server = "127.0.0.1", int port = -1) {
        SetCtrlVal(App.ConnectTab, CONNECT_PROTOCOL, 1);
        SetCtrlVal(App.ConnectTab, CONNECT_SERVER, server.c_str());
        std::string p = std::to_string(port < 0 ? sim->tcpPort() : port);
        SetCtrlVal(App.ConnectTab, CONNECT_PORT_NUMBER, p.c_str());
        InitConnectPanel();
    }

    // An operator's click on a control of the connection page (shown first) or another panel;
    // returns once the callback and everything it started have run.
    void Click(int panel, int control) {
        if (panel == App.ConnectTab) SetActiveTabPage(App.MainPanel, MAINP_TAB, 0);
        TestClickCtrl(panel, control);
        TestProcessEvents(5);
    }
    // TRY TO CONNECT, expecting the sensor to be identified.
    void Connect() {
        ClearStatus();
        popups.clear();
        Click(App.ConnectTab, CONNECT_TRY_TO_CONNECT);
        ASSERT_EQ(App.LinkOk, 1) << Status();
        ASSERT_TRUE(popups.empty()) << popups[0].text;
        sim->clearLog();
        ClearStatus();
    }

    static std::string Text(int panel, int control) {
        std::vector<char> buf(1 << 16);
        GetCtrlValText(panel, control, buf.data(), int(buf.size()));
        return buf.data();
    }
    std::string Status() const { return Text(App.ConnectTab, CONNECT_STATUS); }
    std::string DataStatus() const { return Text(App.DataPanel, DATAP_STATUS); }
    void ClearStatus() { ResetTextBox(App.ConnectTab, CONNECT_STATUS, ""); }

    static int Dimmed(int panel, int control) {
        int d = -1;
        GetCtrlAttribute(panel, control, ATTR_DIMMED, &d);
        return d;
    }
    static int Visible(int panel, int control) {
        int v = -1;
        GetCtrlAttribute(panel, control, ATTR_VISIBLE, &v);
        return v;
    }
    static int ActivePage() {
        int page = -1;
        GetActiveTabPage(App.MainPanel, MAINP_TAB, &page);
        return page;
    }

    // The request frames the sensor received since the log was last cleared, in hex.
    std::vector<std::string> Requests() const {
        std::vector<std::string> out;
        for (const tavsim::LogEntry &e : sim->requests())
            out.push_back(e.hex);
        return out;
    }
    // The order bytes of those frames.
    std::vector<int> Orders() const {
        std::vector<int> out;
        for (const std::string &hex : Requests())
            out.push_back(std::stoi(hex.substr(3, 2), nullptr, 16));
        return out;
    }
};
