#pragma once

#include "publish/FtpClient.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>

#include <deque>
#include <memory>
#include <vector>

// Stores many files over several FTP sessions at once, each with its own login, all on the
// calling thread's event loop. The remote directories must exist already. A session that
// is lost hands its file back to the others; a file the server refuses counts as failed.
class ParallelUpload : public QObject
{
    Q_OBJECT

public:
    struct Job
    {
        QString local;    // the file to send
        QString remote;   // its full remote path, directories included
        QString relative; // how the log and the journal name it
        qint64 size = 0;
    };
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
    };

    ParallelUpload(Settings settings, std::vector<Job> jobs, int sessions, QObject *parent = nullptr);
    ~ParallelUpload() override;

    // Runs until every file is stored, failed or stopped; events keep flowing meanwhile.
    void run();
    // No new file starts; the running transfers are cut cleanly.
    void stop();
    bool stopped() const { return m_stop; }
    TFtpClient &session(int index);
    // Temporary files no session could delete, by full remote path, once the run is over.
    QStringList leftBehind() const { return m_leftBehind; }

Q_SIGNALS:
    // A file's lines, all together, once it is over.
    void fileLog(const QStringList &lines);
    void fileDone(const ParallelUpload::Job &job, bool stored, const QByteArray &sha256);
    // Bytes of the files still moving, all sessions together.
    void progress(qint64 bytesInFlight);
    void finished();
    // A refusal the user is to see in a box: the text as the window shows it.
    void failure(const QString &text);

private:
    struct Session;
    void start(Session &s);
    void onDone(Session &s, FtpRequest request, int status);
    void loginStep(Session &s, int status);
    void transferStep(Session &s, int status);
    void onClosed(Session &s);
    void next(Session &s);
    void storeStep(Session &s);
    void finishJob(Session &s, bool stored);
    void retire(Session &s);
    void afterRetire(Session &s);
    void checkFinished();
    qint64 inFlight() const;

    Settings m_settings;
    std::deque<Job> m_queue;
    std::vector<std::unique_ptr<Session>> m_sessions;
    bool m_stop = false;
    bool m_finished = false;
    int m_restarts = 0;
    bool m_handedBack = false; // a lost session gave files back since the last restart
    QStringList m_leftTemporaries; // full remote paths lost sessions left behind
    QStringList m_leftBehind;      // those no later session could delete either
};
