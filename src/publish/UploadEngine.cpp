#include "publish/UploadEngine.h"

#include "publish/UploadEngineRun.h"
#include "markup/FileReferences.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString &Failure = uploadFailureText();

// The folder a stored file is counted in for learning its time ("." where the upload
// started), and its name there.
std::pair<QString, QString> storedFolderAndName(const QString &relative)
{
    const qsizetype slash = relative.lastIndexOf(u'/');
    return {slash > 0 ? relative.left(slash) : u"."_s, relative.mid(slash + 1)};
}

struct TreeSize
{
    qint64 files = 0;
    qint64 bytes = 0;
    qint64 directories = 0;
};

// The files the walk will meet below directory, counted the way the walk lists them.
void measureTree(const QString &directory, const UploadEngine::Options &options, QStringList &walkPath, TreeSize &size)
{
    const bool subdirectories = options.subdirectories;
    const QFileInfoList entries =
        QDir(directory).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo &info : entries) {
        if (!info.isDir()) {
            if (!UploadEngine::walkSends(info.fileName(), options))
                continue;
            ++size.files;
            size.bytes += info.size();
            continue;
        }
        ++size.directories;
        const QString canonical = info.canonicalFilePath();
        if (!subdirectories || canonical.isEmpty() || walkPath.contains(canonical))
            continue;
        walkPath << canonical;
        measureTree(info.filePath(), options, walkPath, size);
        walkPath.removeLast();
    }
}

} // namespace

QString withSeparator(const QString &directory)
{
    return directory.endsWith(u'/') ? directory : directory + u'/';
}

QString bareName(const QString &entry)
{
    QString name = entry;
    const qsizetype open = name.indexOf(u'[');
    if (open >= 0)
        name.remove(open, 1);
    const qsizetype close = name.indexOf(u']');
    if (close >= 0)
        name.remove(close, 1);
    return name;
}

UploadEngine::UploadEngine(RemoteSession &session, QObject *parent) : QObject(parent), m_session(&session) {}

UploadEngine::UploadEngine(TFtpClient &session, QObject *parent)
    : QObject(parent), m_ftp(std::make_unique<FtpRemoteSession>(session)), m_session(m_ftp.get())
{
}

void UploadEngine::setCertificateCheck(TFtpClient::CertificateCheck check)
{
    if (m_ftp)
        m_ftp->setCertificateCheck(std::move(check));
}

UploadEngine::~UploadEngine() = default;

