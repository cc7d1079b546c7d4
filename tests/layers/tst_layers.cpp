#include "markup/HtmlCheck.h"
#include "support/TestMain.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QFile>
#include <QHash>
#include <QLibraryInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <dlfcn.h>
#include <functional>

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

// Every source file under the root as (path relative to the root, text).
QMap<QString, QStringList> sourceLines(const QString &sourceRoot)
{
    QMap<QString, QStringList> files;
    const QDir root(sourceRoot);
    QDirIterator it(sourceRoot, {u"*.h"_s, u"*.cpp"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly | QIODevice::Text))
            files.insert(root.relativeFilePath(path),
                         QString::fromUtf8(file.readAll()).split(u'\n'));
    }
    return files;
}

// Includes that slip past the folder rule, which reads "folder/..." in quotes: a path with
// "..", or one of our folders in angle brackets. Also a widget header in markup/, which
// is Qt Core and Gui only. As "file:line: reason".
QStringList dodgingIncludes(const QString &sourceRoot)
{
    static const QRegularExpression quoted(u"^\\s*#\\s*include\\s*\"([^\"]*)\""_s);
    static const QRegularExpression angled(u"^\\s*#\\s*include\\s*<([^>]*)>"_s);
    const QString widgetHeaders =
        QLibraryInfo::path(QLibraryInfo::HeadersPath) + u"/QtWidgets/"_s;
    QStringList found;
    const QMap<QString, QStringList> files = sourceLines(sourceRoot);
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        const QString folder = file.key().section(u'/', 0, 0);
        for (qsizetype i = 0; i < file.value().size(); ++i) {
            const QString &line = file.value()[i];
            const QString where = u"%1:%2: "_s.arg(file.key()).arg(i + 1);
            if (const auto m = quoted.match(line); m.hasMatch()) {
                if (m.captured(1).split(u'/').contains(u".."_s))
                    found << where + u"includes through \"..\""_s;
            } else if (const auto a = angled.match(line); a.hasMatch()) {
                const QString target = a.captured(1);
                if (allowedLayers().contains(target.section(u'/', 0, 0)))
                    found << where + u"includes our folder in angle brackets"_s;
                else if (folder == u"markup"_s
                         && (target.startsWith(u"QtWidgets/"_s)
                             || QFileInfo::exists(widgetHeaders + target)))
                    found << where + u"includes a widget header"_s;
            }
        }
    }
    return found;
}

// The headers of editor/ that declare a widget: those that include a Qt Widgets header,
// or another editor header that does. Commands edit documents, never views, so they may
// include none of them. As "file:line: includes header".
QStringList editorWidgetsInCommands(const QString &sourceRoot)
{
    static const QRegularExpression quoted(u"^\\s*#\\s*include\\s*\"([^\"]*)\""_s);
    static const QRegularExpression angled(u"^\\s*#\\s*include\\s*<([^>]*)>"_s);
    const QString widgetHeaders =
        QLibraryInfo::path(QLibraryInfo::HeadersPath) + u"/QtWidgets/"_s;
    const QMap<QString, QStringList> files = sourceLines(sourceRoot);
    std::function<bool(const QString &, QSet<QString> &)> declaresWidget =
        [&](const QString &header, QSet<QString> &seen) {
            if (seen.contains(header))
                return false;
            seen.insert(header);
            for (const QString &line : files.value(header)) {
                if (const auto a = angled.match(line); a.hasMatch()) {
                    const QString target = a.captured(1);
                    if (target.startsWith(u"QtWidgets/"_s)
                        || QFileInfo::exists(widgetHeaders + target))
                        return true;
                } else if (const auto q = quoted.match(line);
                           q.hasMatch() && q.captured(1).startsWith(u"editor/"_s)
                           && declaresWidget(q.captured(1), seen)) {
                    return true;
                }
            }
            return false;
        };
    QStringList found;
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        if (!file.key().startsWith(u"commands/"_s))
            continue;
        for (qsizetype i = 0; i < file.value().size(); ++i) {
            const auto m = quoted.match(file.value()[i]);
            QSet<QString> seen;
            if (m.hasMatch() && m.captured(1).startsWith(u"editor/"_s)
                && declaresWidget(m.captured(1), seen))
                found << u"%1:%2: includes %3"_s.arg(file.key()).arg(i + 1).arg(m.captured(1));
        }
    }
    return found;
}

