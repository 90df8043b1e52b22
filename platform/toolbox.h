// General user-interface toolbox: the editable drop-down list that can be laid onto a string
// control (the server list of the connection page) and the panel screenshot.
#pragma once

// Combo box on a string control: the string control keeps its text and callback, and gains a
// drop-down list of earlier entries. Choosing an entry puts its text into the control and
// commits it.
int Combo_NewComboBox(int panel, int stringControl);
int Combo_DiscardComboBox(int panel, int stringControl);
int Combo_InsertComboItem(int panel, int stringControl, int index, const char *text);
// Deletes `count` items from `index`; count -1 deletes to the end of the list.
int Combo_DeleteComboItem(int panel, int stringControl, int index, int count);
int Combo_GetIndexFromValue(int panel, int stringControl, int *index, const char *text);
int Combo_GetComboText(int panel, int stringControl, int index, char *buffer, int size);
enum { ATTR_COMBO_NUM_ITEMS = 1000, ATTR_COMBO_VISIBLE, ATTR_COMBO_LIST_BGCOLOR };
int Combo_SetComboAttribute(int panel, int stringControl, int attribute, int value);
int Combo_GetComboAttribute(int panel, int stringControl, int attribute, int *value);

// Saves the panel's current look, at its displayed size, as a bitmap file. Returns 0 or a
// negative code.
int SavePanelDisplayToFile(int panel, const char *path);
// The same look as a PNG file, written whole through a temporary file that then replaces the
// target: an old file stays as it was when the new one cannot be written. 0 or a negative code
// as WriteFileSafely gives them.
int SavePanelDisplayToPngFile(int panel, const char *path);

// Writes `size` bytes as the whole new content of the file, through a temporary file in the
// same folder that then replaces the target (an old file stays when writing fails). Returns 0
// or the INI library's file codes: INI_ERR_DISK_FULL when the disk is full,
// INI_ERR_CREATE_TEMP when the file could not be made (the folder is missing or closed),
// INI_ERR_WRITE for another write error.
int WriteFileSafely(const char *path, const char *data, long size);
