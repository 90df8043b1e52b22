// The four sensor parameters by name (see para_names.h). The labels and ranges are those of
// the parameter page in the panels and language files; a test holds them together.
#include "params/layout/para_names.h"

const ParaName kParaNames[4] = {
    {"STROKE TOLERANCE", "STANZHUB TOLERANZ", "StrokeTolerance", 50, 65535, {}},
    {"BAD CNT TO FAIL", "FEHLER BIS SCHALTEN", "BadCntToFail", 25, 65535, {}},
    {"DIGITAL OUTMODE",
     "DIGITAL OUTMODE",
     "DigitalOutmode",
     0,
     1,
     {{"DIREKT", "DIRECT"}, {"INVERS", "INVERSE"}}},
    {"CNT STROKE EDGE",
     "STANZHUB KANTE",
     "CntStrokeEdge",
     0,
     1,
     {{"STEIGEND", "RISING"}, {"FALLEND", "FALLING"}}},
};

const char *ParaLabel(int index, int language) {
    if (index < 0 || index > 3) return "";
    return language == 0 ? kParaNames[index].pageLabel : kParaNames[index].fileKey;
}

int ParaIsChoice(int index) {
    return index >= 0 && index <= 3 && kParaNames[index].choices[0].eng != nullptr;
}
