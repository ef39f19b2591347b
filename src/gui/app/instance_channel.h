#pragma once
// One window for many files: the local socket through which a running zu
// takes the files of a second "zu FILE", which then ends. What travels and
// where the socket lives are the core's (core/desktop/open_request.h); this
// only moves the bytes, and only between processes of the same user.

#include "core/text/file_path.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;
class QTimer;

namespace zu {

class InstanceChannel : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        HandedOver, // a running zu took the files: this one ends
        Serving,    // this zu now takes other zu's files
        Alone,      // another zu serves, or none can: this one runs by itself
    };

    explicit InstanceChannel(QObject* parent = nullptr);
    ~InstanceChannel() override;

    // Hands `files` (absolute paths) to the running zu when `handOver` is
    // set; otherwise, or when no zu runs or it does not answer, starts
    // serving unless another zu already does.
    Outcome begin(const std::vector<FilePath>& files, bool handOver);

    // A request is answered (and its files opened) only while `ready` says
    // the files can be opened at once; until then it waits unanswered, and
    // its zu opens them itself if the wait is too long.
    void setReady(std::function<bool()> ready) { ready_ = std::move(ready); }

    // The program begins to close: no more files are taken, and those
    // waiting are refused, so that the zu that sent them opens them itself.
    void stopServing();
    // Closing was cancelled: files are taken again, unless another zu has
    // begun to serve meanwhile.
    void resumeServing();

    // The socket of this user and display; empty when there is no folder
    // only this user can enter.
    static QString socketPath();

signals:
    void filesReceived(const std::vector<FilePath>& files);

private:
    // The same as the system's bytes, for the lock beside it.
    static std::optional<std::string> socketBytes();
    static bool send(QLocalSocket& socket, const std::vector<FilePath>& files);
    bool listen(const QString& path);
    void accept();
    void answerWaiting();

    struct Waiting {
        QPointer<QLocalSocket> socket;
        std::vector<FilePath> files;
    };
    QLocalServer* server_ = nullptr;
    std::vector<Waiting> waiting_;
    QTimer* retry_ = nullptr;
    std::function<bool()> ready_;
    bool stopped_ = false;
};

} // namespace zu
