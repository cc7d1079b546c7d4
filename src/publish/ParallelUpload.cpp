#include "publish/ParallelUpload.h"

#include "publish/UploadJournal.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QRandomGenerator>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

// Outside the anonymous namespace: a session, a type with linkage, holds one.
enum class ParallelUploadPhase { Login, User, Pass, Type, Store, Rename, Delete, Cleanup, Idle, Gone };

namespace {

using Phase = ParallelUploadPhase;

QString temporaryBeside(const QString &remote)
{
    const qsizetype slash = remote.lastIndexOf(u'/');
    const QString name = UploadJournal::temporaryName();
    return slash < 0 ? name : remote.left(slash + 1) + name;
}

} // namespace

struct ParallelUpload::Session
{
    TFtpClient client;
    Phase phase = Phase::Login;
    std::optional<Job> job;
    QString temporary;
    QStringList lines;
    QString error; // the first refusal of the running file or login
    qint64 moving = 0;
    QCryptographicHash sent{QCryptographicHash::Sha256};
};

ParallelUpload::ParallelUpload(Settings settings, std::vector<Job> jobs, int sessions, QObject *parent)
    : QObject(parent), m_settings(std::move(settings)), m_queue(jobs.begin(), jobs.end())
{
    const int count = std::clamp(sessions, 1, 8);
    for (int i = 0; i < count; ++i) {
        auto s = std::make_unique<Session>();
        Session *raw = s.get();
        TFtpClient &c = s->client;
        c.setHostName(m_settings.host);
        c.setPort(m_settings.port);
        c.setUserName(m_settings.user);
        c.setPassWord(m_settings.password);
        c.setPassive(m_settings.passive);
        c.setTls(m_settings.tls);
        c.setTimeoutMs(m_settings.timeoutMs);
        c.setBinary(true);
        c.setCertificateCheck(m_settings.certificateCheck);
        if (m_settings.hashSent)
            c.setSentDataHash(&s->sent);
        connect(&c, &TFtpClient::OnDisplay, this, [raw](const QString &line) { raw->lines << line; });
        connect(&c, &TFtpClient::OnRequestDone, this, [this, raw](FtpRequest r, int status) { onDone(*raw, r, status); });
        connect(&c, &TFtpClient::OnSessionClosed, this, [this, raw](int error) {
            raw->lines << u"Spojení ukončeno, error = "_s + QString::number(error);
            onClosed(*raw);
        });
        connect(&c, &TFtpClient::OnProgress, this, [this, raw](qint64 bytes) {
            raw->moving = bytes;
            Q_EMIT progress(inFlight());
        });
        m_sessions.push_back(std::move(s));
    }
}

ParallelUpload::~ParallelUpload() = default;

TFtpClient &ParallelUpload::session(int index)
{
    return m_sessions.at(size_t(index))->client;
}

qint64 ParallelUpload::inFlight() const
{
    qint64 total = 0;
    for (const auto &s : m_sessions)
        total += s->job ? s->moving : 0;
    return total;
}

void ParallelUpload::run()
{
    QEventLoop loop;
    connect(this, &ParallelUpload::finished, &loop, &QEventLoop::quit);
    // A session's time-out is measured by its own synchronous wait, which the
    // asynchronous requests here do not have: a silent server is caught by this clock.
    QTimer watch;
    watch.setInterval(std::clamp(m_settings.timeoutMs / 10, 5, 250));
    connect(&watch, &QTimer::timeout, this, [this] {
        for (auto &s : m_sessions) {
            if (s->phase != Phase::Gone && s->phase != Phase::Idle && s->client.SilenceMs() > m_settings.timeoutMs) {
                s->lines << u"Timeout"_s;
                s->client.Abort();
            }
        }
    });
    watch.start();
    for (auto &s : m_sessions)
        start(*s);
    checkFinished();
    if (!m_finished)
        loop.exec();
}

void ParallelUpload::stop()
{
    m_stop = true;
    for (auto &s : m_sessions)
        s->client.StopTransfer();
}

void ParallelUpload::start(Session &s)
{
    if ((m_queue.empty() || m_stop) && m_leftTemporaries.isEmpty()) {
        retire(s);
        return;
    }
    s.phase = Phase::Login;
    try {
        s.client.Open();
    } catch (const FtpException &e) {
        s.lines << e.message();
        retire(s);
    }
}

void ParallelUpload::onDone(Session &s, FtpRequest, int status)
{
    if (s.phase == Phase::Gone)
        return;
    if (!s.client.Connected()) {
        onClosed(s);
        return;
    }
    if (status != 0 && status != TFtpClient::StoppedStatus && s.error.isEmpty())
        s.error = u"Error = "_s + QString::number(status) + u" ("_s + s.client.ErrorMessage() + u')';
    try {
        if (s.phase == Phase::Login || s.phase == Phase::User || s.phase == Phase::Pass || s.phase == Phase::Type)
            loginStep(s, status);
        else
            transferStep(s, status);
    } catch (const FtpException &e) {
        s.lines << e.message();
        if (s.job)
            finishJob(s, false);
        else
            retire(s);
    }
}

