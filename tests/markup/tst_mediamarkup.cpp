#include "support/TestMain.h"

#include "markup/MediaMarkup.h"
#include "markup/TextFile.h"

#include <QTemporaryDir>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Markup)

namespace {

constexpr ColorValue Red = 0x0000FF;
constexpr ColorValue Lime = 0x00FF00;

const QString FlashLine = u"ShockwaveFlash,clsid:D27CDB6E-AE6D-11cf-96B8-444553540000"_s;

// Reads a start tag with the read function of its element and composes the fields again:
// the new start tag without the leftovers, the leftovers and the error.
struct Reread
{
    QString tag;
    QString leftovers;
    QString error;
};

template<class F>
Reread reread(const TagRead<F> &read, Markup (*compose)(const F &))
{
    const QString opening = compose(read.fields).opening;
    return {opening.first(opening.lastIndexOf(u'>') + 1), read.leftovers, read.error};
}

Reread rereadTag(const QString &tag)
{
    const QString name = tag.section(u' ', 0, 0).mid(1).remove(u'>').toUpper();
    if (name == u"HR"_s)
        return reread(readHrTag(tag), &composeHr);
    if (name == u"BGSOUND"_s)
        return reread(readSoundTag(tag), &composeSound);
    if (name == u"EMBED"_s)
        return reread(readEmbedTag(tag), &composeEmbed);
    if (name == u"MARQUEE"_s)
        return reread(readMarqueeTag(tag), &composeMarquee);
    if (name == u"SCRIPT"_s)
        return reread(readScriptTag(tag), &composeScript);
    if (name == u"APPLET"_s)
        return reread(readAppletTag(tag), &composeApplet);
    if (name == u"PARAM"_s)
        return reread(readParamTag(tag), &composeParam);
    qFatal("no reader for %s", qPrintable(name));
}

} // namespace

// The compositions of the media and object dialogs and the reading of their tags by F7.
class TestMediaMarkup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void compose_data();
    void compose();
    void read_data();
    void read();
    void readFlagsAndNumbers();
    void memoLinesAsShown_data();
    void memoLinesAsShown();
    void componentLine_data();
    void componentLine();
    void componentListFile();
};

void TestMediaMarkup::compose_data()
{
    QTest::addColumn<Markup>("markup");
    QTest::addColumn<QString>("opening");
    QTest::addColumn<QString>("closing");

    QTest::newRow("hrEmpty") << composeHr({}) << u"<HR >"_s << QString();
    QTest::newRow("hrColourNoShade")
        << composeHr({{}, {}, {true, Red}, false}) << u"<HR  COLOR=\"#FF0000\" NOSHADE>"_s
        << QString();
    QTest::newRow("hrColourOffIsLeftOut")
        << composeHr({u"95%"_s, u"3"_s, {false, Red}, true}) << u"<HR  SIZE=3 WIDTH=95%>"_s
        << QString();
    QTest::newRow("hrAllInOrder")
        << composeHr({u"640"_s, u"10"_s, {true, Lime}, false})
        << u"<HR  COLOR=\"#00FF00\" SIZE=10 WIDTH=640 NOSHADE>"_s << QString();

    QTest::newRow("soundEmpty") << composeSound({}) << u"<BGSOUND>"_s << QString();
    QTest::newRow("soundAll") << composeSound({u"hudba/a.mid"_s, u"INFINITE"_s})
                              << u"<BGSOUND SRC=\"hudba/a.mid\" LOOP=\"INFINITE\">"_s << QString();

    QTest::newRow("embedEmpty") << composeEmbed({}) << u"<EMBED>"_s << QString();
    QTest::newRow("embedParametersFollow")
        << composeEmbed({u"a.swf"_s, u"foreground"_s, {true, 240}, {true, 320},
                         u"autostart=true\nloop=1"_s})
        << u"<EMBED SRC=\"a.swf\" PALETTE=\"foreground\" HEIGHT=240 WIDTH=320 autostart=true loop=1>"_s
        << QString();
    QTest::newRow("embedNoPhantomLastLine")
        << composeEmbed({u"a.mov"_s, {}, {false, 7}, {}, u"loop=1\r\n"_s})
        << u"<EMBED SRC=\"a.mov\" loop=1>"_s << QString();
    QTest::newRow("embedLinesUnchanged")
        << composeEmbed({{}, {}, {}, {true, 0}, u" a=1 \n\nb"_s})
        << u"<EMBED WIDTH=0  a=1   b>"_s << QString();

    QTest::newRow("marqueeEmpty") << composeMarquee({}) << u"<MARQUEE >"_s << u"</MARQUEE>"_s;
    QTest::newRow("marqueeAll")
        << composeMarquee({u"ALTERNATE"_s, u"LEFT"_s, u"INFINITE"_s, {true, Lime}, {true, 150},
                           {true, 0}})
        << u"<MARQUEE  BEHAVIOR=\"ALTERNATE\" DIRECTION=\"LEFT\" LOOP=\"INFINITE\" "
           u"BGCOLOR=\"#00FF00\" SCROLLDELAY=150 SCROLLAMOUNT=0>"_s
        << u"</MARQUEE>"_s;

    QTest::newRow("scriptEmpty") << composeScript({}) << u"<SCRIPT >\r\n"_s
                                 << u"\r\n</SCRIPT>"_s;
    QTest::newRow("scriptVbsKeepsItsBlank")
        << composeScript({u"VBS "_s, {}, {}, {}}) << u"<SCRIPT  LANGUAGE=\"VBS \">\r\n"_s
        << u"\r\n</SCRIPT>"_s;
    QTest::newRow("scriptAll")
        << composeScript({u"JAVASCRIPT"_s, u"Hra"_s, u"onunload "_s, u"window"_s})
        << u"<SCRIPT  LANGUAGE=\"JAVASCRIPT\" TITLE=\"Hra\" EVENT=\"onunload \" FOR=\"window\">\r\n"_s
        << u"\r\n</SCRIPT>"_s;

    QTest::newRow("activeXNoneChosen") << composeActiveX({}) << QString() << QString();
    QTest::newRow("activeXDefaultSize")
        << composeActiveX({FlashLine, 50, 50})
        << u"<OBJECT ID=\"ShockwaveFlash\" CLASSID=\"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000\" "
           u"HEIGHT=50 WIDTH=50>\r\n"_s
        << u"\r\n</OBJECT>"_s;
    QTest::newRow("activeXLineWithoutComma")
        << composeActiveX({u"clsid:1234"_s, 300, 0})
        << u"<OBJECT ID=\"\" CLASSID=\"clsid:1234\" HEIGHT=300 WIDTH=0>\r\n"_s
        << u"\r\n</OBJECT>"_s;

    QTest::newRow("appletEmpty") << composeApplet({}) << u"<APPLET >"_s << u"\r\n</APPLET>"_s;
    QTest::newRow("appletAllInOrder")
        << composeApplet({u"classes/"_s, u"Hodiny.class"_s, u"MIDDLE"_s, {true, 3}, {true, 120}})
        << u"<APPLET  CODE=\"Hodiny.class\" CODEBASE=\"classes/\" ALIGN=\"MIDDLE\" TABINDEX=3 "
           u"MAXLENGTH=120>"_s
        << u"\r\n</APPLET>"_s;
    QTest::newRow("appletNumbersOff")
        << composeApplet({{}, u"A.class"_s, {}, {false, 3}, {false, 120}})
        << u"<APPLET  CODE=\"A.class\">"_s << u"\r\n</APPLET>"_s;

    QTest::newRow("paramEmpty") << composeParam({}) << u"<PARAM>"_s << QString();
    QTest::newRow("paramBoth") << composeParam({u"autostart"_s, u"true"_s})
                               << u"<PARAM NAME=\"autostart\" VALUE=\"true\">"_s << QString();
}

