#include "publish/ParallelUpload.h"

#include "publish/ContentHash.h"
#include "publish/FtpListing.h"
#include "publish/UploadJournal.h"

#include <QEventLoop>
#include <QRandomGenerator>

#include <algorithm>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

// Outside the anonymous namespace: a session, a type with linkage, holds one.
enum class ParallelUploadPhase {
    Login, User, Pass, Type, Enter,                                // a session of its own logs in
    FileType, Store, Rename, Delete, RenameDelete, PlainStore,     // one file
    Cleanup, Idle, Gone,
    Ready, // logged in ahead, waiting for the files
    Listing, Stamps // a folder's times, once its files are over
};

namespace {

using Phase = ParallelUploadPhase;

QString temporaryBeside(const QString &remote)
{
    const qsizetype slash = remote.lastIndexOf(u'/');
    const QString name = UploadJournal::temporaryName();
    return slash < 0 ? name : remote.left(slash + 1) + name;
}

// The folder a job's remote path lies in, as a listing names it: empty for where the
// session stands.
QString parallelFolderOf(const QString &remote)
{
    const qsizetype slash = remote.lastIndexOf(u'/');
    return slash < 0 ? QString() : slash == 0 ? u"/"_s : remote.left(slash);
}

// MDTMs sent together at most, so what waits in the buffers stays small.
constexpr qsizetype ParallelStampBatch = 128;

// The requests whose refusal the user is shown in a box; the clean-up's are not.
bool parallelPhaseShowsRefusal(Phase phase)
{
    switch (phase) {
    case Phase::Login:
    case Phase::User:
    case Phase::Pass:
    case Phase::Type:
    case Phase::Enter:
    case Phase::FileType:
    case Phase::Store:
    case Phase::PlainStore:
        return true;
    default:
        return false;
    }
}

} // namespace

struct ParallelUpload::Session
{
    std::unique_ptr<TFtpClient> own; // null for the caller's session
    TFtpClient *client = nullptr;
    bool borrowed() const { return !own; }
    Phase phase = Phase::Login;
    std::optional<Job> job;
    QString temporary;
    QStringList lines;
    QString error;           // the first refusal of the running file or login
    bool incomplete = false; // a cut direct store left part of the file under its name
    qint64 moving = 0;
    ContentHash sent;
    // The file whose STOR goes out with the answer to the running file's rename.
    std::optional<Job> reserved;
    QString reservedTemporary;
    qsizetype reservedLinesFrom = -1; // its lines begin here among the running file's
    QByteArray sentSha256;            // of the running file, once its transfer is over
    // Learning a folder's times: the folder, its stored files, their times in that order,
    // and which of them MDTM is to tell (indexes), asked from askedFrom on.
    QString stampFolder;
    std::vector<Job> stampJobs;
    QStringList stamps;
    std::vector<size_t> asked;
    size_t askedFrom = 0;
};

ParallelUpload::ParallelUpload(Settings settings, std::vector<Job> jobs, int sessions, QObject *parent)
    : QObject(parent), m_settings(std::move(settings)), m_queue(jobs.begin(), jobs.end())
{
    const int count = std::clamp(sessions, 1, 8);
    for (int i = 0; i < count; ++i) {
        auto s = std::make_unique<Session>();
        s->own = std::make_unique<TFtpClient>();
        s->client = s->own.get();
        TFtpClient &c = *s->client;
        c.setHostName(m_settings.host);
        c.setPort(m_settings.port);
        c.setUserName(m_settings.user);
        c.setPassWord(m_settings.password);
        c.setPassive(m_settings.passive);
        c.setTls(m_settings.tls);
        c.setTimeoutMs(m_settings.timeoutMs);
        c.setBinary(true);
        c.setCertificateCheck(m_settings.certificateCheck);
        // Each file's next step starts as soon as its reply is read.
        c.setDoneAfterReplies(true);
        addSession(std::move(s));
    }
    countFolders();
}

ParallelUpload::ParallelUpload(Settings settings, std::vector<Job> jobs, TFtpClient &loggedIn, QObject *parent)
    : QObject(parent), m_settings(std::move(settings)), m_queue(jobs.begin(), jobs.end())
{
    // The caller's session learns the times itself once the stage is over.
    m_settings.stampsByMlsd = m_settings.stampsByMdtm = false;
    auto s = std::make_unique<Session>();
    s->client = &loggedIn;
    loggedIn.setDoneAfterReplies(true);
    addSession(std::move(s));
}