void ParallelUpload::loginStep(Session &s, int status)
{
    if (status != 0) {
        Q_EMIT failure(s.error);
        retire(s);
        return;
    }
    switch (s.phase) {
    case Phase::Login:
        s.phase = Phase::User;
        s.client.User();
        return;
    case Phase::User:
        if (s.client.StatusCode() != 230) {
            s.phase = Phase::Pass;
            s.client.Pass();
            return;
        }
        [[fallthrough]];
    case Phase::Pass:
        s.phase = Phase::Type;
        s.client.TypeSet();
        return;
    default:
        next(s);
        return;
    }
}

void ParallelUpload::transferStep(Session &s, int status)
{
    switch (s.phase) {
    case Phase::Store:
        if (status != 0) {
            // A stop can meet a file whose STOR the server has taken but not yet answered:
            // the server may have made the temporary file already, so it is deleted too.
            if (s.temporary.isEmpty() || (!s.client.TransferAccepted() && !m_stop))
                return finishJob(s, false);
            s.phase = Phase::Delete; // a cut temporary file does not stay behind
            s.client.setHostFileName(s.temporary);
            s.client.Dele();
            return;
        }
        if (s.temporary.isEmpty())
            return finishJob(s, true);
        // The next file's passive port is asked for with the rename, in the same round trip.
        s.phase = Phase::Rename;
        s.client.Rename(s.job->remote, !m_queue.empty() && !m_stop);
        return;
    case Phase::Rename:
        if (status != 0) {
            // The whole file is there under its temporary name: it does not stay behind.
            s.phase = Phase::Delete;
            s.client.setHostFileName(s.temporary);
            s.client.Dele();
            return;
        }
        return finishJob(s, true);
    case Phase::Delete:
        return finishJob(s, false);
    case Phase::Cleanup:
        if (status != 0)
            s.lines << u"Dočasný soubor se nepodařilo smazat: "_s + s.client.HostFileName();
        next(s);
        return;
    default:
        return;
    }
}

void ParallelUpload::next(Session &s)
{
    if (!m_leftTemporaries.isEmpty()) {
        // What a lost session left half-stored goes first.
        s.phase = Phase::Cleanup;
        s.client.setHostFileName(m_leftTemporaries.takeFirst());
        s.client.Dele();
        return;
    }
    if (m_queue.empty() || m_stop) {
        s.phase = Phase::Idle;
        retire(s);
        return;
    }
    s.job = m_queue.front();
    m_queue.pop_front();
    s.moving = 0;
    s.error.clear();
    storeStep(s);
}

void ParallelUpload::storeStep(Session &s)
{
    s.phase = Phase::Store;
    s.temporary = m_settings.safe ? temporaryBeside(s.job->remote) : QString();
    s.client.setHostFileName(m_settings.safe ? s.temporary : s.job->remote);
    s.client.setLocalFileName(s.job->local);
    try {
        s.client.Put();
    } catch (const FtpException &e) {
        s.lines << e.message();
        if (s.client.Connected())
            finishJob(s, false);
        else
            onClosed(s);
    }
}

void ParallelUpload::finishJob(Session &s, bool stored)
{
    const Job job = *s.job;
    s.job.reset();
    s.moving = 0;
    if (!stored && m_stop)
        s.lines << u"Zastaveno: "_s + job.relative;
    else
        s.lines << (stored ? u"Nahráno: "_s : u"Nenahráno: "_s) + job.relative;
    Q_EMIT fileLog(s.lines);
    s.lines.clear();
    // Shown as the single session shows it; the receiver shows each text once.
    if (!stored && !m_stop && !s.error.isEmpty())
        Q_EMIT failure(s.error);
    s.error.clear();
    Q_EMIT fileDone(job, stored, stored && m_settings.hashSent ? s.sent.result() : QByteArray());
    if (s.phase != Phase::Gone) // a receiver may have ended the session
        next(s);
}

void ParallelUpload::onClosed(Session &s)
{
    if (s.phase == Phase::Gone)
        return;
    // The file it was sending goes back to the others; it never failed on the server.
    if (s.job) {
        if (!s.temporary.isEmpty() && s.phase != Phase::Delete)
            m_leftTemporaries << s.temporary;
        if (!m_stop) {
            m_queue.push_front(*s.job);
            m_handedBack = true;
        }
        s.lines << u"Soubor %1 převezme jiné spojení"_s.arg(s.job->relative);
        s.job.reset();
    }
    retire(s);
}

void ParallelUpload::retire(Session &s)
{
    if (s.phase == Phase::Gone)
        return;
    s.phase = Phase::Gone;
    if (!s.lines.isEmpty()) {
        Q_EMIT fileLog(s.lines);
        s.lines.clear();
    }
    // Disconnecting inside its own notification would pull the session from under it.
    QMetaObject::invokeMethod(this, [this, raw = &s] { afterRetire(*raw); }, Qt::QueuedConnection);
}

void ParallelUpload::afterRetire(Session &s)
{
    if (s.client.Connected())
        s.client.Abort();
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
            Q_EMIT fileLog({u"Nenahráno: "_s + job.relative});
            Q_EMIT fileDone(job, false, {});
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
    if (m_finished)
        return;
    for (const auto &s : m_sessions) {
        if (s->phase != Phase::Gone)
            return;
    }
    m_finished = true;
    Q_EMIT finished();
}
