#include "markup/TextFile.h"
#include "support/TestMain.h"

#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

class tst_TextFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyByteRoundTrips();
    void czechLettersDecode_data();
    void czechLettersDecode();
    void unencodableCharactersBecomeReferences_data();
    void unencodableCharactersBecomeReferences();
    void lineBreaksOfAnyKindLoadAlike_data();
    void lineBreaksOfAnyKindLoadAlike();
    void textWithOnlyCrLfIsToldAndKept_data();
    void textWithOnlyCrLfIsToldAndKept();
    void breaksAreToldWhereverTheyFall();
    void highBytesDecodeWhereverTheyFall();
    void writeUsesRequestedLineEnds_data();
    void writeUsesRequestedLineEnds();
    void lineBreakFormIsThatOfTheFirstBreak_data();
    void lineBreakFormIsThatOfTheFirstBreak();
    void longLinesBreakOnlyBetweenAttributes_data();
    void longLinesBreakOnlyBetweenAttributes();
    void binaryBytesAreTold_data();
    void binaryBytesAreTold();
    void readFailuresReportTheReason();
    void failedWriteKeepsOldFile();

private:
    QTemporaryDir m_dir;
};

void tst_TextFile::everyByteRoundTrips()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString decoded = Cp1250::decode(all);
    QCOMPARE(decoded.size(), 256);
    QCOMPARE(Cp1250::encode(decoded), all);
    // The undefined bytes stay themselves.
    for (int b : {0x81, 0x83, 0x88, 0x90, 0x98})
        QCOMPARE(decoded[b].unicode(), char16_t(b));
}

void tst_TextFile::czechLettersDecode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("lower") << QByteArray("\xe8\xec\xf8\x9a\x9e\xfd\xe1\xed\xe9\xf9\xfa\xef\x9d\xf2")
                           << u"čěřšžýáíéůúďťň"_s;
    QTest::newRow("upper") << QByteArray("\xc8\xcc\xd8\x8a\x8e\xdd\xc1\xcd\xc9\xd9\xda\xcf\x8d\xd2")
                           << u"ČĚŘŠŽÝÁÍÉŮÚĎŤŇ"_s;
    QTest::newRow("punctuation") << QByteArray("\x80\x84\x93\x96\xa9") << u"€„“–©"_s;
}

void tst_TextFile::czechLettersDecode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Cp1250::decode(bytes), text);
    QCOMPARE(Cp1250::encode(text), bytes);
}

void tst_TextFile::unencodableCharactersBecomeReferences_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("cyrillic") << u"aЖb"_s << QByteArray("a&#1046;b");
    QTest::newRow("euro-is-encodable") << u"€"_s << QByteArray("\x80");
    // A character outside the basic plane is one reference, not two halves.
    QTest::newRow("emoji") << u"😀"_s << QByteArray("&#128512;");
}

void tst_TextFile::unencodableCharactersBecomeReferences()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Cp1250::encode(text), bytes);
}

void tst_TextFile::lineBreaksOfAnyKindLoadAlike_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n\r\nc");
    QTest::newRow("lf") << QByteArray("a\nb\n\nc");
    QTest::newRow("cr") << QByteArray("a\rb\r\rc");
    QTest::newRow("mixed") << QByteArray("a\r\nb\n\rc");
    QTest::newRow("lf, then crlf") << QByteArray("a\nb\r\n\nc");
}

void tst_TextFile::lineBreaksOfAnyKindLoadAlike()
{
    QFETCH(QByteArray, bytes);
    const QString path = m_dir.filePath(u"breaks.htm"_s);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    const TextFileResult r = readTextFile(path);
    QVERIFY(r.ok);
    QCOMPARE(r.text, u"a\r\nb\r\n\r\nc"_s);
}

void tst_TextFile::textWithOnlyCrLfIsToldAndKept_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("onlyCrLf");
    const QString line = u"<P>a line long enough to span a few vector loads</P>"_s;
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("no break") << line << true;
    QTest::newRow("crlf") << line + u"\r\n"_s + line + u"\r\n\r\n"_s << true;
    QTest::newRow("crlf at the start") << u"\r\n"_s + line << true;
    QTest::newRow("lone lf") << line + u"\r\n"_s + line + u"\n"_s + line << false;
    QTest::newRow("lf first") << u"\n"_s + line << false;
    QTest::newRow("lone cr") << line + u"\r"_s + line + u"\r\n"_s << false;
    QTest::newRow("cr at the end") << line + u"\r\n"_s + line + u"\r"_s << false;
    QTest::newRow("lf cr") << line + u"\n\r"_s + line << false;
    QTest::newRow("line separator") << line + QChar::LineSeparator + line << false;
    QTest::newRow("paragraph separator") << line + u"\r\n"_s + QChar::ParagraphSeparator << false;
}

