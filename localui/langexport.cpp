// langexport: maintainer tool that loads the program's three panels from the resource file
// beside it and writes all their texts into a language file, by default language_eng.lwl
// (the panels are designed in English). Usage: langexport [OUTPUT.lwl]
#include "app/app.h"
#include "base/state.h"
#include "localui/localui.h"
#include "platform/ui.h"

#include <cstdio>

namespace {

int Run(int argc, char **argv) {
    const char *out = argc > 1 ? argv[1] : "language_eng.lwl";
    if (LoadPanels(1, argv) < 0) {
        std::fprintf(stderr, "langexport: the panels cannot be loaded\n");
        return 1;
    }
    int r = ExportAllObjectsToLangFile(App.MainPanel, out);
    DiscardPanel(App.MainPanel);
    if (r < 0) {
        std::fprintf(stderr, "langexport: writing %s failed (%d)\n", out, r);
        return 1;
    }
    std::printf("langexport: wrote %s\n", out);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    int code = Run(argc, argv);
    CloseUserInterface(); // the runtime ends before the process does
    return code;
}