// The units (a header and its .cpp, named "folder/Name") that include each other,
// directly or through others: each cycle once, as its units in order, alphabetically
// first unit first, "a -> b -> a".
QStringList unitCycles(const QString &sourceRoot)
{
    static const QRegularExpression quoted(u"^\\s*#\\s*include\\s*\"([^\"]*)\\.h\""_s);
    const QMap<QString, QStringList> files = sourceLines(sourceRoot);
    QSet<QString> units;
    for (auto file = files.cbegin(); file != files.cend(); ++file)
        units.insert(file.key().section(u'.', 0, 0));
    QMap<QString, QSet<QString>> uses;
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        const QString unit = file.key().section(u'.', 0, 0);
        const QString folder = unit.section(u'/', 0, 0);
        for (const QString &line : file.value()) {
            const auto m = quoted.match(line);
            if (!m.hasMatch())
                continue;
            QString target = m.captured(1);
            if (!target.contains(u'/'))
                target = folder + u'/' + target;
            if (target != unit && units.contains(target))
                uses[unit].insert(target);
        }
    }
    // Depth-first search from every unit; a way back to a unit on the current path is a
    // cycle. Each is named from its smallest unit, so it is reported once.
    QSet<QString> cycles;
    QStringList path;
    QSet<QString> onPath, done;
    std::function<void(const QString &)> visit = [&](const QString &unit) {
        path << unit;
        onPath.insert(unit);
        for (const QString &next : uses.value(unit)) {
            if (onPath.contains(next)) {
                QStringList cycle = path.mid(path.indexOf(next));
                const auto first = std::min_element(cycle.begin(), cycle.end());
                std::rotate(cycle.begin(), first, cycle.end());
                cycles.insert((cycle << cycle.first()).join(u" -> "_s));
            } else if (!done.contains(next)) {
                visit(next);
            }
        }
        onPath.remove(unit);
        path.removeLast();
        done.insert(unit);
    };
    QStringList sorted(units.cbegin(), units.cend());
    sorted.sort();
    for (const QString &unit : std::as_const(sorted)) {
        if (!done.contains(unit))
            visit(unit);
    }
    QStringList found(cycles.cbegin(), cycles.cend());
    found.sort();
    return found;
}

// The arguments of the call whose "(" stands at `open`, split at the commas outside
// brackets, strings and character literals.
QStringList callArguments(QStringView text, qsizetype open)
{
    QStringList arguments;
    QString current;
    int depth = 0;
    QChar quote;
    for (qsizetype i = open + 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            current += c;
            if (c == u'\\' && i + 1 < text.size())
                current += text[++i];
            else if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'(' || c == u'[' || c == u'{') {
            ++depth;
        } else if (c == u')' || c == u']' || c == u'}') {
            if (depth == 0) {
                arguments << current.trimmed();
                return arguments;
            }
            --depth;
        } else if (c == u',' && depth == 0) {
            arguments << current.trimmed();
            current.clear();
            continue;
        }
        current += c;
    }
    return {};
}

