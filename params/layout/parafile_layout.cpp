// The parameter file's content (see parafile_layout.h).
#include "params/layout/parafile_layout.h"

#include "params/layout/para_names.h"

#include <cstring>

namespace {

constexpr const char *kSectionGeneral = "GENERAL INFO";
constexpr const char *kSectionParameter = "PARAMETER";
constexpr const char *kKeyFileType = "FILE TYPE:";
constexpr const char *kKeyScopeVersion = "SCOPE VERSION:";

int Matches(IniText document, const char *key, const char *expected) {
    char value[1024];
    if (Ini_GetStringIntoBuffer(document, kSectionGeneral, key, value, sizeof value) <= 0)
        value[0] = 0;
    return std::strcmp(value, expected) == 0;
}

} // namespace

void PutParaFileItems(IniText document, const std::uint16_t *paraValues) {
    Ini_PutString(document, kSectionGeneral, kKeyFileType, kParaFileType);
    Ini_PutString(document, kSectionGeneral, kKeyScopeVersion, kParaFileScopeVersion);
    for (int i = 0; i < 4; ++i)
        Ini_PutInt(document, kSectionParameter, kParaNames[i].fileKey, paraValues[i]);
}

int ParaFileTypeMatches(IniText document) {
    return Matches(document, kKeyFileType, kParaFileType);
}

int ParaFileVersionMatches(IniText document) {
    return Matches(document, kKeyScopeVersion, kParaFileScopeVersion);
}

unsigned GetParaFileValues(IniText document, std::uint16_t *paraValues, int *raw) {
    unsigned missing = 0;
    for (int i = 0; i < 4; ++i) {
        int value = 0;
        if (Ini_GetInt(document, kSectionParameter, kParaNames[i].fileKey, &value) == 1) {
            paraValues[i] = static_cast<std::uint16_t>(value); // the low 16 bits
        } else {
            value = paraValues[i] = kParaNames[i].fileDefault;
            missing |= 1u << i;
        }
        if (raw) raw[i] = value;
    }
    return missing;
}
