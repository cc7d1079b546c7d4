#include "publish/UploadJournal.h"

#include "markup/GuardedFile.h"
#include "publish/ContentHash.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView Header = "BriskoUploadJournal 1";

} // namespace

QString UploadJournal::pathFor(const QString &host, const QString &port, const QString &user,
                               const QString &remoteDirectory, const QString &protocol)
{
    // One file per target; its name must not carry the server's text into a path. FTP's
    // key is as it always was, so the journals written before other protocols still count.
    QString target = host.toLower() + u'\n' + port + u'\n' + user + u'\n' + remoteDirectory;
    if (!protocol.isEmpty())
        target.prepend(protocol + u'\n');
    const QByteArray key = target.toUtf8();
    const QByteArray name = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32);
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/upload-journal/"_s
           + QString::fromLatin1(name) + u".txt"_s;
}

QString UploadJournal::leftoversPathFor(const QString &host, const QString &port, const QString &user,
                                        const QString &protocol)
{
    QString path = pathFor(host, port, user, {}, protocol);
    path.chop(4); // ".txt"
    return path + u".leftovers"_s;
}

QStringList UploadJournal::loadLeftovers(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList paths;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const QString remote = QString::fromUtf8(QByteArray::fromPercentEncoding(line.trimmed()));
        // Only names this program makes: a damaged file must not delete anything else.
        if (isTemporaryName(remote.section(u'/', -1)) && !paths.contains(remote))
            paths << remote;
    }
    return paths;
}

bool UploadJournal::saveLeftovers(const QString &path, const QStringList &remotePaths)
{
    if (remotePaths.isEmpty())
        return !QFileInfo::exists(path) || QFile::remove(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QByteArray text;
    for (const QString &remote : remotePaths)
        text += QUrl::toPercentEncoding(remote, "/") + '\n';
    return commitFile(path, text).isEmpty();
}

QString UploadJournal::temporaryName()
{
    return u".brisko-"_s + QString::number(QRandomGenerator::global()->generate64(), 16) + u".part"_s;
}

bool UploadJournal::isTemporaryName(const QString &name)
{
    static const QRegularExpression pattern(u"^\\.brisko-[0-9a-f]{1,16}\\.part$"_s);
    return pattern.match(name).hasMatch();
}

QByteArray UploadJournal::fileSha256(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    ContentHash hash;
    if (!hash.addData(&file))
        return {};
    return hash.result();
}

void UploadJournal::load(const QString &path)
{
    m_path = path;
    m_entries.clear();
    m_directories.clear();
    m_partials.clear();
    m_stamps.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    if (auto parsed = parseAll(file.readAll())) {
        m_entries = std::move(parsed->files);
        m_directories = std::move(parsed->directories);
        m_partials = std::move(parsed->partials);
        m_stamps = std::move(parsed->stamps);
    }
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
    m_stamps.remove(relativePath);
}

void UploadJournal::forget(const QString &relativePath)
{
    m_entries.remove(relativePath);
    m_stamps.remove(relativePath);
}

void UploadJournal::setRemoteStamp(const QString &relativePath, const QString &stamp)
{
    // Spaces would split the line it is written in.
    if (m_entries.contains(relativePath) && !stamp.isEmpty() && !stamp.contains(u' '))
        m_stamps.insert(relativePath, stamp);
}

std::optional<UploadJournal::Partial> UploadJournal::partial(const QString &relativePath) const
{
    const auto it = m_partials.constFind(relativePath);
    if (it == m_partials.cend())
        return std::nullopt;
    return *it;
}

void UploadJournal::recordPartial(const QString &relativePath, const Partial &partial)
{
    m_partials.insert(relativePath, partial);
}

QStringList UploadJournal::partialTemporaries() const
{
    QStringList names;
    for (const Partial &p : m_partials)
        names << p.temporary;
    return names;
}

void UploadJournal::forgetPartial(const QString &relativePath)
{
    m_partials.remove(relativePath);
}

namespace {

QString directoryKey(const QString &relativeDirectory)
{
    return relativeDirectory.endsWith(u'/') ? relativeDirectory : relativeDirectory + u'/';
}

} // namespace

void UploadJournal::recordDirectory(const QString &relativeDirectory)
{
    m_directories.insert(directoryKey(relativeDirectory));
}

void UploadJournal::forgetDirectory(const QString &relativeDirectory)
{
    const QString prefix = directoryKey(relativeDirectory);
    m_directories.removeIf([&](const QString &known) { return known.startsWith(prefix); });
    m_entries.removeIf([&](const auto &entry) { return entry.key().startsWith(prefix); });
}

bool UploadJournal::knowsDirectory(const QString &relativeDirectory) const
{
    const QString prefix = directoryKey(relativeDirectory);
    if (m_directories.contains(prefix))
        return true;
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
        text += e.sha256.toHex() + ' ' + QByteArray::number(e.size) + ' ' + QByteArray::number(e.modifiedMs);
        const QString stamp = m_stamps.value(path);
        if (!stamp.isEmpty())
            text += ' ' + QUrl::toPercentEncoding(stamp);
        text += ' ' + QUrl::toPercentEncoding(path, "/") + '\n';
    }
    QStringList cut = m_partials.keys();
    std::sort(cut.begin(), cut.end());
    for (const QString &path : cut) {
        const Partial &p = m_partials[path];
        text += "P " + p.sha256.toHex() + ' ' + QByteArray::number(p.size) + ' ' + QByteArray::number(p.modifiedMs)
                + ' ' + QUrl::toPercentEncoding(p.temporary) + ' ' + QUrl::toPercentEncoding(path, "/") + '\n';
    }
    QStringList directories(m_directories.cbegin(), m_directories.cend());
    std::sort(directories.begin(), directories.end());
    for (const QString &directory : directories)
        text += "D " + QUrl::toPercentEncoding(directory, "/") + '\n';
    return text;
}

