#pragma once
// One window for many files: the local socket through which a running zu
// takes the files of a second "zu FILE", which then ends. What travels and
// where the socket lives are the core's (core/desktop/open_request.h); this
// only moves the bytes.

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

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
    Outcome begin(const QStringList& files, bool handOver);

    // The socket of this user and display.
    static QString socketPath();

signals:
    void filesReceived(const QStringList& files);

private:
    static bool send(QLocalSocket& socket, const QStringList& files);
    void accept();

    QLocalServer* server_ = nullptr;
};

} // namespace zu