void ParallelUpload::addSession(std::unique_ptr<Session> session)
{
    Session *raw = session.get();
    TFtpClient &c = *raw->client;
    if (m_settings.hashSent)
        c.setSentDataHash(&raw->sent);
    // The caller's session shows its lines and its end itself.
    if (!raw->borrowed())
        connect(&c, &TFtpClient::OnDisplay, this, [raw](const QString &line) { raw->lines << line; });
    connect(&c, &TFtpClient::OnRequestDone, this, [this, raw](FtpRequest, int status) { onDone(*raw, status); });
    connect(&c, &TFtpClient::OnStoreAfterRename, this, [raw] { raw->reservedLinesFrom = raw->lines.size(); });
    connect(&c, &TFtpClient::OnSessionClosed, this, [this, raw](int error) {
        if (!raw->borrowed())
            raw->lines << u"Spojení ukončeno, error = "_s + QString::number(error);
        onClosed(*raw);
    });
    connect(&c, &TFtpClient::OnProgress, this, [this, raw](qint64 bytes) {
        raw->moving = bytes;
        Q_EMIT progress(inFlight());
    });
    m_sessions.push_back(std::move(session));
}

ParallelUpload::~ParallelUpload()
{
    for (auto &s : m_sessions) {
        if (s->borrowed()) {
            s->client->setSentDataHash(nullptr);
            s->client->setDoneAfterReplies(false);
        }
    }
}

TFtpClient &ParallelUpload::session(int index)
{
    return *m_sessions.at(size_t(index))->client;
}

qint64 ParallelUpload::inFlight() const
{
    qint64 total = 0;
    for (const auto &s : m_sessions)
        total += s->job ? s->moving : 0;
    return total;
}

QString ParallelUpload::remotePath(const QString &path) const
{
    if (m_settings.directory.isEmpty() || path.startsWith(u'/'))
        return path;
    return m_settings.directory.endsWith(u'/') ? m_settings.directory + path : m_settings.directory + u'/' + path;
}

void ParallelUpload::begin()
{
    if (m_begun)
        return;
    m_begun = true;
    // A session's time-out is measured by its own synchronous wait, which the
    // asynchronous requests here do not have: a silent server is caught by this clock.
    m_watch.setInterval(std::clamp(m_settings.timeoutMs / 10, 5, 250));
    connect(&m_watch, &QTimer::timeout, this, [this] {
        for (auto &s : m_sessions) {
            if (s->phase != Phase::Gone && s->phase != Phase::Idle && s->phase != Phase::Ready
                && s->client->SilenceMs() > m_settings.timeoutMs)
                s->client->TimeOut();
        }
    });
    m_watch.start();
    for (auto &s : m_sessions)
        start(*s);
}

void ParallelUpload::setJobs(std::vector<Job> jobs)
{
    m_queue.assign(jobs.begin(), jobs.end());
    countFolders();
}

void ParallelUpload::countFolders()
{
    m_folders.clear();
    if (!learnsStamps())
        return;
    for (const Job &job : m_queue)
        ++m_folders[parallelFolderOf(job.remote)].pending;
}

// Once every file of a folder is over, its stored files' times can be learned: the next
// session free does it before it takes another file, so the listings go on while the
// other sessions still store, and only the last folder's is left for the end.
void ParallelUpload::folderFileOver(const Job &job, bool stored)
{
    if (!learnsStamps())
        return;
    const auto it = m_folders.find(parallelFolderOf(job.remote));
    if (it == m_folders.end())
        return;
    if (stored)
        it->stored.push_back(job);
    if (--it->pending == 0 && !it->stored.empty())
        m_stampQueue.push_back(it.key());
}

