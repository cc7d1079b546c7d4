#include "support/TestMain.h"

#include "markup/GuardedFile.h"
#include "markup/SiteSearch.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray windows1250(const QString &text)
{
    QStringEncoder encoder("windows-1250");
    return encoder.encode(text);
}

// "line:column" of each match.
QStringList positions(const QList<TextMatch> &matches)
{
    QStringList list;
    for (const TextMatch &m : matches)
        list << u"%1:%2"_s.arg(m.line).arg(m.column);
    return list;
}

} // namespace

// Finding and replacing across the files of a site.
class TestSiteSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matches_data();
    void matches();
    void replacement_data();
    void replacement();
    void badExpressionIsExplained();
    void searchesTheSiteAndSkipsWhatIsNoPage();
    void replacesKeepingEncodingAndLineBreaks();
    void fileChangedSinceTheSearchIsNotWritten();
    void replacementKeepsEveryByteNotAskedFor_data();
    void replacementKeepsEveryByteNotAskedFor();
    void readOnlyFileIsNotWritten();
    void replacementsOneByOne_data();
    void replacementsOneByOne();

private:
    QTemporaryDir m_dir;
};

void TestSiteSearch::matches_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<bool>("wholeWords");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<QStringList>("found");

    QTest::newRow("czechIgnoringCase") << u"Žluťoučký kůň\r\nžluťoučký"_s << u"ŽLUŤ"_s << false << false << false
                                       << QStringList{u"1:1"_s, u"2:1"_s};
    QTest::newRow("czechCaseSensitive") << u"Žluťoučký kůň\r\nžluťoučký"_s << u"Žluť"_s << true << false << false
                                        << QStringList{u"1:1"_s};
    QTest::newRow("wholeWords") << u"cat concat cat."_s << u"cat"_s << false << true << false
                                << QStringList{u"1:1"_s, u"1:12"_s};
    QTest::newRow("wholeCzechWord") << u"kůň koňák kůň"_s << u"kůň"_s << false << true << false
                                    << QStringList{u"1:1"_s, u"1:11"_s};
    QTest::newRow("literalDot") << u"a.b axb"_s << u"a.b"_s << false << false << false << QStringList{u"1:1"_s};
    QTest::newRow("regexDot") << u"a.b axb"_s << u"a.b"_s << false << false << true << QStringList{u"1:1"_s, u"1:5"_s};
    // A tab is one column, CR LF ends a line
    QTest::newRow("columnsAfterTabs") << u"\tx\r\n\t\tx"_s << u"x"_s << false << false << false
                                      << QStringList{u"1:2"_s, u"2:3"_s};
    QTest::newRow("emptyMatchesNotCounted") << u"abc"_s << u"x*"_s << false << false << true << QStringList{};
}

void TestSiteSearch::matches()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(bool, caseSensitive);
    QFETCH(bool, wholeWords);
    QFETCH(bool, regex);
    QFETCH(QStringList, found);
    const SearchPattern pattern = searchPattern({find, caseSensitive, wholeWords, regex});
    QVERIFY2(pattern.ok(), qPrintable(pattern.error));
    const QList<TextMatch> matches = findMatches(text, pattern.expression);
    QCOMPARE(positions(matches), found);
    if (!matches.isEmpty())
        QCOMPARE(matches.first().lineText, text.section(u"\r\n"_s, 0, 0));
}

void TestSiteSearch::replacement_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("count");

    QTest::newRow("groupsSwapped") << u"2025-12 a 2024-1"_s << u"(\\d{4})-(\\d+)"_s << true << u"\\2/\\1"_s
                                   << u"12/2025 a 1/2024"_s << 2;
    QTest::newRow("escapedBackslash") << u"a"_s << u"a"_s << true << u"\\\\n"_s << u"\\n"_s << 1;
    QTest::newRow("plainTextTakenAsItStands") << u"© 2025 (c)"_s << u"(c)"_s << false << u"\\1 $1"_s
                                              << u"© 2025 \\1 $1"_s << 1;
    QTest::newRow("nothingFound") << u"abc"_s << u"x"_s << false << u"y"_s << u"abc"_s << 0;
}

void TestSiteSearch::replacement()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(bool, regex);
    QFETCH(QString, replacement);
    QFETCH(QString, result);
    QFETCH(int, count);
    int replaced = -1;
    QCOMPARE(replaceMatches(text, searchPattern({find, true, false, regex}), replacement, &replaced), result);
    QCOMPARE(replaced, count);
}

void TestSiteSearch::badExpressionIsExplained()
{
    const SearchPattern pattern = searchPattern({u"a(b"_s, false, false, true});
    QVERIFY(!pattern.ok());
    QVERIFY2(pattern.error.startsWith(u"Chybný regulární výraz"_s), qPrintable(pattern.error));
    QVERIFY(!searchPattern({}).ok());
}