QStringList UploadEngine::directoryEntries(const QString &directory)
{
    const QFileInfoList entries = QDir(directory).entryInfoList(QDir::Dirs | QDir::Files, QDir::NoSort);
    QStringList texts;
    texts.reserve(entries.size());
    for (const QFileInfo &info : entries)
        texts << (info.isDir() ? u'[' + info.fileName() + u']' : info.fileName());
    std::sort(texts.begin(), texts.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return texts;
}

void UploadEngine::check(bool succeeded)
{
    // A transfer the user stopped did not fail.
    if (!succeeded && !(m_run && m_run->stop && m_session->stoppedByUser()))
        log(Failure);
}

void UploadEngine::stop()
{
    if (m_run && !m_run->stop) {
        m_run->stop = true;
        log(u"Nahrávání se zastavuje"_s);
    }
    if (m_parallel)
        m_parallel->stop();
    else
        m_session->stopTransfer();
}

void UploadEngine::abandon()
{
    m_abandoned = true;
    if (m_run)
        m_run->stop = true;
    if (m_parallel)
        m_parallel->stop();
}

bool UploadEngine::run(const Options &options)
{
    m_abandoned = false;
    if (!start(options))
        return false;
    m_walkPath = {QFileInfo(m_run->startLocal).canonicalFilePath()};
    uploadDirectory(m_run->startLocal);
    m_walkPath.clear();
    // The cut files about to go are in the journal before a byte of them leaves: if the
    // program is killed meanwhile, the next upload goes on with what reached the server.
    if (m_run->partialsChanged && !m_run->journal.save())
        log(u"Deník nahrávání se nepodařilo uložit: "_s + m_run->journal.path());
    if (!m_run->stop && !m_run->jobs.empty())
        storeFiles();
    m_session->dropPreparedStoreStage(); // nothing to store, or stopped during the walk
    // What the store stage did not learn itself. After a stop too: a file stored without
    // the server's time would lose the question when someone changes it there at the same
    // size.
    if (m_session->connected() && !m_run->remoteStart.isEmpty()) {
        for (auto it = m_run->storedIn.cbegin(); it != m_run->storedIn.cend(); ++it)
            recordRemoteStamps(joinRemote(m_run->remoteStart, it.key()), it.key(), it.value());
    }
    if (options.deleteOrphans && !m_run->stop && !m_run->remoteStart.isEmpty() && m_session->connected())
        removeOrphans();
    finish();
    return true;
}

bool UploadEngine::start(const Options &options)
{
    auto run = std::make_unique<Run>();
    run->options = options;
    run->startLocal = withSeparator(QDir::fromNativeSeparators(options.home));
    TreeSize size;
    QStringList walk{QFileInfo(run->startLocal).canonicalFilePath()};
    measureTree(run->startLocal, options, walk, size);
    if (size.files == 0 && size.directories == 0)
        return false; // an empty home directory uploads nothing and logs nothing
    run->totalFiles = size.files;
    run->totalBytes = size.bytes;
    m_run = std::move(run);
    if (m_session->connected()) {
        // Where the upload starts: the key of its journal, and the way back for cleaning up.
        EngineQuiet quiet(*this);
        if (const auto directory = m_session->workingDirectory())
            m_lastRemoteDir = *directory;
        if (m_ftp && m_session == m_ftp.get())
            m_ftp->startUpload();
    }
    m_run->remoteStart = m_lastRemoteDir;
    // The store stage's own sessions log in while this one walks the tree and makes the
    // directories: on a distant server the logins cost round trips the walk hides.
    if (!options.dryRun && options.sessions > 1 && m_session->connected() && !m_run->remoteStart.isEmpty())
        m_session->prepareStoreStage(storeOptions());
    if (!options.dryRun)
        deleteEarlierLeftovers();
    // The journal is kept on every upload: what went up last tells whether someone else
    // changed a file on the server since. Only "Jen změněné" skips what it vouches for.
    auto pick = [](const QString &session, const QString &field) { return session.isEmpty() ? field : session; };
    m_run->journal.load(UploadJournal::pathFor(pick(m_session->hostName(), options.host),
                                               pick(m_session->port(), options.port),
                                               pick(m_session->userName(), options.user), m_run->remoteStart,
                                               m_session->protocol()));
    if (options.dryRun)
        log(u"Zkušební běh: nic se nenahrává"_s);
    showProgress(0);
    return true;
}

void UploadEngine::finish()
{
    const Options &o = m_run->options;
    if (!o.dryRun && !m_run->stop && m_session->connected() && !m_run->remoteStart.isEmpty())
        deleteGoneTemporaries();
    if (!o.dryRun)
        cleanUpLeftTemporaries();
    if (!o.dryRun && !m_run->journal.save())
        log(u"Deník nahrávání se nepodařilo uložit: "_s + m_run->journal.path());
    if (m_run->stop)
        log(u"Nahrávání zastaveno"_s);
    if (o.dryRun)
        log(u"Zkušební běh: nahrálo by se %1 souborů, přeskočeno %2"_s.arg(m_run->stored).arg(m_run->skipped));
    else
        log(u"Nahráno %1 souborů, přeskočeno %2, chyb %3"_s.arg(m_run->stored).arg(m_run->skipped).arg(m_run->failed));
    m_run.reset();
}

QString UploadEngine::relativeToStart(const QString &localPath) const
{
    return QDir(m_run->startLocal).relativeFilePath(localPath);
}

QString UploadEngine::remotePathOf(const QString &localDirectory) const
{
    if (m_run->remoteStart.isEmpty())
        return {};
    const QString relative = relativeToStart(localDirectory);
    return relative == u"."_s ? m_run->remoteStart : joinRemote(m_run->remoteStart, relative);
}

void UploadEngine::showProgress(qint64 currentBytes)
{
    if (!m_run)
        return;
    Run &run = *m_run;
    const qint64 bytes = std::min(run.doneBytes + currentBytes, run.totalBytes);
    const int value = run.totalBytes > 0 ? int(bytes * 1000 / run.totalBytes)
                      : run.totalFiles > 0 ? int(run.doneFiles * 1000 / run.totalFiles)
                                           : 1000;
    // Reported only when it shows something new, and during a file at most every 100 ms:
    // drawing the bar for every block would cost more time than sending the block. The
    // first bytes on their way since a file was done show at once: a fast transfer may
    // be over within the 100 ms.
    if (currentBytes != 0 && run.moving
        && (value == run.lastShown || (run.shown.isValid() && run.shown.elapsed() < 100)))
        return;
    if (currentBytes != 0)
        run.moving = true;
    run.lastShown = value;
    run.shown.start();
    Q_EMIT progress(value, run.doneFiles, run.totalFiles, bytes, run.totalBytes);
}

void UploadEngine::fileDone(qint64 bytes)
{
    ++m_run->doneFiles;
    m_run->doneBytes += bytes;
    m_run->moving = false;
    showProgress(0);
}

// ---------------------------------------------------------------------------------------
// The walk over the window's session

void UploadEngine::uploadDirectory(const QString &directory)
{
    // The walk goes through the directory as it is now, read once: the list shown in the
    // window may be older, and a file added meanwhile must not push another one out.
    Q_EMIT directoryEntered(directory);
    const QStringList entries = directoryEntries(directory);
    const QString relativeDirectory = relativeToStart(directory);
    // What the server holds here, when the journal has files here to compare it with.
    std::optional<RemoteDirectory> remote;
    if (!m_run->options.dryRun && m_session->connected() && journalKnowsFilesIn(relativeDirectory))
        remote = listRemote({});
    for (const QString &entry : entries) {
        if (m_run->stop)
            break;
        const QString name = bareName(entry);
        if (name == u"."_s || name == u".."_s)
            continue;
        const QFileInfo info(directory + name);
        if (!info.isDir()) {
            if (!walkSends(entry, m_run->options))
                log(u"Vynecháno (záloha nebo dočasný soubor editoru): "_s + relativeToStart(directory + entry));
            else if (!m_session->acceptsName(entry))
                refuseName(directory, entry, {});
            else
                decideFile(directory, entry, remote);
            continue;
        }
        if (!m_run->options.subdirectories)
            continue;
        // A link back to a directory the walk is already in would never end.
        const QString canonical = info.canonicalFilePath();
        if (canonical.isEmpty() || m_walkPath.contains(canonical))
            continue;
        if (!m_session->acceptsName(name)) {
            refuseName(directory, name, canonical);
            continue;
        }
        enterDirectory(directory, name, canonical);
        Q_EMIT directoryEntered(directory);
    }
}

// A name the session cannot send: the file, or every file of the directory, fails.
void UploadEngine::refuseName(const QString &directory, const QString &name, const QString &canonical)
{
    TreeSize size;
    if (canonical.isEmpty()) {
        size.files = 1;
        size.bytes = QFileInfo(directory + name).size();
    } else {
        QStringList walk = m_walkPath;
        walk << canonical;
        measureTree(directory + name + u'/', m_run->options, walk, size);
    }
    QString shown = relativeToStart(directory + name);
    shown.replace(u'\r', u"\\r"_s).replace(u'\n', u"\\n"_s);
    log(u"Název %1 obsahuje konec řádku, přes FTP ho nelze poslat; přeskakuje se (%2 souborů)"_s.arg(shown)
            .arg(size.files));
    m_run->failed += int(size.files);
    m_run->doneFiles += size.files;
    m_run->doneBytes += size.bytes;
    showProgress(0);
}

void UploadEngine::enterDirectory(const QString &directory, const QString &name, const QString &canonical)
{
    const QString inner = directory + name + u'/';
    if (!m_run->options.dryRun) {
        // A directory the journal knows was made by an earlier upload: asking for it again
        // would only raise the "exists" box on every run.
        const QString relative = relativeToStart(inner);
        const bool known = m_run->options.changedOnly && m_run->journal.knowsDirectory(relative);
        auto make = [&] { check(m_session->makeDirectory(name)); };
        if (!known)
            make();
        bool entered = false;
        {
            // Someone may have removed a directory the journal knows: it is made again.
            std::optional<EngineQuiet> quiet;
            if (known)
                quiet.emplace(*this);
            entered = m_session->changeDirectory(name);
        }
        if (!entered && known && m_session->connected()) {
            m_run->journal.forgetDirectory(relative);
            make();
            entered = m_session->changeDirectory(name);
        }
        check(entered);
        if (entered)
            m_run->journal.recordDirectory(relative);
        if (!entered) {
            // Its files never go to the parent, and no "CWD .." climbs above the target.
            TreeSize size;
            QStringList walk = m_walkPath;
            walk << canonical;
            UploadEngine::Options all = m_run->options;
            all.subdirectories = true;
            measureTree(inner, all, walk, size);
            log(u"Adresář %1 nelze otevřít, přeskakuje se (%2 souborů)"_s.arg(relativeToStart(inner)).arg(size.files));
            m_run->failed += int(size.files);
            m_run->doneFiles += size.files;
            m_run->doneBytes += size.bytes;
            showProgress(0);
            return;
        }
    }
    m_walkPath << canonical;
    uploadDirectory(inner);
    m_walkPath.removeLast();
    if (!m_run->options.dryRun && !leaveDirectory(directory)) {
        log(u"Návrat do nadřazeného adresáře se nezdařil, nahrávání končí"_s);
        m_run->stop = true;
    }
}

bool UploadEngine::leaveDirectory(const QString &directory)
{
    const bool up = m_session->changeDirectory(u".."_s);
    check(up);
    if (up || !m_session->connected())
        return true; // a lost session refuses everything; nothing can land anywhere
    // Not knowing where the session stands, nothing more may be stored before it is back.
    const QString parent = remotePathOf(directory);
    if (parent.isEmpty())
        return false;
    const bool back = m_session->changeDirectory(parent);
    check(back);
    return back;
}

// What becomes of one file: skipped, resumed here, or a job for the store stage.
void UploadEngine::decideFile(const QString &directory, const QString &entry, const std::optional<RemoteDirectory> &remote)
{
    const Options &o = m_run->options;
    const QString local = directory + entry;
    const QString relative = relativeToStart(local);
    const QFileInfo info(local);
    if (o.changedOnly && m_run->journal.isUnchanged(relative, local)) {
        if (remote && !remote->contains(entry)) {
            // The server lost it since (deleted there, the hosting restored from an old
            // backup): the journal vouches for what went up, not for what is still there.
            log(u"Na serveru chybí, nahrává se znovu: "_s + relative);
        } else {
            // Left alone as before; but the user learns that the server holds another version.
            const bool theirs = !o.dryRun && m_session->connected() && serverChanged(relative, entry, remote);
            log((theirs ? u"Přeskočeno (beze změny, na serveru je jiná verze): "_s : u"Přeskočeno (beze změny): "_s)
                + relative);
            ++m_run->skipped;
            fileDone(info.size());
            return;
        }
    }
    if (o.dryRun) {
        log(u"Nahrálo by se: "_s + relative);
        ++m_run->stored;
        fileDone(info.size());
        return;
    }
    if (!mayOverwrite(relative, entry, remote)) {
        if (m_run->stop)
            return; // "Zrušit": the upload ends here
        log(u"Přeskočeno (změněno na serveru): "_s + relative);
        ++m_run->skipped;
        fileDone(info.size());
        return;
    }
    if (o.safe) {
        QByteArray resumedSha;
        const Resumed resumed = resume(entry, local, relative, resumedSha);
        if (resumed == Resumed::Failed) {
            log((m_run->stop ? u"Zastaveno: "_s : u"Nenahráno: "_s) + relative);
            m_run->journal.forget(relative);
            if (!m_run->stop) {
                ++m_run->failed;
                fileDone(info.size());
            }
            return;
        }
        if (resumed == Resumed::Done) {
            log(u"Nahráno: "_s + relative);
            ++m_run->stored;
            m_run->journal.record(relative, {info.size(), info.lastModified().toMSecsSinceEpoch(), resumedSha});
            m_run->storedIn[relativeToStart(directory)] << entry;
            fileDone(info.size());
            return;
        }
    }
    // Large files cut off with "Jen změněné" on keep what reached the server, under a
    // temporary name the journal knows before the transfer starts. Without it the journal
    // knows the name too, with no content to continue from: a program killed in the middle
    // of the file leaves a temporary the next upload deletes, not one left on the server
    // for good (it cannot tell it from another upload's).
    StoreJob job{local, relative, relative, info.size(), o.changedOnly && o.safe && info.size() >= ResumeMinimum};
    if (o.safe && info.size() >= ResumeMinimum) {
        const UploadJournal::Partial partial{
            UploadJournal::temporaryName(), info.size(), info.lastModified().toMSecsSinceEpoch(),
            job.keepIfCut ? UploadJournal::fileSha256(local) : UploadJournal::UnknownContent};
        job.keepIfCut = job.keepIfCut && !partial.sha256.isEmpty();
        if (!partial.sha256.isEmpty()) {
            m_run->journal.recordPartial(relative, partial);
            m_run->partialsChanged = true;
            const qsizetype slash = relative.lastIndexOf(u'/');
            job.temporary = slash < 0 ? partial.temporary : relative.left(slash + 1) + partial.temporary;
        }
    }
    m_run->jobs.push_back(job);
}

// ---------------------------------------------------------------------------------------
// The store stage: the files the walk chose, over the window's session or over sessions of
// their own. The window's session stands where the upload started again, so the paths
// relative to it name the files for every session.

RemoteSession::StoreOptions UploadEngine::storeOptions() const
{
    const Run &run = *m_run;
    // Sessions of their own need the place to go to; without it the window's session serves.
    const bool own = run.options.sessions > 1 && m_session->connected() && !run.remoteStart.isEmpty();
    RemoteSession::StoreOptions options;
    options.safe = run.options.safe;
    options.sessions = own ? run.options.sessions : 1;
    options.directory = run.remoteStart;
    return options;
}

void UploadEngine::storeFiles()
{
    Run &run = *m_run;
    const RemoteSession::StoreOptions options = storeOptions();
    std::vector<StoreJob> jobs = std::move(run.jobs);
    run.jobs.clear();
    std::unique_ptr<StoreStage> stage = m_session->storeStage(std::move(jobs), options);
    StoreStage &upload = *stage;
    m_parallel = &upload;
    connect(&upload, &StoreStage::fileLog, this, [this](const QStringList &lines) {
        for (const QString &line : lines)
            log(line);
    });
    connect(&upload, &StoreStage::progress, this, [this](qint64 bytes) { showProgress(bytes); });
    connect(&upload, &StoreStage::failure, this, &UploadEngine::failure);
    connect(&upload, &StoreStage::stampsLearned, this, [this](const QStringList &relatives, const QStringList &stamps) {
        Run &r = *m_run;
        for (qsizetype i = 0; i < relatives.size(); ++i) {
            r.journal.setRemoteStamp(relatives[i], stamps.value(i));
            const auto [folder, name] = storedFolderAndName(relatives[i]);
            const auto it = r.storedIn.find(folder);
            if (it == r.storedIn.end())
                continue;
            it->removeOne(name);
            if (it->isEmpty())
                r.storedIn.erase(it);
        }
    });
    QSet<QString> kept; // cut files whose temporary files stay for the next upload
    connect(&upload, &StoreStage::keptForResume, this, [this, &kept](const StoreJob &job, const QString &temporary) {
        // The journal names it as it stands beside its file; kept nowhere, it is deleted.
        if (keepForResume(temporary.section(u'/', -1), job.local, job.relative))
            kept.insert(job.relative);
        else
            m_run->leftTemporaries << joinRemote(m_run->remoteStart, temporary);
    });
    connect(&upload, &StoreStage::fileDone, this,
            [this, &upload, &kept](const StoreJob &job, bool stored, const QByteArray &sha256) {
                Run &r = *m_run;
                if (stored || !kept.contains(job.relative))
                    r.journal.forgetPartial(job.relative);
                if (stored) {
                    ++r.stored;
                    r.journal.record(job.relative, {job.size, UploadJournal::modifiedMs(job.local),
                                                    sha256.isEmpty() ? UploadJournal::UnknownContent : sha256});
                    const auto [folder, name] = storedFolderAndName(job.relative);
                    r.storedIn[folder] << name;
                } else {
                    r.journal.forget(job.relative);
                    if (!upload.stopped())
                        ++r.failed;
                }
                if (!upload.stopped() || stored)
                    fileDone(job.size);
            });
    {
        // The stage shows its refusals itself, once per file.
        EngineQuiet quiet(*this);
        upload.run();
    }
    m_parallel = nullptr;
    for (const QString &path : upload.leftBehind())
        run.leftTemporaries << joinRemote(run.remoteStart, path);
}

// ---------------------------------------------------------------------------------------
// Other people's changes on the server, and files cut off on their way up

bool UploadEngine::journalKnowsFilesIn(const QString &relativeDirectory) const
{
    const QString prefix = relativeDirectory == u"."_s ? QString() : withSeparator(relativeDirectory);
    const QStringList paths = m_run->journal.paths();
    return std::any_of(paths.begin(), paths.end(), [&](const QString &path) {
        return path.startsWith(prefix) && path.indexOf(u'/', prefix.size()) < 0;
    });
}

// The time the server gives a file: its MLSD "modify" fact, or MDTM where FEAT names it.
QString UploadEngine::remoteStampOf(const QString &remotePath, const std::optional<RemoteDirectory> &remote)
{
    if (remote) {
        const QString modify = remote->value(remotePath.section(u'/', -1)).modify;
        if (!modify.isEmpty())
            return modify.left(14);
    }
    EngineQuiet quiet(*this);
    return m_session->modificationStamp(remotePath);
}

// The server's file is no longer what this program stored: another size, or another time
// than the server gave it then.
bool UploadEngine::serverChanged(const QString &relative, const QString &remotePath,
                                 const std::optional<RemoteDirectory> &remote)
{
    const auto known = m_run->journal.find(relative);
    if (!known)
        return false; // never sent from here: nothing to compare with
    qint64 size = -1;
    if (remote) {
        const auto it = remote->constFind(remotePath.section(u'/', -1));
        if (it == remote->cend() || it->type != u"file"_s)
            return false; // gone from the server: nobody's work is overwritten
        size = it->size;
    } else {
        EngineQuiet quiet(*this);
        size = m_session->fileSize(remotePath);
        if (size < 0)
            return false;
    }
    if (size >= 0 && size != known->size)
        return true;
    const QString stamp = m_run->journal.remoteStamp(relative).left(14);
    if (stamp.isEmpty())
        return false;
    const QString now = remoteStampOf(remotePath, remote);
    return !now.isEmpty() && now != stamp;
}

// A file this program stored before and someone changed on the server since is
// overwritten only when the user says so.
bool UploadEngine::mayOverwrite(const QString &relative, const QString &remotePath,
                                const std::optional<RemoteDirectory> &remote)
{
    const bool changed = serverChanged(relative, remotePath, remote);
    if (!changed || m_run->overwriteAll)
        return true;
    const QStringList buttons{u"Přepsat"_s, u"Přeskočit"_s, u"Přepsat vše"_s, u"Zrušit"_s};
    const QString text = u"Soubor %1 byl na serveru od posledního nahrání změněn. Přepsat?"_s.arg(relative);
    // Enter keeps the other person's work.
    const int pick = m_ask ? m_ask(text, buttons, 1) : 1;
    switch (pick) {
    case 0:
        return true;
    case 1:
        return false;
    case 2:
        m_run->overwriteAll = true;
        return true;
    default:
        m_run->stop = true;
        return false;
    }
}

// The times the server gave the files just stored, for the next upload to compare with.
void UploadEngine::recordRemoteStamps(const QString &remoteDirectory, const QString &relativeDirectory,
                                      const QStringList &names)
{
    const auto listing = listRemote(remoteDirectory);
    std::vector<std::pair<QString, QString>> stamps; // relative path, the server's time
    QStringList asked;                                // remote paths the listing gave no time
    std::vector<size_t> askedFor;
    for (const QString &name : names) {
        const QString relative = relativeDirectory == u"."_s ? name : joinRemote(relativeDirectory, name);
        const auto known = m_run->journal.find(relative);
        if (!known)
            continue;
        const std::optional<QString> listed = listedStamp(listing, name, known->size);
        if (!listed)
            continue;
        const QString stamp = *listed;
        if (stamp.isEmpty()) {
            askedFor.push_back(stamps.size());
            asked << joinRemote(remoteDirectory, name);
        }
        stamps.emplace_back(relative, stamp);
    }
    if (!asked.isEmpty()) {
        EngineQuiet quiet(*this);
        const QStringList answers = m_session->modificationStamps(asked);
        for (size_t i = 0; i < askedFor.size(); ++i)
            stamps[askedFor[i]].second = answers.value(qsizetype(i));
    }
    for (const auto &[relative, stamp] : stamps)
        m_run->journal.setRemoteStamp(relative, stamp);
}

// A large file cut off with "Jen změněné" on keeps what reached the server.
bool UploadEngine::keepForResume(const QString &temporary, const QString &local, const QString &relative)
{
    const QFileInfo info(local);
    if (!m_run->options.changedOnly || info.size() < ResumeMinimum)
        return false;
    // Recorded before the transfer began, as a file of the store stage is.
    const auto recorded = m_run->journal.partial(relative);
    if (!recorded || recorded->temporary != temporary) {
        const UploadJournal::Partial partial{temporary, info.size(), info.lastModified().toMSecsSinceEpoch(),
                                             UploadJournal::fileSha256(local)};
        if (partial.sha256.isEmpty())
            return false;
        m_run->journal.recordPartial(relative, partial);
    }
    log(u"Dočasný soubor %1 zůstává na serveru, příští nahrávání v něm bude pokračovat"_s.arg(temporary));
    return true;
}

// The cut files whose files are gone from home: their temporary files go too.
void UploadEngine::deleteGoneTemporaries()
{
    Run &run = *m_run;
    EngineQuiet quiet(*this);
    const QStringList cut = run.journal.partialPaths();
    for (const QString &relative : cut) {
        if (QFileInfo::exists(run.startLocal + relative))
            continue;
        const auto partial = run.journal.partial(relative);
        const qsizetype slash = relative.lastIndexOf(u'/');
        const QString name = slash < 0 ? partial->temporary : relative.left(slash + 1) + partial->temporary;
        // A refused deletion means it is gone already.
        if (!m_session->removeFile(joinRemote(run.remoteStart, name)) && !m_session->connected())
            return;
        run.journal.forgetPartial(relative);
        log(u"Smazán dočasný soubor %1, soubor %2 doma už není"_s.arg(name, relative));
    }
}

// The rest of a file cut off last time goes after what the server holds already, and the
// file takes its name only when its size is whole and the content the same as then.
UploadEngine::Resumed UploadEngine::resume(const QString &entry, const QString &local, const QString &relative,
                                           QByteArray &sha256)
{
    const auto partial = m_run->journal.partial(relative);
    if (!partial)
        return Resumed::No;
    m_run->journal.forgetPartial(relative);
    const QFileInfo info(local);
    EngineQuiet quiet(*this);
    auto discard = [&] {
        m_session->removeFile(partial->temporary);
        return Resumed::No;
    };
    if (partial->sha256 == UploadJournal::UnknownContent)
        return discard(); // sent without "Jen změněné": nothing to tell its part is this file's
    if (info.size() != partial->size || info.lastModified().toMSecsSinceEpoch() != partial->modifiedMs
        || UploadJournal::fileSha256(local) != partial->sha256)
        return discard(); // the file changed since: its first part is of no use
    const qint64 there = m_session->fileSize(partial->temporary);
    if (there <= 0 || there > partial->size)
        return discard();
    log(u"Nahrávání %1 pokračuje od bajtu %2"_s.arg(relative).arg(there));
    if (there < partial->size) {
        const bool appended = m_session->appendFile(local, partial->temporary, there);
        if (!appended) {
            if (!m_session->connected() || m_run->stop) {
                keepForResume(partial->temporary, local, relative);
                return Resumed::Failed;
            }
            return discard();
        }
    }
    if (m_session->fileSize(partial->temporary) != partial->size)
        return discard();
    if (!m_session->rename(partial->temporary, entry))
        return discard();
    sha256 = partial->sha256;
    return Resumed::Done;
}

// ---------------------------------------------------------------------------------------
// Temporary files left behind

void UploadEngine::cleanUpLeftTemporaries()
{
    if (m_run->leftTemporaries.isEmpty() || m_abandoned)
        return;
    EngineQuiet quiet(*this);
    if (!m_session->connected()) {
        log(u"Nové spojení kvůli smazání dočasných souborů"_s);
        if (!m_session->reconnect()) {
            log(u"Dočasné soubory zůstaly na serveru: "_s + m_run->leftTemporaries.join(u", "_s));
            rememberLeftovers(m_run->leftTemporaries);
            return;
        }
    }
    QStringList kept;
    for (const QString &path : std::as_const(m_run->leftTemporaries)) {
        if (!m_session->removeFile(path)) {
            log(u"Dočasný soubor se nepodařilo smazat: "_s + path);
            if (!m_session->connected())
                kept << path;
        }
    }
    rememberLeftovers(kept);
    // Back where the upload started, as the user left the session.
    m_session->changeDirectory(m_run->remoteStart);
}

QString UploadEngine::leftoversPath() const
{
    return UploadJournal::leftoversPathFor(m_session->hostName(), m_session->port(), m_session->userName(),
                                           m_session->protocol());
}

void UploadEngine::rememberLeftovers(const QStringList &remotePaths)
{
    if (remotePaths.isEmpty())
        return;
    QStringList all = UploadJournal::loadLeftovers(leftoversPath());
    for (const QString &path : remotePaths) {
        if (!all.contains(path))
            all << path;
    }
    if (!UploadJournal::saveLeftovers(leftoversPath(), all))
        log(u"Seznam dočasných souborů na serveru se nepodařilo uložit"_s);
}

// What an earlier upload could not delete (the server went away meanwhile) goes first.
void UploadEngine::deleteEarlierLeftovers()
{
    const QString path = leftoversPath();
    const QStringList earlier = UploadJournal::loadLeftovers(path);
    if (earlier.isEmpty() || !m_session->connected())
        return;
    EngineQuiet quiet(*this);
    QStringList kept;
    for (const QString &remote : earlier) {
        if (m_session->removeFile(remote))
            log(u"Smazán dočasný soubor z minulého nahrávání: "_s + remote);
        else if (!m_session->connected())
            kept << remote; // a refused DELE means it is gone already
    }
    UploadJournal::saveLeftovers(path, kept);
}