bool ParallelUpload::takeStampWork(Session &s)
{
    if (m_stop || m_stampQueue.empty() || s.borrowed())
        return false;
    s.stampFolder = m_stampQueue.front();
    m_stampQueue.pop_front();
    s.stampJobs = std::exchange(m_folders[s.stampFolder].stored, {});
    s.stamps = QStringList(qsizetype(s.stampJobs.size()));
    s.asked.clear();
    s.askedFrom = 0;
    s.phase = Phase::Listing;
    s.client->setHostFileName(s.stampFolder);
    try {
        if (m_settings.stampsByMlsd)
            s.client->Mlsd();
        else
            s.client->List();
    } catch (const FtpException &e) {
        s.lines << e.message();
        if (!s.client->Connected())
            lost(s);
        else
            stampStep(s, 1); // as a refused listing: MDTM alone tells
    }
    return true;
}

// The same choice as the caller's session makes after a single-session upload: a time from
// the listing where it shows the file at the size stored, MDTM where it shows no time, and
// none where it shows another file.
void ParallelUpload::stampStep(Session &s, int status)
{
    if (m_stop) {
        // The stop ends the learning too; what was not learned stays unknown.
        s.stampJobs.clear();
        s.stamps.clear();
        next(s);
        return;
    }
    if (s.phase == Phase::Listing) {
        std::optional<RemoteDirectory> listing;
        if (status == 0) {
            const QByteArray data = s.client->ListingData();
            listing = m_settings.stampsByMlsd ? parseMlsdListing(data) : parseListListing(data);
        }
        for (size_t i = 0; i < s.stampJobs.size(); ++i) {
            const Job &job = s.stampJobs[i];
            const std::optional<QString> listed = listedStamp(listing, job.remote.section(u'/', -1), job.size);
            if (!listed)
                continue;
            s.stamps[qsizetype(i)] = *listed;
            if (listed->isEmpty())
                s.asked.push_back(i);
        }
        askStamps(s);
        return;
    }
    const size_t batch = std::min(s.asked.size() - s.askedFrom, size_t(ParallelStampBatch));
    const auto answered = status == 0 ? s.client->AnsweredStamps() : std::nullopt;
    if (!answered) {
        deliverStamps(s); // the rest stay without a time, as the single session leaves them
        return;
    }
    for (size_t k = 0; k < batch; ++k)
        s.stamps[qsizetype(s.asked[s.askedFrom + k])] = answered->value(qsizetype(k));
    s.askedFrom += batch;
    askStamps(s);
}

void ParallelUpload::askStamps(Session &s)
{
    if (!m_settings.stampsByMdtm || s.askedFrom >= s.asked.size()) {
        deliverStamps(s);
        return;
    }
    QStringList paths;
    const size_t end = std::min(s.asked.size(), s.askedFrom + size_t(ParallelStampBatch));
    for (size_t k = s.askedFrom; k < end; ++k)
        paths << s.stampJobs[s.asked[k]].remote;
    s.phase = Phase::Stamps;
    try {
        s.client->MdtmAll(paths);
    } catch (const FtpException &e) {
        s.lines << e.message();
        if (!s.client->Connected())
            lost(s);
        else
            deliverStamps(s);
    }
}

void ParallelUpload::deliverStamps(Session &s)
{
    QStringList relatives;
    for (const Job &job : std::exchange(s.stampJobs, {}))
        relatives << job.relative;
    const QStringList stamps = std::exchange(s.stamps, {});
    s.stampFolder.clear();
    // The listing's and the MDTMs' lines, together and apart from any file's.
    if (!s.lines.isEmpty())
        Q_EMIT fileLog(std::exchange(s.lines, {}));
    Q_EMIT stampsLearned(relatives, stamps);
    if (s.phase != Phase::Gone)
        next(s);
}

void ParallelUpload::run()
{
    QEventLoop loop;
    connect(this, &ParallelUpload::finished, &loop, &QEventLoop::quit);
    m_running = true;
    for (auto &[isFailure, texts] : std::exchange(m_held, {})) {
        if (isFailure)
            Q_EMIT failure(texts.value(0));
        else
            Q_EMIT fileLog(texts);
    }
    if (!m_begun) {
        begin();
    } else {
        for (auto &s : m_sessions) {
            if (s->phase == Phase::Ready)
                next(*s);
        }
        // Every session that logged in ahead was refused or lost: the files fail as they
        // would have if the logins had come now.
        const bool anyAlive = std::any_of(m_sessions.begin(), m_sessions.end(),
                                          [](const auto &s) { return s->phase != Phase::Gone; });
        if (!anyAlive)
            afterRetire(*m_sessions.front());
    }
    checkFinished();
    if (!m_finished)
        loop.exec();
    m_watch.stop();
}

