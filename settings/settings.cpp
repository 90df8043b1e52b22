// The panel settings file beside the program: what the operator set up (identification,
// language, window, last files, servers, connection) kept from one run to the next. Read at
// start-up in two steps, written whole on closing and on ACCEPT.
#include "settings/settings.h"

#include "Tavironv10.h"
#include "base/state.h"
#include "base/system_language.h"
#include "base/texts.h"
#include "inifile/inifile.h"
#include "platform/toolbox.h"
#include "platform/ui.h"
#include "settings/language.h"
#include "settings/window_place.h"
#include "taviron_version.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

constexpr const char *kFileType = "Panel Settings";

constexpr const char *kGeneral = "GENERAL INFO";
constexpr const char *kPosition = "PANEL POSITION";
constexpr const char *kDirectories = "DIRECTORIES";
constexpr const char *kServers = "IP ADDRESSES";
constexpr const char *kComm = "COMMUNICATION SETTINGS";

constexpr int kMaxServers = 10;
constexpr int kTextBufSize = 1024;

// Window defaults when the file gives a window state but not every edge.
constexpr int kDefaultLeft = 10;
constexpr int kDefaultTop = 40;
constexpr int kDefaultWidth = 1014;
constexpr int kDefaultHeight = 690;

void CopyText(char *out, std::size_t size, const char *text) {
    std::snprintf(out, size, "%s", text);
}

// Reads the settings file into a fresh document in IniHandle; false when there is no file or
// it is not a panel settings file (the document is then already disposed of).
bool OpenSettingsFile() {
    long size = 0;
    if (GetFileInfo(App.SettingsFilePath, &size) <= 0) return false;
    App.IniHandle = Ini_New(0);
    if (!App.IniHandle) return false;
    Ini_ReadFromFile(App.IniHandle, App.SettingsFilePath);
    char fileType[kTextBufSize];
    Ini_GetStringIntoBuffer(App.IniHandle, kGeneral, "FILE TYPE:", fileType, sizeof fileType);
    if (std::strcmp(fileType, kFileType) == 0) return true;
    Ini_Dispose(App.IniHandle);
    App.IniHandle = nullptr;
    return false;
}

void CloseSettingsFile() {
    Ini_Dispose(App.IniHandle);
    App.IniHandle = nullptr;
}

const TextPair kTxtKeptUnusable = {
    "Die Einstellungsdatei %s war nicht verwendbar und wurde als %s aufbewahrt.\n",
    "The settings file %s could not be used and was kept as %s.\n"};
const TextPair kTxtNotKept = {
    "Die nicht verwendbare Einstellungsdatei %s konnte nicht als %s aufbewahrt werden; sie "
    "bleibt unveraendert.\n",
    "The unusable settings file %s could not be kept as %s; it stays as it is.\n"};

void Tell(const TextPair &text, const std::string &file, const std::string &backup) {
    char message[2 * sizeof App.SettingsFilePath + 200];
    std::snprintf(message, sizeof message, Txt(text), file.c_str(), backup.c_str());
    std::fputs(message, stderr);
    SetCtrlVal(App.ConnectTab, CONNECT_STATUS, message);
}

// A settings file that is there but could not be used (another file type, an editor's
// garbage) is the operator's and is not silently replaced: it is copied to "<name>.bak"
// first. Returns false when that copy failed, so the file must not be overwritten.
bool KeepUnusableSettingsFile() {
    long size = 0;
    if (GetFileInfo(App.SettingsFilePath, &size) <= 0 || size == 0) return true;
    if (OpenSettingsFile()) {
        CloseSettingsFile();
        return true;
    }
    const std::string file = App.SettingsFilePath;
    const std::string backup = file + ".bak";
    std::error_code error;
    std::filesystem::copy_file(file, backup, std::filesystem::copy_options::overwrite_existing,
                               error);
    Tell(error ? kTxtNotKept : kTxtKeptUnusable, file, backup);
    return !error;
}

int GetIntOr(const char *section, const char *tag, int fallback) {
    int value = 0;
    return Ini_GetInt(App.IniHandle, section, tag, &value) == 1 ? value : fallback;
}

// A get that finds the value replaces the field's 16 bits; anything else keeps the default.
void GetU16(const char *tag, u16 *field) {
    int value = 0;
    if (Ini_GetInt(App.IniHandle, kComm, tag, &value) == 1) *field = static_cast<u16>(value);
}

// Puts the main window at `stored` where the operator can reach and use it there; otherwise
// at the default size, centred (so a sane place is what the next store writes back).
// Returns false when the window is left as it is.
bool PlaceMainWindow(WindowRect stored, bool onlyIfChanged = false) {
    ScreenArea areas[8];
    const int count = GetScreenAreas(areas, 8);
    WindowRect screens[8];
    for (int i = 0; i < count && i < 8; ++i)
        screens[i] = {areas[i].left, areas[i].top, areas[i].width, areas[i].height};
    const WindowRect r =
        PlaceWindow(stored, screens, count < 8 ? count : 8, kDefaultWidth, kDefaultHeight);
    if (onlyIfChanged && r.left == stored.left && r.top == stored.top && r.width == stored.width &&
        r.height == stored.height)
        return false;
    SetPanelPos(App.MainPanel, r.top, r.left);
    SetPanelSize(App.MainPanel, r.height, r.width);
    return true;
}

