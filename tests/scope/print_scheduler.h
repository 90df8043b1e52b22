// A print scheduler of the test's own: cupsd started in the foreground with a private
// configuration (its own server root, spool and logs in a scratch directory, listening on a
// free port of 127.0.0.1 only) and one queue, "TestQueue", that writes into a file. The jobs'
// documents are kept in the spool, so a test can see what reached the queue. The program finds
// it through CUPS_SERVER, set for the whole process.
#pragma once

#include <arpa/inet.h>
#include <cups/cups.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

class PrintScheduler {
  public:
    static constexpr const char *kCupsd = "/usr/sbin/cupsd";
    static constexpr const char *kQueue = "TestQueue";

    static bool Installed() { return access(kCupsd, X_OK) == 0; }

    // Starts the scheduler and makes the queue; false with a reason in *error otherwise.
    bool Start(std::string *error) {
        namespace fs = std::filesystem;
        char tmpl[] = "/tmp/taviron-cups-XXXXXX";
        if (!mkdtemp(tmpl)) return Fail(error, "no scratch directory");
        dir_ = tmpl;
        for (const char *d : {"root", "cache", "state", "spool", "spool/tmp", "log", "out"})
            fs::create_directories(dir_ / d);
        // The filters and the file device may run as another user than the test.
        chmod(dir_.c_str(), 0755);
        chmod((dir_ / "out").c_str(), 0777);
        port_ = FreePort();
        std::ofstream(dir_ / "root/cupsd.conf")
            << "Listen 127.0.0.1:" << port_ << "\n"
            << "LogLevel info\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
            << "PreserveJobFiles Yes\nPreserveJobHistory Yes\n"
            << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
            << "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
            << "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
        std::ofstream(dir_ / "root/cups-files.conf")
            << "ServerRoot " << (dir_ / "root").string() << "\n"
            << "CacheDir " << (dir_ / "cache").string() << "\n"
            << "StateDir " << (dir_ / "state").string() << "\n"
            << "RequestRoot " << (dir_ / "spool").string() << "\n"
            << "TempDir " << (dir_ / "spool/tmp").string() << "\n"
            << "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
            << "AccessLog " << (dir_ / "log/access_log").string() << "\n"
            << "ErrorLog " << (dir_ / "log/error_log").string() << "\n"
            << "PageLog " << (dir_ / "log/page_log").string() << "\n"
            << "FileDevice Yes\n";
        pid_ = fork();
        if (pid_ == 0) {
            const std::string c = (dir_ / "root/cupsd.conf").string();
            const std::string s = (dir_ / "root/cups-files.conf").string();
            freopen((dir_ / "log/stdout").c_str(), "w", stdout);
            freopen((dir_ / "log/stdout").c_str(), "a", stderr);
            execl(kCupsd, "cupsd", "-f", "-c", c.c_str(), "-s", s.c_str(), nullptr);
            _exit(127);
        }
        if (pid_ < 0) return Fail(error, "fork failed");
        if (!WaitForPort()) return Fail(error, "cupsd did not start: " + Log());
        setenv("CUPS_SERVER", server().c_str(), 1);
        const std::string device = "file://" + (dir_ / "out/printed").string();
        if (!Run("lpadmin -h " + server() + " -p " + kQueue + " -E -v " + device + " -m raw"))
            return Fail(error, "lpadmin failed: " + Log());
        return true;
    }

    void Stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
        if (!dir_.empty()) std::filesystem::remove_all(dir_);
    }
    ~PrintScheduler() { Stop(); }

    std::string server() const { return "127.0.0.1:" + std::to_string(port_); }
    // cupsaccept, cupsreject, cupsenable, cupsdisable on the queue, with an optional reason.
    bool Queue(const std::string &tool, const std::string &reason = "") const {
        return Run(tool + " -h " + server() + (reason.empty() ? "" : " -r '" + reason + "'") + " " +
                   kQueue);
    }
    // The jobs the scheduler has seen in the queue, done or not, oldest first.
    struct Job {
        int id;
        std::string title;
        int state; // IPP job state: 3 pending ... 9 completed
    };
    std::vector<Job> Jobs() const {
        cups_job_t *jobs = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, kQueue, 0, CUPS_WHICHJOBS_ALL);
        std::vector<Job> out;
        for (int i = 0; i < n; ++i)
            out.push_back({jobs[i].id, jobs[i].title ? jobs[i].title : "", int(jobs[i].state)});
        cupsFreeJobs(n, jobs);
        std::sort(out.begin(), out.end(), [](const Job &x, const Job &y) { return x.id < y.id; });
        return out;
    }
    // The document of job `id` as it reached the queue.
    std::string SpoolFile(int id) const {
        char name[32];
        std::snprintf(name, sizeof name, "d%05d-001", id);
        std::ifstream in(dir_ / "spool" / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string Log() const {
        std::ifstream in(dir_ / "log/error_log");
        std::string all{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        return all.size() > 2000 ? all.substr(all.size() - 2000) : all;
    }

  private:
    static bool Fail(std::string *error, const std::string &why) {
        *error = why;
        return false;
    }
    static int FreePort() {
        int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
        getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
        close(fd);
        return ntohs(a.sin_port);
    }
    bool WaitForPort() const {
        for (int i = 0; i < 200; ++i) {
            int fd = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_port = htons(uint16_t(port_));
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            const bool up = connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
            close(fd);
            if (up) return true;
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    static bool Run(const std::string &command) {
        return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    }

    std::filesystem::path dir_;
    int port_ = 0;
    pid_t pid_ = -1;
};
