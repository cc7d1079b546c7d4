#include "support/TestMain.h"

#include "markup/LinkMarkup.h"
#include "markup/TextMarkup.h"

#include <QTemporaryDir>

using namespace Qt::StringLiterals;

// The compositions of the link and text dialogs, as pure functions of their fields.
class TestLinkTextMarkup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void composedAddress_data();
    void composedAddress();
    void linkMarkup_data();
    void linkMarkup();
    void fontMarkup_data();
    void fontMarkup();
    void commentReadBack_data();
    void commentReadBack();
    void metaAndCounterMarkup();
    void internetShortcut_data();
    void internetShortcut();
};

void TestLinkTextMarkup::composedAddress_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("anchor");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");

    QTest::newRow("onlyServer") << u"HTTP://"_s << u"www.a.cz"_s << QString() << QString()
                                << QString() << QString() << u"/"_s << u"HTTP://www.a.cz"_s;
    // The separator precedes the file even without a server.
    QTest::newRow("fileWithoutServer") << u"HTTP://"_s << QString() << u"index.htm"_s
                                       << QString() << QString() << QString() << u"/"_s
                                       << u"HTTP:///index.htm"_s;
    QTest::newRow("backslashSeparator") << u"HTTP://"_s << u"s"_s << u"a.htm"_s << QString()
                                        << QString() << QString() << u"\\"_s
                                        << u"HTTP://s\\a.htm"_s;
    QTest::newRow("userWithoutPassword") << u"FTP://"_s << u"s"_s << QString() << QString()
                                         << u"karel"_s << QString() << u"/"_s
                                         << u"FTP://karel:@s"_s;
    QTest::newRow("passwordWithoutUserIsLeftOut") << u"FTP://"_s << u"s"_s << QString()
                                                  << QString() << QString() << u"tajne"_s
                                                  << u"/"_s << u"FTP://s"_s;
    QTest::newRow("everything") << u"HTTP://"_s << u"s"_s << u"d/a.htm"_s << u"top"_s
                                << u"u"_s << u"p"_s << u"/"_s << u"HTTP://u:p@s/d/a.htm#top"_s;
}

void TestLinkTextMarkup::composedAddress()
{
    QFETCH(QString, scheme);
    QFETCH(QString, server);
    QFETCH(QString, file);
    QFETCH(QString, anchor);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, separator);
    QFETCH(QString, expected);
    QCOMPARE(ComposedAddress({scheme, server, file, anchor, user, password}, separator),
             expected);
}

void TestLinkTextMarkup::linkMarkup_data()
{
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("opening");

    QTest::newRow("empty") << QString() << QString() << u"<A>"_s;
    QTest::newRow("hrefAndTarget") << u"a.htm"_s << u"_top"_s
                                   << u"<A HREF=\"a.htm\" TARGET=\"_top\">"_s;
    // Values are written as entered; one with a double quote is quoted the other way.
    QTest::newRow("quoteKeepsValueWhole") << u"a\"b"_s << QString() << u"<A HREF='a\"b'>"_s;
}

void TestLinkTextMarkup::linkMarkup()
{
    QFETCH(QString, href);
    QFETCH(QString, target);
    QFETCH(QString, opening);
    QCOMPARE(composeLink({href, target}), (Markup{opening, u"</A>"_s}));
}

void TestLinkTextMarkup::fontMarkup_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<QString>("size");
    QTest::addColumn<bool>("colorOn");
    QTest::addColumn<QString>("opening");

    QTest::newRow("nothing") << QString() << QString() << QString() << false << u"<FONT >"_s;
    QTest::newRow("onlySign") << QString() << u"+"_s << QString() << false
                              << u"<FONT  SIZE=\"+\">"_s;
    QTest::newRow("faceSizeColor") << u"Arial"_s << u"-"_s << u"1"_s << true
                                   << u"<FONT  FACE=\"Arial\" SIZE=\"-1\" COLOR=#FF0000>"_s;
}

void TestLinkTextMarkup::fontMarkup()
{
    QFETCH(QString, face);
    QFETCH(QString, sign);
    QFETCH(QString, size);
    QFETCH(bool, colorOn);
    QFETCH(QString, opening);
    // Red in the low byte.
    QCOMPARE(composeFont({face, sign, size, {colorOn, 0x0000FF}}),
             (Markup{opening, u"</FONT>"_s}));
}

void TestLinkTextMarkup::commentReadBack_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("isComment");
    QTest::addColumn<QString>("text");

    QTest::newRow("spacesKept") << u"<!-- note -->"_s << true << u" note "_s;
    QTest::newRow("blanksBeforeBang") << u"<  !--x-->"_s << true << u"x"_s;
    QTest::newRow("withoutClosingDashes") << u"<!--x>"_s << true << u"x"_s;
    QTest::newRow("otherTag") << u"<B>"_s << false << QString();
    QTest::newRow("noTag") << QString() << false << QString();
}

void TestLinkTextMarkup::commentReadBack()
{
    QFETCH(QString, tag);
    QFETCH(bool, isComment);
    QFETCH(QString, text);
    const std::optional<QString> comment = readComment(tag);
    QCOMPARE(comment.has_value(), isComment);
    if (isComment)
        QCOMPARE(*comment, text);
}

void TestLinkTextMarkup::metaAndCounterMarkup()
{
    QCOMPARE(composeMeta({u"author"_s, u"Já"_s, QString(), false}).opening,
             u"<META  NAME=\"author\" CONTENT=\"Já\">\r\n"_s);
    // The comment goes back exactly as it was read.
    QCOMPARE(composeComment(u" note "_s), u"<!-- note -->"_s);
    QCOMPARE(composeComment(QString()), QString());
    QCOMPARE(composeMeta({}).opening, u"<META >\r\n"_s);
    const QString host = QString::fromUtf16(CounterServiceHost);
    // Zero or negative digit counts are written as they stand.
    QCOMPARE(composeCounter({u"Rainbow"_s, u"moje"_s, 0}).opening,
             u"<a href=\"http://"_s + host + u"/counter/\"><img src=\"http://"_s + host
                 + u"/bin/counter.gif/link=moje&width=0&set=Rainbow\" border=0></a>"_s);
    QVERIFY(composeCounter({QString(), QString(), -3}).opening.contains(u"&width=-3&"_s));
}

void TestLinkTextMarkup::internetShortcut_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");

    QTest::newRow("withKey") << QByteArray("[InternetShortcut]\r\nURL=http://a.cz/x?y=1,2\r\n")
                             << u"http://a.cz/x?y=1,2"_s;
    QTest::newRow("keyInOtherSection") << QByteArray("[Other]\r\nURL=http://b\r\n[InternetShortcut]\r\nIconIndex=0\r\n")
                                       << QString();
    QTest::newRow("caseOfNamesIgnored") << QByteArray("[internetshortcut]\nurl = http://c\n")
                                        << u"http://c"_s;
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestLinkTextMarkup::internetShortcut()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.url"_s);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    QCOMPARE(readInternetShortcut(path), expected);
    QCOMPARE(readInternetShortcut(dir.filePath(u"missing.url"_s)), QString());
}

BRISKO_TEST_MAIN(TestLinkTextMarkup)
#include "tst_linktextmarkup.moc"