void tst_TextFile::textWithOnlyCrLfIsToldAndKept()
{
    QFETCH(QString, text);
    QFETCH(bool, onlyCrLf);
    QCOMPARE(onlyCrLfBreaks(text), onlyCrLf);
    // Both ways of normalizing agree; a text that needs none is handed back, not copied.
    const QString normalized = normalizeLineBreaks(text);
    QCOMPARE(normalized, normalizeLineBreaks(QStringView(text)));
    if (onlyCrLf)
        QVERIFY(normalized.constData() == text.constData() || text.isEmpty());
}

// The checks go through a text several characters at a time: a break at every offset
// from a block's edge must be seen, and the text's first and last characters too.
void tst_TextFile::breaksAreToldWhereverTheyFall()
{
    const QString lines = u"<P>one</P>\r\n<B>two</B>\r\n\r\nthree words\r\n"_s;
    const QStringList breaks = {u"\r"_s, u"\n"_s, u"\r\n"_s, u"\n\r"_s,
                                QString(QChar::LineSeparator), QString(QChar::ParagraphSeparator)};
    for (const QString &extra : breaks) {
        for (qsizetype at = 0; at <= lines.size(); ++at) {
            QString text = lines;
            text.insert(at, extra);
            // Plainly: nothing for the copying normalisation to change, and no separator.
            const bool expected = normalizeLineBreaks(QStringView(text)) == text
                                  && !text.contains(QChar::LineSeparator)
                                  && !text.contains(QChar::ParagraphSeparator);
            const uint added = extra.front().unicode();
            const QString where = u"U+%1 at %2"_s.arg(added, 4, 16, QChar(u'0')).arg(at);
            QVERIFY2(onlyCrLfBreaks(text) == expected, qPrintable(where));
        }
    }
}

// ASCII is taken in words of eight bytes; a byte from 0x80 up anywhere among them, or in
// the short tail, still becomes its own character.
void tst_TextFile::highBytesDecodeWhereverTheyFall()
{
    const QByteArray ascii(41, 'a');
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const QString alone = Cp1250::decode(QByteArray(1, char(byte)));
        for (qsizetype at = 0; at < ascii.size(); ++at) {
            QByteArray bytes = ascii;
            bytes[at] = char(byte);
            const QString decoded = Cp1250::decode(bytes);
            QCOMPARE(decoded.size(), ascii.size());
            QCOMPARE(decoded[at], alone.front());
            QCOMPARE(Cp1250::encode(decoded), bytes);
        }
    }
}

void tst_TextFile::writeUsesRequestedLineEnds_data()
{
    QTest::addColumn<int>("ending");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("dos") << 0 << QByteArray("<P>\r\n\x9e\r\n");
    QTest::newRow("unix") << 1 << QByteArray("<P>\n\x9e\n");
    QTest::newRow("mac") << 2 << QByteArray("<P>\r\x9e\r");
}

void tst_TextFile::writeUsesRequestedLineEnds()
{
    QFETCH(int, ending);
    QFETCH(QByteArray, bytes);
    const QString path = m_dir.filePath(u"ends.htm"_s);
    QCOMPARE(writeTextFile(path, u"<P>\r\nž\r\n"_s, LineEnding(ending)), QString());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), bytes);
}

void tst_TextFile::lineBreakFormIsThatOfTheFirstBreak_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("form"); // -1: no break at all
    QTest::newRow("none") << QByteArray("<P>a</P>") << -1;
    QTest::newRow("empty") << QByteArray() << -1;
    QTest::newRow("crlf") << QByteArray("a\r\nb") << int(LineEnding::CrLf);
    QTest::newRow("lf") << QByteArray("a\nb") << int(LineEnding::Lf);
    QTest::newRow("cr") << QByteArray("a\rb") << int(LineEnding::Cr);
    // The first break decides; the ones after it follow it on the next save.
    QTest::newRow("lf before crlf") << QByteArray("a\nb\r\n") << int(LineEnding::Lf);
    QTest::newRow("cr before lf") << QByteArray("a\rb\nc") << int(LineEnding::Cr);
    QTest::newRow("crlf before cr") << QByteArray("\r\n\r") << int(LineEnding::CrLf);
    // A CR that is the file's last byte has no LF after it.
    QTest::newRow("cr at the end") << QByteArray("abc\r") << int(LineEnding::Cr);
    QTest::newRow("crlf at the end") << QByteArray("abc\r\n") << int(LineEnding::CrLf);
}