void ParallelUpload::showFailure(const QString &text)
{
    if (m_running)
        Q_EMIT failure(text);
    else
        m_held.emplace_back(true, QStringList{text});
}

void ParallelUpload::showLines(const QStringList &lines)
{
    if (m_running)
        Q_EMIT fileLog(lines);
    else
        m_held.emplace_back(false, lines);
}

void ParallelUpload::stop()
{
    m_stop = true;
    for (auto &s : m_sessions)
        s->client->StopTransfer();
}

void ParallelUpload::start(Session &s)
{
    if (m_running && (m_queue.empty() || m_stop) && m_leftTemporaries.isEmpty()) {
        retire(s);
        return;
    }
    if (s.borrowed()) {
        next(s);
        return;
    }
    s.phase = Phase::Login;
    try {
        s.client->Open();
    } catch (const FtpException &e) {
        s.lines << e.message();
        retire(s);
    }
}

void ParallelUpload::onDone(Session &s, int status)
{
    if (s.phase == Phase::Gone || s.phase == Phase::Idle || s.phase == Phase::Ready)
        return;
    if (status != 0 && status != TFtpClient::StoppedStatus && s.error.isEmpty() && parallelPhaseShowsRefusal(s.phase))
        s.error = u"Error = "_s + QString::number(status) + u" ("_s + s.client->ErrorMessage() + u')';
    if (!s.client->Connected()) {
        lost(s);
        return;
    }
    try {
        if (s.phase == Phase::Login || s.phase == Phase::User || s.phase == Phase::Pass || s.phase == Phase::Type
            || s.phase == Phase::Enter)
            loginStep(s, status);
        else
            transferStep(s, status);
    } catch (const FtpException &e) {
        refused(s, e);
    }
}

void ParallelUpload::loginStep(Session &s, int status)
{
    if (status != 0) {
        showFailure(s.error);
        retire(s);
        return;
    }
    switch (s.phase) {
    case Phase::Login:
        s.phase = Phase::User;
        s.client->User();
        return;
    case Phase::User:
        if (s.client->StatusCode() != 230) {
            s.phase = Phase::Pass;
            s.client->Pass();
            return;
        }
        [[fallthrough]];
    case Phase::Pass:
        // The login sets TYPE I itself; asked again only when the server refused it then.
        if (!s.client->BinaryInEffect()) {
            s.phase = Phase::Type;
            s.client->TypeSet();
            return;
        }
        [[fallthrough]];
    case Phase::Type:
        if (!m_settings.directory.isEmpty()) {
            // Where the caller's session stands, so relative paths name the same files.
            s.phase = Phase::Enter;
            s.client->setHostDirName(m_settings.directory);
            s.client->Cwd();
            return;
        }
        [[fallthrough]];
    default:
        next(s);
        return;
    }
}

