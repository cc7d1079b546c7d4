#include "markup/InstanceFiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cerrno>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// What lstat says of path: it does not follow a link, so a link someone planted under the
// name is seen as a link, not as the folder it points to.
std::optional<struct stat> statOf(const QByteArray &path)
{
    struct stat info{};
    if (::lstat(path.constData(), &info) != 0)
        return std::nullopt;
    return info;
}

bool isOwnFolder(const struct stat &info)
{
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
}

} // namespace

QString instanceCacheFile(const QString &name)
{
    // Made on first use, removed with its files when the process ends normally.
    static const QTemporaryDir folder = [] {
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        QDir().mkpath(cache);
        return QTemporaryDir(cache + u"/instance-XXXXXX"_s);
    }();
    return folder.isValid() ? folder.filePath(name) : QString();
}

bool isPrivateFolder(const QString &path)
{
    const std::optional<struct stat> info = statOf(QFile::encodeName(path));
    return info && isOwnFolder(*info) && (info->st_mode & 077) == 0;
}

bool makePrivateFolder(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    // Made with the right mode at once: there is no moment in which another user could
    // open it. A folder made by someone else in between makes mkdir fail, and the checks
    // below refuse it.
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    const std::optional<struct stat> info = statOf(name);
    if (!info || !isOwnFolder(*info))
        return false;
    if ((info->st_mode & 07777) != 0700 && ::chmod(name.constData(), 0700) != 0)
        return false;
    return isPrivateFolder(path);
}
