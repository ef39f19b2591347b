#include "gui/app/instance_channel.h"

#include "core/desktop/open_request.h"
#include "core/doc/file_lock.h"
#include "core/settings/config_location.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace zu {
namespace {

// Connecting to a local socket succeeds or fails at once; the answer may
// wait for a zu that is still starting up or busy opening a large file.
constexpr int kConnectMs = 1000;
constexpr int kAnswerMs = 10000;

} // namespace

InstanceChannel::InstanceChannel(QObject* parent) : QObject(parent) {}

InstanceChannel::~InstanceChannel() = default;

QString InstanceChannel::socketPath() {
    return QFile::decodeName(instanceSocketPath(userEnvironment, ::getuid()).c_str());
}

InstanceChannel::Outcome InstanceChannel::begin(const QStringList& files, bool handOver) {
    const QString path = socketPath();
    QLocalSocket running;
    {
        // Two zu starting together decide one after the other: otherwise
        // both could find no server and both listen, the second's socket
        // taking the place of the first's. Outside $XDG_RUNTIME_DIR anyone
        // could hold the lock file, so the wait for it is short.
        const FileLock lock(FileLock::pathFor(QFile::encodeName(path).toStdString()),
                            FileLock::Mode::Exclusive, std::chrono::seconds(5));
        running.connectToServer(path);
        if (!running.waitForConnected(kConnectMs)) {
            // No zu answers there. A socket file left by one that died is
            // replaced: with access options set, the server is made
            // elsewhere and renamed into place.
            server_ = new QLocalServer(this);
            server_->setSocketOptions(QLocalServer::UserAccessOption);
            if (!server_->listen(path)) {
                delete server_;
                server_ = nullptr;
                return Outcome::Alone;
            }
            connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::accept);
            return Outcome::Serving;
        }
    }
    if (handOver && send(running, files))
        return Outcome::HandedOver;
    return Outcome::Alone;
}

bool InstanceChannel::send(QLocalSocket& socket, const QStringList& files) {
    std::vector<std::string> paths;
    for (const QString& f : files)
        paths.push_back(QFile::encodeName(f).toStdString());
    const std::string request = encodeOpenRequest(paths);
    socket.write(request.data(), static_cast<qint64>(request.size()));
    const QDeadlineTimer deadline(kAnswerMs);
    QByteArray answer;
    while (answer.size() < static_cast<qsizetype>(kOpenAccepted.size()) && !deadline.hasExpired() &&
           socket.state() == QLocalSocket::ConnectedState) {
        if (socket.bytesToWrite() > 0)
            socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
        else if (socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            answer += socket.readAll();
    }
    socket.disconnectFromServer();
    return answer == QByteArray(kOpenAccepted.data(), static_cast<qsizetype>(kOpenAccepted.size()));
}

void InstanceChannel::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // What has arrived so far lives with the connection.
        auto* received = new QByteArray;
        connect(socket, &QObject::destroyed, this, [received] { delete received; });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, received] {
            *received += socket->readAll();
            const OpenRequest request =
                decodeOpenRequest(std::string_view(received->constData(), received->size()));
            if (request.state == OpenRequest::State::Incomplete)
                return;
            if (request.state == OpenRequest::State::Invalid) {
                socket->abort();
                return;
            }
            socket->write(kOpenAccepted.data(), static_cast<qint64>(kOpenAccepted.size()));
            socket->flush();
            QStringList files;
            for (const std::string& f : request.files)
                files << QFile::decodeName(QByteArray::fromStdString(f));
            // Opened once this connection's work is done: opening may ask
            // the user something, and the question must not run inside it.
            QMetaObject::invokeMethod(
                this, [this, files] { emit filesReceived(files); }, Qt::QueuedConnection);
        });
    }
}

} // namespace zu
