// The panel settings file beside the program, and the language of the user interface.
#pragma once

void LoadPanelSettings();
void GetConnectionSettingsFromFile();
void StorePanelSettings();
void InitLanguage();
