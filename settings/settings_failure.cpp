// Saying that the panel settings file could not be written: which file and why, on the status
// displays after ACCEPT and in a popup before the program ends, so that a setting the operator
// made is never lost without a word.
#include "settings/settings.h"

#include "Tavironv10.h"
#include "base/state.h"
#include "base/texts.h"
#include "inifile/inifile.h"
#include "platform/ui.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

const TextPair kTxtNotSaved = {"Einstellungen nicht gespeichert", "Settings not saved"};
const TextPair kTxtNoFolder = {"der Ordner existiert nicht", "the folder does not exist"};
const TextPair kTxtNoAccess = {"keine Schreibberechtigung", "no permission to write there"};
const TextPair kTxtDiskFull = {"der Datentraeger ist voll", "the disk is full"};
const TextPair kTxtNoMemory = {"zu wenig Speicher", "out of memory"};
const TextPair kTxtNotReplaced = {
    "eine nicht verwendbare Datei liegt dort und konnte nicht aufbewahrt werden",
    "an unusable file is there and could not be kept aside"};
const TextPair kTxtWriteError = {"Schreibfehler", "write error"};
const TextPair kTitleWarning = {"Achtung!", "Warning!"};

// The reason in the operator's words. A temporary file that cannot be created says little by
// itself, so the folder is looked at: missing, or not writable for this user.
const TextPair &Reason(int code) {
    char drive[MAX_DRIVENAME_LEN], directory[MAX_DIRNAME_LEN], name[MAX_FILENAME_LEN];
    SplitPath(App.SettingsFilePath, drive, directory, name);
    const std::string folder = directory[0] ? std::string(drive) + directory : ".";
    switch (code) {
    case kSettingsNotReplaced:
        return kTxtNotReplaced;
    case INI_ERR_DISK_FULL:
        return kTxtDiskFull;
    case INI_ERR_OUT_OF_MEMORY:
        return kTxtNoMemory;
    case INI_ERR_ACCESS_DENIED:
    case INI_ERR_CREATE_TEMP:
    case INI_ERR_NO_TEMP_NAME:
        if (access(folder.c_str(), F_OK) != 0) return kTxtNoFolder;
        if (code == INI_ERR_ACCESS_DENIED || access(folder.c_str(), W_OK) != 0) return kTxtNoAccess;
        return kTxtWriteError;
    default:
        return kTxtWriteError;
    }
}

// The text, also on standard error for whoever looks at the program's log.
std::string SaidOnStderr(int code) {
    const std::string text = SettingsNotSavedText(code);
    std::fprintf(stderr, "%s\n", text.c_str());
    return text;
}

} // namespace

std::string SettingsNotSavedText(int code) {
    return std::string(Txt(kTxtNotSaved)) + ": " + App.SettingsFilePath + ": " + Txt(Reason(code)) +
           " (" + std::to_string(code) + ")";
}

// The status line is one short field: it says what and why, its tool tip and the connection
// page's status box add the file's path.

void ShowSettingsNotSaved(int code) {
    const std::string text = SaidOnStderr(code);
    const std::string brief = std::string(Txt(kTxtNotSaved)) + ": " + Txt(Reason(code)) + " (" +
                              std::to_string(code) + ")";
    SetCtrlVal(App.DataPanel, DATAP_STATUS, brief.c_str());
    SetCtrlAttribute(App.DataPanel, DATAP_STATUS, ATTR_TOOLTIP_TEXT, text.c_str());
    SetCtrlVal(App.ConnectTab, CONNECT_STATUS, (text + "\n").c_str());
}

void TellSettingsNotSaved(int code) {
    MessagePopup(Txt(kTitleWarning), SaidOnStderr(code).c_str());
}

void StoreSettingsBeforeEnd() {
    if (const int status = StorePanelSettings(); status != 0) TellSettingsNotSaved(status);
}
