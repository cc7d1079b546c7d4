#include "markup/HtmlCheck.h"
#include "markup/TextFile.h"
#include "support/TestMain.h"

using namespace Qt::StringLiterals;

class tst_HtmlCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void brokenPagesGiveTheirGoldenList_data();
    void brokenPagesGiveTheirGoldenList();
    void doctypeDecidesTheRules_data();
    void doctypeDecidesTheRules();
    void proprietaryElementsAreNoErrors();
    void positionsCountCharactersAndLines();
    void positionsCountTwoColumnsForCharactersBeyondTheBmp();
    void cleanPageHasNoFindings();
    void attributesHtml5GainedLaterAreStandard();
};

void tst_HtmlCheck::brokenPagesGiveTheirGoldenList_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("encoding");
    // one page in each encoding the editor reads; columns count characters, not bytes
    QTest::newRow("html4_windows1250") << u"htmlcheck/html4-windows1250"_s
                                       << int(TextEncoding::Windows1250);
    QTest::newRow("html4_iso88592_tabs") << u"htmlcheck/html4-iso88592"_s
                                         << int(TextEncoding::Iso88592);
    QTest::newRow("html5_utf8") << u"htmlcheck/html5-utf8"_s << int(TextEncoding::Utf8);
    // Emoji lie beyond the Basic Multilingual Plane: two columns each, as the editor counts.
    QTest::newRow("html5_utf8_emoji") << u"htmlcheck/html5-utf8-emoji"_s << int(TextEncoding::Utf8);
}

void tst_HtmlCheck::brokenPagesGiveTheirGoldenList()
{
    QFETCH(QString, folder);
    QFETCH(int, encoding);
    const TextFileResult page = readDocumentFile(testDataPath(folder + u"/input.html"_s));
    QVERIFY(page.ok);
    QCOMPARE(int(page.encoding.encoding), encoding);
    QStringList got;
    for (const HtmlMessage &m : checkHtml(page.text))
        got << describeHtmlMessage(m);
    QFile expected(testDataPath(folder + u"/expected.txt"_s));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    const QStringList want = QString::fromUtf8(expected.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(got, want);
}

void tst_HtmlCheck::doctypeDecidesTheRules_data()
{
    QTest::addColumn<QString>("doctype");
    QTest::addColumn<bool>("fontReported");
    QTest::newRow("html5") << u"<!DOCTYPE html>"_s << true;
    QTest::newRow("html4Transitional")
        << u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">"_s << false;
}

void tst_HtmlCheck::doctypeDecidesTheRules()
{
    QFETCH(QString, doctype);
    QFETCH(bool, fontReported);
    const QString page = doctype + u"\r\n<html><head><title>T</title></head><body>\r\n"
                                   u"<p><font color=red>text</font></p></body></html>\r\n"_s;
    bool font = false;
    for (const HtmlMessage &m : checkHtml(page))
        font = font || m.text.contains(u"<font>"_s);
    QCOMPARE(font, fontReported);
}

void tst_HtmlCheck::proprietaryElementsAreNoErrors()
{
    const QString page = u"<!DOCTYPE html>\r\n<html><head><title>T</title></head><body>\r\n"
                         u"<marquee>a</marquee><blink>b</blink><bgsound src=\"x.mid\">\r\n"
                         u"</body></html>\r\n"_s;
    const QList<HtmlMessage> found = checkHtml(page);
    QStringList proprietary;
    for (const HtmlMessage &m : found) {
        QVERIFY2(m.kind != HtmlMessageKind::Error, qPrintable(describeHtmlMessage(m)));
        if (m.kind == HtmlMessageKind::Proprietary)
            proprietary << m.text.section(u' ', 0, 0);
    }
    QCOMPARE(proprietary, (QStringList{u"<marquee>"_s, u"<blink>"_s, u"<bgsound>"_s}));
}

void tst_HtmlCheck::positionsCountCharactersAndLines()
{
    // CR LF is one line break; "ěščř" are four columns whatever the encoding; a tab is one.
    const QString page = u"<!DOCTYPE html>\r\n<html><head><title>T</title></head><body>\r\n"
                         u"<p>ěščř\t</i></p>\r\n</body></html>\r\n"_s;
    const QList<HtmlMessage> found = checkHtml(page);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found[0].line, 3);
    QCOMPARE(found[0].column, 9);
    QCOMPARE(found[0].key, u"DISCARDING_UNEXPECTED"_s);
}

void tst_HtmlCheck::positionsCountTwoColumnsForCharactersBeyondTheBmp()
{
    // Tidy counts "😀" as one column; the editor, whose columns the list shows and the jump
    // uses, as two. The line before and the one after are not moved.
    const QString page = u"<!DOCTYPE html>\r\n<html><head><title>😀</title></head><body>\r\n"
                         u"<p>😀a😀\t</i>😀</p>\r\n<p>x</i></p>\r\n</body></html>\r\n"_s;
    const QList<HtmlMessage> found = checkHtml(page);
    QCOMPARE(found.size(), 2);
    QCOMPARE(found[0].line, 3);
    QCOMPARE(found[0].column, 10);
    QCOMPARE(page.split(u"\r\n"_s)[2].mid(found[0].column - 1, 4), u"</i>"_s);
    QCOMPARE(found[1].line, 4);
    QCOMPARE(found[1].column, 5);
}

void tst_HtmlCheck::cleanPageHasNoFindings()
{
    const QString page = u"<!DOCTYPE html>\r\n<html lang=\"cs\"><head><meta charset=\"windows-1250\">"
                         u"<title>Čistá</title></head>\r\n<body><p>Příliš žluťoučký kůň.</p>"
                         u"<img src=\"a.gif\" alt=\"kůň\"></body></html>\r\n"_s;
    const QList<HtmlMessage> found = checkHtml(page);
    QVERIFY2(found.isEmpty(), qPrintable(found.isEmpty() ? QString() : describeHtmlMessage(found.first())));
}

// The image dialog writes loading="lazy" on every HTML5 page: that is no unknown attribute,
// while one that really is unknown is still said.
void tst_HtmlCheck::attributesHtml5GainedLaterAreStandard()
{
    const QString page = u"<!DOCTYPE html>\r\n<html lang=\"cs\"><head><title>T</title></head><body>\r\n"
                         u"<img src=\"a.gif\" alt=\"\" loading=\"lazy\" decoding=\"async\">"
                         u"<video src=\"a.mp4\" playsinline></video><img src=\"b.gif\" alt=\"\" nahled=\"1\">\r\n"
                         u"</body></html>\r\n"_s;
    QStringList said;
    for (const HtmlMessage &m : checkHtml(page))
        said << m.key + u' ' + m.text;
    QCOMPARE(said, QStringList{u"PROPRIETARY_ATTRIBUTE <img> má neznámý nebo nestandardní atribut \"nahled\""_s});
}

BRISKO_TEST_MAIN(tst_HtmlCheck)
#include "tst_htmlcheck.moc"
