#include "gui/app/instance_channel.h"

#include "core/desktop/open_request.h"
#include "core/doc/file_lock.h"
#include "core/settings/config_location.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <unistd.h>

namespace zu {
namespace {

// Connecting to a local socket succeeds or fails at once; the answer may
// wait for a zu that is still starting up or busy opening a large file.
constexpr int kConnectMs = 1000;
constexpr int kAnswerMs = 10000;

// Whether the process at the other end is this user's: anyone else gets
// no file names and is handed none.
bool sameUser(const QLocalSocket& socket) {
    const std::optional<unsigned> peer = peerUserId(static_cast<int>(socket.socketDescriptor()));
    return peer && *peer == ::getuid();
}

} // namespace

InstanceChannel::InstanceChannel(QObject* parent) : QObject(parent) {}

InstanceChannel::~InstanceChannel() = default;

std::optional<std::string> InstanceChannel::socketBytes() {
    return instanceSocketPath(userEnvironment, ::getuid(),
                              [](const std::string& folder, bool make) {
                                  return isPrivateFolder(folder, make, ::getuid());
                              });
}

QString InstanceChannel::socketPath() {
    const std::optional<std::string> path = socketBytes();
    return path ? QFile::decodeName(path->c_str()) : QString();
}

InstanceChannel::Outcome InstanceChannel::begin(const std::vector<FilePath>& files, bool handOver) {
    const std::optional<std::string> bytes = socketBytes();
    if (!bytes)
        return Outcome::Alone;
    const QString path = QFile::decodeName(bytes->c_str());
    QLocalSocket running;
    {
        // Two zu starting together decide one after the other: otherwise
        // both could find no server and both listen, the second's socket
        // taking the place of the first's.
        const FileLock lock(FileLock::pathFor(*bytes), FileLock::Mode::Exclusive,
                            std::chrono::seconds(5));
        running.connectToServer(path);
        if (!running.waitForConnected(kConnectMs))
            return listen(path) ? Outcome::Serving : Outcome::Alone;
    }
    if (!sameUser(running))
        return Outcome::Alone;
    if (handOver && send(running, files))
        return Outcome::HandedOver;
    return Outcome::Alone;
}

bool InstanceChannel::listen(const QString& path) {
    // No zu answers there. A socket file left by one that died is replaced:
    // with access options set, the server is made elsewhere and renamed
    // into place.
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        delete server_;
        server_ = nullptr;
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::accept);
    return true;
}

void InstanceChannel::stopServing() {
    stopped_ = true;
    for (Waiting& w : waiting_)
        if (w.socket)
            w.socket->abort();
    waiting_.clear();
    if (server_) {
        // Closing takes the socket file away: a second zu finds no one.
        server_->close();
        delete server_;
        server_ = nullptr;
    }
}

void InstanceChannel::resumeServing() {
    if (!stopped_)
        return;
    stopped_ = false;
    const std::optional<std::string> bytes = socketBytes();
    if (!bytes)
        return;
    const QString path = QFile::decodeName(bytes->c_str());
    const FileLock lock(FileLock::pathFor(*bytes), FileLock::Mode::Exclusive,
                        std::chrono::seconds(5));
    QLocalSocket running;
    running.connectToServer(path);
    if (!running.waitForConnected(kConnectMs))
        listen(path);
}

bool InstanceChannel::send(QLocalSocket& socket, const std::vector<FilePath>& files) {
    std::vector<std::string> paths;
    for (const FilePath& f : files)
        paths.push_back(f.bytes());
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
        if (!sameUser(*socket)) {
            socket->abort();
            continue;
        }
        // What has arrived so far lives with the connection.
        auto* received = new QByteArray;
        connect(socket, &QObject::destroyed, this, [received] { delete received; });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, received] {
            *received += socket->readAll();
            const OpenRequest request =
                decodeOpenRequest(std::string_view(received->constData(), received->size()));
            if (request.state == OpenRequest::State::Incomplete)
                return;
            if (request.state == OpenRequest::State::Invalid || stopped_) {
                socket->abort();
                return;
            }
            std::vector<FilePath> files;
            for (const std::string& f : request.files)
                files.emplace_back(f);
            waiting_.push_back({socket, files});
            answerWaiting();
        });
    }
}

void InstanceChannel::answerWaiting() {
    std::erase_if(waiting_, [](const Waiting& w) {
        return !w.socket || w.socket->state() != QLocalSocket::ConnectedState;
    });
    if (waiting_.empty() || stopped_)
        return;
    if (ready_ && !ready_()) {
        // A modal dialog works on the window that was active when it
        // opened; a new window must not take its place underneath it.
        if (!retry_) {
            retry_ = new QTimer(this);
            retry_->setInterval(250);
            connect(retry_, &QTimer::timeout, this, &InstanceChannel::answerWaiting);
        }
        retry_->start();
        return;
    }
    if (retry_)
        retry_->stop();
    for (Waiting& w : std::exchange(waiting_, {})) {
        // "ok" only now: the files are as good as open.
        w.socket->write(kOpenAccepted.data(), static_cast<qint64>(kOpenAccepted.size()));
        w.socket->flush();
        // Opened once this connection's work is done: opening may ask the
        // user something, and the question must not run inside it.
        QMetaObject::invokeMethod(
            this, [this, files = w.files] { emit filesReceived(files); }, Qt::QueuedConnection);
    }
}

} // namespace zu
