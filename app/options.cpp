// The program's command-line options (see options.h).
#include "app/options.h"

#include "app/state.h"

#include <cstring>

int HasOption(int argc, const char *const *argv, const char *option) {
    for (int i = 1; i < argc && argv[i]; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return 0;
        if (std::strcmp(argv[i], option) == 0) return 1;
    }
    return 0;
}

void ApplyStartOptions(int argc, const char *const *argv) {
    App.ScopePageAtStart = i16(HasOption(argc, argv, kOptionScope));
}