void ParallelUpload::transferStep(Session &s, int status)
{
    const bool refusedHere = status != 0 && status != TFtpClient::StoppedStatus;
    // Taken now: the next file's transfer may start before this one is logged.
    if ((s.phase == Phase::Store || s.phase == Phase::PlainStore) && status == 0 && m_settings.hashSent)
        s.sentSha256 = s.sent.result();
    switch (s.phase) {
    case Phase::FileType:
        // Refused, the file is tried all the same, as the server may store it anyway.
        if (refusedHere)
            note(s, uploadFailureText());
        storeStep(s, false);
        return;
    case Phase::Store: {
        if (status == 0) {
            if (s.temporary.isEmpty())
                return finishJob(s, true);
            // The next file's passive port is asked for with the rename, in the same round
            // trip, and its STOR goes as soon as the rename is answered as done.
            s.phase = Phase::Rename;
            // A folder whose times wait is the next thing for this session: no next file
            // goes out with the rename, or the times would wait for the last file.
            const bool more = !m_queue.empty() && !m_stop && m_stampQueue.empty();
            if (more && m_leftTemporaries.isEmpty()) {
                s.reserved = m_queue.front();
                m_queue.pop_front();
                s.reservedTemporary = s.reserved->temporary.isEmpty() ? temporaryBeside(s.reserved->remote)
                                                                      : s.reserved->temporary;
                s.client->setStoreAfterRename(s.reservedTemporary, s.reserved->local);
            } else {
                s.client->setStoreAfterRename({}, {});
            }
            s.client->setHostFileName(s.temporary);
            s.client->Rename(s.job->remote, more);
            return;
        }
        if (refusedHere)
            note(s, uploadFailureText());
        const bool accepted = s.client->TransferAccepted();
        if (s.temporary.isEmpty()) {
            s.incomplete = accepted;
            return finishJob(s, false);
        }
        // A stop can meet a file whose STOR the server has taken but not yet answered:
        // the server may have made the temporary file already, so it is deleted too.
        if (!accepted && !m_stop)
            return finishJob(s, false);
        if (accepted && s.job->keepIfCut) {
            Q_EMIT keptForResume(*s.job, s.temporary);
            return finishJob(s, false);
        }
        s.phase = Phase::Delete; // a cut temporary file does not stay behind
        deleteTemporary(s);
        return;
    }
    case Phase::Rename:
        if (status != 0) {
            // The whole file is there under its temporary name: it goes, and the file is
            // stored under its own name instead.
            note(s, u"Server nepřejmenoval dočasný soubor, "_s + s.job->remote.section(u'/', -1)
                        + u" se ukládá přímo"_s);
            s.phase = Phase::RenameDelete;
            deleteTemporary(s);
            return;
        }
        return finishJob(s, true);
    case Phase::Delete:
    case Phase::RenameDelete:
        if (status != 0)
            note(s, u"Dočasný soubor se nepodařilo smazat: "_s + remotePath(s.temporary));
        s.temporary.clear();
        if (s.phase == Phase::Delete)
            return finishJob(s, false);
        storeStep(s, true);
        return;
    case Phase::PlainStore:
        if (refusedHere)
            note(s, uploadFailureText());
        return finishJob(s, status == 0);
    case Phase::Cleanup:
        if (status != 0)
            s.lines << u"Dočasný soubor se nepodařilo smazat: "_s + s.client->HostFileName();
        next(s);
        return;
    case Phase::Listing:
    case Phase::Stamps:
        stampStep(s, status);
        return;
    default:
        return;
    }
}

void ParallelUpload::note(Session &s, const QString &line)
{
    // The caller's session logs as it goes; the others keep a file's lines together.
    if (s.borrowed())
        Q_EMIT fileLog({line});
    else
        s.lines << line;
}

// The file reserved with the last rename: taken up when its STOR went already, otherwise
// back to the head of the line.
bool ParallelUpload::takeReserved(Session &s)
{
    if (!s.reserved)
        return false;
    if (!s.client->StoreUnderway()) {
        handBackReserved(s);
        return false;
    }
    s.job = *std::exchange(s.reserved, std::nullopt);
    s.moving = 0;
    s.error.clear();
    s.incomplete = false;
    storeStep(s, false, s.reservedTemporary);
    return true;
}

void ParallelUpload::handBackReserved(Session &s)
{
    if (!s.reserved)
        return;
    if (s.client->StoreUnderway()) {
        // Its STOR went: the server may hold part of it under the temporary name.
        if (s.borrowed())
            m_leftBehind << s.reservedTemporary;
        else
            m_leftTemporaries << s.reservedTemporary;
    }
    if (!m_stop)
        m_queue.push_front(*s.reserved);
    s.reserved.reset();
}

void ParallelUpload::next(Session &s)
{
    if (!m_running) {
        // Logged in before the files are known: it takes its first one when run() starts.
        s.phase = Phase::Ready;
        return;
    }
    if (takeReserved(s))
        return;
    if (!m_leftTemporaries.isEmpty()) {
        // What a lost session left half-stored goes first.
        s.phase = Phase::Cleanup;
        s.client->setHostFileName(m_leftTemporaries.takeFirst());
        try {
            s.client->Dele();
        } catch (const FtpException &e) {
            refused(s, e);
        }
        return;
    }
    if (takeStampWork(s))
        return;
    if (m_queue.empty() || m_stop) {
        s.phase = Phase::Idle;
        retire(s);
        return;
    }
    s.job = m_queue.front();
    m_queue.pop_front();
    s.moving = 0;
    s.error.clear();
    s.temporary.clear();
    s.incomplete = false;
    // Once per connection is enough; a refused or lost one asks again with every file.
    if (s.client->BinaryInEffect())
        storeStep(s, false);
    else
        typeStep(s);
}

