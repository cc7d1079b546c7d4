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
    void everyConnectToALambdaHasAContext();
    void plantedContextlessConnectIsNamed();
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
