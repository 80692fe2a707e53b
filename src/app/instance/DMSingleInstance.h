#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace harbormind {

// One application per user: the first start listens on a local socket in the user's runtime
// folder; a later start connects, asks the first one to raise its window, and ends. Both ends
// trust only a peer of their own user, as the kernel reports it: a socket another user made
// first neither answers for the user nor raises the window.
class DMSingleInstance : public QObject {
public:
    explicit DMSingleInstance(QString socketPath, QObject* parent = nullptr);
    ~DMSingleInstance() override;

    // The socket path for this user: in the runtime folder, only when that folder is the user's
    // and nobody else may write in it; empty otherwise (the application then runs unguarded).
    static QString defaultSocketPath();
    static QString socketPathIn(const QString& runtimeFolder);

    // True when another instance of this user answered the request to show itself; this one
    // then ends.
    bool handOverToRunningInstance(int timeoutMilliseconds = 1000);
    // Starts listening; `raise` runs on every later start of this user. False when the socket
    // cannot be made (the application then simply runs without the guard).
    bool listen(std::function<void()> raise);

private:
    static bool isOwnUser(const QLocalSocket& socket);
    void serve(QLocalSocket* client);

    QString socketPath_;
    QLocalServer* server_ = nullptr;
    std::function<void()> raise_;
};

}  // namespace harbormind
