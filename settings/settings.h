// The panel settings file beside the program, and the language of the user interface.
#pragma once

// Reads the panel settings file (language, identification, window, directories, server list)
// and applies it; a missing or unreadable file leaves the defaults.
void LoadPanelSettings();
// The connection page's protocol, port, baud rate, server and port number from the file.
void GetConnectionSettingsFromFile();
// Writes the current settings to the panel settings file (replaced whole, never half written).
void StorePanelSettings();
// Relabels the panels from the language file of LanguageIndex and writes the program's own
// texts in that language.
void InitLanguage();
