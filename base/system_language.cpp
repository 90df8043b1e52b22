// The system's language (see system_language.h).
#include "base/system_language.h"

#include <cstdlib>
#include <string_view>

namespace {

bool IsSet(const char *value) {
    return value && *value;
}

bool IsGerman(std::string_view name) {
    if (name.substr(0, 2) != "de") return false;
    return name.size() == 2 || name[2] == '_' || name[2] == '.' || name[2] == '@';
}

bool IsCLocale(std::string_view name) {
    return name == "C" || name == "POSIX" || name.substr(0, 2) == "C.";
}

} // namespace

int LanguageOfEnvironment(const char *lcAll, const char *lcMessages, const char *lang,
                          const char *language) {
    const char *locale = IsSet(lcAll) ? lcAll : IsSet(lcMessages) ? lcMessages : lang;
    if (!IsSet(locale) || IsCLocale(locale)) return 1;
    if (IsSet(language)) {
        std::string_view list(language);
        return IsGerman(list.substr(0, list.find(':'))) ? 0 : 1;
    }
    return IsGerman(locale) ? 0 : 1;
}

int SystemLanguage() {
    return LanguageOfEnvironment(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                 std::getenv("LANG"), std::getenv("LANGUAGE"));
}
