#include "markup/TextEncoding.h"
#include "markup/TextFile.h"
#include "support/TestMain.h"

#include <QFile>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TextEncoding)

namespace {

QByteArray goldenBytes(const QString &name)
{
    QFile f(testDataPath(u"encodings/"_s + name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString kCzech = u"Příliš žluťoučký kůň úpěl ďábelské ódy."_s;

} // namespace

class tst_TextEncoding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void isoEveryByteRoundTrips();
    void isoCzechLetters_data();
    void isoCzechLetters();
    void charsetNames_data();
    void charsetNames();
    void declaredCharsetIsFoundInMetaOnly_data();
    void declaredCharsetIsFoundInMetaOnly();
    void utf8Validity_data();
    void utf8Validity();
    void detection_data();
    void detection();
    void goldenPagesDecodeAndEncodeBack_data();
    void goldenPagesDecodeAndEncodeBack();
    void utf8HoldsWhatSingleByteEncodingsWriteAsReferences();
    void scriptAndStyleGetTheirOwnEscapes_data();
    void scriptAndStyleGetTheirOwnEscapes();
    void secondByteOrderMarkStaysInTheText();
    void reopeningInUtf8RefusesBytesThatAreNotUtf8();
};

void tst_TextEncoding::isoEveryByteRoundTrips()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString decoded = Iso88592::decode(all);
    QCOMPARE(decoded.size(), 256);
    QCOMPARE(Iso88592::encode(decoded), all);
    QCOMPARE(encodeText(*decodeText(all, TextEncoding::Iso88592), {TextEncoding::Iso88592}), all);
    // The C1 range is control characters of the same number.
    for (int b = 0x80; b < 0xA0; ++b)
        QCOMPARE(decoded[b].unicode(), char16_t(b));
}

void tst_TextEncoding::isoCzechLetters_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    // Where Latin-2 and Windows-1250 differ: Š, Ť, Ž, š, ť, ž.
    QTest::newRow("differs-from-1250") << QByteArray("\xa9\xab\xae\xb9\xbb\xbe") << u"ŠŤŽšťž"_s;
    QTest::newRow("same-as-1250") << QByteArray("\xe8\xec\xf8\xfd\xe1\xed\xe9\xf9\xfa\xef\xf2")
                                  << u"čěřýáíéůúďň"_s;
}

void tst_TextEncoding::isoCzechLetters()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Iso88592::decode(bytes), text);
    QCOMPARE(Iso88592::encode(text), bytes);
}

void tst_TextEncoding::charsetNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("encoding"); // -1: not known
    QTest::newRow("utf-8") << u"utf-8"_s << int(TextEncoding::Utf8);
    QTest::newRow("UTF-8-upper") << u"UTF-8"_s << int(TextEncoding::Utf8);
    QTest::newRow("iso-8859-2") << u"ISO-8859-2"_s << int(TextEncoding::Iso88592);
    QTest::newRow("windows-1250") << u"Windows-1250"_s << int(TextEncoding::Windows1250);
    QTest::newRow("cp1250") << u"CP1250"_s << int(TextEncoding::Windows1250);
    QTest::newRow("x-cp1250") << u"x-cp1250"_s << int(TextEncoding::Windows1250);
    QTest::newRow("latin2-label") << u"latin2"_s << int(TextEncoding::Iso88592);
    QTest::newRow("koi8-r-unknown") << u"koi8-r"_s << -1;
    // Latin-1 is not Latin-2: reading it so would show the wrong letters.
    QTest::newRow("iso-8859-1-unknown") << u"iso-8859-1"_s << -1;
    QTest::newRow("prefix-is-not-enough") << u"utf-8x"_s << -1;
}

void tst_TextEncoding::charsetNames()
{
    QFETCH(QString, name);
    QFETCH(int, encoding);
    const std::optional<TextEncoding> found = encodingForCharset(name);
    QCOMPARE(found ? int(*found) : -1, encoding);
}

