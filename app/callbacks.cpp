// The callback table: names as the resource file gives them, and the functions behind them.
#include "window/callbacks.h"

#include "platform/ui.h"

namespace {

const CallbackEntry kCallbacks[] = {
    {"CBF_MAINP", nullptr, CBF_MAINP},
    {"CBF_DATAP", nullptr, CBF_DATAP},
    {"CBF_SCOPEP", nullptr, CBF_SCOPEP},
    {"CBF_TabMain1", CBF_TabMain1, nullptr},
    {"CBF_EditCommunicationProtocol", CBF_EditCommunicationProtocol, nullptr},
    {"CBF_ButtonFindComPorts", CBF_ButtonFindComPorts, nullptr},
    {"CBF_EditSelectComPort", CBF_EditSelectComPort, nullptr},
    {"CBF_EditSelectBaudrate", CBF_EditSelectBaudrate, nullptr},
    {"CBF_ButtonChangeBaudrate", CBF_ButtonChangeBaudrate, nullptr},
    {"CBF_StringIpAdress", CBF_StringIpAdress, nullptr},
    {"CBF_StringPortNumber", CBF_StringPortNumber, nullptr},
    {"CBF_ButtonTryToConnect", CBF_ButtonTryToConnect, nullptr},
    {"CBF_ButtonDisconnect", CBF_ButtonDisconnect, nullptr},
    {"CBF_ButtonAccept", CBF_ButtonAccept, nullptr},
    {"CBF_DispStatus", CBF_DispStatus, nullptr},
    {"CBF_ButtonGenHwInfoFile", CBF_ButtonGenHwInfoFile, nullptr},
    {"CBF_EditID", CBF_EditID, nullptr},
    {"CBF_EditLanguage", CBF_EditLanguage, nullptr},
    {"CBF_ButtonSend", CBF_ButtonSend, nullptr},
    {"CBF_ButtonGet", CBF_ButtonGet, nullptr},
    {"CBF_ButtonSelectMem", CBF_ButtonSelectMem, nullptr},
    {"CBF_EditStrokeTol", CBF_EditStrokeTol, nullptr},
    {"CBF_EditBadCntToFail", CBF_EditBadCntToFail, nullptr},
    {"CBF_EditDigOutmode", CBF_EditDigOutmode, nullptr},
    {"CBF_EditCntStrokeEdge", CBF_EditCntStrokeEdge, nullptr},
    {"CBF_ButtonCompare", CBF_ButtonCompare, nullptr},
    {"CBF_ButtonCompareRead", CBF_ButtonCompareRead, nullptr},
    {"CBF_ButtonCompareTake", CBF_ButtonCompareTake, nullptr},
    {"CBF_ButtonCompareFile", CBF_ButtonCompareFile, nullptr},
    {"CBF_ButtonCloseCompare", CBF_ButtonCloseCompare, nullptr},
    {"CBF_ButtonGo", CBF_ButtonGo, nullptr},
    {"CBF_ButtonStop", CBF_ButtonStop, nullptr},
    {"CBF_Displays", CBF_Displays, nullptr},
    {"CBF_LedOut", CBF_LedOut, nullptr},
    {"CBF_GraphPaper", CBF_GraphPaper, nullptr},
    {"CBF_ButtonGetCycleTime", CBF_ButtonGetCycleTime, nullptr},
    {"CBF_ButtonScan", CBF_ButtonScan, nullptr},
    {"CBF_ButtonBreakScan", CBF_ButtonBreakScan, nullptr},
    {"CBF_EditTriggerMode", CBF_EditTriggerMode, nullptr},
    {"CBF_EditPreTrigVal", CBF_EditPreTrigVal, nullptr},
    {"CBF_EditTriggerLevel", CBF_EditTriggerLevel, nullptr},
    {"CBF_EditScanRate", CBF_EditScanRate, nullptr},
    {"CBF_DispScanFreq", CBF_DispScanFreq, nullptr},
    {"CBF_EditScopeComment", CBF_EditScopeComment, nullptr},
    {"CBF_ButtonCloseSP", CBF_ButtonCloseSP, nullptr},
    {"CBF_ButtonZoomScope11", CBF_ButtonZoomScope11, nullptr},
    {"CBF_GraphScope", CBF_GraphScope, nullptr},
    {"CBF_DispDeltaX", CBF_DispDeltaX, nullptr},
    {"CBF_DispDeltaY", CBF_DispDeltaY, nullptr},
    {"CBF_ButtonPrintScopeGraph", CBF_ButtonPrintScopeGraph, nullptr},
    {"CBF_ButtonExportScope", CBF_ButtonExportScope, nullptr},
};

} // namespace

void RegisterAllCallbacks() {
    RegisterCallbacks(kCallbacks, sizeof kCallbacks / sizeof kCallbacks[0]);
}
