// The program next to a simulated sensor that serves TCP on an ephemeral port of 127.0.0.1
// and a pseudo-terminal behind COM1, so the start-up attempt connects over the serial line.
#pragma once

#include "scope_fixture.h"

#include "connect/connection.h"

#include <functional>
#include <string>

class RecorderTest : public ScopeProgramTest {
  protected:
    RecorderTest() { setup.simulatedSensor = true; }

    // Connects over TCP (1) or the serial line (0) as an operator does on the connection page.
    void Connect(int protocol) {
        SetCtrlVal(App.ConnectTab, CONNECT_PROTOCOL, protocol);
        if (protocol == 1) {
            SetCtrlVal(App.ConnectTab, CONNECT_SERVER, "127.0.0.1");
            SetCtrlVal(App.ConnectTab, CONNECT_PORT_NUMBER, std::to_string(sim->tcpPort()).c_str());
        } else {
            SetCtrlVal(App.ConnectTab, CONNECT_COM_PORT, 1);
            SetCtrlVal(App.ConnectTab, CONNECT_BAUDRATE, 4);
        }
        InitConnectPanel();
        SetActiveTabPage(App.MainPanel, MAINP_TAB, 0);
        TestClickCtrl(App.ConnectTab, CONNECT_TRY_TO_CONNECT);
        TestProcessEvents(5);
        ASSERT_EQ(App.LinkOk, 1) << Status();
        ASSERT_EQ(App.ComProtocol, protocol);
        popups.clear();
        ClearStatus();
        sim->clearLog();
    }

    // Runs `action` from inside the recording's wait, once the sensor has acknowledged the
    // start (the events the wait processes include this one).
    static void WhileWaiting(std::function<void()> action) {
        TestRunFromLoop([action] {
            if (App.ScanRunning)
                action();
            else
                WhileWaiting(action);
        });
    }

    void Settings(int mode, int level, int preTrigger, int scanRate) {
        SetActiveTabPage(App.MainPanel, MAINP_TAB, 2);
        TestSelectRingItem(App.ScopeTab, SCOPETAB_TRIG_MODE, mode);
        TestProcessEvents(2);
        SetCtrlVal(App.ScopeTab, SCOPETAB_TRIG_LEVEL, level);
        SetCtrlVal(App.ScopeTab, SCOPETAB_PRE_TRIG, preTrigger);
        SetCtrlVal(App.ScopeTab, SCOPETAB_SCAN_RATE, scanRate);
    }

    // The request frames the sensor received since the log was cleared, in hex.
    std::vector<std::string> Requests() const {
        std::vector<std::string> out;
        for (const tavsim::LogEntry &e : sim->requests())
            out.push_back(e.hex);
        return out;
    }
};
