#pragma once

#include "publish/FtpClient.h"
#include "publish/RemoteSession.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <memory>
#include <utility>
#include <vector>

// The store stage of an upload: stores many files over one to eight FTP sessions at once,
// all on the calling thread's event loop, each file under a temporary name first when safe.
// The sessions log in on their own, or the one session is the caller's, logged in already
// and standing where the remote paths start. The remote directories must exist already
// when run() starts; sessions of their own may log in before that (begin()), while the
// caller still makes the directories and chooses the files.
// A session of its own that is lost hands its file back to the others; a file the server
// refuses counts as failed.
// Sessions of their own may also learn the server's times of the stored files: once the
// last file of a folder is over, a session lists the folder and asks MDTM where the
// listing names no time, between the other sessions' files instead of after them all.
class ParallelUpload : public QObject
{
    Q_OBJECT

public:
    using Job = StoreJob;
    // How every session logs in; the first session's settings are copied.
    struct Settings
    {
        QString host, port, user, password;
        bool passive = false;
        bool tls = false;
        bool safe = true;
        bool hashSent = false; // the SHA-256 of what left goes with each stored file
        int timeoutMs = 15000;
        TFtpClient::CertificateCheck certificateCheck;
        // Where sessions of their own go after the login; relative remote paths start here.
        QString directory;
        // How sessions of their own learn the times of the stored files, as the caller's
        // session found the server: by MLSD, or by LIST and then MDTM. Neither: they do not.
        bool stampsByMlsd = false;
        bool stampsByMdtm = false;
    };

    ParallelUpload(Settings settings, std::vector<Job> jobs, int sessions, QObject *parent = nullptr);
    // One session, the caller's: no login, and it stays connected when the stage is over.
    ParallelUpload(Settings settings, std::vector<Job> jobs, TFtpClient &loggedIn, QObject *parent = nullptr);
    ~ParallelUpload() override;

    // Sessions of their own start logging in now; one that is ready waits for run(). What
    // they would show meanwhile (a refused login) comes out when run() starts.
    void begin();
    // The files, when they were not known at construction; before run() only.
    void setJobs(std::vector<Job> jobs);
    int sessionCount() const { return int(m_sessions.size()); }
    // Runs until every file is stored, failed or stopped; events keep flowing meanwhile.
    // Sessions still logging in join as each becomes ready.
    void run();
    // No new file starts; the running transfers are cut cleanly.
    void stop();
    bool stopped() const { return m_stop; }
    TFtpClient &session(int index);
    // Temporary files no session could delete, by remote path, once the run is over.
    QStringList leftBehind() const { return m_leftBehind; }

Q_SIGNALS:
    // A file's lines, all together, once it is over; the caller's session's as they come.
    void fileLog(const QStringList &lines);
    void fileDone(const ParallelUpload::Job &job, bool stored, const QByteArray &sha256);
    // A job marked keepIfCut was cut off: its temporary file (remote path) is still there.
    void keptForResume(const ParallelUpload::Job &job, const QString &temporary);
    // Bytes of the files still moving, all sessions together.
    void progress(qint64 bytesInFlight);
    void finished();
    // A refusal the user is to see in a box: the text as the window shows it.
    void failure(const QString &text);
    // The server's times of stored files (by their relative names), learned by the
    // sessions of its own; an empty time where the server named none or the listing shows
    // another file by that name. Stored files never named here are still to be asked.
    void stampsLearned(const QStringList &relatives, const QStringList &stamps);

private:
    struct Session;
    void addSession(std::unique_ptr<Session> session);
    void start(Session &s);
    void onDone(Session &s, int status);
    void loginStep(Session &s, int status);
    void transferStep(Session &s, int status);
    void onClosed(Session &s);
    void lost(Session &s);
    void note(Session &s, const QString &line);
    void next(Session &s);
    void typeStep(Session &s);
    void storeStep(Session &s, bool plain, const QString &temporary = {});
    bool takeReserved(Session &s);
    void handBackReserved(Session &s);
    void refused(Session &s, const FtpException &e);
    void deleteTemporary(Session &s);
    void finishJob(Session &s, bool stored);
    QString remotePath(const QString &path) const;
    void retire(Session &s);
    void afterRetire(Session &s);
    void checkFinished();
    qint64 inFlight() const;
    void showFailure(const QString &text);
    void showLines(const QStringList &lines);
    bool learnsStamps() const { return m_settings.stampsByMlsd || m_settings.stampsByMdtm; }
    void countFolders();
    void folderFileOver(const Job &job, bool stored);
    bool takeStampWork(Session &s);
    void stampStep(Session &s, int status);
    void askStamps(Session &s);
    void deliverStamps(Session &s);

    Settings m_settings;
    std::deque<Job> m_queue;
    std::vector<std::unique_ptr<Session>> m_sessions;
    bool m_stop = false;
    bool m_finished = false;
    bool m_begun = false;
    // The files are known: run() has started. Until then a ready session waits.
    bool m_running = false;
    QTimer m_watch;
    // What sessions logging in ahead would have shown, held for run(): failure texts
    // (true) and log lines (false), in their order.
    std::vector<std::pair<bool, QStringList>> m_held;
    int m_restarts = 0;
    bool m_handedBack = false; // a lost session gave files back since the last restart
    QStringList m_leftTemporaries; // full remote paths lost sessions left behind
    QStringList m_leftBehind;      // those no later session could delete either
    // Per remote folder of the files: how many are not over yet, and those stored.
    struct Folder
    {
        int pending = 0;
        std::vector<Job> stored;
    };
    QHash<QString, Folder> m_folders;
    // Folders whose files are all over, their times still to learn.
    std::deque<QString> m_stampQueue;
};
