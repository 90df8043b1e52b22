// Running a piece of a test as an unprivileged user: root passes every permission check, so a
// test that runs as root hands the piece to a child process that has given up its privileges
// (uid and gid 65534) and gets back what the child computed. The piece always runs in a child,
// so what it changes in its process (environment, working folder, globals) stays there.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <functional>
#include <string>

// The text the piece gave, or "<cannot drop privileges>" / "<no pipe>" when it could not run.
inline std::string AsUnprivilegedUser(const std::function<std::string()> &work) {
    int ends[2];
    if (pipe(ends) != 0) return "<no pipe>";
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        std::string out = "<cannot drop privileges>";
        if (geteuid() != 0 ||
            (setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0))
            out = work();
        if (write(ends[1], out.data(), out.size()) < 0) _exit(1);
        _exit(0);
    }
    close(ends[1]);
    std::string out;
    char buf[512];
    for (ssize_t n; (n = read(ends[0], buf, sizeof buf)) > 0;)
        out.append(buf, std::size_t(n));
    close(ends[0]);
    waitpid(child, nullptr, 0);
    return out;
}

// The number the piece gave, or kNotRunAsUser when it could not run.
constexpr int kNotRunAsUser = INT_MIN;
inline int AsUnprivilegedUser(const std::function<int()> &work) {
    const std::string out = AsUnprivilegedUser([&] { return std::to_string(work()); });
    try {
        std::size_t used = 0;
        const int value = std::stoi(out, &used);
        return used == out.size() ? value : kNotRunAsUser;
    } catch (...) {
        return kNotRunAsUser;
    }
}
