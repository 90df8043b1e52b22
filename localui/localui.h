// Panel localisation from a language file: replaces the texts of a panel, its child panels and
// its menu bar with those the file gives. Returns 0 or a negative error code.
#pragma once

int LocalizePanel(int panel, const char *languageFile);
