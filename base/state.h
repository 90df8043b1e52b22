// The one application state: every panel handle, link setting and link state, frame buffer,
// parameter, live value, scope setting and run flag of the program, in sections by the part
// of the program that owns their meaning. Zero-filled at start, lives until exit.
#pragma once

#include "inifile/inifile.h"
#include "protocol/frame.h"

#include <cstdint>

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using i16 = std::int16_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;

// Frame buffer sizes, as the frame layout gives them: an 8-byte header and at most 1016 data
// bytes.
constexpr int kHeaderSize = FrameHeaderSize;
constexpr int kBufferSize = FrameMaxSize;
constexpr int kMaxData = FrameMaxData;
constexpr int kPathSize = 260;

// Indices into ParaValues.
enum { StrokeTolerance = 0, BadCntToFail = 1, DigitalOutmode = 2, CntStrokeEdge = 3 };

// The live data reply of the sensor, in the order of its 28 data bytes.
struct LiveDataRec {
    u32 CntPeriod;     // time from gap to gap (sensor counts, about 1 us)
    u32 CntGap;        // length of the gap
    u32 CntStroke;     // moment of the stamping stroke, from the start of the period
    u32 LowerTolLimit; // lower edge of the tolerance window
    u32 UpperTolLimit; // upper edge of the tolerance window
    u16 BadCntLower;   // equal faults in a row below the window
    u16 BadCntUpper;   // equal faults in a row above the window
    u32 OutputBits;    // bit 0..3 = OUT0..OUT3
};

struct AppState {
    // ---- application frame: panels and tab pages --------------------------------------
    int MainPanel;                    // main window
    int DataPanel;                    // child panel with the live displays
    int ScopePanel;                   // child panel with the scope graphs
    int ComparePanel;                 // child panel comparing RAM, EEPROM and a parameter file
    int ConnectTab;                   // tab page 0: connection
    int ParaTab;                      // tab page 1: parameters
    int ScopeTab;                     // tab page 2: scope settings (hidden unless asked for)
    char ProjectDir[kPathSize];       // directory of the program
    char SettingsFilePath[kPathSize]; // the panel settings file beside the program
    i16 ScopePageAtStart;             // 1: the scope page is shown from start-up (--scope)

    // ---- settings and language --------------------------------------------------------
    int LanguageIndex = 1; // 0 = German, 1 = English; index into every text pair
    char PanelId[100];     // sensor identification typed by the operator

    // ---- link settings ----------------------------------------------------------------
    u16 ComProtocol;         // 0 = RS232, 1 = TCP/IP
    u16 ComPort;             // serial port number
    u16 BaudrateIndex;       // 0..7 = 9600 .. 921600 baud
    char IpAddress[256];     // server name or address
    char PortNumberText[32]; // TCP port number as typed
    int PortNumber;          // its value, taken at each connection attempt

    // ---- link state -------------------------------------------------------------------
    u32 TcpHandle;        // TCP conversation; 0 after the server closed it
    i16 TcpConnected;     // 1 while a TCP conversation is open
    int LinkResult;       // result of the last port open / TCP connect (negative = error)
    i16 LinkOk;           // 1 while the link is known good
    int ComStatError;     // last serial line status (> 0 = line error)
    int RxCount;          // bytes waiting (serial) or received so far into RxBuf (TCP)
    u64 TcpDropped;       // bytes of this TCP conversation nobody asked for, read and dropped
    i16 TcpFloodReported; // 1 once the dropping has been reported for this conversation
    double WaitStartTime; // Timer() at the start of a reply wait, seconds
    char ErrorText[256];  // text of the last communication failure

    // ---- frames -----------------------------------------------------------------------
    u8 TxFrame[kBufferSize]; // staging frame: header, then TxData; also receives some replies
    u8 TxBuf[kBufferSize];   // the request exactly as written to the line
    u8 RxBuf[kBufferSize];   // the reply: header, then RxData
    u8 RxOrder;              // fields of the last valid reply header
    u16 RxArgument;
    u16 RxLength;
    u8 RxDataCrc;
    char FirmwareVersion[72]; // the sensor's identification text
    char SensorName[256];     // the sensor's name

    // ---- parameters -------------------------------------------------------------------
    u16 ParaValues[4];              // StrokeTolerance, BadCntToFail, DigitalOutmode, CntStrokeEdge
    u8 ParaUnshown[4];              // 1: the value received is not one its control can show;
                                    //    SEND waits until the operator chooses one
    i16 MemorySelect;               // 1 = RAM, 2 = EEPROM, 3 = FILE
    i16 SendParaPending;            // SEND asked for while the live cycle runs
    i16 GetParaPending;             // GET asked for while the live cycle runs
    char ParaFilePath[kPathSize];   // last parameter file
    char HwInfoFilePath[kPathSize]; // last hardware information file
    char DriveBuf[kPathSize];       // work buffers for splitting a path
    char DirBuf[kPathSize];
    char FileNameBuf[kPathSize];
    // What this connection has read of the sensor's two sets (read back, loaded, compared).
    u16 SensorRam[4];      // its working set as last read
    u16 SensorEeprom[4];   // its EEPROM set as last loaded into RAM and read
    i16 SensorRamKnown;    // 1 once SensorRam was read on this connection
    i16 SensorEepromKnown; // 1 once SensorEeprom was read on this connection
    i16 RamNotStored;      // 1: RAM holds values sent to RAM only that the EEPROM may not hold
    // The comparison view's columns, RAM, EEPROM and the parameter file, as last read.
    u16 CompareValues[3][4];
    i16 CompareKnown[3][4]; // 1 where the value was read (a file may lack an item)

    // ---- live cycle ---------------------------------------------------------------------
    i16 Running;           // the live data cycle runs while 1
    LiveDataRec LiveData;  // last live values received
    long long LiveShownAt; // when the values shown were received (seconds since 1970; 0: never)
    i16 LiveStale;         // 1: a failure ended the cycle; the values shown are no longer live

    // ---- scope --------------------------------------------------------------------------
    i16 ScopeTriggerLevel; // settings as sent to the sensor, in this order
    i16 ScopeTriggerMode;
    i16 ScopePreTrigger;
    i16 ScopeScanRate;
    i16 ScanRunning;            // a recording waits for its data
    double CycleTime;           // sensor cycle time, ms
    u16 ScopeSamples[128];      // the record on the graphs: its sample words in display order
    i16 ScopeRecordShown;       // 1 once a record is on the graphs
    i16 ScopeRecordSettings[4]; // that record's trigger level, mode, pre-trigger and scan rate

    // ---- files and reports --------------------------------------------------------------
    IniText IniHandle; // the INI document being read or written (one at a time)
    int ReportHandle;  // the report being printed
};

extern AppState App;

// The data areas behind the frame headers.
inline u8 *TxData() {
    return App.TxFrame + kHeaderSize;
}
inline u8 *RxData() {
    return App.RxBuf + kHeaderSize;
}
