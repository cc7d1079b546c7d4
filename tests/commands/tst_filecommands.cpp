#include "commands/FileCommands.h"
#include "editor/HtmlDocument.h"
#include "settings/TSettings.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

using namespace Qt::StringLiterals;

// The file panel's insert commands on a real document: the reference as the settings
// shape it, the markup around the selection, the caret and the colour.
class tst_FileCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void asTagUsesRelativeReference_data();
    void asTagUsesRelativeReference();
    void asTagWrapsSelectionInTagColour();
    void asTagInHtml5PlaysVideo();
    void asLinkSelectsReferenceAndEndsBeforeClosing();
    void fileNameColourFollowsCaret_data();
    void fileNameColourFollowsCaret();
    void nothingWithoutDocument();
};

void tst_FileCommands::asTagUsesRelativeReference_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("relPa");
    QTest::addColumn<bool>("alt92");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");

    QTest::newRow("relative_subfolder") << u"/web/index.html"_s << true << false << false
                                        << u"/web/img/logo.GIF"_s
                                        << u"<IMG SRC=\"img/logo.GIF\">"_s;
    QTest::newRow("relative_upperCaseFiles") << u"/web/index.html"_s << true << false << true
                                             << u"/web/img/logo.GIF"_s
                                             << u"<IMG SRC=\"IMG/LOGO.GIF\">"_s;
    QTest::newRow("relative_backslash") << u"/web/index.html"_s << true << true << false
                                        << u"/web/img/logo.gif"_s
                                        << u"<IMG SRC=\"img\\logo.gif\">"_s;
    QTest::newRow("relative_parentFolder") << u"/web/pages/a.html"_s << true << false << false
                                           << u"/web/img/a.png"_s
                                           << u"<IMG SRC=\"../img/a.png\">"_s;
    // a document never saved has no folder: the bare name
    QTest::newRow("neverSaved_bareName") << u"Bez jména"_s << true << false << false
                                         << u"/web/img/logo.GIF"_s
                                         << u"<IMG SRC=\"logo.GIF\">"_s;
    QTest::newRow("relPaOff_bareName") << u"/web/index.html"_s << false << false << false
                                       << u"/web/img/logo.GIF"_s
                                       << u"<IMG SRC=\"logo.GIF\">"_s;
    QTest::newRow("video") << u"/web/index.html"_s << true << false << false
                           << u"/web/clip.mpeg"_s << u"<IMG DYNSRC=\"clip.mpeg\">"_s;
    QTest::newRow("font") << u"/web/index.html"_s << true << false << false
                          << u"/web/font.ttf"_s << u"<EMBED SRC=\"font.ttf\">"_s;
}

void tst_FileCommands::asTagUsesRelativeReference()
{
    QFETCH(QString, document);
    QFETCH(bool, relPa);
    QFETCH(bool, alt92);
    QFETCH(bool, upper);
    QFETCH(QString, file);
    QFETCH(QString, expected);
    WorkspaceFixture fx;
    fx.doc()->setFileName(document);
    fx.settings().RelPa = relPa;
    fx.settings().Alt92 = alt92;
    fx.settings().UpperCaseFiles = upper;
    InsertFileAsTag(fx.workspace(), file);
    QCOMPARE(fx.buffer().GetText(), expected);
}

void tst_FileCommands::asTagWrapsSelectionInTagColour()
{
    WorkspaceFixture fx;
    fx.doc()->setFileName(u"/web/index.html"_s);
    fx.settings().RelPa = true;
    fx.setText(u"see here now"_s, 4, 4);
    InsertFileAsTag(fx.workspace(), u"/web/doc/a.pdf"_s);
    QCOMPARE(fx.buffer().GetText(), u"see <A HREF=\"doc/a.pdf\">here</A> now"_s);
    QCOMPARE(fx.buffer().colorAt(5), fx.settings().TAG);
}

// An HTML5 page gets a video that plays in it, written as the page's markup is.
void tst_FileCommands::asTagInHtml5PlaysVideo()
{
    WorkspaceFixture fx;
    fx.doc()->setFileName(u"/web/index.html"_s);
    fx.settings().RelPa = true;
    fx.settings().MarkupStyle = u"HTML5"_s;
    InsertFileAsTag(fx.workspace(), u"/web/media/film.mp4"_s);
    QCOMPARE(fx.buffer().GetText(), u"<video src=\"media/film.mp4\" controls></video>"_s);
    fx.setText(QString());
    fx.settings().MarkupStyle = u"HTML4"_s;
    InsertFileAsTag(fx.workspace(), u"/web/media/film.mov"_s);
    QCOMPARE(fx.buffer().GetText(), u"<IMG DYNSRC=\"media/film.mov\">"_s);
}

void tst_FileCommands::asLinkSelectsReferenceAndEndsBeforeClosing()
{
    WorkspaceFixture fx;
    fx.doc()->setFileName(u"/web/index.html"_s);
    fx.settings().RelPa = true;
    // The selection collapses to its start; the selected text stays after the link.
    fx.setText(u"ab old"_s, 3, 3);
    InsertFileAsLink(fx.workspace(), u"/web/img/a.gif"_s);
    const QString link = u"<A HREF=\"img/a.gif\" >img/a.gif</A>"_s;
    QCOMPARE(fx.buffer().GetText(), u"ab "_s + link + u"old"_s);
    QCOMPARE(fx.buffer().SelStart(), 3 + link.size() - 4);
    QCOMPARE(fx.buffer().colorAt(4), fx.settings().LINK);
}

void tst_FileCommands::fileNameColourFollowsCaret_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("relative");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("tagColour");
    QTest::newRow("insideTag_relative") << u"<IMG SRC=>"_s << 9 << true
                                        << u"<IMG SRC=img/Logo.gif>"_s << true;
    QTest::newRow("plainText_relative") << u"x "_s << 2 << true << u"x img/Logo.gif"_s << false;
    // the bare name takes no case or slash rule
    QTest::newRow("plainText_bareName") << u"x "_s << 2 << false << u"x Logo.gif"_s << false;
}

void tst_FileCommands::fileNameColourFollowsCaret()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(bool, relative);
    QFETCH(QString, expected);
    QFETCH(bool, tagColour);
    WorkspaceFixture fx;
    fx.doc()->setFileName(u"/web/index.html"_s);
    TSettings &s = fx.settings();
    s.RelPa = true;
    s.TEXT = 0x123456;
    s.TAG = 0x0000FF;
    fx.setText(text, caret);
    InsertFileName(fx.workspace(), u"/web/img/Logo.gif"_s, relative);
    QCOMPARE(fx.buffer().GetText(), expected);
    QCOMPARE(fx.buffer().colorAt(caret), tagColour ? s.TAG : s.TEXT);
}

void tst_FileCommands::nothingWithoutDocument()
{
    WorkspaceFixture fx(0);
    InsertFileAsTag(fx.workspace(), u"/web/a.gif"_s);
    InsertFileAsLink(fx.workspace(), u"/web/a.gif"_s);
    InsertFileName(fx.workspace(), u"/web/a.gif"_s, true);
    QVERIFY(fx.workspace().documents().isEmpty());
}

BRISKO_TEST_MAIN(tst_FileCommands)
#include "tst_filecommands.moc"
