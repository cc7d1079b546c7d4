#include "markup/RecoveryStore.h"

#include "markup/GuardedFile.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QLockFile>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

namespace {

constexpr quint32 kMagic = 0x42524543; // "BREC"
// Version 2 added the line breaks; copies of version 1 are still read (as CR LF).
constexpr quint32 kVersion = 2;
const QString kCopySuffix = u".rec"_s;
const QString kLockSuffix = u".lock"_s;

// "<session>-<document>.rec": the session is everything before the last dash.
QString sessionOf(const QString &copyName)
{
    return copyName.left(copyName.lastIndexOf(u'-'));
}

} // namespace

QByteArray serializeRecoveryCopy(const RecoveryCopy &copy)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << kMagic << kVersion << copy.fileName << qint32(copy.slot)
        << qint32(copy.encoding.encoding) << copy.encoding.byteOrderMark << qint32(copy.caret)
        << qint32(copy.lineEnding) << copy.text << kMagic; // the closing mark shows the copy is whole
    return bytes;
}

std::optional<RecoveryCopy> parseRecoveryCopy(QByteArrayView bytes)
{
    const QByteArray data = bytes.toByteArray();
    QDataStream in(data);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0, version = 0, end = 0;
    qint32 slot = 0, encoding = 0, caret = 0, lineEnding = 0;
    RecoveryCopy copy;
    in >> magic >> version;
    if (magic != kMagic || version < 1 || version > kVersion)
        return std::nullopt;
    in >> copy.fileName >> slot >> encoding >> copy.encoding.byteOrderMark >> caret;
    if (version >= 2)
        in >> lineEnding;
    in >> copy.text >> end;
    if (in.status() != QDataStream::Ok || end != kMagic || encoding < 0
        || encoding > int(TextEncoding::Utf8) || lineEnding < 0 || lineEnding > int(LineEnding::Cr))
        return std::nullopt;
    copy.lineEnding = LineEnding(lineEnding);
    copy.slot = slot;
    copy.encoding.encoding = TextEncoding(encoding);
    copy.caret = std::clamp(int(caret), 0, int(copy.text.size()));
    return copy;
}

struct RecoveryStore::Claim
{
    std::unique_ptr<QLockFile> lock;
    QStringList copies; // full paths
};

RecoveryStore::RecoveryStore(const QString &folder)
    : m_folder(folder)
    , m_session(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

RecoveryStore::~RecoveryStore()
{
    releaseClaimed();
}

QString RecoveryStore::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/recovery"_s;
}

bool RecoveryStore::start()
{
    if (!QDir().mkpath(m_folder))
        return false;
    m_lock = std::make_unique<QLockFile>(m_folder + u'/' + m_session + kLockSuffix);
    // A lock is stale only when its process is gone, never from its age.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        return false;
    }
    return true;
}

QString RecoveryStore::copyPath(int document) const
{
    return m_folder + u'/' + m_session + u'-' + QString::number(document) + kCopySuffix;
}

QList<RecoveryCopy> RecoveryStore::claimLeftCopies()
{
    const QDir dir(m_folder);
    std::map<QString, QStringList> bySession;
    for (const QString &name : dir.entryList({u"*"_s + kCopySuffix}, QDir::Files, QDir::Name)) {
        const QString session = sessionOf(name);
        if (!session.isEmpty() && session != m_session)
            bySession[session] << dir.filePath(name);
    }
    QList<RecoveryCopy> copies;
    for (auto &[session, paths] : bySession) {
        auto claim = std::make_unique<Claim>();
        claim->lock = std::make_unique<QLockFile>(dir.filePath(session + kLockSuffix));
        claim->lock->setStaleLockTime(0);
        // Held: its instance still runs, or another instance is offering these now.
        if (!claim->lock->tryLock(0))
            continue;
        for (const QString &path : std::as_const(paths)) {
            const GuardedRead read = readGuardedFile(path, MaxDocumentBytes * 2 + 4096);
            std::optional<RecoveryCopy> copy = read.ok() ? parseRecoveryCopy(read.bytes) : std::nullopt;
            if (!copy)
                continue; // a copy cut by the crash itself; the one before it was replaced whole
            copy->path = path;
            copies << *copy;
        }
        claim->copies = paths;
        m_claims.push_back(std::move(claim));
    }
    return copies;
}

void RecoveryStore::discardClaimed()
{
    for (const auto &claim : m_claims) {
        for (const QString &path : std::as_const(claim->copies))
            QFile::remove(path);
        claim->lock->unlock();
    }
    m_claims.clear();
}

void RecoveryStore::releaseClaimed()
{
    // Unlocking removes the lock file: the copies then belong to no running instance and
    // are offered again at the next start.
    for (const auto &claim : m_claims)
        claim->lock->unlock();
    m_claims.clear();
}

void RecoveryStore::finish()
{
    const QDir dir(m_folder);
    for (const QString &name : dir.entryList({m_session + u"-*"_s + kCopySuffix}, QDir::Files))
        QFile::remove(dir.filePath(name));
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}
