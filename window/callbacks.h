// Every callback the resource file names. The runtime resolves the names through the table in
// callbacks.cpp; each callback lives with the part of the program it belongs to.
#pragma once

#define TAV_CTRL_CB(name)                                                                          \
    int name(int panel, int control, int event, void *callbackData, int eventData1, int eventData2)
#define TAV_PANEL_CB(name)                                                                         \
    int name(int panel, int event, void *callbackData, int eventData1, int eventData2)

// Application frame
TAV_PANEL_CB(CBF_MAINP);
TAV_PANEL_CB(CBF_DATAP);
TAV_PANEL_CB(CBF_SCOPEP);
TAV_CTRL_CB(CBF_TabMain1);

// Connection page
TAV_CTRL_CB(CBF_EditCommunicationProtocol);
TAV_CTRL_CB(CBF_ButtonFindComPorts);
TAV_CTRL_CB(CBF_EditSelectComPort);
TAV_CTRL_CB(CBF_EditSelectBaudrate);
TAV_CTRL_CB(CBF_ButtonChangeBaudrate);
TAV_CTRL_CB(CBF_StringIpAdress);
TAV_CTRL_CB(CBF_StringPortNumber);
TAV_CTRL_CB(CBF_ButtonTryToConnect);
TAV_CTRL_CB(CBF_ButtonDisconnect);
TAV_CTRL_CB(CBF_ButtonAccept);
TAV_CTRL_CB(CBF_DispStatus);
TAV_CTRL_CB(CBF_ButtonGenHwInfoFile);
TAV_CTRL_CB(CBF_EditID);
TAV_CTRL_CB(CBF_EditLanguage);

// Parameters
TAV_CTRL_CB(CBF_ButtonSend);
TAV_CTRL_CB(CBF_ButtonGet);
TAV_CTRL_CB(CBF_ButtonSelectMem);
TAV_CTRL_CB(CBF_EditStrokeTol);
TAV_CTRL_CB(CBF_EditBadCntToFail);
TAV_CTRL_CB(CBF_EditDigOutmode);
TAV_CTRL_CB(CBF_EditCntStrokeEdge);
// Comparison of RAM, EEPROM and a parameter file
TAV_CTRL_CB(CBF_ButtonCompare);
TAV_CTRL_CB(CBF_ButtonCompareRead);
TAV_CTRL_CB(CBF_ButtonCompareTake);
TAV_CTRL_CB(CBF_ButtonCompareFile);
TAV_CTRL_CB(CBF_ButtonCloseCompare);

// Live data
TAV_CTRL_CB(CBF_ButtonGo);
TAV_CTRL_CB(CBF_ButtonStop);
TAV_CTRL_CB(CBF_Displays);
TAV_CTRL_CB(CBF_LedOut);
TAV_CTRL_CB(CBF_GraphPaper);

// Scope page and scope panel
TAV_CTRL_CB(CBF_ButtonGetCycleTime);
TAV_CTRL_CB(CBF_ButtonScan);
TAV_CTRL_CB(CBF_ButtonBreakScan);
TAV_CTRL_CB(CBF_EditTriggerMode);
TAV_CTRL_CB(CBF_EditPreTrigVal);
TAV_CTRL_CB(CBF_EditTriggerLevel);
TAV_CTRL_CB(CBF_EditScanRate);
TAV_CTRL_CB(CBF_DispScanFreq);
TAV_CTRL_CB(CBF_EditScopeComment);
TAV_CTRL_CB(CBF_ButtonCloseSP);
TAV_CTRL_CB(CBF_ButtonZoomScope11);
TAV_CTRL_CB(CBF_GraphScope);
TAV_CTRL_CB(CBF_DispDeltaX);
TAV_CTRL_CB(CBF_DispDeltaY);
TAV_CTRL_CB(CBF_ButtonPrintScopeGraph);
TAV_CTRL_CB(CBF_ButtonExportScope);

// Hands the table above to the runtime; called once before the panels are loaded.
void RegisterAllCallbacks();
