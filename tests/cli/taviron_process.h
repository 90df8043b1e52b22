// taviron run as a user runs it: a program of its own, started from a private folder that holds
// the program (and the COM mapping beside it), with its own environment, its output and
// messages collected while it runs, its exit code when it ends.
#pragma once

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

namespace fs = std::filesystem;

// A private program folder: the built taviron linked in, nothing else. Removed with the object.
class TavironFolder {
  public:
    TavironFolder();
    ~TavironFolder();
    const fs::path &dir() const { return dir_; }
    fs::path program() const { return dir_ / "taviron"; }

  private:
    fs::path dir_;
};

class TavironProcess {
  public:
    ~TavironProcess();
    // Starts `program` with `args` in `folder` as the current folder. The environment is the
    // test's with LC_ALL and LC_MESSAGES taken out and LANG=C.UTF-8 (an English system), then
    // `env` ("NAME=VALUE") applied. Standard input is empty.
    void Start(const fs::path &program, const std::vector<std::string> &args,
               const fs::path &folder, const std::vector<std::string> &env = {});
    // Sends a signal to the program.
    void Signal(int number);
    // Waits for the end (killed after `seconds`): the exit code, or -1 when it had to be killed
    // or ended by a signal.
    int Wait(double seconds = 60);

    // The program's process id while it runs.
    pid_t pid() const { return pid_; }

    std::string out, err; // complete once Wait returned

  private:
    pid_t pid_ = -1;
    int outFd_ = -1, errFd_ = -1;
    std::thread reader_;
};

struct TavironRun {
    int code = -1;
    std::string out, err;
};

// Starts taviron and waits for its end.
TavironRun RunTaviron(const TavironFolder &folder, const std::vector<std::string> &args,
                      const std::vector<std::string> &env = {}, double seconds = 60);