// The window as the panels were designed (where the desktop puts it), unless it does not fit
// the screens, as on a small screen or with a large scale factor.
void PlaceDesignedWindow() {
    WindowRect designed{};
    GetPanelAttribute(App.MainPanel, ATTR_LEFT, &designed.left);
    GetPanelAttribute(App.MainPanel, ATTR_TOP, &designed.top);
    GetPanelAttribute(App.MainPanel, ATTR_WIDTH, &designed.width);
    GetPanelAttribute(App.MainPanel, ATTR_HEIGHT, &designed.height);
    PlaceMainWindow(designed, true);
}

void LoadWindow() {
    int zoom = 0;
    if (Ini_GetInt(App.IniHandle, kPosition, "MAINPANEL FULLSCREEN", &zoom) != 1) {
        PlaceDesignedWindow();
        return;
    }
    PlaceMainWindow({GetIntOr(kPosition, "MAINPANEL LEFT", kDefaultLeft),
                     GetIntOr(kPosition, "MAINPANEL TOP", kDefaultTop),
                     GetIntOr(kPosition, "MAINPANEL WIDTH", kDefaultWidth),
                     GetIntOr(kPosition, "MAINPANEL HEIGHT", kDefaultHeight)});
    // A maximised window opens maximised; the place stored with it is where it goes back to
    // when the operator restores it (a maximised window stores the place it had before).
    if (zoom == VAL_MAXIMIZE) SetPanelAttribute(App.MainPanel, ATTR_WINDOW_ZOOM, VAL_MAXIMIZE);
}

void LoadServerList() {
    int count = 0;
    if (Ini_GetInt(App.IniHandle, kServers, "LIST ITEMS", &count) != 1) return;
    if (count > kMaxServers) count = kMaxServers;
    int position = 0;
    for (int i = 1; i <= count; ++i) {
        char tag[32], server[kTextBufSize];
        std::snprintf(tag, sizeof tag, "%s%d", "IP ADDR ", i);
        // A missing entry is skipped and leaves no gap.
        if (Ini_GetStringIntoBuffer(App.IniHandle, kServers, tag, server, sizeof server) == 1)
            Combo_InsertComboItem(App.ConnectTab, CONNECT_SERVER, position++, server);
    }
}

void PutServerList() {
    int count = 0;
    Combo_GetComboAttribute(App.ConnectTab, CONNECT_SERVER, ATTR_COMBO_NUM_ITEMS, &count);
    if (count > kMaxServers) count = kMaxServers;
    Ini_PutInt(App.IniHandle, kServers, "LIST ITEMS", count);
    for (int i = 1; i <= count; ++i) {
        char tag[32], server[kTextBufSize];
        std::snprintf(tag, sizeof tag, "%s%d", "IP ADDR ", i);
        Combo_GetComboText(App.ConnectTab, CONNECT_SERVER, i - 1, server, sizeof server);
        Ini_PutString(App.IniHandle, kServers, tag, server);
    }
}

} // namespace

void LoadPanelSettings() {
    JoinPath(App.ParaFilePath, App.ProjectDir, "Parameter.ini");
    JoinPath(App.HwInfoFilePath, App.ProjectDir, "HardwareInitialFile.ini");
    App.PanelId[0] = 0;
    App.LanguageIndex = 1;

    if (OpenSettingsFile()) {
        Ini_GetStringIntoBuffer(App.IniHandle, kGeneral, "PANEL ID:", App.PanelId,
                                sizeof App.PanelId);
        // Only 0 and 1 have texts; any other stored value is taken as English.
        int language = GetIntOr(kGeneral, "LANGUAGE", 1);
        App.LanguageIndex = language == 0 ? 0 : 1;
        LoadWindow();
        if (Ini_GetStringIntoBuffer(App.IniHandle, kDirectories, "PARAMETER FILE", App.ParaFilePath,
                                    sizeof App.ParaFilePath) != 1)
            CopyText(App.ParaFilePath, sizeof App.ParaFilePath, App.ProjectDir);
        if (Ini_GetStringIntoBuffer(App.IniHandle, kDirectories, "HARDWARE INI FILE",
                                    App.HwInfoFilePath, sizeof App.HwInfoFilePath) != 1)
            CopyText(App.HwInfoFilePath, sizeof App.HwInfoFilePath, App.ProjectDir);
        LoadServerList();
        CloseSettingsFile();
    } else {
        // A first start speaks the system's language; from the first store on, the
        // operator's choice in the file wins.
        App.LanguageIndex = SystemLanguage();
        PlaceDesignedWindow();
    }

    SetCtrlVal(App.ConnectTab, CONNECT_LANGUAGE, App.LanguageIndex);
    WriteLanguageTexts();
    // The panels are designed in English: a language file is read only for German.
    if (App.LanguageIndex != 1) InitLanguage();
    SetCtrlVal(App.ConnectTab, CONNECT_ID, App.PanelId);
}

