// The program taviron-sim as the run command starts it: its announcements, the COM port
// mapping file, the log, commands on standard input and its exit.
#include "raw_client.h"
#include "sim/com_map.h"
#include "taviron_version.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace simtest;
namespace fs = std::filesystem;

namespace {

class Program {
  public:
    explicit Program(std::vector<std::string> args) {
        int in[2], out[2];
        EXPECT_EQ(pipe(in), 0);
        EXPECT_EQ(pipe(out), 0);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            ::close(in[1]);
            ::close(out[0]);
            std::vector<char *> argv;
            static std::string program = TAVIRON_SIM_PROGRAM;
            argv.push_back(program.data());
            for (std::string &a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        stdin_ = in[1];
        stdout_ = out[0];
    }
    ~Program() {
        if (pid_ > 0 && exitCode(0) == -1) {
            kill(pid_, SIGTERM);
            exitCode(2000);
        }
        ::close(stdin_);
        ::close(stdout_);
    }
    // The next line of standard output, or "" after `ms` without one.
    std::string line(int ms = 3000) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            size_t nl = buffer_.find('\n');
            if (nl != std::string::npos) {
                std::string l = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                return l;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            end - std::chrono::steady_clock::now())
                            .count();
            pollfd p{stdout_, POLLIN, 0};
            if (left <= 0 || ::poll(&p, 1, int(left)) <= 0) return "";
            char buf[256];
            ssize_t n = ::read(stdout_, buf, sizeof buf);
            if (n <= 0) return "";
            buffer_.append(buf, size_t(n));
        }
    }
    void command(const std::string &text) {
        std::string l = text + "\n";
        EXPECT_EQ(::write(stdin_, l.data(), l.size()), ssize_t(l.size()));
    }
    void signal(int number) { kill(pid_, number); }
    // Exit code once the program has ended within `ms`; -1 while it runs.
    int exitCode(int ms) {
        for (int waited = 0;; waited += 10) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
            }
            if (waited >= ms) return -1;
            usleep(10000);
        }
    }

  private:
    pid_t pid_ = -1;
    int stdin_ = -1, stdout_ = -1;
    std::string buffer_;
};

std::string readFile(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST(SimProgram, ServesMapsLogsTakesCommandsAndQuits) {
    fs::path dir = fs::temp_directory_path() / ("tav-sim-program-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    Program sim({"--tcp", "127.0.0.1:0", "--map-com", "7", "--map-file", dir.string(), "--stepped",
                 "--log", (dir / "sim.log").string()});
    std::string tcpLine = sim.line(), serialLine = sim.line(), mapLine = sim.line();
    ASSERT_EQ(tcpLine.rfind("TCP: 127.0.0.1:", 0), 0u) << tcpLine;
    const int port = std::stoi(tcpLine.substr(15));
    ASSERT_EQ(serialLine.rfind("Serial: /dev/", 0), 0u) << serialLine;
    const std::string pty = serialLine.substr(8, serialLine.find(" at ") - 8);
    EXPECT_NE(serialLine.find("at 115200 baud"), std::string::npos);
    EXPECT_EQ(mapLine.rfind("COM7 = \"" + pty + "\"", 0), 0u) << mapLine;
    EXPECT_EQ(readFile(dir / "ComPorts.cfg"), "[COM PORTS]\r\nCOM7 = \"" + pty + "\"\r\n\r\n");

    RawClient tcp = RawClient::tcp(port);
    EXPECT_TRUE(tcp.exchange(request(OrderFirmware)).dataOk);
    RawClient serial = RawClient::serial(pty, 115200);
    Reply id = serial.exchange(request(OrderSensorId));
    EXPECT_TRUE(id.dataOk);
    EXPECT_EQ(id.header.argument, 4711);

    sim.command("fault err2");
    EXPECT_EQ(sim.line(), "fault err2");
    Reply err = tcp.exchange(request(OrderFirmware));
    EXPECT_EQ(err.header.order, OrderErrorReply);
    EXPECT_EQ(err.header.argument, ErrorLine);
    sim.command("status");
    EXPECT_NE(sim.line().find("115200 baud"), std::string::npos);

    sim.command("quit");
    EXPECT_EQ(sim.line(), "bye");
    EXPECT_EQ(sim.exitCode(3000), 0);
    EXPECT_EQ(readFile(dir / "ComPorts.cfg").find("COM7"), std::string::npos); // its pty is gone
    const std::string log = readFile(dir / "sim.log");
    EXPECT_NE(log.find("tcp    RX 55 07 00 00 00 00 AA 52  order 7"), std::string::npos) << log;
    EXPECT_NE(log.find("serial RX 55 0F 00 00 00 00 AA F3"), std::string::npos) << log;
    EXPECT_NE(log.find("serial TX 55 0F 67 12"), std::string::npos) << log;
    fs::remove_all(dir);
}

TEST(SimProgram, EndedBySignalTakesItsMappingOutAndKeepsTheOthers) {
    fs::path dir = fs::temp_directory_path() / ("tav-sim-signal-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    // The file as the mapping writes it, with another port's line.
    const std::string other = tavsim::mapComPort("", 1, "/dev/ttyUSB0");
    std::ofstream(dir / "ComPorts.cfg", std::ios::binary) << other;
    for (int signal : {SIGTERM, SIGINT}) {
        Program sim({"--no-tcp", "--map-com", "2", "--map-file", dir.string(), "--quiet"});
        ASSERT_EQ(sim.line().rfind("Serial: ", 0), 0u);
        ASSERT_EQ(sim.line().rfind("COM2 = ", 0), 0u);
        EXPECT_NE(readFile(dir / "ComPorts.cfg").find("COM2 = "), std::string::npos);
        sim.signal(signal);
        EXPECT_EQ(sim.exitCode(3000), 0) << signal;
        EXPECT_EQ(readFile(dir / "ComPorts.cfg"), other) << signal;
    }
    fs::remove_all(dir);
}

TEST(SimProgram, BadOptionEndsWithUsageVersionAndHelpAnswer) {
    Program bad({"--baud", "1234"});
    EXPECT_EQ(bad.exitCode(3000), 2);
    Program version({"--version"});
    EXPECT_EQ(version.line(), "taviron-sim " TAVIRON_VERSION);
    EXPECT_EQ(version.exitCode(3000), 0);
    Program help({"--help"});
    EXPECT_EQ(help.line(), "usage: taviron-sim [options]");
    EXPECT_EQ(help.exitCode(3000), 0);
}