void ParallelUpload::typeStep(Session &s)
{
    s.phase = Phase::FileType;
    s.client->setBinary(true);
    try {
        s.client->TypeSet();
    } catch (const FtpException &) {
        if (!m_stop)
            note(s, uploadFailureText());
        storeStep(s, false);
    }
}

void ParallelUpload::storeStep(Session &s, bool plain, const QString &temporary)
{
    s.phase = plain ? Phase::PlainStore : Phase::Store;
    s.temporary = plain || !m_settings.safe ? QString()
                  : !temporary.isEmpty()    ? temporary
                  : !s.job->temporary.isEmpty() ? s.job->temporary
                                            : temporaryBeside(s.job->remote);
    s.client->setHostFileName(s.temporary.isEmpty() ? s.job->remote : s.temporary);
    s.client->setLocalFileName(s.job->local);
    try {
        s.client->Put();
    } catch (const FtpException &e) {
        s.temporary.clear();
        refused(s, e);
    }
}

void ParallelUpload::refused(Session &s, const FtpException &e)
{
    if (!s.borrowed()) {
        s.lines << e.message();
        if (!s.client->Connected()) {
            lost(s);
            return;
        }
    }
    if (!s.job) {
        retire(s);
        return;
    }
    if (!m_stop)
        note(s, uploadFailureText());
    // Failing the next file at once would nest one call per file a lost session fails.
    QMetaObject::invokeMethod(this, [this, raw = &s] {
        if (raw->job && raw->phase != Phase::Gone)
            finishJob(*raw, false);
    }, Qt::QueuedConnection);
}

void ParallelUpload::deleteTemporary(Session &s)
{
    s.client->setHostFileName(s.temporary);
    s.client->Dele();
}

void ParallelUpload::finishJob(Session &s, bool stored)
{
    const Job job = *s.job;
    s.job.reset();
    s.moving = 0;
    // The lines of the file whose STOR went with this one's rename are the next file's.
    QStringList following;
    if (s.reservedLinesFrom >= 0 && s.reservedLinesFrom <= s.lines.size()) {
        following = s.lines.mid(s.reservedLinesFrom);
        s.lines.resize(s.reservedLinesFrom);
    }
    s.reservedLinesFrom = -1;
    if (!stored && m_stop)
        note(s, u"Zastaveno: "_s + job.relative);
    else
        note(s, (stored ? u"Nahráno: "_s : u"Nenahráno: "_s) + job.relative);
    // Stored straight under its name, a cut transfer leaves part of the file there; what
    // was there before is overwritten already, so it stays, but the user must know.
    if (!stored && s.incomplete)
        note(s, u"Na serveru zůstal neúplný soubor: "_s + job.relative);
    s.incomplete = false;
    if (!s.lines.isEmpty())
        Q_EMIT fileLog(s.lines);
    s.lines = following;
    // Shown as the single session shows it; the receiver shows each text once.
    if (!stored && !m_stop && !s.error.isEmpty())
        Q_EMIT failure(s.error);
    s.error.clear();
    Q_EMIT fileDone(job, stored, stored && m_settings.hashSent ? std::exchange(s.sentSha256, {}) : QByteArray());
    folderFileOver(job, stored);
    if (s.phase != Phase::Gone) // a receiver may have ended the session
        next(s);
}

void ParallelUpload::onClosed(Session &s)
{
    // A request the close cut off still reports its end: the session is dealt with then.
    if (s.phase == Phase::Gone || s.client->RequestRunning())
        return;
    QMetaObject::invokeMethod(this, [this, raw = &s] {
        if (raw->phase != Phase::Gone && !raw->client->RequestRunning())
            lost(*raw);
    }, Qt::QueuedConnection);
}

