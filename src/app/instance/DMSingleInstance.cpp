#include "app/instance/DMSingleInstance.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include "platform/linux/desktop/LinuxSocketPeer.h"

namespace harbormind {
namespace {

constexpr char raiseRequest[] = "raise\n";
constexpr char raisedAnswer[] = "ok\n";

}  // namespace

DMSingleInstance::DMSingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)) {}

DMSingleInstance::~DMSingleInstance() = default;

QString DMSingleInstance::defaultSocketPath() {
    return socketPathIn(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
}

QString DMSingleInstance::socketPathIn(const QString& runtimeFolder) {
    if (runtimeFolder.isEmpty()) {
        return {};
    }
    const QFileInfo folder(runtimeFolder);
    const auto othersWrite = QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!folder.isDir() || folder.isSymLink() || folder.ownerId() != LinuxSocketPeer::currentUid() ||
        (folder.permissions() & othersWrite) != 0) {
        return {};
    }
    return folder.absoluteFilePath() + QStringLiteral("/kestrane-harbormind.socket");
}

bool DMSingleInstance::isOwnUser(const QLocalSocket& socket) {
    return LinuxSocketPeer::uidOf(static_cast<int>(socket.socketDescriptor())) == LinuxSocketPeer::currentUid();
}

bool DMSingleInstance::handOverToRunningInstance(int timeoutMilliseconds) {
    if (socketPath_.isEmpty()) {
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(timeoutMilliseconds) || !isOwnUser(socket)) {
        return false;
    }
    socket.write(raiseRequest);
    if (!socket.waitForBytesWritten(timeoutMilliseconds) || !socket.waitForReadyRead(timeoutMilliseconds)) {
        return false;
    }
    return socket.readLine() == raisedAnswer;
}

bool DMSingleInstance::listen(std::function<void()> raise) {
    if (socketPath_.isEmpty()) {
        return false;
    }
    raise_ = std::move(raise);
    server_ = new QLocalServer(this);
    // Only this user may connect.
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath_)) {
        // A socket left behind by a crashed run answers nobody: remove it and try once more.
        QLocalServer::removeServer(socketPath_);
        if (!server_->listen(socketPath_)) {
            return false;
        }
    }
    QObject::connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            serve(client);
        }
    });
    return true;
}

void DMSingleInstance::serve(QLocalSocket* client) {
    QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    if (!isOwnUser(*client)) {
        client->disconnectFromServer();
        return;
    }
    QObject::connect(client, &QLocalSocket::readyRead, client, [this, client] {
        if (!client->canReadLine()) {
            return;
        }
        if (client->readLine() == raiseRequest) {
            if (raise_) {
                raise_();
            }
            client->write(raisedAnswer);
            client->flush();
        }
        client->disconnectFromServer();
    });
}

}  // namespace harbormind
