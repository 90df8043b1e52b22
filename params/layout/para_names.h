// The four sensor parameters by name, for everything that names them outside the parameter
// page: the keys of the parameter file (the English labels of the page), the German labels of
// the page, the field names of ParaValues, the values each control of the page can hold and
// the names of the choices of DIGITAL OUTMODE and CNT STROKE EDGE. Pure data.
#pragma once

#include "base/texts.h"

#include <cstdint>

struct ParaName {
    const char *fileKey;       // "STROKE TOLERANCE": parameter file key and English page label
    const char *pageLabel;     // German page label, "STANZHUB TOLERANZ"
    const char *fieldName;     // "StrokeTolerance", as ParaValues' index is named
    std::uint16_t fileDefault; // the value of a parameter file that lacks the key
    std::uint16_t maximum;     // highest value the page's control holds; the lowest is 0
    TextPair choices[2];       // names of the values 0 and 1 of a ring; {nullptr, nullptr} else
};

// Indexed as ParaValues: StrokeTolerance, BadCntToFail, DigitalOutmode, CntStrokeEdge.
extern const ParaName kParaNames[4];

// The page's label of parameter `index` (0..3) in a language (0 German, 1 English).
const char *ParaLabel(int index, int language);
// 1 when the parameter is chosen from a ring (DIGITAL OUTMODE, CNT STROKE EDGE).
int ParaIsChoice(int index);
