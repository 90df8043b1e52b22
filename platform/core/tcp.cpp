// TCP client conversations on QTcpSocket. Arrived data reach the program's callback straight
// from the socket's notification; the close is queued to the event loop so that it comes
// after any data that came before it.
#include "platform/core/tcp.h"
#include "platform/core/runtime.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

// The socket holds at most this much that the program has not read; beyond it the bytes wait
// in the system (which slows the peer down) instead of growing this process. A few frames.
constexpr qint64 kReadBufferBytes = 8 * 1024;

struct Conversation {
    unsigned int handle = 0;
    QTcpSocket *socket = nullptr; // owned; deleted with the conversation
    tcpFuncPtr callback = nullptr;
    void *callbackData = nullptr;
    bool dataPosted = false;  // a delivery of data already there at connection is queued
    bool closePosted = false; // the close delivery is queued or done
};

std::map<unsigned int, std::unique_ptr<Conversation>> &Conversations() {
    static std::map<unsigned int, std::unique_ptr<Conversation>> table;
    return table;
}
unsigned int g_nextHandle = 1;

int g_connectReason = kTcpReasonNone; // of the last connection attempt
std::string g_connectReasonText;

int RememberReason(int reason, const QString &text) {
    g_connectReason = reason;
    g_connectReasonText = text.toStdString();
    return reason;
}

Conversation *Find(unsigned int handle) {
    auto it = Conversations().find(handle);
    return it == Conversations().end() ? nullptr : it->second.get();
}

void Forget(unsigned int handle) {
    auto it = Conversations().find(handle);
    if (it == Conversations().end()) return;
    QTcpSocket *s = it->second->socket;
    Conversations().erase(it);
    s->disconnect();
    s->abort();
    s->deleteLater();
}

void PostData(unsigned int handle);

// Hands arrived bytes to the callback. When the callback took some and more are waiting, it is
// called again (it may read less than there is). Runs straight from the socket's notification,
// so the bytes reach the program within the event-loop pass that saw them arrive; a callback
// that waits for a further answer inside itself is called again, nested, for that answer.
void DeliverData(unsigned int handle) {
    for (;;) {
        Conversation *c = Find(handle);
        if (!c) return;
        c->dataPosted = false;
        qint64 before = c->socket->bytesAvailable();
        if (before <= 0 || !c->callback) return;
        c->callback(handle, TCP_DATAREADY, 0, c->callbackData);
        c = Find(handle); // the callback may have closed the conversation
        if (!c) return;
        qint64 after = c->socket->bytesAvailable();
        if (after <= 0 || after >= before) return;
    }
}

// Delivery from a later pass of the event loop, for bytes that were already there when the
// conversation was made.
void PostData(unsigned int handle) {
    Conversation *c = Find(handle);
    if (!c || c->dataPosted) return;
    c->dataPosted = true;
    QMetaObject::invokeMethod(
        qApp, [handle] { DeliverData(handle); }, Qt::QueuedConnection);
}

// Runs queued after any data that came before the close.
void DeliverClose(unsigned int handle) {
    Conversation *c = Find(handle);
    if (!c) return;
    if (c->socket->bytesAvailable() > 0 && c->dataPosted) { // data first
        QMetaObject::invokeMethod(
            qApp, [handle] { DeliverClose(handle); }, Qt::QueuedConnection);
        return;
    }
    tcpFuncPtr cb = c->callback;
    void *data = c->callbackData;
    if (cb) cb(handle, TCP_DISCONNECT, kTcpErrClosed, data);
    Forget(handle); // the server's side is gone; the handle is no longer valid
}

} // namespace

