#include "publish/SftpUpload.h"

#include "publish/SftpConnection.h"
#include "publish/UploadJournal.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <unordered_map>

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
    const int count = std::clamp(m_setup.sessions, 1, 8);
    int running = 0;
    QEventLoop loop;
    for (int i = 0; i < count && i < int(m_queue.size()); ++i) {
        auto worker = std::make_unique<Worker>();
        Worker *w = worker.get();
        // The window's session is logged in already: it starts storing at once, while
        // the others still log in.
        if (i == 0 && m_setup.borrowed) {
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
    storeAll(worker);
    // A server the pipeline cannot serve gets the files one by one.
    StoreJob job;
    while (connection.connected() && nextJob(job))
        store(worker, job);
    if (worker.own)
        connection.close();
}

QString SftpUpload::temporaryFor(const StoreJob &job) const
{
    if (!m_setup.safe)
        return {};
    if (!job.temporary.isEmpty())
        return job.temporary;
    const qsizetype slash = job.remote.lastIndexOf(u'/');
    return slash < 0 ? UploadJournal::temporaryName() : job.remote.left(slash + 1) + UploadJournal::temporaryName();
}

// The files with their requests overlapping, over a channel of the worker's own.
void SftpUpload::storeAll(Worker &worker)
{
    SftpPipeline pipeline;
    if (!worker.connection->connected() || !pipeline.open(*worker.connection, m_setup.credentials.timeoutSeconds))
        return;
    std::unordered_map<int, std::pair<StoreJob, QString>> under; // by tag: the job, its temporary name
    int tags = 0;
    const auto next = [&]() -> std::optional<SftpPipeline::File> {
        StoreJob job;
        if (!nextJob(job))
            return std::nullopt;
        const QString temporary = temporaryFor(job);
        const QString target = full(job.remote);
        SftpPipeline::File file{job.local, m_setup.safe ? full(temporary) : target,
                                m_setup.safe ? target : QString(), job.keepIfCut, ++tags};
        under.emplace(file.tag, std::pair{std::move(job), temporary});
        return file;
    };
    const auto finished = [&](const SftpPipeline::File &file, const SftpPipeline::Result &result) {
        const auto it = under.find(file.tag);
        report(it->second.first, it->second.second, result);
        under.erase(it);
    };
    pipeline.run(next, finished, worker.inFlight, m_stop);
}

// One file: sent under its temporary name and renamed, or straight under its own.
void SftpUpload::store(Worker &worker, const StoreJob &job)
{
    SftpConnection &connection = *worker.connection;
    const QString target = full(job.remote);
    const QString temporary = temporaryFor(job);
    const QString sentTo = m_setup.safe ? full(temporary) : target;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    worker.inFlight = 0;
    const SftpConnection::Sent sent = connection.send(job.local, sentTo, 0, &hash, worker.inFlight, m_stop);
    SftpPipeline::Result result;
    result.sent = sent == SftpConnection::Sent::Done      ? SftpPipeline::Sent::Done
                  : sent == SftpConnection::Sent::Stopped ? SftpPipeline::Sent::Stopped
                                                          : SftpPipeline::Sent::Failed;
    if (sent == SftpConnection::Sent::Failed)
        result.error = connection.error();
    if (sent == SftpConnection::Sent::Done) {
        result.renamed = !m_setup.safe || connection.rename(sentTo, target);
        if (!result.renamed)
            result.error = connection.error();
        else
            result.sha256 = hash.result();
    }
    const bool kept = m_setup.safe && sent == SftpConnection::Sent::Stopped && job.keepIfCut;
    if (!result.renamed && !kept && m_setup.safe) {
        result.removed = connection.removeFile(sentTo);
        result.lost = !connection.connected();
    }
    worker.inFlight = 0;
    report(job, temporary, result);
}

// What became of one file reaches the calling thread: its log lines, and whether it is
// stored, kept for resuming, or left on the server.
void SftpUpload::report(const StoreJob &job, const QString &temporary, const SftpPipeline::Result &result)
{
    QStringList lines;
    const bool stored = result.sent == SftpPipeline::Sent::Done && result.renamed;
    if (result.sent == SftpPipeline::Sent::Done && !result.renamed)
        lines << uploadFailureText() << result.error;
    bool kept = false;
    if (result.sent == SftpPipeline::Sent::Stopped) {
        lines << u"Zastaveno: "_s + job.relative;
        kept = m_setup.safe && job.keepIfCut;
    } else {
        if (result.sent == SftpPipeline::Sent::Failed)
            lines << uploadFailureText() << result.error;
        lines << (stored ? u"Nahráno: "_s : u"Nenahráno: "_s) + job.relative;
    }
    // A temporary file that stays unnamed would be a stray on the server.
    const bool left = !stored && !kept && m_setup.safe && !result.removed && result.lost;
    if (!stored && !m_setup.safe && result.sent == SftpPipeline::Sent::Stopped)
        lines << u"Na serveru zůstal neúplný soubor: "_s + job.relative;
    const QByteArray sha = stored ? result.sha256 : QByteArray();
    post([this, job, stored, sha, lines, kept, left, temporary] {
        Q_EMIT fileLog(lines);
        if (kept)
            Q_EMIT keptForResume(job, temporary);
        if (left)
            m_leftBehind << temporary;
        Q_EMIT fileDone(job, stored, sha);
    });
}