std::optional<QHash<QString, UploadJournal::Entry>> UploadJournal::parse(const QByteArray &text)
{
    auto parsed = parseAll(text);
    if (!parsed)
        return std::nullopt;
    return std::move(parsed->files);
}

std::optional<UploadJournal::Parsed> UploadJournal::parseAll(const QByteArray &text)
{
    const QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty() || lines.first() != Header)
        return std::nullopt;
    Parsed parsed;
    QHash<QString, Entry> &entries = parsed.files;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QList<QByteArray> fields = lines[i].split(' ');
        if (fields.size() == 2 && fields[0] == "D") {
            const QString directory = QString::fromUtf8(QByteArray::fromPercentEncoding(fields[1]));
            if (!directory.endsWith(u'/') || directory.size() < 2)
                return std::nullopt;
            parsed.directories.insert(directory);
            continue;
        }
        if (fields.size() == 6 && fields[0] == "P") {
            Partial p;
            bool sizeOk = false, timeOk = false;
            p.sha256 = QByteArray::fromHex(fields[1]);
            p.size = fields[2].toLongLong(&sizeOk);
            p.modifiedMs = fields[3].toLongLong(&timeOk);
            p.temporary = QString::fromUtf8(QByteArray::fromPercentEncoding(fields[4]));
            const QString path = QString::fromUtf8(QByteArray::fromPercentEncoding(fields[5]));
            if (!sizeOk || !timeOk || p.size < 0 || p.sha256.size() != 32 || path.isEmpty()
                || !isTemporaryName(p.temporary))
                return std::nullopt;
            parsed.partials.insert(path, p);
            continue;
        }
        bool sizeOk = false, timeOk = false;
        Entry e;
        if (fields.size() != 4 && fields.size() != 5)
            return std::nullopt;
        e.sha256 = QByteArray::fromHex(fields[0]);
        e.size = fields[1].toLongLong(&sizeOk);
        e.modifiedMs = fields[2].toLongLong(&timeOk);
        const QString path = QString::fromUtf8(QByteArray::fromPercentEncoding(fields.last()));
        if (fields.size() == 5)
            parsed.stamps.insert(path, QString::fromUtf8(QByteArray::fromPercentEncoding(fields[3])));
        // A damaged line could make a changed file look unchanged: trust nothing then.
        if (!sizeOk || !timeOk || e.size < 0 || e.sha256.size() != 32 || path.isEmpty())
            return std::nullopt;
        entries.insert(path, e);
    }
    return parsed;
}

qint64 UploadJournal::modifiedMs(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat status{};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return -1;
    return qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000;
#else
    const QFileInfo info(path);
    return info.exists() ? info.lastModified().toMSecsSinceEpoch() : -1;
#endif
}