void tst_TextEncoding::declaredCharsetIsFoundInMetaOnly_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("charset");
    QTest::newRow("html5") << QByteArray("<html><head><meta charset=\"utf-8\">") << u"utf-8"_s;
    QTest::newRow("unquoted") << QByteArray("<META CHARSET=cp1250>") << u"cp1250"_s;
    QTest::newRow("single-quotes") << QByteArray("<meta charset='x-cp1250' />") << u"x-cp1250"_s;
    QTest::newRow("http-equiv")
        << QByteArray("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=ISO-8859-2\">")
        << u"iso-8859-2"_s;
    QTest::newRow("spaces-around-equals")
        << QByteArray("<meta\r\n http-equiv=content-type content=\"text/html; charset = utf-8\">")
        << u"utf-8"_s;
    QTest::newRow("first-meta-with-charset-wins")
        << QByteArray("<meta name=x><meta charset=utf-8><meta charset=cp1250>") << u"utf-8"_s;
    QTest::newRow("no-meta") << QByteArray("<p>charset=utf-8</p>") << QString();
    QTest::newRow("meta-without-charset") << QByteArray("<meta name=\"author\" content=\"x\">")
                                          << QString();
    QTest::newRow("other-element") << QByteArray("<metadata charset=utf-8>") << QString();
    QTest::newRow("beyond-4kb") << QByteArray(4096, ' ') + "<meta charset=utf-8>" << QString();
}

void tst_TextEncoding::declaredCharsetIsFoundInMetaOnly()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, charset);
    QCOMPARE(declaredCharset(bytes), charset);
    // The text of an open document is searched by the same rule.
    QCOMPARE(declaredCharset(QStringView(Cp1250::decode(bytes))), charset);
}

void tst_TextEncoding::utf8Validity_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("multiByte");
    QTest::newRow("empty") << QByteArray() << true << false;
    QTest::newRow("ascii") << QByteArray("plain <b>text</b>") << true << false;
    QTest::newRow("czech") << QString(u"kůň"_s).toUtf8() << true << true;
    QTest::newRow("four-byte") << QString(u"😀"_s).toUtf8() << true << true;
    QTest::newRow("highest") << QByteArray("\xf4\x8f\xbf\xbf") << true << true;
    // Each of these is what a byte-for-byte check would let through.
    QTest::newRow("overlong-slash") << QByteArray("\xc0\xaf") << false << false;
    QTest::newRow("overlong-three") << QByteArray("\xe0\x80\xaf") << false << false;
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << false << false;
    QTest::newRow("above-10ffff") << QByteArray("\xf4\x90\x80\x80") << false << false;
    QTest::newRow("cut-short-at-end") << QByteArray("abc\xe2\x82") << false << false;
    QTest::newRow("lone-continuation") << QByteArray("a\x80z") << false << false;
    QTest::newRow("windows-1250-letter") << QByteArray("k\xf9\xf2") << false << false;
    // The bad byte comes after a whole eight-byte run of ASCII.
    QTest::newRow("bad-after-ascii-run") << QByteArray("abcdefghijklmnop\xff") << false << false;
}

void tst_TextEncoding::utf8Validity()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QFETCH(bool, multiByte);
    bool hasMultiByte = false;
    QCOMPARE(isValidUtf8(bytes, &hasMultiByte), valid);
    if (valid)
        QCOMPARE(hasMultiByte, multiByte);
}

void tst_TextEncoding::detection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<bool>("byteOrderMark");
    QTest::addColumn<bool>("noted");
    const QByteArray utf8 = QString(u"<p>kůň</p>"_s).toUtf8();
    const QByteArray cp1250 = Cp1250::encode(u"<p>kůň</p>");
    const QByteArray bom("\xef\xbb\xbf");
    QTest::newRow("bom") << bom + utf8 << TextEncoding::Utf8 << true << false;
    QTest::newRow("bom-beats-meta") << bom + "<meta charset=cp1250>" + utf8 << TextEncoding::Utf8
                                    << true << false;
    QTest::newRow("bom-but-not-utf8") << bom + cp1250 << TextEncoding::Windows1250 << false << true;
    // A declaration beats the look of the bytes; multi-byte UTF-8 under a single-byte
    // META is noted, plain ASCII under one is not.
    QTest::newRow("meta-iso-over-utf8-bytes")
        << "<meta charset=iso-8859-2>" + utf8 << TextEncoding::Iso88592 << false << true;
    QTest::newRow("meta-1250-over-utf8-bytes")
        << "<meta charset=windows-1250>" + utf8 << TextEncoding::Windows1250 << false << true;
    QTest::newRow("meta-1250-ascii-only") << QByteArray("<meta charset=windows-1250><p>a</p>")
                                          << TextEncoding::Windows1250 << false << false;
    QTest::newRow("meta-utf8-ascii-only") << QByteArray("<meta charset=utf-8><p>a</p>")
                                          << TextEncoding::Utf8 << false << false;
    QTest::newRow("meta-utf8-but-not-utf8")
        << "<meta charset=utf-8>" + cp1250 << TextEncoding::Windows1250 << false << true;
    QTest::newRow("meta-unknown") << "<meta charset=koi8-r>" + utf8 << TextEncoding::Windows1250
                                  << false << true;
    QTest::newRow("utf8-bytes") << utf8 << TextEncoding::Utf8 << false << false;
    QTest::newRow("ascii") << QByteArray("<p>a</p>") << TextEncoding::Windows1250 << false << false;
    QTest::newRow("1250-bytes") << cp1250 << TextEncoding::Windows1250 << false << false;
}

