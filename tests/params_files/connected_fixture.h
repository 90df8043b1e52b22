// The program connected over TCP to a sensor on this machine (the simulated one or a scripted
// stand-in), with the helpers the tests of the buttons share.
#pragma once

#include "files_fixture.h"

#include "connect/connection.h"

#include <cstdio>
#include <cstring>
#include <string>

class ConnectedTest : public FilesTest {
  protected:
    // The simulated sensor on a free port; it powers up with the parameter set of its EEPROM:
    // 120, 7, 1, 1.
    void StartSimulatedSensor() {
        WriteBytes(dir / "eeprom.txt", "StrokeTolerance=120\nBadCntToFail=7\nDigitalOutmode=1\n"
                                       "CntStrokeEdge=1\nBaudrateIndex=4\n");
        tavsim::SimConfig config;
        config.tcpPort = 0;
        config.sensor.steppedClock = true;
        config.sensor.eepromFile = (dir / "eeprom.txt").string();
        StartSim(config);
    }

    void Connect(int port) {
        SetCtrlVal(App.ConnectTab, CONNECT_PROTOCOL, 1);
        SetCtrlVal(App.ConnectTab, CONNECT_SERVER, "127.0.0.1");
        SetCtrlVal(App.ConnectTab, CONNECT_PORT_NUMBER, std::to_string(port).c_str());
        SetButtonsDimmed(kAllControls, kDimmed);
        TryToConnect();
        ASSERT_EQ(App.LinkOk, 1) << "connected to the sensor";
        SetButtonsDimmed(kAllControls, kEnabled);
        TestProcessEvents(5);
        ResetTextBox(App.ConnectTab, CONNECT_STATUS, "");
        popups.clear();
        strcpy(App.HwInfoFilePath, (dir / "last" / "HardwareInitialFile.ini").c_str());
    }

    // The button stays dimmed after each use until the next passed identity check; every press
    // here stands for one made after such a check.
    void PressButton() {
        SetCtrlAttribute(App.ConnectTab, CONNECT_GEN_HW_INFO_FILE, ATTR_DIMMED, 0);
        TestClickCtrl(App.ConnectTab, CONNECT_GEN_HW_INFO_FILE);
        TestProcessEvents(10);
    }

    // The orders the sensor received, in order, as "order/argument".
    std::vector<std::string> Orders() {
        std::vector<std::string> out;
        for (const tavsim::LogEntry &e : sim->requests()) {
            unsigned order = 0, lo = 0, hi = 0;
            if (std::sscanf(e.hex.c_str(), "%*x %x %x %x", &order, &lo, &hi) == 3)
                out.push_back(std::to_string(order) + "/" + std::to_string(lo + 256 * hi));
        }
        return out;
    }
};
