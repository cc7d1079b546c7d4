#include "LocalTree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(content), content.size());
}

QMap<QString, QByteArray> snapshot(const QString &root, bool hidden)
{
    QMap<QString, QByteArray> tree;
    QDir::Filters filters = QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot;
    if (hidden)
        filters |= QDir::Hidden;
    QDirIterator it(root, filters, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString relative = QDir(root).relativeFilePath(info.filePath());
        if (info.isDir()) {
            tree.insert(relative + u'/', {});
        } else {
            QFile f(info.filePath());
            if (f.open(QIODevice::ReadOnly))
                tree.insert(relative, f.readAll());
        }
    }
    return tree;
}
