#include "support/TestMain.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// Which folders under src/ each folder may include, lowest layer first. A folder may
// always include its own files.
const QHash<QString, QSet<QString>> &allowedLayers()
{
    static const QHash<QString, QSet<QString>> table{
        {u"markup"_s, {}},
        {u"settings"_s, {u"markup"_s}},
        {u"interaction"_s, {}},
        {u"editor"_s, {u"markup"_s, u"settings"_s, u"interaction"_s}},
        {u"dialogs"_s, {u"markup"_s, u"settings"_s, u"interaction"_s}},
        {u"preview"_s, {u"markup"_s, u"settings"_s, u"interaction"_s}},
        {u"publish"_s, {u"markup"_s, u"settings"_s, u"interaction"_s}},
        {u"tools"_s,
         {u"dialogs"_s, u"preview"_s, u"markup"_s, u"settings"_s, u"interaction"_s}},
        {u"commands"_s,
         {u"editor"_s, u"dialogs"_s, u"tools"_s, u"preview"_s, u"publish"_s, u"markup"_s,
          u"settings"_s, u"interaction"_s}},
        {u"app"_s,
         {u"editor"_s, u"dialogs"_s, u"tools"_s, u"preview"_s, u"publish"_s, u"markup"_s,
          u"settings"_s, u"interaction"_s, u"commands"_s}},
    };
    return table;
}

// Every #include of one of our folders that its file's folder may not use, as
// "file:line: includes folder/...", with paths relative to the source root.
QStringList layerViolations(const QString &sourceRoot)
{
    static const QRegularExpression include(u"^\\s*#\\s*include\\s*\"([^/\"]+)/[^\"]*\""_s);
    QStringList found;
    const QDir root(sourceRoot);
    QDirIterator files(sourceRoot, {u"*.h"_s, u"*.cpp"_s}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const QString relative = root.relativeFilePath(path);
        const QString folder = relative.section(u'/', 0, 0);
        const auto allowed = allowedLayers().constFind(folder);
        if (allowed == allowedLayers().constEnd())
            continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        int lineNumber = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine());
            ++lineNumber;
            const QRegularExpressionMatch m = include.match(line);
            if (!m.hasMatch())
                continue;
            const QString target = m.captured(1);
            if (target == folder || !allowedLayers().contains(target)
                || allowed->contains(target))
                continue;
            found << u"%1:%2: includes %3"_s.arg(relative).arg(lineNumber).arg(line.trimmed());
        }
    }
    found.sort();
    return found;
}

} // namespace

class TestLayers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sourcesKeepTheirLayers();
    void plantedBadIncludeIsNamed();
};

void TestLayers::sourcesKeepTheirLayers()
{
    const QStringList violations = layerViolations(QStringLiteral(BRISKO_SOURCE_DIR));
    QVERIFY2(violations.isEmpty(), qPrintable(violations.join(u'\n')));
}

// The check itself: a lower layer reaching up, and a command reaching the main window,
// are reported with file and line; allowed and same-folder includes are not.
void TestLayers::plantedBadIncludeIsNamed()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto plant = [&dir](const QString &path, const QByteArray &text) {
        QDir(dir.path()).mkpath(path.section(u'/', 0, 0));
        QFile file(dir.filePath(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    plant(u"markup/Bad.cpp"_s,
          "#include \"markup/Bad.h\"\n#include <QString>\n\n#include \"settings/TSettings.h\"\n");
    plant(u"commands/Cmd.cpp"_s,
          "#include \"Cmd.h\"\n#include \"editor/TForm2.h\"\n  #  include \"app/TForm1.h\"\n");
    plant(u"app/Ok.cpp"_s, "#include \"commands/Cmd.h\"\n#include \"markup/SysUt.h\"\n");
    QCOMPARE(layerViolations(dir.path()),
             (QStringList{u"commands/Cmd.cpp:3: includes #  include \"app/TForm1.h\""_s,
                          u"markup/Bad.cpp:4: includes #include \"settings/TSettings.h\""_s}));
}

BRISKO_TEST_MAIN(TestLayers)
#include "tst_layers.moc"
