// The hardware information file for support: reads the sensor's working parameters and its
// hardware block (order 194), lets the operator choose the file and writes program and
// firmware identification, the block as hex text and the parameters. Results go to the
// connection page's status box.
#include "params/hwinfo.h"

#include "Tavironv10.h"
#include "base/file_reason.h"
#include "base/state.h"
#include "base/texts.h"
#include "link/para_transfer.h"
#include "params/layout/hwinfo_layout.h"
#include "params/para.h"
#include "platform/ui.h"
#include "window/help.h"

#include <algorithm>
#include <cstdio>

namespace {

const TextPair kSaved = {"Datei wurde gespeichert!", "File has been saved!"};
// A file that did not reach the disk must not be announced as saved.
const TextPair kNotSaved = {"Datei konnte nicht gespeichert werden!", "File could not be saved!"};

void AppendToStatusBox(const char *text) {
    SetCtrlVal(App.ConnectTab, CONNECT_STATUS, text);
}

int SelectHwInfoFile() {
    SplitPath(App.HwInfoFilePath, App.DriveBuf, App.DirBuf, App.FileNameBuf);
    char directory[2 * kPathSize];
    std::snprintf(directory, sizeof directory, "%s%s", App.DriveBuf, App.DirBuf);
    return FileSavePopup(directory, "HardwareInitialFile.ini", "*.ini", "HardwareInitialFile",
                         VAL_OK_BUTTON, 0, 0, 1, 1, App.HwInfoFilePath);
}

} // namespace

int GenerateHWInfoFile() {
    // Every failed exchange clears LinkOk and has reported itself by then.
    App.LinkOk = 1;

    // The working set, whatever memory the operator has selected.
    i16 memory = App.MemorySelect;
    App.MemorySelect = 1;
    GetPara();
    App.MemorySelect = memory;
    if (!App.LinkOk) return -1;

    // The reply as one block over TxFrame; a short block gives a text of what arrived only.
    int received = 0;
    if (ReadHardwareBlock(&received) != 1 || !App.LinkOk) return -1;
    char hardwareText[kHwTextSize];
    HardwareText(App.TxFrame, std::min(received, kHwBlockSize), hardwareText);

    if (SelectHwInfoFile() < 1) {
        AppendToStatusBox(Txt(kTxtNoFileSelected));
        AppendToStatusBox("\n\n");
        return -1;
    }
    GetPanelValues();

    App.IniHandle = Ini_New(0);
    PutHwInfoItems(App.IniHandle, App.FirmwareVersion, sizeof App.FirmwareVersion, hardwareText,
                   App.ParaValues);
    int status =
        App.IniHandle ? Ini_WriteToFile(App.IniHandle, App.HwInfoFilePath) : INI_ERR_OUT_OF_MEMORY;
    Ini_Dispose(App.IniHandle);
    App.IniHandle = nullptr;

    AppendToStatusBox(Txt(status < 0 ? kNotSaved : kSaved));
    AppendToStatusBox("\n");
    AppendToStatusBox(App.HwInfoFilePath);
    if (status < 0) {
        // Why, in the operator's words; the code only on standard error.
        AppendToStatusBox("\n");
        AppendToStatusBox(Txt(FileWriteReason(status, App.HwInfoFilePath)));
        LogFileWriteFailure("Hardware information file not saved", App.HwInfoFilePath, status);
    }
    AppendToStatusBox("\n\n");
    return status < 0 ? -1 : 1;
}
