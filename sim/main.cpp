// taviron-sim: the simulated TAVIRON sensor as a program, for running the front end against it
// by hand. Serves TCP and/or a pseudo-terminal, logs every frame, and takes commands on stdin.
#include "sim/com_map.h"
#include "sim/options.h"
#include "sim/sim.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <mutex>
#include <poll.h>
#include <unistd.h>

namespace {
volatile std::sig_atomic_t quitSignal = 0;
void onSignal(int) {
    quitSignal = 1;
}
} // namespace

int main(int argc, char **argv) {
    using namespace tavsim;
    ProgramOptions options;
    std::string error;
    if (!parseOptions({argv + 1, argv + argc}, &options, &error)) {
        std::fprintf(stderr, "taviron-sim: %s\n%s", error.c_str(), usageText());
        return 2;
    }
    if (options.help) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("%s\n", versionText().c_str());
        return 0;
    }

    std::ofstream logFile;
    std::ostream *logOut = &std::cerr;
    if (!options.logFile.empty()) {
        logFile.open(options.logFile, std::ios::app);
        if (!logFile) {
            std::fprintf(stderr, "taviron-sim: cannot open %s\n", options.logFile.c_str());
            return 2;
        }
        logOut = &logFile;
    }
    // Before anything is announced: whoever starts the program may end it as soon as it has
    // read the announcement, and the mapping must still be taken out then.
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::mutex logMutex;
    SimSensor sim(options.sim);
    if (!options.quiet)
        sim.setLogSink([&](const LogEntry &e) {
            std::lock_guard<std::mutex> lock(logMutex);
            *logOut << formatLogEntry(e) << std::endl;
        });
    if (!sim.start(&error)) {
        std::fprintf(stderr, "taviron-sim: %s\n", error.c_str());
        return 1;
    }
    if (options.sim.tcp) std::printf("TCP: %s:%d\n", options.sim.tcpAddress.c_str(), sim.tcpPort());
    if (options.sim.serial)
        std::printf("Serial: %s at %d baud\n", sim.serialPath().c_str(),
                    baudRateOf(sim.baudIndex()));
    std::string written, mapped; // the mapping file and the device, when a COM port was mapped
    if (options.mapCom > 0) {
        mapped = sim.serialPath();
        written = writeComPortMapping(options.mapFile, options.mapCom, sim.serialPath());
        if (written.empty()) {
            std::fprintf(stderr, "taviron-sim: cannot write the mapping file in %s\n",
                         options.mapFile.c_str());
            return 1;
        }
        std::printf("COM%d = \"%s\" in %s\n", options.mapCom, sim.serialPath().c_str(),
                    written.c_str());
    }
    std::fflush(stdout);

    bool quit = false, stdinOpen = true;
    std::string pending;
    while (!quit && !quitSignal) {
        pollfd fd{STDIN_FILENO, POLLIN, 0};
        int ready = stdinOpen ? ::poll(&fd, 1, 200) : (::usleep(200000), 0);
        if (ready <= 0) continue;
        char buf[512];
        ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) { // stdin closed: keep serving until a signal ends the program
            stdinOpen = false;
            continue;
        }
        pending.append(buf, size_t(n));
        size_t nl;
        while ((nl = pending.find('\n')) != std::string::npos && !quit) {
            std::string line = pending.substr(0, nl);
            pending.erase(0, nl + 1);
            std::string answer = runCommand(sim, line, &quit);
            if (!answer.empty()) {
                std::printf("%s\n", answer.c_str());
                std::fflush(stdout);
            }
        }
    }
    sim.stop();
    // The pseudo-terminal is gone: a mapping left behind would send the front end's requests
    // into whatever terminal takes that device next.
    if (!written.empty() && !removeComPortMapping(written, options.mapCom, mapped))
        std::fprintf(stderr, "taviron-sim: cannot take COM%d out of %s\n", options.mapCom,
                     written.c_str());
    return 0;
}
