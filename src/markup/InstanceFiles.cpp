#include "markup/InstanceFiles.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

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