void ParallelUpload::lost(Session &s)
{
    if (s.phase == Phase::Gone)
        return;
    handBackReserved(s);
    if (!s.stampJobs.empty() && !m_stop) {
        // The folder's times go to another session; with none left, the caller asks.
        m_folders[s.stampFolder].stored = std::exchange(s.stampJobs, {});
        m_stampQueue.push_front(s.stampFolder);
    }
    s.stampJobs.clear();
    s.stamps.clear();
    if (!s.borrowed()) {
        // The file it was sending goes back to the others; it never failed on the server.
        s.error.clear();
        if (s.job) {
            // A large file cut off keeps what reached the server for the next upload; the
            // session that takes it over now stores it again under the same name.
            const bool keep = s.job->keepIfCut && s.phase == Phase::Store && s.client->TransferAccepted()
                              && !s.temporary.isEmpty();
            if (keep)
                Q_EMIT keptForResume(*s.job, s.temporary);
            else if (!s.temporary.isEmpty() && s.phase != Phase::Delete && s.phase != Phase::RenameDelete)
                m_leftTemporaries << s.temporary;
            if (!m_stop) {
                m_queue.push_front(*s.job);
                m_handedBack = true;
            }
            s.lines << u"Soubor %1 převezme jiné spojení"_s.arg(s.job->relative);
            s.job.reset();
        }
        retire(s);
        return;
    }
    // The caller's session has no other to hand its file to: the file fails, and the next
    // ones are tried alike, each refused at once.
    if (!s.job)
        return;
    if (!m_stop)
        note(s, uploadFailureText());
    const bool accepted = s.client->TransferAccepted();
    if (!s.temporary.isEmpty() && (s.phase != Phase::Store || accepted)) {
        if (s.phase == Phase::Store && s.job->keepIfCut)
            Q_EMIT keptForResume(*s.job, s.temporary);
        else
            m_leftBehind << s.temporary; // deleted over a new connection later
    } else if (s.temporary.isEmpty() && s.phase == Phase::Store && accepted) {
        s.incomplete = true;
    }
    s.temporary.clear();
    finishJob(s, false);
}

void ParallelUpload::retire(Session &s)
{
    if (s.phase == Phase::Gone)
        return;
    handBackReserved(s);
    s.phase = Phase::Gone;
    if (!s.lines.isEmpty()) {
        showLines(s.lines);
        s.lines.clear();
    }
    // Disconnecting inside its own notification would pull the session from under it.
    QMetaObject::invokeMethod(this, [this, raw = &s] { afterRetire(*raw); }, Qt::QueuedConnection);
}

void ParallelUpload::afterRetire(Session &s)
{
    if (!s.borrowed() && s.client->Connected())
        s.client->Abort();
    if (!m_running)
        return; // logging in ahead: what the loss means is settled when the files come
    const bool anyAlive = std::any_of(m_sessions.begin(), m_sessions.end(),
                                      [](const auto &other) { return other->phase != Phase::Gone; });
    if (!anyAlive && (!m_queue.empty() || !m_leftTemporaries.isEmpty())) {
        // Files handed back after the others had finished: a fresh session takes them,
        // as many times as there were sessions, so a dead server does not loop forever.
        // Only for files a lost session handed back: a refused login would only be refused again.
        if ((m_handedBack || !m_leftTemporaries.isEmpty()) && m_restarts < int(m_sessions.size())
            && (!m_stop || m_queue.empty())) {
            ++m_restarts;
            m_handedBack = false;
            s.lines << u"Nové spojení pro zbývající soubory"_s;
            start(s);
            return;
        }
        // Files a stop left unsent are neither stored nor failed.
        while (!m_queue.empty() && !m_stop) {
            const Job job = m_queue.front();
            m_queue.pop_front();
            Q_EMIT fileLog({uploadFailureText(), u"Nenahráno: "_s + job.relative});
            Q_EMIT fileDone(job, false, {});
            folderFileOver(job, false);
        }
        m_queue.clear();
        if (!m_leftTemporaries.isEmpty())
            Q_EMIT fileLog({u"Dočasné soubory zůstaly na serveru: "_s + m_leftTemporaries.join(u", "_s)});
        m_leftBehind << m_leftTemporaries;
        m_leftTemporaries.clear();
    }
    checkFinished();
}

void ParallelUpload::checkFinished()
{
    if (m_finished || !m_running)
        return;
    for (const auto &s : m_sessions) {
        if (s->phase != Phase::Gone)
            return;
    }
    m_finished = true;
    Q_EMIT finished();
}
