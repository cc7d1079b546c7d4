#pragma once

#include "publish/RemoteSession.h"
#include "publish/SftpConnection.h"
#include "publish/SftpPipeline.h"

#include <QStringList>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class QThread;

// The store stage over SFTP: each session is a thread of its own with a blocking
// connection that takes the next files from a shared queue, sends each under a temporary
// name and renames it over the old one, several files at once where the server allows.
// The session of the window is lent as the first; the others log in on their own with
// the window's credentials. What each file came to reaches the calling thread as events,
// so the signals come from there.
class SftpUpload : public StoreStage
{
    Q_OBJECT

public:
    struct Setup
    {
        SftpCredentials credentials;
        bool safe = true;
        QString directory;                   // where the jobs' remote paths start
        SftpConnection *borrowed = nullptr;  // the window's connection, the first session
        int sessions = 1;
    };

    SftpUpload(Setup setup, std::vector<StoreJob> jobs, QObject *parent = nullptr);
    ~SftpUpload() override;

    void run() override;
    void stop() override { m_stop = true; }
    bool stopped() const override { return m_stop; }
    QStringList leftBehind() const override { return m_leftBehind; }

private:
    struct Worker;
    void work(Worker &worker);
    bool nextJob(StoreJob &job);
    void storeAll(Worker &worker);
    void store(Worker &worker, const StoreJob &job);
    QString temporaryFor(const StoreJob &job) const;
    void report(const StoreJob &job, const QString &temporary, const SftpPipeline::Result &result);
    QString full(const QString &path) const;
    void post(std::function<void()> report);

    Setup m_setup;
    std::mutex m_mutex;
    std::deque<StoreJob> m_queue; // guarded by m_mutex
    std::atomic<bool> m_stop = false;
    std::vector<std::unique_ptr<Worker>> m_workers;
    QStringList m_leftBehind;
};
