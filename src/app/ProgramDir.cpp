#include "ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
QString g_override;

QString withSeparator(QString dir)
{
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}
} // namespace

QString programDirFor(const QString &executableDir)
{
    // In the build tree, and in a folder unpacked anywhere, the data folders stand beside
    // the executable.
    if (QFileInfo(QDir(executableDir).filePath(u"data"_s)).isDir())
        return withSeparator(executableDir);
    // Installed under a prefix: the program in <prefix>/bin, its data in
    // <prefix>/share/brisko-editor.
    const QString shared = QDir::cleanPath(executableDir + u"/../share/brisko-editor"_s);
    if (QFileInfo(shared + u"/data"_s).isDir())
        return withSeparator(shared);
    return withSeparator(executableDir);
}

QString programDir()
{
    return g_override.isEmpty() ? programDirFor(QCoreApplication::applicationDirPath())
                                : withSeparator(g_override);
}

void setProgramDir(const QString &directory)
{
    g_override = directory;
}
