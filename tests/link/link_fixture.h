// The program started in-process as WinMain starts it, next to a simulated sensor that serves
// TCP on an ephemeral port of 127.0.0.1 and a pseudo-terminal mapped to COM1, the default port:
// the start-up attempt reaches it. Popups answer Offline unless a test says otherwise; file
// dialogs choose chosen.ini in the program folder.
#pragma once

#include "connect/connection.h"
#include "tests/support/program_fixture.h"

#include <string>
#include <vector>

class LinkTest : public ProgramFixture {
  protected:
    LinkTest() {
        setup.simulatedSensor = true;
        answer = VAL_GENERIC_POPUP_BTN2; // Offline
    }

    int Answer(const PopupRecord &r, std::string *path) override {
        if (r.kind == "file") { // file dialogs choose a file in the private directory
            *path = (programDir / "chosen.ini").string();
            return fs::exists(*path) ? int(VAL_EXISTING_FILE_SELECTED) : int(VAL_NEW_FILE_SELECTED);
        }
        return answer;
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

    static std::string DataStatus() { return Text(App.DataPanel, DATAP_STATUS); }

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
