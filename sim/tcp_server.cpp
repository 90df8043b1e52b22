// TCP server loop of the simulated sensor (POSIX sockets and poll).
#include "sim/tcp_server.h"

#include "sim/link_session.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavsim {

namespace {
int pollTimeoutMs(LinkSession::Clock::time_point wake, LinkSession::Clock::time_point now) {
    auto us = std::chrono::duration_cast<std::chrono::microseconds>(wake - now).count();
    return us <= 0 ? 0 : int((us + 999) / 1000);
}
} // namespace

TcpServer::TcpServer(SensorCore &core, std::string address, int port)
    : core_(core), address_(std::move(address)), port_(port) {}

TcpServer::~TcpServer() {
    if (listenFd_ >= 0) ::close(listenFd_);
}

bool TcpServer::open(std::string *error) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo *found = nullptr;
    const char *host = address_.empty() ? nullptr : address_.c_str();
    int rc = getaddrinfo(host, std::to_string(port_).c_str(), &hints, &found);
    if (rc != 0) {
        *error = "cannot resolve " + address_ + ": " + gai_strerror(rc);
        return false;
    }
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    int one = 1;
    setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    bool ok = listenFd_ >= 0 && ::bind(listenFd_, found->ai_addr, found->ai_addrlen) == 0 &&
              ::listen(listenFd_, 4) == 0;
    freeaddrinfo(found);
    if (!ok) {
        *error = "cannot listen on " + address_ + ":" + std::to_string(port_) + ": " +
                 std::strerror(errno);
        return false;
    }
    sockaddr_in bound{};
    socklen_t len = sizeof bound;
    getsockname(listenFd_, reinterpret_cast<sockaddr *>(&bound), &len);
    port_ = ntohs(bound.sin_port);
    return true;
}

void TcpServer::run(int stopFd) {
    LinkSession session(core_, LinkKind::Tcp, false);
    int client = -1;
    std::vector<uint8_t> pending;
    auto disconnect = [&](const char *why) {
        ::close(client);
        client = -1;
        pending.clear();
        session.reset();
        core_.log().add(LogKind::Note, "tcp", nullptr, 0, why);
    };
    for (;;) {
        auto now = LinkSession::Clock::now();
        pollfd fds[2] = {{stopFd, POLLIN, 0}, {listenFd_, POLLIN, 0}};
        int timeout = 200;
        if (client >= 0) {
            fds[1] = {client, short(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0};
            timeout = pollTimeoutMs(session.nextWake(now), now);
        }
        if (::poll(fds, 2, timeout) < 0 && errno != EINTR) break;
        if (fds[0].revents) break;
        now = LinkSession::Clock::now();
        if (client < 0) {
            if (fds[1].revents & POLLIN) {
                sockaddr_in peer{};
                socklen_t len = sizeof peer;
                client = ::accept4(listenFd_, reinterpret_cast<sockaddr *>(&peer), &len,
                                   SOCK_NONBLOCK | SOCK_CLOEXEC);
                if (client >= 0) {
                    int one = 1;
                    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                    session.reset();
                    char ip[INET_ADDRSTRLEN] = "?";
                    inet_ntop(AF_INET, &peer.sin_addr, ip, sizeof ip);
                    core_.log().add(LogKind::Note, "tcp", nullptr, 0,
                                    std::string("client connected from ") + ip + ":" +
                                        std::to_string(ntohs(peer.sin_port)));
                }
            }
            continue;
        }
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            uint8_t buf[4096];
            ssize_t n = ::recv(client, buf, sizeof buf, 0);
            if (n > 0) {
                session.receive(buf, size_t(n), 0, now);
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                disconnect("client disconnected");
                continue;
            }
        }
        session.service(now);
        bool close = false;
        std::vector<uint8_t> due = session.takeDue(now, 0, &close);
        pending.insert(pending.end(), due.begin(), due.end());
        if (!pending.empty()) {
            ssize_t n = ::send(client, pending.data(), pending.size(), MSG_NOSIGNAL);
            if (n > 0)
                pending.erase(pending.begin(), pending.begin() + n);
            else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                disconnect("send failed, client dropped");
                continue;
            }
        }
        if (close) disconnect("connection closed by the sensor (fault close)");
    }
    if (client >= 0) ::close(client);
}

} // namespace tavsim