void TestSiteSearch::searchesTheSiteAndSkipsWhatIsNoPage()
{
    const QString root = m_dir.filePath(u"site"_s);
    writeBytes(root + u"/a.html"_s, "<meta charset=\"utf-8\">\n<p>\xC2\xA9 2025 Kůň</p>\n");
    writeBytes(root + u"/b.htm"_s, windows1250(u"<p>© 2025 kůň</p>\r\n<p>© 2025</p>\r\n"_s));
    writeBytes(root + u"/sub/c.html"_s, "<p>2025</p>");
    writeBytes(root + u"/notes.txt"_s, "2025");
    static const char png[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR 2025";
    writeBytes(root + u"/picture.html"_s, QByteArray(png, sizeof png - 1));
    writeBytes(root + u"/huge.html"_s, QByteArray(MaxDocumentLength + 10, 'x') + "2025");

    QCOMPARE(siteFiles(root, u"*.html; *.htm"_s, false).size(), 4);
    const QStringList files = siteFiles(root, u"*.html;*.htm"_s, true);
    QCOMPARE(files.size(), 5);
    const SearchPattern pattern = searchPattern({u"KŮŇ"_s, false, false, false});
    std::atomic_bool stop = false;
    int reported = 0;
    const QList<FileSearchResult> results = searchFiles(files, pattern.expression, stop, [&](int done) { reported = done; });
    QCOMPARE(results.size(), 5);
    QCOMPARE(reported, 5);
    QHash<QString, FileSearchResult> byName;
    for (const FileSearchResult &r : results)
        byName.insert(QFileInfo(r.path).fileName(), r);
    QCOMPARE(positions(byName[u"a.html"_s].matches), QStringList{u"2:11"_s});
    QCOMPARE(positions(byName[u"b.htm"_s].matches), QStringList{u"1:11"_s});
    QVERIFY(byName[u"c.html"_s].matches.isEmpty());
    QVERIFY(!byName[u"picture.html"_s].skipped.isEmpty());
    QVERIFY(!byName[u"huge.html"_s].skipped.isEmpty());

    stop = true;
    QVERIFY(searchFiles(files, pattern.expression, stop).isEmpty());
}

void TestSiteSearch::replacesKeepingEncodingAndLineBreaks()
{
    const QString utf8 = m_dir.filePath(u"r/a.html"_s), cp1250 = m_dir.filePath(u"r/b.htm"_s);
    writeBytes(utf8, "<meta charset=\"utf-8\">\n<p>\xC2\xA9 2025 Kůň</p>\n");
    writeBytes(cp1250, windows1250(u"<p>© 2025 kůň</p>\r\n<p>© 2025</p>\r\n"_s));
    const SearchPattern pattern = searchPattern({u"© 2025"_s, true, false, false});
    for (const QString &path : {utf8, cp1250}) {
        const QByteArray before = readBytes(path);
        const FileSearchResult searched = searchFile(path, pattern.expression);
        const FileReplaceResult replaced = replaceInFile(searched, pattern, u"© 2026"_s);
        QVERIFY2(replaced.error.isEmpty(), qPrintable(replaced.error));
        QCOMPARE(replaced.replaced, searched.matches.size());
        // Byte for byte the file as it was, but for the year.
        QCOMPARE(readBytes(path), QByteArray(before).replace("2025", "2026"));
    }
}

void TestSiteSearch::fileChangedSinceTheSearchIsNotWritten()
{
    const QString path = m_dir.filePath(u"changed.html"_s);
    writeBytes(path, "<p>2025</p>");
    const SearchPattern pattern = searchPattern({u"2025"_s, true, false, false});
    const FileSearchResult searched = searchFile(path, pattern.expression);
    writeBytes(path, "<p>2025 and the user's new line</p>");
    const FileReplaceResult replaced = replaceInFile(searched, pattern, u"2026"_s);
    QCOMPARE(replaced.replaced, 0);
    QVERIFY(replaced.error.contains(u"změnil"_s));
    QVERIFY(replaced.changedSinceSearch);
    QCOMPARE(readBytes(path), QByteArray("<p>2025 and the user's new line</p>"));
}

// A file's bytes after a replace: the matches changed, every line break the matches leave
// alone as the file had it, even where a file mixes them.
void TestSiteSearch::replacementKeepsEveryByteNotAskedFor_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("find");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("mixedBreaks") << QByteArray("<p>k\xC5\xAF\xC5\x88\n<p>k\xC5\xAF\xC5\x88\r\n<p>x\r<p>k\xC5\xAF\xC5\x88\n")
                                 << u"kůň"_s << false << u"KŮŇ"_s
                                 << QByteArray("<p>K\xC5\xAE\xC5\x87\n<p>K\xC5\xAE\xC5\x87\r\n<p>x\r<p>K\xC5\xAE\xC5\x87\n");
    QTest::newRow("crLfFirstThenLf") << QByteArray("a\r\nb\nc\r\n") << u"b"_s << false << u"B"_s
                                     << QByteArray("a\r\nB\nc\r\n");
    QTest::newRow("matchOverALoneBreak") << QByteArray("a\nb\r\nc") << u"a\\r\\nb"_s << true << u"x"_s
                                         << QByteArray("x\r\nc");
    // A break the replacement brings in is written as the file's first one.
    QTest::newRow("groupWithABreak") << QByteArray("a\nb\r\nc\n") << u"(a\\r\\nb)"_s << true << u"[\\1]"_s
                                     << QByteArray("[a\nb]\r\nc\n");
    QTest::newRow("byteOrderMarkAndLoneCr") << QByteArray("\xEF\xBB\xBF" "a\rb\r\na") << u"a"_s << false << u"\u00E1"_s
                                            << QByteArray("\xEF\xBB\xBF\xC3\xA1\rb\r\n\xC3\xA1");
    QTest::newRow("windows1250Mixed") << windows1250(u"Žluť\nŽluť\r\n"_s) << u"Žluť"_s << false << u"Modř"_s
                                      << windows1250(u"Modř\nModř\r\n"_s);
}

