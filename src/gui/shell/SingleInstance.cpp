#include "gui/shell/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QThread>
#include <unistd.h>

namespace tavelin::gui {

namespace {
constexpr char kShow = 's';
constexpr char kNothing = 'm';
} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), socketPath_(folder + "/tavelin.socket"), lock_(folder + "/tavelin.lock") {
    lock_.setStaleLockTime(0); // only a lock whose holder is gone is stale
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_.nextPendingConnection()) {
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->read(1) == QByteArray(1, kShow)) {
                    emit showRequested();
                }
                peer->disconnectFromServer();
            });
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        }
    });
}

QString SingleInstance::runtimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) {
        return runtime;
    }
    // No runtime folder: a private one of the user's own in /tmp.
    const QString own = QDir::tempPath() + "/tavelin-" + QString::number(::getuid());
    QDir().mkpath(own);
    QFile::setPermissions(own, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return own;
}

bool SingleInstance::claim(bool showWindow) {
    if (lock_.tryLock(0)) {
        QLocalServer::removeServer(socketPath_); // left by a program that died
        server_.setSocketOptions(QLocalServer::UserAccessOption);
        server_.listen(socketPath_);
        return true;
    }
    // Another program holds the lock; it may still be on its way to listening.
    for (int attempt = 0; attempt < 20; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(500)) {
            socket.write(QByteArray(1, showWindow ? kShow : kNothing));
            socket.waitForBytesWritten(1000);
            socket.waitForDisconnected(1000);
            return false;
        }
        QThread::msleep(100);
    }
    return false;
}

} // namespace tavelin::gui
