#include "ProgramDir.h"

#include <QCoreApplication>

namespace {
QString g_override;
}

QString programDir()
{
    QString dir = g_override.isEmpty() ? QCoreApplication::applicationDirPath() : g_override;
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}

void setProgramDir(const QString &directory)
{
    g_override = directory;
}