void tst_TextFile::lineBreakFormIsThatOfTheFirstBreak()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, form);
    const std::optional<LineEnding> found = detectLineEnding(bytes);
    QCOMPARE(found ? int(*found) : -1, form);
}

void tst_TextFile::longLinesBreakOnlyBetweenAttributes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("broken"); // "|" marks each blank that becomes a line break
    // A limit of 10 characters.
    QTest::newRow("short line stays") << u"<a href=x>"_s << u"<a href=x>"_s;
    QTest::newRow("blank between attributes")
        << u"<img src=a.gif alt=x width=10>"_s << u"<img|src=a.gif|alt=x|width=10>"_s;
    // Blanks in text, quoted values, comments, scripts and styles are what a reader sees
    // or a program runs: they stay.
    QTest::newRow("text and quoted value")
        << u"word word word <a title=\"a b c d e f\" href=x>"_s
        << u"word word word <a|title=\"a b c d e f\"|href=x>"_s;
    QTest::newRow("comment") << u"<!-- a b c d e f g h i j k -->"_s << u"<!-- a b c d e f g h i j k -->"_s;
    QTest::newRow("script") << u"<SCRIPT>if (a<b && c) return x; y = 1;</SCRIPT>"_s
                            << u"<SCRIPT>if (a<b && c) return x; y = 1;</SCRIPT>"_s;
    QTest::newRow("style") << u"<style>p < b { a: b c d e }</style>"_s
                           << u"<style>p < b { a: b c d e }</style>"_s;
    // Existing line breaks start the count again.
    QTest::newRow("count restarts at a break") << u"<a b=1>\r\n<a c=1>"_s << u"<a b=1>\r\n<a c=1>"_s;
}

void tst_TextFile::longLinesBreakOnlyBetweenAttributes()
{
    QFETCH(QString, text);
    QFETCH(QString, broken);
    QString marked = text;
    const QList<int> breaks = longLineBreaks(text, 10);
    for (qsizetype i = breaks.size() - 1; i >= 0; --i) {
        QCOMPARE(text[breaks[i]], u' ');
        marked[breaks[i]] = u'|';
    }
    QCOMPARE(marked, broken);
    QCOMPARE(longestLineLength(u"ab\r\nabcd\r\nabc"_s), 4);
}

void tst_TextFile::binaryBytesAreTold_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("binary");
    QTest::newRow("page") << QByteArray("<P>\tčeský text\r\n</P>\f") << false;
    QTest::newRow("escape sequences of ISO 2022") << QByteArray("\x1b$B text \x1b(B") << false;
    QTest::newRow("one NUL anywhere") << QByteArray("<P>text</P>").append('\0').append("more") << true;
    QTest::newRow("a stray control among much text")
        << QByteArray(200, 'a').append('\x01') << false;
    QTest::newRow("controls of a picture") << QByteArray("\x01\x02\x03 abc def ghi jkl") << true;
}

void tst_TextFile::binaryBytesAreTold()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, binary);
    QCOMPARE(looksBinary(bytes), binary);
}

void tst_TextFile::readFailuresReportTheReason()
{
    QVERIFY(!readTextFile(m_dir.filePath(u"missing.htm"_s)).error.isEmpty());
    const TextFileResult dir = readTextFile(m_dir.path());
    QVERIFY(!dir.ok);
    QVERIFY(!dir.error.isEmpty());
}

void tst_TextFile::failedWriteKeepsOldFile()
{
    const QString path = m_dir.filePath(u"keep.htm"_s);
    QCOMPARE(writeTextFile(path, u"old"_s), QString());
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const QString error = writeTextFile(path, u"new"_s);
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (error.isEmpty())
        BRISKO_NOT_CHECKED_HERE(Unchecked::Skip, "root ignores the folder's permissions");
    QCOMPARE(readTextFile(path).text, u"old"_s);
}

BRISKO_TEST_MAIN(tst_TextFile)
#include "tst_textfile.moc"