void GetConnectionSettingsFromFile() {
    App.ComProtocol = 0;
    App.ComPort = 1;
    App.BaudrateIndex = 4;
    std::memset(App.IpAddress, 0, sizeof App.IpAddress);
    CopyText(App.PortNumberText, sizeof App.PortNumberText, "5000");

    if (OpenSettingsFile()) {
        GetU16("COMPROTOCOL", &App.ComProtocol);
        GetU16("COMPORT", &App.ComPort);
        GetU16("BAUDRATE", &App.BaudrateIndex);
        Ini_GetStringIntoBuffer(App.IniHandle, kComm, "IP ADRESS", App.IpAddress,
                                sizeof App.IpAddress);
        if (Ini_GetStringIntoBuffer(App.IniHandle, kComm, "PORT NUMBER", App.PortNumberText,
                                    sizeof App.PortNumberText) != 1)
            CopyText(App.PortNumberText, sizeof App.PortNumberText, "5000");
        CloseSettingsFile();
    }

    SetCtrlVal(App.ConnectTab, CONNECT_PROTOCOL, static_cast<int>(App.ComProtocol));
    SetCtrlVal(App.ConnectTab, CONNECT_COM_PORT, static_cast<int>(App.ComPort));
    SetCtrlVal(App.ConnectTab, CONNECT_BAUDRATE, static_cast<int>(App.BaudrateIndex));
    SetCtrlVal(App.ConnectTab, CONNECT_SERVER, App.IpAddress);
    SetCtrlVal(App.ConnectTab, CONNECT_PORT_NUMBER, App.PortNumberText);
}

int StorePanelSettings() {
    // The identification as the control shows it, committed or not.
    char panelId[sizeof App.PanelId];
    GetCtrlVal(App.ConnectTab, CONNECT_ID, panelId);
    int language = 1;
    GetCtrlVal(App.ConnectTab, CONNECT_LANGUAGE, &language);

    if (!KeepUnusableSettingsFile()) return kSettingsNotReplaced;
    App.IniHandle = Ini_New(0);
    if (!App.IniHandle) return INI_ERR_OUT_OF_MEMORY;
    Ini_PutString(App.IniHandle, kGeneral, "FILE TYPE:", kFileType);
    Ini_PutString(App.IniHandle, kGeneral, "SCOPE VERSION:", kProgramTitle);
    Ini_PutString(App.IniHandle, kGeneral, "PANEL ID:", panelId);
    Ini_PutInt(App.IniHandle, kGeneral, "LANGUAGE", language);

    int zoom = 0, left = 0, top = 0, width = 0, height = 0;
    GetPanelAttribute(App.MainPanel, ATTR_WINDOW_ZOOM, &zoom);
    GetPanelAttribute(App.MainPanel, ATTR_LEFT, &left);
    GetPanelAttribute(App.MainPanel, ATTR_TOP, &top);
    GetPanelAttribute(App.MainPanel, ATTR_WIDTH, &width);
    GetPanelAttribute(App.MainPanel, ATTR_HEIGHT, &height);
    Ini_PutInt(App.IniHandle, kPosition, "MAINPANEL FULLSCREEN", zoom);
    Ini_PutInt(App.IniHandle, kPosition, "MAINPANEL LEFT", left);
    Ini_PutInt(App.IniHandle, kPosition, "MAINPANEL TOP", top);
    Ini_PutInt(App.IniHandle, kPosition, "MAINPANEL WIDTH", width);
    Ini_PutInt(App.IniHandle, kPosition, "MAINPANEL HEIGHT", height);

    Ini_PutString(App.IniHandle, kDirectories, "PARAMETER FILE", App.ParaFilePath);
    Ini_PutString(App.IniHandle, kDirectories, "HARDWARE INI FILE", App.HwInfoFilePath);

    PutServerList();

    // The state follows the controls, so what is stored is what the link will use.
    GetCtrlVal(App.ConnectTab, CONNECT_PROTOCOL, &App.ComProtocol);
    GetCtrlVal(App.ConnectTab, CONNECT_COM_PORT, &App.ComPort);
    GetCtrlVal(App.ConnectTab, CONNECT_BAUDRATE, &App.BaudrateIndex);
    GetCtrlVal(App.ConnectTab, CONNECT_SERVER, App.IpAddress);
    GetCtrlVal(App.ConnectTab, CONNECT_PORT_NUMBER, App.PortNumberText);
    Ini_PutInt(App.IniHandle, kComm, "COMPROTOCOL", App.ComProtocol);
    Ini_PutInt(App.IniHandle, kComm, "COMPORT", App.ComPort);
    Ini_PutInt(App.IniHandle, kComm, "BAUDRATE", App.BaudrateIndex);
    Ini_PutString(App.IniHandle, kComm, "IP ADRESS", App.IpAddress);
    Ini_PutString(App.IniHandle, kComm, "PORT NUMBER", App.PortNumberText);

    // Written through a temporary file: an existing file is only replaced by a complete one.
    const int status = Ini_WriteToFile(App.IniHandle, App.SettingsFilePath);
    CloseSettingsFile();
    return status < 0 ? status : 0;
}
