#include "markup/UserTagFile.h"
#include "support/TestMain.h"

#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

class tst_UserTagFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseLine_data();
    void parseLine();
    void composedLineReadsBack();
    void splitLines_data();
    void splitLines();
    void sortsCzechIgnoringCase();
    void insertPositionKeepsOrder();
    void commaRefusal_data();
    void commaRefusal();
    void writeIsWindows1250WithCrLf();
    void readSortsAndDecodes();
    void readOfMissingFileFails();
    void failedWriteKeepsOldFile();
};

void tst_UserTagFile::parseLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("opening");
    QTest::addColumn<QString>("closing");

    QTest::newRow("twoCommas") << u"Tučně a kurzívou,<B><I>,</I></B>"_s
                               << u"Tučně a kurzívou"_s << u"<B><I>"_s << u"</I></B>"_s;
    // The whole line is the closing part, so inserting it puts the line after the selection.
    QTest::newRow("noComma_allClosing") << u"<HR>"_s << QString() << QString() << u"<HR>"_s;
    QTest::newRow("oneComma_emptyOpening") << u"Popis,<HR>"_s << u"Popis"_s << QString() << u"<HR>"_s;
    QTest::newRow("commasInClosing_kept") << u"Seznam,<OL>,</OL>,<!-- a, b -->"_s << u"Seznam"_s
                                          << u"<OL>"_s << u"</OL>,<!-- a, b -->"_s;
    QTest::newRow("emptyParts") << u",,"_s << QString() << QString() << QString();
    QTest::newRow("emptyLine") << QString() << QString() << QString() << QString();
    QTest::newRow("czech_spacesKept") << u" Žluťoučký kůň , <FONT COLOR=\"#FF0000\">,</FONT> "_s
                                      << u" Žluťoučký kůň "_s << u" <FONT COLOR=\"#FF0000\">"_s
                                      << u"</FONT> "_s;
}

void tst_UserTagFile::parseLine()
{
    QFETCH(QString, line);
    QFETCH(QString, description);
    QFETCH(QString, opening);
    QFETCH(QString, closing);
    const UserTagEntry e = parseUserTagLine(line);
    QCOMPARE(e.description, description);
    QCOMPARE(e.opening, opening);
    QCOMPARE(e.closing, closing);
}

void tst_UserTagFile::composedLineReadsBack()
{
    const UserTagEntry e{u"Odkaz"_s, u"<A HREF=\"\">"_s, u"</A>, a dál"_s};
    QCOMPARE(composeUserTagLine(e), u"Odkaz,<A HREF=\"\">,</A>, a dál"_s);
    QCOMPARE(parseUserTagLine(composeUserTagLine(e)), e);
    // The editor's drop rule splits this at its first comma.
    QCOMPARE(userTagDropText(e), u"<A HREF=\"\">,</A>, a dál"_s);
}

void tst_UserTagFile::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("crlf") << u"a,<B>,</B>\r\nb,<I>,</I>\r\n"_s
                          << QStringList{u"a,<B>,</B>"_s, u"b,<I>,</I>"_s};
    QTest::newRow("loneLf_loneCr") << u"a\nb\rc"_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("noFinalBreak") << u"a\r\nb"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("emptyLineInside_kept") << u"a\r\n\r\nb\r\n"_s
                                          << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("empty") << QString() << QStringList();
}

void tst_UserTagFile::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(splitUserTagLines(text), lines);
    QCOMPARE(splitUserTagLines(joinUserTagLines(lines)), lines);
}

void tst_UserTagFile::sortsCzechIgnoringCase()
{
    QStringList lines{u"zkratka,<ABBR>,</ABBR>"_s, u"Čára,<HR>,"_s, u"citace,<Q>,</Q>"_s,
                      u"Adresa,<ADDRESS>,</ADDRESS>"_s, u"hlavička,<TH>,</TH>"_s,
                      u"Chyba,<DEL>,</DEL>"_s};
    sortUserTagLines(lines);
    // Czech puts "č" after "c" and "ch" after "h"; case does not count.
    QCOMPARE(lines, (QStringList{u"Adresa,<ADDRESS>,</ADDRESS>"_s, u"citace,<Q>,</Q>"_s,
                                 u"Čára,<HR>,"_s, u"hlavička,<TH>,</TH>"_s,
                                 u"Chyba,<DEL>,</DEL>"_s, u"zkratka,<ABBR>,</ABBR>"_s}));
}

void tst_UserTagFile::insertPositionKeepsOrder()
{
    const QStringList lines{u"a,<A>,"_s, u"a b,<B>,"_s, u"c,<C>,"_s};
    QCOMPARE(userTagInsertPosition(lines, u"B,<X>,"_s), 2);
    QCOMPARE(userTagInsertPosition(lines, u"0,<X>,"_s), 0);
    QCOMPARE(userTagInsertPosition(lines, u"d,<X>,"_s), 3);
}

void tst_UserTagFile::commaRefusal_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("opening");
    QTest::addColumn<QString>("closing");
    QTest::addColumn<bool>("refused");

    QTest::newRow("plain") << u"Tučně"_s << u"<B>"_s << u"</B>"_s << false;
    QTest::newRow("commaInClosing_allowed") << u"x"_s << u"<B>"_s << u"</B>, ,"_s << false;
    QTest::newRow("commaInDescription") << u"a, b"_s << u"<B>"_s << u"</B>"_s << true;
    QTest::newRow("commaInOpening") << u"x"_s << u"<FONT FACE=\"a,b\">"_s << u"</FONT>"_s << true;
}

void tst_UserTagFile::commaRefusal()
{
    QFETCH(QString, description);
    QFETCH(QString, opening);
    QFETCH(QString, closing);
    QFETCH(bool, refused);
    QCOMPARE(!userTagCommaError({description, opening, closing}).isEmpty(), refused);
}

void tst_UserTagFile::writeIsWindows1250WithCrLf()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"moje.tag"_s);
    QCOMPARE(writeUserTagFile(path, {u"Tučně,<B>,</B>"_s, u"Žlutě,<FONT COLOR=yellow>,</FONT>"_s}),
             QString());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("Tu\xe8n\xec,<B>,</B>\r\n\x8elut\xec,<FONT COLOR=yellow>,</FONT>\r\n"));
}

void tst_UserTagFile::readSortsAndDecodes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.tag"_s);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("\x8elut\xec,<FONT COLOR=yellow>,</FONT>\nTu\xe8n\xec,<B>,</B>\rAdresa,<ADDRESS>,</ADDRESS>");
    f.close();
    const UserTagFileRead read = readUserTagFile(path);
    QVERIFY(read.ok);
    QCOMPARE(read.lines, (QStringList{u"Adresa,<ADDRESS>,</ADDRESS>"_s, u"Tučně,<B>,</B>"_s,
                                      u"Žlutě,<FONT COLOR=yellow>,</FONT>"_s}));
}

void tst_UserTagFile::readOfMissingFileFails()
{
    QTemporaryDir dir;
    const UserTagFileRead read = readUserTagFile(dir.filePath(u"none.tag"_s));
    QVERIFY(!read.ok);
    QVERIFY(!read.error.isEmpty());
    QVERIFY(read.lines.isEmpty());
}

void tst_UserTagFile::failedWriteKeepsOldFile()
{
    QTemporaryDir dir;
    const QString error = writeUserTagFile(dir.filePath(u"missing/folder/x.tag"_s), {u"a,b,c"_s});
    QVERIFY(!error.isEmpty());
}

BRISKO_TEST_MAIN(tst_UserTagFile)
#include "tst_usertagfile.moc"
