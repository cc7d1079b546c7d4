#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

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

    // The journal file for one server, port, account and remote directory, in the user's
    // data folder.
    static QString pathFor(const QString &host, const QString &port, const QString &user,
                           const QString &remoteDirectory);
    // The SHA-256 of a local file; empty when it cannot be read.
    static QByteArray fileSha256(const QString &path);

    // Reads the journal at path; a missing or damaged file gives an empty journal.
    void load(const QString &path);
    // Writes it back through a save file; false if that failed.
    bool save() const;

    std::optional<Entry> find(const QString &relativePath) const;
    void record(const QString &relativePath, const Entry &entry);
    void forget(const QString &relativePath);
    qsizetype size() const { return m_entries.size(); }
    // True when some file below the relative directory went up before, so the remote
    // directory exists already.
    bool knowsDirectory(const QString &relativeDirectory) const;
    QString path() const { return m_path; }

    // True when the file at localPath has the size, time and content recorded for
    // relativePath. The content is read only when size and time agree.
    bool isUnchanged(const QString &relativePath, const QString &localPath) const;

    // Text form: a header line, then one "sha256hex size modifiedMs path" line per file,
    // the path percent-encoded so any name survives.
    QByteArray serialize() const;
    static std::optional<QHash<QString, Entry>> parse(const QByteArray &text);

private:
    QString m_path;
    QHash<QString, Entry> m_entries;
};
