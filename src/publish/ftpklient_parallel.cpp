// The upload window's parallel path: the directories are made over the window's own
// session, then the files go up over several sessions at once.
#include "publish/CertificateTrust.h"
#include "publish/FtpClient.h"
#include "publish/ParallelUpload.h"
#include "publish/ftpklient.h"
#include "publish/ftpklient_run.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSpinBox>

using namespace Qt::StringLiterals;

namespace {

QString joinPath(const QString &directory, const QString &name)
{
    if (directory.isEmpty() || name == u"."_s)
        return directory.isEmpty() ? name : directory;
    return directory.endsWith(u'/') ? directory + name : directory + u'/' + name;
}

struct LocalTree
{
    QStringList directories; // relative, parents before children
    QStringList files;       // relative
};

// The tree the single-session walk would visit, links back into it left out.
void collectTree(const QString &root, const QString &relative, bool subdirectories, QStringList &walkPath,
                 LocalTree &tree)
{
    const QFileInfoList entries = QDir(joinPath(root, relative))
                                      .entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot,
                                                     QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &info : entries) {
        const QString inner = relative.isEmpty() ? info.fileName() : relative + u'/' + info.fileName();
        if (!info.isDir()) {
            tree.files << inner;
            continue;
        }
        const QString canonical = info.canonicalFilePath();
        if (!subdirectories || canonical.isEmpty() || walkPath.contains(canonical))
            continue;
        tree.directories << inner;
        walkPath << canonical;
        collectTree(root, inner, subdirectories, walkPath, tree);
        walkPath.removeLast();
    }
}

} // namespace

// Makes every directory the files need; returns those that could not be entered, whose
// files are then skipped rather than stored anywhere else.
QStringList TFTPForm::makeRemoteDirectories(const QStringList &directories)
{
    QStringList unusable;
    ++m_quiet;
    for (const QString &relative : directories) {
        if (std::any_of(unusable.begin(), unusable.end(),
                        [&](const QString &bad) { return relative.startsWith(bad + u'/'); })) {
            unusable << relative;
            continue;
        }
        const QString remote = joinPath(m_run->remoteStart, relative);
        if (m_run->changedOnly && m_run->journal.knowsDirectory(relative + u'/'))
            continue;
        m_ftp->setHostFileName(remote);
        if (m_ftp->MkdSync())
            continue;
        // It may exist already: entering it tells.
        m_ftp->setHostDirName(remote);
        if (!m_ftp->CwdSync()) {
            appendLog(u"Chyba!"_s);
            appendLog(u"Adresář %1 nelze otevřít, přeskakuje se"_s.arg(relative + u'/'));
            unusable << relative;
        }
    }
    m_ftp->setHostDirName(m_run->remoteStart);
    m_ftp->CwdSync();
    --m_quiet;
    return unusable;
}

ParallelUpload::Settings TFTPForm::parallelSettings()
{
    ParallelUpload::Settings settings;
    settings.host = m_ftp->HostName();
    settings.port = m_ftp->Port();
    settings.user = m_ftp->UserName();
    settings.password = m_ftp->PassWord();
    // The extra sessions always go passive: with several sessions asking the server to
    // connect back at once, pyftpdlib left PORT commands unanswered until the time-out.
    settings.passive = true;
    settings.tls = m_ftp->Tls();
    settings.safe = m_run->safe;
    settings.hashSent = m_run->changedOnly;
    settings.timeoutMs = m_ftp->TimeoutMs();
    settings.certificateCheck = [this](const QSslCertificate &certificate, const QList<QSslError> &errors) {
        flushLog();
        return m_trust->accept(m_ftp->HostName(), m_ftp->ControlPort(), certificate, errors);
    };
    return settings;
}

void TFTPForm::uploadInParallel()
{
    UploadRun &run = *m_run;
    LocalTree tree;
    QStringList walk{QFileInfo(run.startLocal).canonicalFilePath()};
    collectTree(run.startLocal, {}, m_subdirectories->isChecked(), walk, tree);
    const QStringList unusable = makeRemoteDirectories(tree.directories);

    std::vector<ParallelUpload::Job> jobs;
    for (const QString &relative : std::as_const(tree.files)) {
        const QString local = joinPath(run.startLocal, relative);
        const qint64 size = QFileInfo(local).size();
        const qsizetype slash = relative.lastIndexOf(u'/');
        if (slash > 0 && unusable.contains(relative.left(slash))) {
            ++run.failed;
            fileDone(size);
            continue;
        }
        if (run.changedOnly && run.journal.isUnchanged(relative, local)) {
            appendLog(u"Přeskočeno (beze změny): "_s + relative);
            ++run.skipped;
            fileDone(size);
            continue;
        }
        jobs.push_back({local, joinPath(run.remoteStart, relative), relative, size});
    }
    if (jobs.empty())
        return;

    ParallelUpload upload(parallelSettings(), std::move(jobs), m_sessions->value());
    m_parallel = &upload;
    connect(&upload, &ParallelUpload::fileLog, this, [this](const QStringList &lines) {
        for (const QString &line : lines)
            appendLog(line);
    });
    connect(&upload, &ParallelUpload::progress, this, [this](qint64 bytes) { showProgress(bytes); });
    connect(&upload, &ParallelUpload::fileDone, this,
            [this, &upload](const ParallelUpload::Job &job, bool stored, const QByteArray &sha256) {
                UploadRun &r = *m_run;
                if (stored) {
                    ++r.stored;
                    if (r.changedOnly) {
                        const QFileInfo info(job.local);
                        r.journal.record(job.relative, {job.size, info.lastModified().toMSecsSinceEpoch(), sha256});
                    }
                } else {
                    r.journal.forget(job.relative);
                    if (!upload.stopped()) {
                        appendLog(u"Chyba!"_s);
                        ++r.failed;
                    }
                }
                if (!upload.stopped() || stored)
                    fileDone(job.size);
            });
    upload.run();
    m_parallel = nullptr;
}
