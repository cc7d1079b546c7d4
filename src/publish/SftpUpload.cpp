#include "publish/SftpUpload.h"

#include "publish/SftpConnection.h"
#include "publish/UploadJournal.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

using namespace Qt::StringLiterals;

// One session of the stage: its connection, its thread and the bytes of its file so far.
struct SftpUpload::Worker
{
    std::unique_ptr<SftpConnection> own; // empty when the connection is the window's
    SftpConnection *connection = nullptr;
    std::atomic<qint64> inFlight = 0;
    QThread *thread = nullptr;
};

SftpUpload::SftpUpload(Setup setup, std::vector<StoreJob> jobs, QObject *parent)
    : StoreStage(parent), m_setup(std::move(setup)), m_queue(jobs.begin(), jobs.end())
{
}

SftpUpload::~SftpUpload()
{
    m_stop = true;
    for (const auto &worker : m_workers) {
        if (worker->thread) {
            worker->thread->wait();
            delete worker->thread;
        }
    }
}

QString SftpUpload::full(const QString &path) const
{
    if (path.startsWith(u'/'))
        return path;
    const QString &base = m_setup.directory;
    return base.endsWith(u'/') ? base + path : base + u'/' + path;
}

void SftpUpload::post(std::function<void()> report)
{
    QMetaObject::invokeMethod(this, std::move(report), Qt::QueuedConnection);
}

bool SftpUpload::nextJob(StoreJob &job)
{
    std::lock_guard lock(m_mutex);
    if (m_queue.empty() || m_stop)
        return false;
    job = std::move(m_queue.front());
    m_queue.pop_front();
    return true;
}

void SftpUpload::run()
{
    const int count = m_setup.borrowed ? 1 : std::clamp(m_setup.sessions, 1, 8);
    int running = 0;
    QEventLoop loop;
    for (int i = 0; i < count && i < int(m_queue.size()); ++i) {
        auto worker = std::make_unique<Worker>();
        Worker *w = worker.get();
        if (m_setup.borrowed) {
            w->connection = m_setup.borrowed;
        } else {
            w->own = std::make_unique<SftpConnection>();
            w->connection = w->own.get();
        }
        w->thread = QThread::create([this, w] { work(*w); });
        connect(w->thread, &QThread::finished, &loop, [&running, &loop] {
            if (--running == 0)
                loop.quit();
        });
        m_workers.push_back(std::move(worker));
        ++running;
        w->thread->start();
    }
    // The bar moves with the bytes of the files under way, ten times a second.
    QTimer ticker;
    ticker.setInterval(100);
    connect(&ticker, &QTimer::timeout, this, [this] {
        qint64 bytes = 0;
        for (const auto &worker : m_workers)
            bytes += worker->inFlight;
        Q_EMIT progress(bytes);
    });
    ticker.start();
    if (running > 0)
        loop.exec();
    ticker.stop();
    // The reports the threads posted last come before the end.
    QCoreApplication::sendPostedEvents(this);
    // Files no session could take: none logged in, or all were lost.
    StoreJob job;
    while (nextJob(job)) {
        Q_EMIT fileLog({uploadFailureText(), u"Nenahráno: "_s + job.relative});
        Q_EMIT fileDone(job, false, {});
    }
}

void SftpUpload::work(Worker &worker)
{
    SftpConnection &connection = *worker.connection;
    if (worker.own && !logInQuietly(connection, m_setup.credentials)) {
        const QString error = connection.error();
        post([this, error] { Q_EMIT fileLog({u"Další spojení se nepřihlásilo: "_s + error}); });
        return;
    }
    StoreJob job;
    while (connection.connected() && nextJob(job))
        store(worker, job);
    if (worker.own)
        connection.close();
}

// One file: sent under its temporary name and renamed, or straight under its own.
void SftpUpload::store(Worker &worker, const StoreJob &job)
{
    SftpConnection &connection = *worker.connection;
    const QString target = full(job.remote);
    QString temporary;
    if (m_setup.safe) {
        const qsizetype slash = job.remote.lastIndexOf(u'/');
        temporary = !job.temporary.isEmpty() ? job.temporary
                    : slash < 0                ? UploadJournal::temporaryName()
                                               : job.remote.left(slash + 1) + UploadJournal::temporaryName();
    }
    const QString sentTo = m_setup.safe ? full(temporary) : target;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    worker.inFlight = 0;
    const SftpConnection::Sent sent = connection.send(job.local, sentTo, 0, &hash, worker.inFlight, m_stop);
    QStringList lines;
    bool stored = sent == SftpConnection::Sent::Done;
    if (stored && m_setup.safe && !connection.rename(sentTo, target)) {
        stored = false;
        lines << uploadFailureText() << connection.error();
    }
    bool kept = false;
    if (sent == SftpConnection::Sent::Stopped) {
        lines << u"Zastaveno: "_s + job.relative;
        kept = m_setup.safe && job.keepIfCut;
    } else {
        if (sent == SftpConnection::Sent::Failed)
            lines << uploadFailureText() << connection.error();
        lines << (stored ? u"Nahráno: "_s : u"Nenahráno: "_s) + job.relative;
    }
    bool left = false;
    if (!stored && !kept && m_setup.safe) {
        // A temporary file that stays unnamed would be a stray on the server.
        left = !connection.removeFile(sentTo) && !connection.connected();
    } else if (!stored && !m_setup.safe && sent != SftpConnection::Sent::Failed) {
        lines << u"Na serveru zůstal neúplný soubor: "_s + job.relative;
    }
    const QByteArray sha = stored ? hash.result() : QByteArray();
    worker.inFlight = 0;
    post([this, job, stored, sha, lines, kept, left, temporary] {
        Q_EMIT fileLog(lines);
        if (kept)
            Q_EMIT keptForResume(job, temporary);
        if (left)
            m_leftBehind << temporary;
        Q_EMIT fileDone(job, stored, sha);
    });
}
