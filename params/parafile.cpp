// The parameter file: SEND with FILE selected saves the four parameters of the parameter page
// to an INI file chosen by the operator, GET with FILE selected loads them back. Neither talks
// to the sensor. A loaded file is checked by its identification section; keys that cannot be
// read take their defaults and are listed to the operator.
#include "params/parafile.h"

#include "base/file_reason.h"
#include "base/state.h"
#include "base/texts.h"
#include "params/layout/para_names.h"
#include "params/layout/parafile_layout.h"
#include "params/para.h"
#include "platform/ui.h"
#include "window/help.h"

#include <cstdio>
#include <cstring>

namespace {

// The identification the file is checked by (its items: params/layout/parafile_layout.h).
constexpr const char *kSectionGeneral = "GENERAL INFO";
constexpr const char *kKeyFileType = "FILE TYPE:";
constexpr const char *kKeyScopeVersion = "SCOPE VERSION:";
constexpr const char *kFileType = kParaFileType;
constexpr const char *kScopeVersion = kParaFileScopeVersion;

constexpr int kTextBufferSize = 1024; // identification values and the missing-keys message

const TextPair kNotParaFile = {
    "Gewaehlte Datei ist keine Parameter-Datei! \nTrotzdem fortfahren?",
    "Selected file is not a parameter file! \nDo you want to proceed anyway?"};
const TextPair kVersionMismatch = {
    "Gewaehlte Datei und Scope-Version stimmen nicht ueberein! \nTrotzdem fortfahren?",
    "Selected file and scope version do not match! \nDo you want to proceed anyway?"};
const TextPair kNothingRead = {"Keine Parameter eingelesen!", "No parameter were read!"};
const TextPair kDefaultsHeader = {
    "Folgende Parameter konnten nicht eingelesen werden \nund wurden auf Voreinstellung "
    "gesetzt:\n\n",
    "Following parameter could not be read \nand were set to default value:\n\n"};
// A save that did not reach the disk must not pass for a saved file.
const TextPair kNotSaved = {"Parameter-Datei konnte nicht gespeichert werden!\n",
                            "Parameter file could not be saved!\n"};

} // namespace

// The file dialog of both operations (and of the comparison's file), starting in the folder of
// the last parameter file; for a save it asks before an existing file is chosen. The chosen
// path replaces ParaFilePath; a cancelled dialog leaves it as it was.
int SelectParaFile(bool forSave) {
    SplitPath(App.ParaFilePath, App.DriveBuf, App.DirBuf, App.FileNameBuf);
    char directory[2 * kPathSize];
    std::snprintf(directory, sizeof directory, "%s%s", App.DriveBuf, App.DirBuf);
    auto *dialog = forSave ? FileSavePopup : FileSelectPopup;
    return dialog(directory, "Parameter.ini", "*.ini", "Parameter", VAL_OK_BUTTON, 0, 0, 1, 1,
                  App.ParaFilePath);
}

namespace {

// An identification value of the file, "" when the key is missing.
bool IdentificationMatches(const char *key, const char *expected) {
    char value[kTextBufferSize];
    if (Ini_GetStringIntoBuffer(App.IniHandle, kSectionGeneral, key, value, sizeof value) <= 0)
        value[0] = 0;
    return std::strcmp(value, expected) == 0;
}

// Asks whether to go on with a file that failed a check; No is reported and ends the load.
bool ProceedAnyway(const TextPair &question) {
    if (ConfirmPopup(Txt(kTitleInfo), Txt(question)) == 1) return true;
    MessagePopup(Txt(kTitleInfo), Txt(kNothingRead));
    return false;
}

} // namespace

void SendParaToFile() {
    if (SelectParaFile(true) < 1) {
        MessagePopup(Txt(kTitleInfo), Txt(kTxtNoFileSelected));
        return;
    }
    if (!ParaValuesChosen()) return;
    GetPanelValues();

    App.IniHandle = Ini_New(0);
    PutParaFileItems(App.IniHandle, App.ParaValues);
    int status =
        App.IniHandle ? Ini_WriteToFile(App.IniHandle, App.ParaFilePath) : INI_ERR_OUT_OF_MEMORY;
    Ini_Dispose(App.IniHandle);
    App.IniHandle = nullptr;

    if (status < 0) {
        // What failed, where and why in the operator's words; the code only on standard error.
        char message[kTextBufferSize];
        std::snprintf(message, sizeof message, "%s%s\n%s", Txt(kNotSaved), App.ParaFilePath,
                      Txt(FileWriteReason(status, App.ParaFilePath)));
        LogFileWriteFailure("Parameter file not saved", App.ParaFilePath, status);
        MessagePopup(Txt(kTitleInfo), message);
    } else {
        ShowParaFileDone(1);
    }
}

void ReadParaFromFile() {
    if (SelectParaFile(false) != VAL_EXISTING_FILE_SELECTED) {
        MessagePopup(Txt(kTitleInfo), Txt(kTxtNoFileSelected));
        return;
    }

    // An unreadable file reads as an empty one: its checks fail and the operator decides.
    App.IniHandle = Ini_New(0);
    Ini_ReadFromFile(App.IniHandle, App.ParaFilePath);

    const bool read =
        (IdentificationMatches(kKeyFileType, kFileType) || ProceedAnyway(kNotParaFile)) &&
        (IdentificationMatches(kKeyScopeVersion, kScopeVersion) || ProceedAnyway(kVersionMismatch));
    if (read) AcquireParaFromIniHandle();

    Ini_Dispose(App.IniHandle);
    App.IniHandle = nullptr;
    SetPanelValues();
    if (read) ShowParaFileDone(0);
}

void AcquireParaFromIniHandle() {
    const unsigned missing = GetParaFileValues(App.IniHandle, App.ParaValues);
    if (!missing) return;
    char message[kTextBufferSize];
    std::snprintf(message, sizeof message, "%s", Txt(kDefaultsHeader));
    for (int i = 0; i < 4; ++i) {
        if (!(missing & (1u << i))) continue;
        std::size_t used = std::strlen(message);
        std::snprintf(message + used, sizeof message - used, "%s\n", kParaNames[i].fileKey);
    }
    MessagePopup(Txt(kTitleInfo), message);
}
