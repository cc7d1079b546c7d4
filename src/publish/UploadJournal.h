#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// What the server last received of each local file, for one server, account and remote
// directory: relative path, size, modification time and SHA-256 of the content. A file is
// entered only after its transfer (and rename) succeeded, and leaves it when a later
// transfer of it fails, so the journal never vouches for a file the server may not hold.
class UploadJournal
{
public:
    struct Entry
    {
        qint64 size = 0;
        qint64 modifiedMs = 0; // milliseconds since the epoch, UTC
        QByteArray sha256;     // raw 32 bytes
        friend bool operator==(const Entry &, const Entry &) = default;
    };
    // A large file cut off on its way up: its temporary file on the server holds the
    // first part of this content, and the next upload sends only the rest.
    struct Partial
    {
        QString temporary; // the name beside the file's own
        qint64 size = 0;
        qint64 modifiedMs = 0;
        QByteArray sha256;
        friend bool operator==(const Partial &, const Partial &) = default;
    };

    // The hash of a file sent without hashing it; no content has it, so such a file
    // never counts as unchanged.
    static inline const QByteArray UnknownContent = QByteArray(32, '\0');

    // The journal file for one server, port, account and remote directory, in the user's
    // data folder.
    // The protocol (empty for FTP) keeps journals of the same server apart.
    static QString pathFor(const QString &host, const QString &port, const QString &user,
                           const QString &remoteDirectory, const QString &protocol = {});
    // The SHA-256 of a local file; empty when it cannot be read.
    static QByteArray fileSha256(const QString &path);
    // A file's time of last change in milliseconds since the epoch, as QFileInfo gives it,
    // without the trip through the local time zone (a look at /etc/localtime each time);
    // -1 when the file cannot be read.
    static qint64 modifiedMs(const QString &path);

    // Temporary files an upload could not delete (the session was lost and no new one
    // came up), by full remote path, for one server, port and account: the next upload
    // deletes them first.
    static QString leftoversPathFor(const QString &host, const QString &port, const QString &user,
                                    const QString &protocol = {});
    static QStringList loadLeftovers(const QString &path);
    // An empty list removes the file.
    static bool saveLeftovers(const QString &path, const QStringList &remotePaths);

    // A name no page of the site has, for a file on its way up; hidden, so a web server
    // does not offer it meanwhile. Every session of an upload makes its names here.
    static QString temporaryName();
    static bool isTemporaryName(const QString &name);

    // Reads the journal at path; a missing or damaged file gives an empty journal.
    void load(const QString &path);
    // Writes it back through a save file; false if that failed.
    bool save() const;

    std::optional<Entry> find(const QString &relativePath) const;
    void record(const QString &relativePath, const Entry &entry);
    void forget(const QString &relativePath);
    // The time the server gave a recorded file once it was stored (its MLSD "modify"
    // fact), empty when it gave none; with the size it tells whether someone else changed
    // the file on the server since. Recording the file anew clears it.
    void setRemoteStamp(const QString &relativePath, const QString &stamp);
    QString remoteStamp(const QString &relativePath) const { return m_stamps.value(relativePath); }
    std::optional<Partial> partial(const QString &relativePath) const;
    void recordPartial(const QString &relativePath, const Partial &partial);
    void forgetPartial(const QString &relativePath);
    qsizetype size() const { return m_entries.size(); }
    QStringList paths() const { return m_entries.keys(); }
    // Temporary files kept on the server for cut files.
    QStringList partialTemporaries() const;
    // The relative paths of the cut files.
    QStringList partialPaths() const { return m_partials.keys(); }
    // True when this program made the relative directory on the server, or some file
    // below it went up before, so the remote directory exists already.
    bool knowsDirectory(const QString &relativeDirectory) const;
    // A directory made (or found) on the server; empty ones count too.
    void recordDirectory(const QString &relativeDirectory);
    void forgetDirectory(const QString &relativeDirectory);
    QString path() const { return m_path; }

    // True when the file at localPath has the size, time and content recorded for
    // relativePath. The content is read only when size and time agree.
    bool isUnchanged(const QString &relativePath, const QString &localPath) const;

    // Text form: a header line, then one "sha256hex size modifiedMs [remoteStamp] path"
    // line per file, one "D path/" line per directory and one "P sha256hex size
    // modifiedMs temporary path" line per cut file, names percent-encoded so any name
    // survives. parse gives the files.
    QByteArray serialize() const;
    static std::optional<QHash<QString, Entry>> parse(const QByteArray &text);

private:
    struct Parsed
    {
        QHash<QString, Entry> files;
        QSet<QString> directories;
        QHash<QString, Partial> partials;
        QHash<QString, QString> stamps;
    };
    static std::optional<Parsed> parseAll(const QByteArray &text);

    QString m_path;
    QHash<QString, Entry> m_entries;
    QSet<QString> m_directories; // relative, with a trailing "/"
    QHash<QString, Partial> m_partials;
    QHash<QString, QString> m_stamps;

};
