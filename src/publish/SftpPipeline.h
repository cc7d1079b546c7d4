#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class SftpConnection;
struct ssh_channel_struct;

// Stores many files over an SFTP channel of its own on a logged-in connection, with the
// requests of several files under way at once. libssh's own SFTP calls wait for every
// answer before the next request; over a connection where each answer takes a round trip,
// a small file then costs four of them (open, write, close, rename). Here the next files
// are opened while the earlier ones are written and renamed, and the requests that are
// ready go out together. Each file still takes its name only after the server confirmed
// every byte of it and closed it, and the rename replaces the old file in one step
// (OpenSSH's posix-rename), so a reader never sees a file half written.
class SftpPipeline
{
public:
    struct File
    {
        QString local;
        QString sentTo; // the remote path written
        QString target; // the remote name it takes once whole; empty: written in place
        bool keepIfStopped = false; // cut off by a stop, sentTo stays on the server
        int tag = 0;                // the caller's, handed back with the result
    };
    enum class Sent { Done, Stopped, Failed };
    struct Result
    {
        Sent sent = Sent::Failed;
        bool renamed = false;   // it took its name (or needed none)
        QString error;          // why the sending or the rename failed
        bool removed = false;   // sentTo was deleted after a failure or a stop
        bool lost = false;      // the connection was lost before it was over
        QByteArray sha256;      // of every byte sent, when it was stored
        qint64 bytes = 0;       // sent, for the progress of the files under way
    };
    using Next = std::function<std::optional<File>()>;
    using Finished = std::function<void(const File &, const Result &)>;

    SftpPipeline();
    ~SftpPipeline();
    SftpPipeline(const SftpPipeline &) = delete;
    SftpPipeline &operator=(const SftpPipeline &) = delete;

    // Opens the channel; false when the server does not offer what the pipeline needs
    // (then the files go one by one over the connection's own SFTP).
    bool open(SftpConnection &connection, int timeoutSeconds);
    // Takes files from next until it gives none, and reports each one once it is over.
    // A stop cuts the files being written; what was written whole still takes its name.
    // False when the channel was lost: the files under way are reported as failed.
    bool run(const Next &next, const Finished &finished, std::atomic<qint64> &inFlight,
             const std::atomic<bool> &stop);
    void close();

private:
    struct Transfer;
    void start(File file);
    void feed(Transfer &transfer, const std::atomic<bool> &stop, std::atomic<qint64> &inFlight);
    void answer(quint8 type, quint32 id, QByteArrayView body);
    qint64 unsentBytes() const;
    void afterClose(Transfer &transfer);
    bool flush();
    bool receive(bool wait);
    void request(Transfer &transfer, quint8 type, const QByteArray &body, qint64 bytes = 0);
    void over(Transfer &transfer);
    void cleanUp(Transfer &transfer);
    void failAll(const QString &why);

    ssh_channel_struct *m_channel = nullptr;
    int m_timeoutMs = 15000;
    quint32 m_nextId = 1;
    QByteArray m_out, m_in;
    qint64 m_unanswered = 0;   // written bytes the server has not confirmed yet
    struct Pending
    {
        Transfer *transfer = nullptr;
        quint8 type = 0;    // of the request
        qint64 bytes = 0;   // written by it
    };
    std::unordered_map<quint32, Pending> m_pending;
    std::deque<std::unique_ptr<Transfer>> m_transfers;
    std::vector<std::pair<File, Result>> m_over;
};
