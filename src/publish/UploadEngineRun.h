#pragma once

// What UploadEngine's source files share and nothing else needs: one upload's state, and
// the guard that keeps the requests inside it from raising boxes. Included after
// UploadEngine.h by those files only (including it from here would make the two units
// include each other).
#include "publish/RemoteSession.h"
#include "publish/UploadJournal.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

inline QString joinRemote(const QString &directory, const QString &name)
{
    if (directory.isEmpty() || name == QLatin1StringView("."))
        return directory.isEmpty() ? name : directory;
    return directory.endsWith(u'/') ? directory + name : directory + u'/' + name;
}

// What one upload covers, how far it got, and what it left behind.
struct UploadEngine::Run
{
    Options options;
    QString startLocal;  // the home directory the walk began in, with separator
    QString remoteStart; // the remote directory current at the start, empty if unknown
    bool stop = false;
    qint64 totalFiles = 0;
    qint64 totalBytes = 0;
    qint64 doneFiles = 0;
    qint64 doneBytes = 0;
    int lastShown = -1;
    bool moving = false; // bytes of a file were shown on their way since the last file was done
    QElapsedTimer shown;
    int stored = 0;
    int skipped = 0;
    int failed = 0;
    QStringList leftTemporaries; // full remote paths a lost session could not delete
    bool overwriteAll = false;   // "Přepsat vše" was the answer
    UploadJournal journal;
    std::vector<StoreJob> jobs;  // what the walk found to store, in its order
    QHash<QString, QStringList> storedIn;   // relative directory -> names stored there
    bool partialsChanged = false;           // the journal's cut files changed since it was saved
};

// Failures of the requests inside stay in the log: the upload handles them itself.
class EngineQuiet
{
public:
    explicit EngineQuiet(UploadEngine &engine) : m_engine(engine) { ++m_engine.m_quiet; }
    ~EngineQuiet() { --m_engine.m_quiet; }

private:
    UploadEngine &m_engine;
};

