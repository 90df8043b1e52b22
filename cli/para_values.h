// The four parameters as a person types them for `set`: NAME=VALUE, the name as the parameter
// page or the parameter file writes it (in either language) or as the program's field, the
// value one the page's control can hold.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The parameter a typed name means (0..3), or -1. Letter case, blanks, '_' and '-' do not
// count: "STROKE TOLERANCE", "stroke-tolerance", "StrokeTolerance" and "STANZHUB_TOLERANZ"
// all name parameter 0.
int ParaIndexOfName(std::string_view name);

// A value for parameter `index`: decimal digits within 0 and the page's maximum, or for a ring
// parameter the name of one of its choices in either language (letter case not counted).
bool ParseParaValue(int index, std::string_view text, std::uint16_t *value);

// The values the page allows, for a message: "0 .. 65535", or "0 = DIRECT, 1 = INVERSE".
std::string ParaRangeText(int index, int language);

struct ParaAssignment {
    int index; // 0..3
    std::uint16_t value;
};

enum class AssignmentError { None, Malformed, UnknownName, OutOfRange };

// "NAME=VALUE", divided at the first '='; blanks around name and value do not count.
AssignmentError ParseAssignment(std::string_view text, ParaAssignment *assignment);

// The set that results from writing the assignments over `values` (in the order given).
void ApplyAssignments(const std::vector<ParaAssignment> &assignments, std::uint16_t values[4]);