void TestSiteSearch::replacementKeepsEveryByteNotAskedFor()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, find);
    QFETCH(bool, regex);
    QFETCH(QString, replacement);
    QFETCH(QByteArray, after);
    const QString path = m_dir.filePath(u"bytes/%1.html"_s.arg(QString::fromLatin1(QTest::currentDataTag())));
    writeBytes(path, before);
    const SearchPattern pattern = searchPattern({find, true, false, regex});
    QVERIFY2(pattern.ok(), qPrintable(pattern.error));
    const FileSearchResult searched = searchFile(path, pattern.expression);
    const FileReplaceResult replaced = replaceInFile(searched, pattern, replacement);
    QVERIFY2(replaced.error.isEmpty(), qPrintable(replaced.error));
    QCOMPARE(replaced.replaced, searched.matches.size());
    QCOMPARE(readBytes(path), after);
}

// Made read-only by its owner, a file stays as it is, whoever runs the editor.
void TestSiteSearch::readOnlyFileIsNotWritten()
{
    const QString path = m_dir.filePath(u"jen ke čtení.html"_s);
    writeBytes(path, "<p>2025</p>\n");
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QVERIFY(QFile::setPermissions(path, readOnly));
    const SearchPattern pattern = searchPattern({u"2025"_s, true, false, false});
    const FileSearchResult searched = searchFile(path, pattern.expression);
    QCOMPARE(searched.matches.size(), 1);
    const FileReplaceResult replaced = replaceInFile(searched, pattern, u"2026"_s);
    QCOMPARE(replaced.replaced, 0);
    QVERIFY2(replaced.error.contains(u"jen pro čtení"_s), qPrintable(replaced.error));
    QCOMPARE(readBytes(path), QByteArray("<p>2025</p>\n"));
    QCOMPARE(QFileInfo(path).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser), readOnly);
    QVERIFY(QFile::setPermissions(path, readOnly | QFileDevice::WriteOwner));
}

// An open page is changed one match at a time: each range with its own text, groups put in,
// and together the same text a whole replacement gives.
void TestSiteSearch::replacementsOneByOne_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QStringList>("changes"); // "offset+length=text"
    QTest::newRow("literalAfterCrLf") << u"a\r\n© 2023"_s << u"2023"_s << false << u"2026"_s
                                      << QStringList{u"5+4=2026"_s};
    QTest::newRow("groupsSwapped") << u"2023 Novák, 2024 Dvořák"_s << u"(\\d+) (\\w+)"_s << true << u"\\2 \\1"_s
                                   << QStringList{u"0+10=Novák 2023"_s, u"12+11=Dvořák 2024"_s};
    // A literal replacement keeps its backslashes: only an expression has groups.
    QTest::newRow("literalBackslash") << u"x"_s << u"x"_s << false << u"\\1"_s << QStringList{u"0+1=\\1"_s};
}

void TestSiteSearch::replacementsOneByOne()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(bool, regex);
    QFETCH(QString, replacement);
    QFETCH(QStringList, changes);
    const SearchPattern pattern = searchPattern({find, true, false, regex});
    QVERIFY2(pattern.ok(), qPrintable(pattern.error));
    QStringList got;
    QString applied = text;
    const QList<MatchReplacement> list = matchReplacements(text, pattern, replacement);
    for (const MatchReplacement &r : list)
        got << u"%1+%2=%3"_s.arg(r.offset).arg(r.length).arg(r.text);
    QCOMPARE(got, changes);
    for (auto r = list.crbegin(); r != list.crend(); ++r)
        applied.replace(r->offset, r->length, r->text);
    QCOMPARE(applied, replaceMatches(text, pattern, replacement));
}

BRISKO_TEST_MAIN(TestSiteSearch)
#include "tst_sitesearch.moc"
