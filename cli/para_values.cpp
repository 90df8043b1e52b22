// Parameters as typed for `set` (see para_values.h).
#include "cli/para_values.h"

#include "cli/language.h"
#include "params/layout/para_names.h"

#include <cctype>

namespace {

// Upper case, without blanks, '_' and '-'.
std::string Folded(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (c == ' ' || c == '\t' || c == '_' || c == '-') continue;
        out += char(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

int ParaIndexOfName(std::string_view name) {
    const std::string folded = Folded(name);
    if (folded.empty()) return -1;
    for (int i = 0; i < 4; ++i) {
        const ParaName &p = kParaNames[i];
        if (folded == Folded(p.fileKey) || folded == Folded(p.pageLabel) ||
            folded == Folded(p.fieldName))
            return i;
    }
    return -1;
}

bool ParseParaValue(int index, std::string_view text, std::uint16_t *value) {
    if (index < 0 || index > 3) return false;
    text = Trimmed(text);
    if (text.empty()) return false;
    if (ParaIsChoice(index)) {
        const std::string folded = Folded(text);
        for (int v = 0; v < 2; ++v) {
            const TextPair &choice = kParaNames[index].choices[v];
            if (folded == Folded(choice.ger) || folded == Folded(choice.eng)) {
                *value = std::uint16_t(v);
                return true;
            }
        }
    }
    long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > kParaNames[index].maximum) return false;
    }
    *value = std::uint16_t(v);
    return true;
}

std::string ParaRangeText(int index, int language) {
    if (index < 0 || index > 3) return "";
    const ParaName &p = kParaNames[index];
    if (!ParaIsChoice(index)) return "0 .. " + std::to_string(p.maximum);
    return "0 = " + std::string(Say(p.choices[0], language)) +
           ", 1 = " + Say(p.choices[1], language);
}

AssignmentError ParseAssignment(std::string_view text, ParaAssignment *assignment) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return AssignmentError::Malformed;
    const std::string_view name = Trimmed(text.substr(0, equals));
    const std::string_view value = Trimmed(text.substr(equals + 1));
    if (name.empty() || value.empty()) return AssignmentError::Malformed;
    const int index = ParaIndexOfName(name);
    if (index < 0) return AssignmentError::UnknownName;
    std::uint16_t parsed = 0;
    if (!ParseParaValue(index, value, &parsed)) return AssignmentError::OutOfRange;
    *assignment = {index, parsed};
    return AssignmentError::None;
}

void ApplyAssignments(const std::vector<ParaAssignment> &assignments, std::uint16_t values[4]) {
    for (const ParaAssignment &a : assignments)
        if (a.index >= 0 && a.index <= 3) values[a.index] = a.value;
}
