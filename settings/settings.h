// The panel settings file beside the program, and the language of the user interface.
#pragma once

#include <string>

// Reads the panel settings file (language, identification, window, directories, server list)
// and applies it; a missing or unreadable file leaves the defaults, the language then being the
// system's (SystemLanguage).
void LoadPanelSettings();
// The connection page's protocol, port, baud rate, server and port number from the file.
void GetConnectionSettingsFromFile();
// Writes the current settings to the panel settings file (replaced whole, never half written).
// Returns 0 when the file was written; otherwise the INI library's error code, or
// kSettingsNotReplaced when an unusable file there could not be kept aside first.
int StorePanelSettings();
constexpr int kSettingsNotReplaced = -1;
// What a failed store is said with: "Settings not saved: <path>: <reason>" (the code goes only
// to standard error and the status line's tool tip).
std::string SettingsNotSavedText(int code);
// The failure on the status line (what and why; the path and code in its tool tip) and, with the
// path, in the connection page's status box (after ACCEPT).
void ShowSettingsNotSaved(int code);
// The failure in a popup the operator must confirm (on closing, before the program ends).
void TellSettingsNotSaved(int code);
// Every way the program ends (its window closed, Close in a connection failure popup, Ctrl-C
// or a TERM signal) stores the panel settings first; a store that fails is said in a popup.
void StoreSettingsBeforeEnd();
// Relabels the panels from the language file of LanguageIndex and writes the program's own
// texts in that language.
void InitLanguage();