void TestMediaMarkup::compose()
{
    QFETCH(Markup, markup);
    QFETCH(QString, opening);
    QFETCH(QString, closing);
    QCOMPARE(markup.opening, opening);
    QCOMPARE(markup.closing, closing);
}

void TestMediaMarkup::read_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("composed");
    QTest::addColumn<QString>("leftovers");
    QTest::addColumn<QString>("error");

    QTest::newRow("hrSize") << u"<HR SIZE=2>"_s << u"<HR  SIZE=2>"_s << QString() << QString();
    QTest::newRow("hrNoShadeIsTaken")
        << u"<HR NOSHADE>"_s << u"<HR  NOSHADE>"_s << QString() << QString();
    QTest::newRow("hrColourWidthAndLeftover")
        << u"<hr color=red width=\"50%\" class=x>"_s << u"<HR  COLOR=\"#FF0000\" WIDTH=50%>"_s
        << u"class=x"_s << QString();
    QTest::newRow("hrUnreadableColourStays")
        << u"<HR COLOR=reddish SIZE=1>"_s << u"<HR  SIZE=1>"_s << u"COLOR=reddish"_s << QString();
    QTest::newRow("hrFlagInsideQuotedValue")
        << u"<HR TITLE=\"NOSHADE here\">"_s << u"<HR >"_s << u"TITLE=\"NOSHADE here\""_s
        << QString();
    QTest::newRow("soundBoth") << u"<BGSOUND SRC=\"a.mid\" LOOP=INFINITE>"_s
                               << u"<BGSOUND SRC=\"a.mid\" LOOP=\"INFINITE\">"_s << QString()
                               << QString();
    QTest::newRow("embedNumbersAbove99")
        << u"<EMBED SRC=\"a.swf\" HEIGHT=240 WIDTH=\" 3 20 \" autostart=true>"_s
        << u"<EMBED SRC=\"a.swf\" HEIGHT=240 WIDTH=320>"_s << u"autostart=true"_s << QString();
    QTest::newRow("embedPercentIsRefused")
        << u"<EMBED WIDTH=50%>"_s << u"<EMBED>"_s << QString()
        << u"Hodnota '50%' není celé číslo."_s;
    QTest::newRow("marqueeAll")
        << u"<MARQUEE BEHAVIOR=alternate SCROLLDELAY=150 SCROLLAMOUNT=0 BGCOLOR=#00ff00 "
           u"DIRECTION=LEFT LOOP=5>"_s
        << u"<MARQUEE  BEHAVIOR=\"alternate\" DIRECTION=\"LEFT\" LOOP=\"5\" BGCOLOR=\"#00FF00\" "
           u"SCROLLDELAY=150 SCROLLAMOUNT=0>"_s
        << QString() << QString();
    QTest::newRow("scriptWithSource")
        << u"<SCRIPT LANGUAGE=\"VBS \" FOR=window EVENT=onload SRC=\"a.js\">"_s
        << u"<SCRIPT  LANGUAGE=\"VBS \" EVENT=\"onload\" FOR=\"window\">"_s << u"SRC=\"a.js\""_s
        << QString();
    QTest::newRow("appletCodeBeforeCodebase")
        << u"<APPLET CODEBASE=\"cls/\" CODE=A.class TABINDEX=1000 MAXLENGTH=5 ALIGN=top WIDTH=300>"_s
        << u"<APPLET  CODE=\"A.class\" CODEBASE=\"cls/\" ALIGN=\"top\" TABINDEX=1000 MAXLENGTH=5>"_s
        << u"WIDTH=300"_s << QString();
    QTest::newRow("paramBoth") << u"<PARAM NAME=autostart VALUE=\"true\">"_s
                               << u"<PARAM NAME=\"autostart\" VALUE=\"true\">"_s << QString()
                               << QString();
    QTest::newRow("paramNameInsideValue")
        << u"<PARAM VALUE=\"NAME=x\">"_s << u"<PARAM VALUE=\"NAME=x\">"_s << QString() << QString();
}