void tst_TextEncoding::detection()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TextEncoding, encoding);
    QFETCH(bool, byteOrderMark);
    QFETCH(bool, noted);
    const EncodingGuess guess = detectEncoding(bytes);
    QCOMPARE(guess.file.encoding, encoding);
    QCOMPARE(guess.file.byteOrderMark, byteOrderMark);
    QCOMPARE(!guess.note.isEmpty(), noted);
    // Whatever was chosen writes the same bytes back.
    const DecodedDocument doc = decodeDocument(bytes);
    QCOMPARE(encodeText(doc.text, doc.file), bytes);
}

void tst_TextEncoding::goldenPagesDecodeAndEncodeBack_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<bool>("byteOrderMark");
    QTest::addColumn<QString>("note");
    QTest::newRow("utf8-bom-meta") << u"utf8-bom-meta.html"_s << TextEncoding::Utf8 << true
                                   << QString();
    QTest::newRow("utf8-bom") << u"utf8-bom.html"_s << TextEncoding::Utf8 << true << QString();
    QTest::newRow("utf8-meta") << u"utf8-meta.html"_s << TextEncoding::Utf8 << false << QString();
    QTest::newRow("utf8") << u"utf8.html"_s << TextEncoding::Utf8 << false << QString();
    QTest::newRow("iso-8859-2-meta") << u"iso-8859-2-meta.html"_s << TextEncoding::Iso88592
                                     << false << QString();
    QTest::newRow("windows-1250-meta") << u"windows-1250-meta.html"_s
                                       << TextEncoding::Windows1250 << false << QString();
    QTest::newRow("windows-1250") << u"windows-1250.html"_s << TextEncoding::Windows1250 << false
                                  << QString();
    // The bytes are Windows-1250 whatever the META says; read so, they keep their letters.
    QTest::newRow("not-utf8-meta-utf8") << u"not-utf8-meta-utf8.html"_s
                                        << TextEncoding::Windows1250 << false
                                        << u"META uvádí UTF-8, ale soubor není v UTF-8"_s;
    QTest::newRow("unknown-charset") << u"unknown-charset.html"_s << TextEncoding::Windows1250
                                     << false << u"neznámé kódování koi8-r v META"_s;
}

void tst_TextEncoding::goldenPagesDecodeAndEncodeBack()
{
    QFETCH(QString, file);
    QFETCH(TextEncoding, encoding);
    QFETCH(bool, byteOrderMark);
    QFETCH(QString, note);
    const QByteArray bytes = goldenBytes(file);
    QVERIFY(!bytes.isEmpty());
    const DecodedDocument doc = decodeDocument(bytes);
    QCOMPARE(doc.file.encoding, encoding);
    QCOMPARE(doc.file.byteOrderMark, byteOrderMark);
    QCOMPARE(doc.note, note);
    QVERIFY2(doc.text.contains(kCzech), qPrintable(doc.text));
    QVERIFY(doc.text.contains(u"<TITLE>Kůň</TITLE>"));
    QVERIFY(!doc.text.contains(QChar(0xFEFF)));
    QCOMPARE(encodeText(doc.text, doc.file), bytes);
}

