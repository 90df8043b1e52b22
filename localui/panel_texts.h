// The panel side of localisation, shared by applying and exporting: which text class each of
// our control kinds has, and the description of a loaded panel that the file format works on.
#pragma once

#include "localui/langfile.h"

#include <string>
#include <vector>

int TextClassOfStyle(int ctrlStyle);

// Describes `panel`: its constant name and, in the panel's control order, every control's
// constant name, class and item counts. ids[i] is the control id of controls[i]. Returns 0 or
// the runtime's error.
int CollectPanel(int panel, LocPanel *description, std::vector<int> *ids);

// Every text a control shows now, slot by slot (empty texts included).
std::vector<LocText> CurrentTexts(int panel, int control, const LocCtrl &ctrl);
