// Saying that the panel settings file could not be written: which file and why, on the status
// displays after ACCEPT and in a popup before the program ends, so that a setting the operator
// made is never lost without a word.
#include "settings/settings.h"

#include "Tavironv10.h"
#include "base/file_reason.h"
#include "base/state.h"
#include "base/texts.h"
#include "platform/ui.h"

#include <cstdio>
#include <string>

namespace {

const TextPair kTxtNotSaved = {"Einstellungen nicht gespeichert", "Settings not saved"};
const TextPair kTxtNotReplaced = {
    "eine nicht verwendbare Datei liegt dort und konnte nicht aufbewahrt werden",
    "an unusable file is there and could not be kept aside"};
const TextPair kTitleWarning = {"Achtung!", "Warning!"};

// The reason in the operator's words. The settings folder is one the program makes when it
// is missing.
const char *Reason(int code) {
    if (code == kSettingsNotReplaced) return Txt(kTxtNotReplaced);
    return Txt(FileWriteReason(code, App.SettingsFilePath, true));
}

// The text with its code, for standard error and the status line's tool tip: the code tells
// whoever looks into it more than the operator needs.
std::string WithCode(const std::string &text, int code) {
    return text + " (" + std::to_string(code) + ")";
}

// The text, also on standard error (with its code) for whoever looks at the program's log.
std::string SaidOnStderr(int code) {
    const std::string text = SettingsNotSavedText(code);
    std::fprintf(stderr, "%s\n", WithCode(text, code).c_str());
    return text;
}

} // namespace

std::string SettingsNotSavedText(int code) {
    return std::string(Txt(kTxtNotSaved)) + ": " + App.SettingsFilePath + ": " + Reason(code);
}

// The status line is one short field: it says what and why, its tool tip and the connection
// page's status box add the file's path.

void ShowSettingsNotSaved(int code) {
    const std::string text = SaidOnStderr(code);
    const std::string brief = std::string(Txt(kTxtNotSaved)) + ": " + Reason(code);
    SetCtrlVal(App.DataPanel, DATAP_STATUS, brief.c_str());
    SetCtrlAttribute(App.DataPanel, DATAP_STATUS, ATTR_TOOLTIP_TEXT, WithCode(text, code).c_str());
    SetCtrlVal(App.ConnectTab, CONNECT_STATUS, (text + "\n").c_str());
}

void TellSettingsNotSaved(int code) {
    MessagePopup(Txt(kTitleWarning), SaidOnStderr(code).c_str());
}

void StoreSettingsBeforeEnd() {
    if (const int status = StorePanelSettings(); status != 0) TellSettingsNotSaved(status);
}
