#include "app/instance/DMSingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace harbormind {
namespace {

constexpr char raiseRequest[] = "raise\n";
constexpr char raisedAnswer[] = "ok\n";

}  // namespace

DMSingleInstance::DMSingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)) {}

DMSingleInstance::~DMSingleInstance() = default;

QString DMSingleInstance::defaultSocketPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    const QString user = qEnvironmentVariable("USER", QStringLiteral("user"));
    return folder + QStringLiteral("/harbormind-") + user + QStringLiteral(".socket");
}

bool DMSingleInstance::handOverToRunningInstance(int timeoutMilliseconds) {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(timeoutMilliseconds)) {
        return false;
    }
    socket.write(raiseRequest);
    if (!socket.waitForBytesWritten(timeoutMilliseconds) || !socket.waitForReadyRead(timeoutMilliseconds)) {
        return false;
    }
    return socket.readLine() == raisedAnswer;
}

bool DMSingleInstance::listen(std::function<void()> raise) {
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
            QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
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
    });
    return true;
}

}  // namespace harbormind
