// The part of the runtime a program without a window uses as well: waiting for events with
// the event loop's care (the serial ports and TCP conversations are served while a wait loop
// processes events), the timer, the busy cursor (shown when there is a window) and the
// program's folders and paths. It runs on a Qt application object of either kind: the window
// program's (InitUserInterface, platform/ui.h) or a core one (InitRuntime).
#pragma once

// ---- Runtime --------------------------------------------------------------------------------
// A program without a window starts the runtime with a core application object (no display
// needed): 1 on success, also when one is there already. CloseRuntime ends what InitRuntime
// started, the serial ports and TCP conversations still open first.
int InitRuntime(int argc, char **argv);
int CloseRuntime();

// ---- Waiting for events -----------------------------------------------------------------------
int ProcessSystemEvents();
// The busy cursor on (1) or off (0); calls nest. Without a window nothing shows.
int SetWaitCursor(int on);
double Timer(); // seconds since start, sub-millisecond resolution

// ---- Paths and files ----------------------------------------------------------------------
enum {
    MAX_PATHNAME_LEN = 260,
    MAX_DRIVENAME_LEN = 3,
    MAX_DIRNAME_LEN = 260,
    MAX_FILENAME_LEN = 260
};
int GetProjectDir(char *directory); // directory of the program, 260 characters
// The folder of the files the program writes for itself (panel settings, COM mapping): the
// program's directory while the user may write there and the program is not an installed
// one; otherwise the user's configuration folder, $XDG_CONFIG_HOME/taviron-scope or else
// ~/.config/taviron-scope, made when missing. 260 characters.
int GetSettingsDir(char *directory);
// A file the program reads and never writes (resource file, logo, language files), given by a
// plain name: looked for in the current directory (when `currentDirectoryFirst`), then beside
// the program, then in the installed data folder (../share/taviron-scope seen from the
// program's folder). `path` (260 characters) receives the first that exists, or the name
// unchanged when none does. Returns 1 when found, 0 otherwise.
int FindProgramFile(const char *fileName, int currentDirectoryFirst, char *path);
// The folders FindProgramFile looks in, in its order, as absolute paths, one a line (no line
// end after the last) into `list` (room for `size` bytes). Returns 0.
int GetProgramFileFolders(int currentDirectoryFirst, char *list, int size);
// The program's directory separator: files sit beside the program in its directory.
constexpr const char *kDirSep = "/";
// Directory, separator and file name joined into `out` (room for `size` bytes), cut to fit.
void JoinPath(char *out, int size, const char *dir, const char *file);
template <int N> void JoinPath(char (&out)[N], const char *dir, const char *file) {
    JoinPath(out, N, dir, file);
}
int SplitPath(const char *path, char *drive, char *directory, char *fileName);
int GetFileInfo(const char *path, long *size); // 1 when the file exists, 0 otherwise
