#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

// What the log shows after a refused step, in the window as in the engine.
inline const QString &uploadFailureText()
{
    static const QString text = QStringLiteral("Chyba!");
    return text;
}

// One entry of a remote directory listing.
struct RemoteFile
{
    QString type; // "file", "dir" or "link" (a symbolic link, never followed)
    qint64 size = -1;
    QString modify; // the server's time of the file, "yyyyMMddhhmmss" in UTC, when known
};
using RemoteDirectory = QHash<QString, RemoteFile>;

// A plain name inside one directory: not ".", "..", nor anything that reaches outside.
bool isPlainRemoteName(const QString &name);

// The server's time of a file just stored with this size, as its folder's listing tells it:
// nothing when the listing shows another file by that name (someone else's, no time to
// keep), empty when the listing (or none) names no time and MDTM is to tell.
inline std::optional<QString> listedStamp(const std::optional<RemoteDirectory> &listing, const QString &name,
                                          qint64 size)
{
    if (!listing)
        return QString();
    const auto it = listing->constFind(name);
    if (it == listing->cend() || it->size != size)
        return std::nullopt;
    return it->modify.left(14);
}

// One file for the store stage of an upload.
struct StoreJob
{
    QString local;    // the file to send
    QString remote;   // its remote path relative to where the upload started
    QString relative; // how the log and the journal name it
    qint64 size = 0;
    // Cut off on its way up, the temporary file stays for the next upload to go on with.
    bool keepIfCut = false;
    // The temporary name (remote path) the caller chose for it; empty: one is made.
    QString temporary = {};
};

// The store stage of an upload over one protocol: sends the files the walk chose, over the
// caller's session or over sessions of its own, and says how each one went. Runs until
// every file is stored, failed or stopped, with the calling thread's events flowing.
class StoreStage : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void run() = 0;
    // No new file starts; the running transfers are cut cleanly.
    virtual void stop() = 0;
    virtual bool stopped() const = 0;
    // Temporary files no session could delete, by remote path, once the run is over.
    virtual QStringList leftBehind() const = 0;

Q_SIGNALS:
    // A file's lines, all together, once it is over.
    void fileLog(const QStringList &lines);
    void fileDone(const StoreJob &job, bool stored, const QByteArray &sha256);
    // A job marked keepIfCut was cut off: its temporary file (remote path) is still there.
    void keptForResume(const StoreJob &job, const QString &temporary);
    // Bytes of the files still moving, all sessions together.
    void progress(qint64 bytesInFlight);
    // A refusal the user is to see in a box.
    void failure(const QString &text);
    // The server's times of stored files (relative names), where the stage learned them
    // itself; an empty time where the server named none or shows another file by that
    // name. The caller asks for the stored files never named here.
    void stampsLearned(const QStringList &relatives, const QStringList &stamps);
};

// What the upload engine asks of a server, whatever the protocol: the session the window
// logged in with, standing in a remote directory. Every request waits for its answer with
// the calling thread's events flowing, so the window stays alive meanwhile; a refused
// request returns false (or nothing) and has said why in the session's own log.
class RemoteSession
{
public:
    virtual ~RemoteSession() = default;

    // Tells journals of the same server apart by protocol: empty for FTP.
    virtual QString protocol() const = 0;
    virtual QString hostName() const = 0;
    virtual QString port() const = 0;
    virtual QString userName() const = 0;

    virtual bool connected() const = 0;
    // A file or directory of this name can be sent: FTP's commands are lines, and a
    // name with a line break in it would end one and start another on the server.
    virtual bool acceptsName(const QString &name) const
    {
        Q_UNUSED(name);
        return true;
    }
    // Logs in again after the session was lost, with what it logged in with before.
    virtual bool reconnect() = 0;
    // The last request ended because the user stopped it, not because it failed.
    virtual bool stoppedByUser() const = 0;
    // "Zastavit": the running transfer is cut cleanly.
    virtual void stopTransfer() = 0;

    // The directory the session stands in; nothing when it cannot be told.
    virtual std::optional<QString> workingDirectory() = 0;
    virtual bool changeDirectory(const QString &path) = 0;
    virtual bool makeDirectory(const QString &path) = 0;
    virtual bool removeFile(const QString &path) = 0;
    virtual bool removeDirectory(const QString &path) = 0;
    // -1 when the file is not there or the size cannot be told.
    virtual qint64 fileSize(const QString &path) = 0;
    // The server's time of the file, "yyyyMMddhhmmss" in UTC; empty when unknown.
    virtual QString modificationStamp(const QString &path) = 0;
    // The times of many files, in their order; a protocol that can ask for them together
    // saves a round trip per file.
    virtual QStringList modificationStamps(const QStringList &paths)
    {
        QStringList stamps;
        for (const QString &path : paths)
            stamps << modificationStamp(path);
        return stamps;
    }
    // A directory's entries by name; its links may show as what they point to.
    virtual std::optional<RemoteDirectory> listDirectory(const QString &path) = 0;
    // True when listDirectory already shows links as links.
    virtual bool listingShowsLinks() const = 0;
    // A listing that shows links as links, for the directories a deletion goes into.
    virtual std::optional<RemoteDirectory> listLinks(const QString &path) = 0;
    // Sends the local file from offset on, after the first offset bytes of the remote one.
    virtual bool appendFile(const QString &local, const QString &remote, qint64 offset) = 0;
    // Renames over an existing file of the target name.
    virtual bool rename(const QString &from, const QString &to) = 0;

    struct StoreOptions
    {
        bool safe = true;     // each file under a temporary name first, then renamed
        int sessions = 1;     // more than one: sessions of the stage's own
        QString directory;    // where the paths of the jobs start, for sessions of its own
    };
    virtual std::unique_ptr<StoreStage> storeStage(std::vector<StoreJob> jobs, const StoreOptions &options) = 0;
    // A store stage of sessions of its own may start logging them in now, while this
    // session still walks the tree; the next storeStage() of the same options takes them
    // as they are. Without one, storeStage() logs its sessions in itself.
    virtual void prepareStoreStage(const StoreOptions &options) { (void)options; }
    // What prepareStoreStage() started and no store stage took: its sessions end.
    virtual void dropPreparedStoreStage() {}
};
