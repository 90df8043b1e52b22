// WinMain: loads the panels (or says why it cannot), runs the start-up sequence and the event
// loop, then shuts down.
#include "app/app.h"
#include "base/state.h"
#include "base/system_language.h"
#include "base/texts.h"
#include "platform/core/rs232.h"
#include "platform/core/tcp.h"
#include "platform/toolbox.h"
#include "platform/ui.h"
#include "taviron_version.h"
#include "window/callbacks.h"

#include "Tavironv10.h"

#include <cstdio>
#include <string>

namespace {

constexpr const char *kResourceFile = "Tavironv10.uir";

// Where the two child panels sit inside the main panel.
constexpr int kChildTop = 63;
constexpr int kChildLeft = 385;

std::string Format(const char *format, const char *a, const char *b = "") {
    char text[8 * MAX_PATHNAME_LEN];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

const TextPair kTitleError = {"Fehler!", "Error!"};
const TextPair kTxtPanelFileMissing = {
    "Die Oberflaechendatei %s wurde nicht gefunden. Gesucht in:\n%s\nDas Programm wird beendet.",
    "The panel file %s was not found. Looked in:\n%s\nThe program ends."};
const TextPair kTxtPanelFileUnusable = {
    "Die Oberflaechendatei %s kann nicht geladen werden.\nDas Programm wird beendet.",
    "The panel file %s cannot be loaded.\nThe program ends."};

// Says why the program cannot start without its panels: which file, and where it was looked
// for (or that the one found is unusable), on standard error and, where someone can answer
// it, in a popup. No settings are read yet: the system's language is used.
void TellPanelFileUnusable() {
    App.LanguageIndex = SystemLanguage();
    char found[MAX_PATHNAME_LEN];
    std::string text;
    if (FindProgramFile(kResourceFile, 0, found)) {
        text = Format(Txt(kTxtPanelFileUnusable), found);
    } else {
        char folders[4 * MAX_PATHNAME_LEN];
        GetProgramFileFolders(0, folders, sizeof folders);
        std::string list;
        for (std::string rest = folders; !rest.empty();) {
            const std::size_t cut = rest.find('\n');
            list += "  " + rest.substr(0, cut) + "\n";
            rest = cut == std::string::npos ? "" : rest.substr(cut + 1);
        }
        if (!list.empty()) list.pop_back();
        text = Format(Txt(kTxtPanelFileMissing), kResourceFile, list.c_str());
    }
    std::fprintf(stderr, "TavironScope: %s\n", text.c_str());
    if (PopupsCanBeAnswered()) MessagePopup(Txt(kTitleError), text.c_str());
}

} // namespace

int LoadPanels(int argc, char **argv) {
    if (!InitUserInterface(argc, argv)) return -1;
    RegisterAllCallbacks();
    // Without its panels the program cannot start: it says why and ends (the process ends
    // right after, so nothing is released here).
    if ((App.MainPanel = LoadPanel(0, kResourceFile, MAINP)) < 0 ||
        (App.DataPanel = LoadPanel(App.MainPanel, kResourceFile, DATAP)) < 0 ||
        (App.ScopePanel = LoadPanel(App.MainPanel, kResourceFile, SCOPEP)) < 0 ||
        (App.ComparePanel = LoadPanel(App.MainPanel, kResourceFile, COMPAREP)) < 0) {
        TellPanelFileUnusable();
        return -1;
    }
    SetPanelAttribute(App.MainPanel, ATTR_TITLE, kProgramTitle);
    SetPanelPos(App.DataPanel, kChildTop, kChildLeft);
    SetPanelPos(App.ScopePanel, kChildTop, kChildLeft);
    SetPanelPos(App.ComparePanel, kChildTop, kChildLeft);
    return 0;
}

void ShutDown() {
    if (App.TcpConnected) DisconnectFromTCPServer(App.TcpHandle);
    CloseCom(App.ComPort); // whatever the protocol, and harmless when it never opened
    Combo_DiscardComboBox(App.ConnectTab, CONNECT_SERVER);
    DiscardPanel(App.MainPanel); // the child panels go with it
}

int WinMain(int argc, char **argv) {
    if (LoadPanels(argc, argv) < 0) return -1;
    InitAll();
    RunUserInterface();
    ShutDown();
    return 0;
}
