// The program's command-line options (see options.h): one table gives each option's name,
// its line in the help text and the field it sets.
#include "app/options.h"

#include "base/state.h"
#include "taviron_version.h"

#include <cstring>

namespace {

struct Option {
    const char *name;
    const char *help;
    bool CommandLine::*field;
};

constexpr Option kOptions[] = {
    {kOptionScope, "show the scope page from start-up", &CommandLine::scope},
    {"--help", "show this help and end", &CommandLine::help},
    {"--version", "show the program's version and end", &CommandLine::version},
};

} // namespace

CommandLine ParseCommandLine(int argc, const char *const *argv) {
    CommandLine cl;
    for (int i = 1; i < argc && argv[i]; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        for (const Option &o : kOptions)
            if (std::strcmp(argv[i], o.name) == 0) cl.*o.field = true;
    }
    return cl;
}

std::string CommandLineHelp() {
    std::string text = "Usage: TavironScope [OPTION]...\n"
                       "The PC front end of the TAVIRON stamping-press sensor.\n\n";
    for (const Option &o : kOptions) {
        const std::size_t width = std::strlen(o.name);
        text += std::string("  ") + o.name + std::string(width < 12 ? 12 - width : 1, ' ') +
                o.help + "\n";
    }
    return text;
}

std::string VersionText() {
    return "TAVIRON Scope " TAVIRON_VERSION "\n";
}

int HasOption(int argc, const char *const *argv, const char *option) {
    for (int i = 1; i < argc && argv[i]; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return 0;
        if (std::strcmp(argv[i], option) == 0) return 1;
    }
    return 0;
}

void ApplyStartOptions(int argc, const char *const *argv) {
    App.ScopePageAtStart = i16(ParseCommandLine(argc, argv).scope);
}