void tst_TextEncoding::utf8HoldsWhatSingleByteEncodingsWriteAsReferences()
{
    const QString text = u"ř € Ж 😀"_s;
    QCOMPARE(encodeText(text, {TextEncoding::Utf8}), text.toUtf8());
    QCOMPARE(encodeText(text, {TextEncoding::Utf8, true}), "\xef\xbb\xbf" + text.toUtf8());
    QCOMPARE(encodeText(text, {TextEncoding::Iso88592}),
             QByteArray("\xf8 &#8364; &#1046; &#128512;"));
    QCOMPARE(encodeText(text, {TextEncoding::Windows1250}), QByteArray("\xf8 \x80 &#1046; &#128512;"));
}

void tst_TextEncoding::scriptAndStyleGetTheirOwnEscapes_data()
{
    // A browser reads "&#1046;" inside SCRIPT and STYLE as those six characters: there the
    // languages' escapes keep the character; everywhere else, attributes too, references.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("text") << u"<p>Ж</p>"_s << QByteArray("<p>&#1046;</p>");
    QTest::newRow("script string") << u"<script>alert('Ж ř')</script>"_s
                                   << QByteArray("<script>alert('\\u0416 \xf8')</script>");
    QTest::newRow("beyond the first plane, upper case tag with type")
        << u"<SCRIPT type=\"text/javascript\">s = \"😀\";</SCRIPT>Ж"_s
        << QByteArray("<SCRIPT type=\"text/javascript\">s = \"\\uD83D\\uDE00\";</SCRIPT>&#1046;");
    QTest::newRow("style, a hex digit after it") << u"<style>p:after { content: 'Жa' }</style>"_s
                                                 << QByteArray("<style>p:after { content: '\\416 a' }</style>");
    QTest::newRow("event attribute is html") << u"<p onclick=\"alert('Ж')\">"_s
                                             << QByteArray("<p onclick=\"alert('&#1046;')\">");
    QTest::newRow("quoted > in the start tag") << u"<script data-x=\"a>b\">'Ж'</script>"_s
                                               << QByteArray("<script data-x=\"a>b\">'\\u0416'</script>");
    QTest::newRow("commented-out element") << u"<!-- <script> -->Ж"_s << QByteArray("<!-- <script> -->&#1046;");
    QTest::newRow("not a script element") << u"<scripts>Ж"_s << QByteArray("<scripts>&#1046;");
    QTest::newRow("no end tag") << u"<style>Ж"_s << QByteArray("<style>\\416 ");
    QTest::newRow("two elements") << u"<style>Ж</style>Ж<script>Ж</script>Ж"_s
                                  << QByteArray("<style>\\416 </style>&#1046;<script>\\u0416</script>&#1046;");
}

void tst_TextEncoding::scriptAndStyleGetTheirOwnEscapes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, written);
    QCOMPARE(encodeText(text, {TextEncoding::Windows1250}), written);
    QCOMPARE(encodeText(text, {TextEncoding::Iso88592}), written); // ř is 0xF8 in both
}

void tst_TextEncoding::secondByteOrderMarkStaysInTheText()
{
    // Only the first mark is the file's; a second one is a character of the text.
    const QByteArray bytes("\xef\xbb\xbf\xef\xbb\xbf" "a");
    const DecodedDocument doc = decodeDocument(bytes);
    QCOMPARE(doc.file.encoding, TextEncoding::Utf8);
    QCOMPARE(doc.text, u"\uFEFFa"_s);
    QCOMPARE(encodeText(doc.text, doc.file), bytes);
}

void tst_TextEncoding::reopeningInUtf8RefusesBytesThatAreNotUtf8()
{
    const QString path = testDataPath(u"encodings/windows-1250.html"_s);
    const TextFileResult asUtf8 = readDocumentFile(path, TextEncoding::Utf8);
    QVERIFY(!asUtf8.ok);
    QCOMPARE(asUtf8.error, u"Soubor není v kódování UTF-8."_s);
    const TextFileResult asIso = readDocumentFile(path, TextEncoding::Iso88592);
    QVERIFY(asIso.ok);
    QCOMPARE(asIso.encoding.encoding, TextEncoding::Iso88592);
    // "š" of Windows-1250 is a different letter in Latin-2, as the user asked.
    QVERIFY(!asIso.text.contains(kCzech));
}

BRISKO_TEST_MAIN(tst_TextEncoding)
#include "tst_textencoding.moc"