int ConnectToTCPServerEx(unsigned int *handle, unsigned int port, const char *server,
                         tcpFuncPtr callback, void *callbackData, unsigned int timeoutMs,
                         unsigned int localPort) {
    RememberReason(kTcpReasonNone, {});
    if (!handle || !server || !*server || port == 0 || port > 65535 || localPort > 65535)
        return kTcpErrInvalidParameter;
    if (!qApp) return kTcpErrRegister;
    auto *socket = new QTcpSocket;
    socket->setReadBufferSize(kReadBufferBytes);
    if (localPort && !socket->bind(QHostAddress::Any, quint16(localPort))) {
        delete socket;
        return kTcpErrIo;
    }
    socket->connectToHost(QString::fromUtf8(server), quint16(port));
    QElapsedTimer t;
    t.start();
    // Events keep running while the connection is made (name lookup, connect).
    while (socket->state() != QAbstractSocket::ConnectedState &&
           socket->state() != QAbstractSocket::UnconnectedState && t.elapsed() < qint64(timeoutMs))
        ProcessSystemEvents();
    if (socket->state() != QAbstractSocket::ConnectedState) {
        int code;
        const QString text = socket->errorString();
        switch (socket->error()) {
        case QAbstractSocket::HostNotFoundError:
            code = kTcpErrEstablish;
            RememberReason(kTcpReasonNameNotResolved, text);
            break;
        case QAbstractSocket::ConnectionRefusedError:
            code = kTcpErrFailedToConnect;
            RememberReason(kTcpReasonRefused, text);
            break;
        case QAbstractSocket::NetworkError:
            code = kTcpErrFailedToConnect;
            RememberReason(kTcpReasonUnreachable, text);
            break;
        case QAbstractSocket::SocketTimeoutError:
            code = kTcpErrTimeout;
            RememberReason(kTcpReasonTimedOut, text);
            break;
        default:
            if (socket->state() == QAbstractSocket::UnconnectedState) {
                code = kTcpErrIo;
                RememberReason(kTcpReasonOther, text);
            } else { // still trying when the time was up
                code = kTcpErrTimeout;
                RememberReason(kTcpReasonTimedOut, {});
            }
            break;
        }
        socket->abort();
        delete socket;
        return code;
    }
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    auto c = std::make_unique<Conversation>();
    c->handle = g_nextHandle++;
    if (g_nextHandle == 0) g_nextHandle = 1;
    c->socket = socket;
    c->callback = callback;
    c->callbackData = callbackData;
    unsigned int h = c->handle;
    // channelReadyRead, unlike readyRead, is also emitted while an earlier emission is still
    // running, which a callback waiting inside itself needs.
    QObject::connect(socket, &QTcpSocket::channelReadyRead, socket, [h](int) { DeliverData(h); });
    QObject::connect(socket, &QTcpSocket::disconnected, socket, [h] {
        Conversation *conv = Find(h);
        if (!conv || conv->closePosted) return;
        conv->closePosted = true;
        QMetaObject::invokeMethod(
            qApp, [h] { DeliverClose(h); }, Qt::QueuedConnection);
    });
    Conversations()[h] = std::move(c);
    *handle = h;
    if (socket->bytesAvailable() > 0) PostData(h); // the server spoke first
    return 0;
}

int GetTCPConnectReason(char *systemText, int size) {
    if (systemText && size > 0)
        std::snprintf(systemText, size_t(size), "%s", g_connectReasonText.c_str());
    return g_connectReason;
}

int DisconnectFromTCPServer(unsigned int handle) {
    if (!Find(handle)) return kTcpErrNotConnected;
    Forget(handle);
    return 0;
}

void CloseAllTCPConversations() {
    while (!Conversations().empty())
        Forget(Conversations().begin()->first); // the sockets' deletion is flushed by the caller
}

int ClientTCPWrite(unsigned int handle, const void *buffer, unsigned int count,
                   unsigned int timeoutMs) {
    Conversation *c = Find(handle);
    if (!c) return kTcpErrNotConnected;
    if (!buffer && count) return kTcpErrInvalidParameter;
    if (c->socket->state() != QAbstractSocket::ConnectedState) return kTcpErrClosed;
    qint64 n = c->socket->write(static_cast<const char *>(buffer), qint64(count));
    if (n < 0) return kTcpErrWrite;
    c->socket->flush(); // hand the bytes to the system now; waiting is needed only if it is full
    QElapsedTimer t;
    t.start();
    while (c->socket->bytesToWrite() > 0) {
        qint64 left = qint64(timeoutMs) - t.elapsed();
        if (left <= 0) return kTcpErrTimeout;
        if (!c->socket->waitForBytesWritten(int(left))) break;
        c = Find(handle);
        if (!c) return kTcpErrClosed;
    }
    if (c->socket->bytesToWrite() > 0) return kTcpErrWrite;
    return int(n);
}

int ClientTCPRead(unsigned int handle, void *buffer, unsigned int count, unsigned int timeoutMs) {
    Conversation *c = Find(handle);
    if (!c) return kTcpErrNotConnected;
    if (count == 0) return 0;
    if (!buffer) return kTcpErrInvalidParameter;
    if (c->socket->bytesAvailable() <= 0) {
        if (c->socket->state() != QAbstractSocket::ConnectedState) return kTcpErrClosed;
        if (!c->socket->waitForReadyRead(int(timeoutMs))) return kTcpErrTimeout;
    }
    qint64 n = c->socket->read(static_cast<char *>(buffer), qint64(count));
    return n < 0 ? kTcpErrRead : int(n);
}

long long TestTcpBuffered(unsigned int handle) {
    Conversation *c = Find(handle);
    return c ? c->socket->bytesAvailable() : -1;
}