void TestMediaMarkup::read()
{
    QFETCH(QString, tag);
    QFETCH(QString, composed);
    QFETCH(QString, leftovers);
    QFETCH(QString, error);
    const Reread got = rereadTag(tag);
    QCOMPARE(got.tag, composed);
    QCOMPARE(got.leftovers, leftovers);
    QCOMPARE(got.error, error);
}

// A value equal to the default still switches its box on; absent values keep the defaults.
void TestMediaMarkup::readFlagsAndNumbers()
{
    const TagRead<MarqueeFields> marquee = readMarqueeTag(u"<MARQUEE SCROLLDELAY=0>");
    QCOMPARE(marquee.fields.scrollDelay, (Toggled<int>{true, 0}));
    QCOMPARE(marquee.fields.scrollAmount, (Toggled<int>{false, 0}));
    QCOMPARE(marquee.fields.bgColor, (Toggled<ColorValue>{false, 0xFFFFFF}));

    QCOMPARE(readHrTag(u"<HR>").fields, HrFields{});
    QCOMPARE(readHrTag(u"<HR noshade>").fields.shade, false);
    QCOMPARE(readHrTag(u"<HR COLOR=white>").fields.color, (Toggled<ColorValue>{true, 0xFFFFFF}));
}

void TestMediaMarkup::memoLinesAsShown_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList{};
    QTest::newRow("oneLine") << u"a=1"_s << QStringList{u"a=1"_s};
    QTest::newRow("finalBreakOpensNoLine") << u"a=1\n"_s << QStringList{u"a=1"_s};
    QTest::newRow("crLf") << u"a\r\nb\r\n"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("onlyABreak") << u"\n"_s << QStringList{QString()};
    QTest::newRow("emptyLineInside") << u"a\n\nb"_s << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("twoFinalBreaks") << u"a\n\n"_s << QStringList{u"a"_s, QString()};
}

void TestMediaMarkup::memoLinesAsShown()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(memoLines(text), lines);
}

void TestMediaMarkup::componentLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("classId");
    QTest::newRow("nameAndId") << FlashLine << u"ShockwaveFlash"_s
                               << u"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000"_s;
    QTest::newRow("noComma") << u"clsid:1234"_s << QString() << u"clsid:1234"_s;
    QTest::newRow("laterCommasStay") << u"a,b,c"_s << u"a"_s << u"b,c"_s;
    QTest::newRow("emptyName") << u",clsid:9"_s << QString() << u"clsid:9"_s;
}

void TestMediaMarkup::componentLine()
{
    QFETCH(QString, line);
    QFETCH(QString, name);
    QFETCH(QString, classId);
    QCOMPARE(componentName(line), name);
    QCOMPARE(componentClassId(line), classId);
}

void TestMediaMarkup::componentListFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"activex.dat"_s);
    QCOMPARE(readComponentList(path), std::nullopt);
    QCOMPARE(writeTextFile(path, FlashLine + u"\r\nPřehrávač,clsid:1\r\n"_s), QString());
    QCOMPARE(readComponentList(path), (QStringList{FlashLine, u"Přehrávač,clsid:1"_s}));
}

BRISKO_TEST_MAIN(TestMediaMarkup)
#include "tst_mediamarkup.moc"
