// The program run of taviron_process.h.
#include "taviron_process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

TavironFolder::TavironFolder() {
    char tmpl[] = "/tmp/taviron-cli-XXXXXX";
    if (!mkdtemp(tmpl)) return;
    dir_ = tmpl;
    const fs::path built = fs::path(TAVIRON_BIN_DIR) / "taviron";
    std::error_code error;
    fs::create_hard_link(built, program(), error); // the program finds its folder by itself
    if (error) fs::copy_file(built, program(), error);
    EXPECT_FALSE(error) << error.message();
}

TavironFolder::~TavironFolder() {
    std::error_code error;
    if (!dir_.empty()) fs::remove_all(dir_, error);
}

TavironProcess::~TavironProcess() {
    if (pid_ > 0) Wait(0);
}

void TavironProcess::Start(const fs::path &program, const std::vector<std::string> &args,
                           const fs::path &folder, const std::vector<std::string> &env) {
    int outPipe[2], errPipe[2];
    ASSERT_EQ(pipe2(outPipe, O_CLOEXEC), 0);
    ASSERT_EQ(pipe2(errPipe, O_CLOEXEC), 0);
    // Everything the child needs is made here: between fork and exec only system calls run
    // (the test's other threads may hold the allocator's lock at the fork).
    std::vector<std::string> argStrings = {program.string()};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<std::string> envStrings;
    for (char **e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (name != "LC_ALL" && name != "LC_MESSAGES" && name != "LANGUAGE" && name != "LANG")
            envStrings.push_back(entry);
    }
    envStrings.push_back("LANG=C.UTF-8");
    for (const std::string &e : env) {
        const std::string name = e.substr(0, e.find('=') + 1);
        std::erase_if(envStrings, [&](const std::string &s) { return s.rfind(name, 0) == 0; });
        envStrings.push_back(e);
    }
    std::vector<char *> argv, envp;
    for (std::string &a : argStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string &e : envStrings)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    const int null = open("/dev/null", O_RDONLY | O_CLOEXEC);

    pid_ = fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        dup2(null, 0);
        for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1]})
            close(fd);
        if (chdir(folder.c_str()) != 0) _exit(126);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(null);
    close(outPipe[1]);
    close(errPipe[1]);
    outFd_ = outPipe[0];
    errFd_ = errPipe[0];
    reader_ = std::thread([this] {
        pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
        std::string *into[2] = {&out, &err};
        int open = 2;
        char buffer[4096];
        while (open > 0) {
            if (poll(fds, 2, -1) < 0 && errno != EINTR) break;
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd < 0 || !fds[i].revents) continue;
                const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
                if (n > 0) {
                    into[i]->append(buffer, std::size_t(n));
                } else {
                    close(fds[i].fd);
                    fds[i].fd = -1;
                    --open;
                }
            }
        }
    });
}

void TavironProcess::Signal(int number) {
    if (pid_ > 0) kill(pid_, number);
}

int TavironProcess::Wait(double seconds) {
    if (pid_ <= 0) return -1;
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    bool killed = false;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            killed = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_ = -1;
    if (reader_.joinable()) reader_.join();
    if (killed || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TavironRun RunTaviron(const TavironFolder &folder, const std::vector<std::string> &args,
                      const std::vector<std::string> &env, double seconds) {
    TavironProcess process;
    process.Start(folder.program(), args, folder.dir(), env);
    TavironRun run;
    run.code = process.Wait(seconds);
    run.out = process.out;
    run.err = process.err;
    return run;
}
