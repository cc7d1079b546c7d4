#pragma once

#include "publish/FtpRemoteSession.h"
#include "publish/RemoteSession.h"
#include "publish/UploadJournal.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// The directory with one "/" at its end.
QString withSeparator(const QString &directory);

// A list entry without its first "[" and first "]": a directory's bare name.
QString bareName(const QString &entry);

// Publishes a local directory tree to the remote directory a session (FTP or SFTP) stands in: the
// walk, the safe store under temporary names, the journal of what went up, the clean-up
// after a lost connection, progress and stop. The window's session walks the tree, makes
// the directories and decides about each file; then one store stage sends the files, over
// that session or over 2 to 8 of their own. Knows no window: what the user is to read
// comes out as log lines, what needs a box as failures.
class UploadEngine : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        QString home; // the local directory whose contents go up
        bool subdirectories = true;
        bool safe = true;
        bool changedOnly = false;
        bool dryRun = false;
        int sessions = 1;
        // After the upload, what the remote target holds and the home directory does not
        // is listed and, once the user agrees, deleted.
        bool deleteOrphans = false;
        // "Nenahrávat zálohy": the editor's own files (backups with this extension, the
        // temporary files of a save, recovery copies) stay at home, and on the server they
        // are never orphans.
        bool skipBackups = true;
        QString backupExtension = QStringLiteral("bak");
        // The target as the window's fields name it, for the journal of a session that
        // never connected.
        QString host, port, user;
    };

    explicit UploadEngine(RemoteSession &session, QObject *parent = nullptr);
    // Over an FTP session.
    explicit UploadEngine(TFtpClient &session, QObject *parent = nullptr);
    ~UploadEngine() override;

    // The session the next upload goes over (none: the FTP session the engine was made
    // over); no upload may be running.
    void setSession(RemoteSession *session) { m_session = session ? session : m_ftp.get(); }
    RemoteSession &session() { return *m_session; }

    // Asks the user: the text, the buttons, the one Enter presses; the index of the
    // button pressed, -1 when the box was closed. Without one, the default is taken.
    using Question = std::function<int(const QString &, const QStringList &, int)>;
    void setQuestion(Question question) { m_ask = std::move(question); }
    // How the extra sessions of a parallel upload check an untrusted certificate.
    void setCertificateCheck(TFtpClient::CertificateCheck check);
    // The remote directory the last PWD named: where an upload starts when its own PWD fails.
    QString remoteDirectory() const { return m_lastRemoteDir; }
    void setRemoteDirectory(const QString &directory) { m_lastRemoteDir = directory; }

    // Uploads, and returns when it is over. False when the directory holds nothing at all.
    bool run(const Options &options);
    bool running() const { return m_run != nullptr; }
    // "Zastavit": the running transfer is cut cleanly and the upload ends after it.
    void stop();
    // The window is closing: stop, and open no new session to clean up.
    void abandon();
    // The request running now is the upload's own business: its failure needs no box.
    bool quiet() const { return m_quiet > 0; }

    // False for a name the walk leaves out: hidden ones, and with skipBackups the
    // editor's own files. Only a name the walk would send can be an orphan on the server.
    static bool walkSends(const QString &name, const Options &options);

    // A directory's entries as the window lists them: "[..]", "[.]", "[name]" for
    // directories, names for files, in case-insensitive order; hidden ones left out.
    static QStringList directoryEntries(const QString &directory);

Q_SIGNALS:
    void logLine(const QString &line);
    // The walk is in this local directory now (with separator).
    void directoryEntered(const QString &localDirectory);
    // permille of the whole upload, and the counts it comes from.
    void progress(int permille, qint64 doneFiles, qint64 totalFiles, qint64 bytes, qint64 totalBytes);
    // A refusal of the store stage, for a box; the walk's own show on the session.
    void failure(const QString &text);

public:
    // Files of at least this size that were cut off on their way up keep their temporary
    // file on the server, and the next upload with the journal sends only the rest.
    static constexpr qint64 ResumeMinimum = 1024 * 1024;

    using RemoteFile = ::RemoteFile;
    using RemoteDirectory = ::RemoteDirectory;
    static RemoteDirectory parseListing(const QByteArray &listing) { return parseMlsdListing(listing); }
    static RemoteDirectory parseList(const QByteArray &listing) { return parseListListing(listing); }

private:
    struct Run;
    struct OrphanScan;
    friend class EngineQuiet;

    void log(const QString &line) { Q_EMIT logLine(line); }
    void check(bool succeeded);
    bool start(const Options &options);
    void finish();
    void uploadDirectory(const QString &directory);
    void enterDirectory(const QString &directory, const QString &name, const QString &canonical);
    void refuseName(const QString &directory, const QString &name, const QString &canonical);
    bool leaveDirectory(const QString &directory);
    void decideFile(const QString &directory, const QString &entry, const std::optional<RemoteDirectory> &remote);
    void storeFiles();
    RemoteSession::StoreOptions storeOptions() const;
    std::optional<RemoteDirectory> listRemote(const QString &remoteDirectory);
    bool serverChanged(const QString &relative, const QString &remotePath,
                       const std::optional<RemoteDirectory> &remote);
    QString remoteStampOf(const QString &remotePath, const std::optional<RemoteDirectory> &remote);
    bool journalKnowsFilesIn(const QString &relativeDirectory) const;
    bool mayOverwrite(const QString &relative, const QString &remotePath, const std::optional<RemoteDirectory> &remote);
    void recordRemoteStamps(const QString &remoteDirectory, const QString &relativeDirectory, const QStringList &names);
    enum class Resumed { Done, No, Failed };
    Resumed resume(const QString &entry, const QString &local, const QString &relative, QByteArray &sha256);
    bool keepForResume(const QString &temporary, const QString &local, const QString &relative);
    void removeOrphans();
    bool scanRemote(const QString &relative, OrphanScan &scan, bool &emptied);
    bool confirmOrphans(const QStringList &orphans);
    QString trialKey() const;
    void deleteGoneTemporaries();
    void cleanUpLeftTemporaries();
    QString leftoversPath() const;
    void rememberLeftovers(const QStringList &remotePaths);
    void deleteEarlierLeftovers();
    QString remotePathOf(const QString &localDirectory) const;
    QString relativeToStart(const QString &localPath) const;
    void fileDone(qint64 bytes);
    void showProgress(qint64 currentBytes);

    // The FTP session's adapter when the engine was made over a TFtpClient.
    std::unique_ptr<FtpRemoteSession> m_ftp;
    RemoteSession *m_session = nullptr;
    Question m_ask;
    QString m_lastRemoteDir;
    QStringList m_walkPath; // canonical directories the walk is inside, against link loops
    int m_quiet = 0;
    bool m_abandoned = false;
    std::unique_ptr<Run> m_run;
    StoreStage *m_parallel = nullptr; // the running store stage, if any
    // What each trial run would delete, by target: the real run deletes that, or asks.
    QHash<QString, QStringList> m_trialOrphans;
};
