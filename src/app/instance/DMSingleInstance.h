#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace harbormind {

// One application per user: the first start listens on a local socket named after the user
// in $XDG_RUNTIME_DIR (the temporary folder where that is unset); a later start connects,
// asks the first one to raise its window, and ends.
class DMSingleInstance : public QObject {
public:
    explicit DMSingleInstance(QString socketPath, QObject* parent = nullptr);
    ~DMSingleInstance() override;

    // The socket path for this user.
    static QString defaultSocketPath();

    // True when another instance answered the request to show itself; this one then ends.
    bool handOverToRunningInstance(int timeoutMilliseconds = 1000);
    // Starts listening; `raise` runs on every later start. False when the socket cannot be made
    // (the application then simply runs without the guard).
    bool listen(std::function<void()> raise);

private:
    QString socketPath_;
    QLocalServer* server_ = nullptr;
    std::function<void()> raise_;
};

}  // namespace harbormind