// Every connect() of a signal to a lambda without a context object, as "file:line". Such a
// lambda outlives the object it captures and runs on a destroyed one.
QStringList contextlessConnects(const QString &sourceRoot)
{
    static const QRegularExpression call(u"\\bconnect\\s*\\("_s);
    QStringList found;
    const QDir root(sourceRoot);
    QDirIterator files(sourceRoot, {u"*.h"_s, u"*.cpp"_s}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch &m : call.globalMatch(text)) {
            const QStringList arguments = callArguments(text, m.capturedEnd() - 1);
            if (arguments.size() == 3 && arguments[2].startsWith(u'['))
                found << u"%1:%2"_s.arg(root.relativeFilePath(path))
                             .arg(text.left(m.capturedStart()).count(u'\n') + 1);
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
    void noIncludeDodgesTheFolderRule();
    void plantedDodgingIncludesAreNamed();
    void commandsIncludeNoEditorWidget();
    void plantedEditorWidgetInCommandsIsNamed();
    void noUnitsIncludeEachOther();
    void plantedCyclesAreNamed();
    void everyConnectToALambdaHasAContext();
    void plantedContextlessConnectIsNamed();
    void libraryLinksNothingOfRareWork();
};

// Spelling aside, the libraries of work most starts never do (publishing over SFTP, its
// hash, the HTML check) are loaded when that work first comes: linked, they were mapped and
// set up at every start. The library's own list of what it needs must not name them.
void TestLayers::libraryLinksNothingOfRareWork()
{
    Dl_info info{};
    QVERIFY(dladdr(reinterpret_cast<void *>(&checkHtml), &info) && info.dli_fname);
    QProcess readelf;
    readelf.start(u"readelf"_s, {u"-d"_s, QFile::decodeName(info.dli_fname)});
    QVERIFY(readelf.waitForFinished(60000));
    const QString table = QString::fromUtf8(readelf.readAllStandardOutput());
    QVERIFY2(table.contains(u"(NEEDED)"_s), qPrintable(table));
    for (const QString &name : {u"libssh"_s, u"libcrypto"_s, u"libtidy"_s})
        QVERIFY2(!table.contains(u"[%1."_s.arg(name)), qPrintable(name));
}

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

void TestLayers::noIncludeDodgesTheFolderRule()
{
    const QStringList found = dodgingIncludes(QStringLiteral(BRISKO_SOURCE_DIR));
    QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
}

namespace {

void plantFile(const QTemporaryDir &dir, const QString &path, const QByteArray &text)
{
    QDir(dir.path()).mkpath(QFileInfo(path).path());
    QFile file(dir.filePath(path));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

// ".." and our folders in angle brackets anywhere, widget headers in markup/ only; Qt's
// own headers and the same widget header elsewhere are fine.
void TestLayers::plantedDodgingIncludesAreNamed()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    plantFile(dir, u"markup/A.cpp"_s,
              "#include \"A.h\"\n#include <QString>\n#include <QWidget>\n"
              "#include <QtWidgets/QDialog>\n#include <QImage>\n");
    plantFile(dir, u"settings/B.cpp"_s,
              "#include \"../app/TForm1.h\"\n#include <app/TForm1.h>\n#include <QWidget>\n");
    QCOMPARE(dodgingIncludes(dir.path()),
             (QStringList{u"markup/A.cpp:3: includes a widget header"_s,
                          u"markup/A.cpp:4: includes a widget header"_s,
                          u"settings/B.cpp:1: includes through \"..\""_s,
                          u"settings/B.cpp:2: includes our folder in angle brackets"_s}));
}

void TestLayers::commandsIncludeNoEditorWidget()
{
    const QStringList found = editorWidgetsInCommands(QStringLiteral(BRISKO_SOURCE_DIR));
    QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
}

// A view header, and a header that only includes one, are named; the document model and
// a widget header outside editor/ are not this rule's business.
void TestLayers::plantedEditorWidgetInCommandsIsNamed()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    plantFile(dir, u"editor/View.h"_s, "#pragma once\n#include <QPlainTextEdit>\n");
    plantFile(dir, u"editor/Frame.h"_s, "#pragma once\n#include \"editor/View.h\"\n");
    plantFile(dir, u"editor/Model.h"_s, "#pragma once\n#include <QObject>\n");
    plantFile(dir, u"dialogs/Box.h"_s, "#pragma once\n#include <QDialog>\n");
    plantFile(dir, u"commands/Cmd.cpp"_s,
              "#include \"editor/Model.h\"\n#include \"editor/View.h\"\n"
              "#include \"dialogs/Box.h\"\n#include \"editor/Frame.h\"\n");
    QCOMPARE(editorWidgetsInCommands(dir.path()),
             (QStringList{u"commands/Cmd.cpp:2: includes editor/View.h"_s,
                          u"commands/Cmd.cpp:4: includes editor/Frame.h"_s}));
}

void TestLayers::noUnitsIncludeEachOther()
{
    const QStringList found = unitCycles(QStringLiteral(BRISKO_SOURCE_DIR));
    QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
}

// Two units through their .cpp files, three through a header and a same-folder include;
// a unit that includes its own header and a chain without a way back are no cycle.
void TestLayers::plantedCyclesAreNamed()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    plantFile(dir, u"commands/A.h"_s, "#pragma once\n");
    plantFile(dir, u"commands/A.cpp"_s, "#include \"A.h\"\n#include \"commands/B.h\"\n");
    plantFile(dir, u"commands/B.h"_s, "#pragma once\n");
    plantFile(dir, u"commands/B.cpp"_s, "#include \"B.h\"\n#include \"commands/A.h\"\n");
    plantFile(dir, u"app/X.h"_s, "#pragma once\n#include \"app/Y.h\"\n");
    plantFile(dir, u"app/Y.h"_s, "#pragma once\n");
    plantFile(dir, u"app/Y.cpp"_s, "#include \"Z.h\"\n");
    plantFile(dir, u"app/Z.h"_s, "#pragma once\n");
    plantFile(dir, u"app/Z.cpp"_s, "#include \"app/X.h\"\n#include \"commands/A.h\"\n");
    plantFile(dir, u"markup/M.h"_s, "#pragma once\n");
    plantFile(dir, u"markup/M.cpp"_s, "#include \"M.h\"\n");
    QCOMPARE(unitCycles(dir.path()),
             (QStringList{u"app/X -> app/Y -> app/Z -> app/X"_s,
                          u"commands/A -> commands/B -> commands/A"_s}));
}

void TestLayers::everyConnectToALambdaHasAContext()
{
    const QStringList found = contextlessConnects(QStringLiteral(BRISKO_SOURCE_DIR));
    QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
}

// Commas inside the lambda, a string or a nested call do not count as arguments.
void TestLayers::plantedContextlessConnectIsNamed()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(u"a.cpp"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("void f()\n{\n"
               "    connect(b, &B::clicked, this, [this] { g(1, 2); });\n"
               "    QObject::connect(view(a, b), &V::done,\n"
               "                     [this](int x) { h(\",\", x); });\n"
               "    connect(b, &B::clicked, this, &A::g);\n"
               "}\n");
    file.close();
    QCOMPARE(contextlessConnects(dir.path()), QStringList{u"a.cpp:4"_s});
}

BRISKO_TEST_MAIN(TestLayers)
#include "tst_layers.moc"
