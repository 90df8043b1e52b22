// Connection management: the page's protocol-dependent controls, connecting, the identity check
// of the sensor at the other end, going offline and changing the baud rate.
#pragma once

#include "link/link_fault.h"
#include "window/panels.h"

// The status box is the running log of the link and keeps its last lines only: a line that
// fails again and again (each attempt writes some lines) takes no more memory as time goes on.
constexpr int kStatusBoxLines = 500;

// Shows the connection page's controls for the protocol chosen (serial or TCP).
void InitConnectPanel();
// TRY TO CONNECT: takes the page's settings, opens the port or the TCP conversation and runs
// the identity check; on any failure asks the operator to close the program or work offline.
// LinkOk is 1 afterwards only when the sensor was identified.
void TryToConnect();
// Goes offline: closes port and conversation, selects FILE and leaves TRY TO CONNECT, SEND,
// GET and the baud rate usable.
void Disconnect();
// CHANGE BAUDRATE: tells the sensor the page's rate, reopens the port at it and connects anew.
void ChangeBaudrate();
// The identity check: firmware text (only the accepted version passes), sensor name and serial
// number into the status box, then the sensor's parameters read once. LinkOk is 1 only when
// all of it worked; the link buttons are enabled then.
void CheckComLine();

// The one handler of every link failure: ErrorText becomes the failure's text in the current
// language, the data panel's status line says "TIMEOUT!" (or that the sensor rejected the
// parameters, FailureStatusLine), the status box gets the text and an
// empty line, the three link buttons are dimmed and the connection page comes to the front.
// (The link itself has cleared Running, LinkOk and ScanRunning before it calls.)
void SetTimeout(const LinkFault &fault);
// Makes SetTimeout the link's failure handler, and the status box the place where a flooding
// server is said. Part of the start-up sequence.
void InstallLinkHandlers();
