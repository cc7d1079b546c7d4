#include "publish/UploadJournal.h"

#include "markup/GuardedFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView Header = "BriskoUploadJournal 1";

} // namespace

QString UploadJournal::pathFor(const QString &host, const QString &port, const QString &user,
                               const QString &remoteDirectory)
{
    // One file per target; its name must not carry the server's text into a path.
    const QByteArray key = (host.toLower() + u'\n' + port + u'\n' + user + u'\n' + remoteDirectory).toUtf8();
    const QByteArray name = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32);
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/upload-journal/"_s
           + QString::fromLatin1(name) + u".txt"_s;
}

QByteArray UploadJournal::fileSha256(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result();
}

void UploadJournal::load(const QString &path)
{
    m_path = path;
    m_entries.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    if (auto parsed = parse(file.readAll()))
        m_entries = std::move(*parsed);
}

bool UploadJournal::save() const
{
    if (m_path.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    return commitFile(m_path, serialize()).isEmpty();
}

std::optional<UploadJournal::Entry> UploadJournal::find(const QString &relativePath) const
{
    const auto it = m_entries.constFind(relativePath);
    if (it == m_entries.cend())
        return std::nullopt;
    return *it;
}

void UploadJournal::record(const QString &relativePath, const Entry &entry)
{
    m_entries.insert(relativePath, entry);
}

void UploadJournal::forget(const QString &relativePath)
{
    m_entries.remove(relativePath);
}

bool UploadJournal::knowsDirectory(const QString &relativeDirectory) const
{
    const QString prefix = relativeDirectory.endsWith(u'/') ? relativeDirectory : relativeDirectory + u'/';
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (it.key().startsWith(prefix))
            return true;
    }
    return false;
}

bool UploadJournal::isUnchanged(const QString &relativePath, const QString &localPath) const
{
    const auto known = find(relativePath);
    if (!known)
        return false;
    const QFileInfo info(localPath);
    if (!info.isFile() || info.size() != known->size
        || info.lastModified().toMSecsSinceEpoch() != known->modifiedMs)
        return false;
    return fileSha256(localPath) == known->sha256;
}

QByteArray UploadJournal::serialize() const
{
    QStringList paths = m_entries.keys();
    std::sort(paths.begin(), paths.end());
    QByteArray text = Header.toByteArray() + '\n';
    for (const QString &path : paths) {
        const Entry &e = m_entries[path];
        text += e.sha256.toHex() + ' ' + QByteArray::number(e.size) + ' ' + QByteArray::number(e.modifiedMs)
                + ' ' + QUrl::toPercentEncoding(path, "/") + '\n';
    }
    return text;
}

std::optional<QHash<QString, UploadJournal::Entry>> UploadJournal::parse(const QByteArray &text)
{
    const QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty() || lines.first() != Header)
        return std::nullopt;
    QHash<QString, Entry> entries;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QList<QByteArray> fields = lines[i].split(' ');
        bool sizeOk = false, timeOk = false;
        Entry e;
        if (fields.size() != 4)
            return std::nullopt;
        e.sha256 = QByteArray::fromHex(fields[0]);
        e.size = fields[1].toLongLong(&sizeOk);
        e.modifiedMs = fields[2].toLongLong(&timeOk);
        const QString path = QString::fromUtf8(QByteArray::fromPercentEncoding(fields[3]));
        // A damaged line could make a changed file look unchanged: trust nothing then.
        if (!sizeOk || !timeOk || e.size < 0 || e.sha256.size() != 32 || path.isEmpty())
            return std::nullopt;
        entries.insert(path, e);
    }
    return entries;
}
