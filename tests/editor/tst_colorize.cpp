#include "editor/Colorize.h"
#include "editor/EditorBuffer.h"
#include "editor/HtmlDocument.h"
#include "settings/TSettings.h"
#include "support/TestMain.h"

using namespace Qt::StringLiterals;

namespace {

// One letter per colour, so an expected colouring reads like the text under it.
const SyntaxColors colors{1, 2, 3, 4, 5, 6};
constexpr char16_t letters[] = u"?xtilsy"; // text, tag, image, link, script, style

QString paint(const std::vector<SyntaxRun> &runs)
{
    QString painted;
    for (const SyntaxRun &run : runs)
        painted += QString(run.length, QChar(letters[run.color]));
    return painted;
}

TSettings letterSettings()
{
    TSettings settings;
    settings.TEXT = 0x000000;
    settings.TAG = 0x0000FF;
    settings.IMAGE = 0x008000;
    settings.LINK = 0xFF0000;
    settings.SCRIPT = 0x808080;
    settings.STYLE = 0xFF00FF;
    return settings;
}

// The colour of every character of the buffer, as letters.
QString paintBuffer(const HtmlDocument &buffer, const TSettings &s)
{
    QString painted;
    for (int i = 0; i < buffer.textLength(); ++i) {
        const ColorValue c = buffer.colorAt(i);
        painted += c == s.TEXT ? u'x' : c == s.TAG ? u't' : c == s.IMAGE ? u'i'
                 : c == s.LINK ? u'l' : c == s.SCRIPT ? u's' : c == s.STYLE ? u'y' : u'?';
    }
    return painted;
}

// A page much longer than one slice colours.
QString longPage()
{
    QString page;
    for (int i = 0; i < 4000; ++i)
        page += u"<P>text <A HREF=x>a</A> <IMG SRC=i> more\r\n"_s;
    return page;
}

} // namespace

class tst_Colorize : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scanColoursByTagName_data();
    void scanColoursByTagName();
    void scanRunsCoverTextWithoutGaps();
    void scanOfLongUnbalancedTextStaysLinear();
    void documentIsColouredInPlace();
    void modifiedFlagIsKept_data();
    void modifiedFlagIsKept();
    void statusTextsAndBusyCursor();
    void emptyDocument();
    void backgroundColouringEndsLikeOneStep();
    void keyTypedDuringBackgroundColouringKeepsItsColour();
    void recolouringAndLoadingDuringBackgroundColouring();
    void prescannedColoursFitTheLoadedText_data();
    void prescannedColoursFitTheLoadedText();
    void colouringOfAnotherTextIsNotUsed();
};

void tst_Colorize::scanColoursByTagName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("painted");

    QTest::newRow("tagsTextAndLinks") << u"<P>Hello <A HREF=x.html>link</A>"_s
                                      << u"tttxxxxxxlllllllllllllllxxxxllll"_s;
    QTest::newRow("imageAndComment") << u"<IMG SRC=a><!-- c -->"_s << QString(11, u'i') + QString(10, u't');
    QTest::newRow("gtWithoutLtIsText") << u"a > b"_s << u"xxxxx"_s;
    QTest::newRow("lowerCaseNames") << u"<a href=x><img src=y>"_s << QString(10, u'l') + QString(11, u'i');
    // A line break ends no name: this tag's name is "A\r\nHREF=x", not "A".
    QTest::newRow("lineBreakInName") << u"<A\r\nHREF=x>"_s << QString(11, u't');
    // A space right after "<" leaves the first piece empty: the name runs to the ">".
    QTest::newRow("spaceAfterLtNamesWholeTag") << u"< A HREF=x>"_s << u"ttttttttttt"_s;
    // Inside a block every tag and all text take the block's colour.
    QTest::newRow("styleBlockImage") << u"<STYLE>p{}<IMG SRC=a.gif></STYLE>x"_s
                                     << u"yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyx"_s;
    QTest::newRow("scriptBlock") << u"<SCRIPT>a<A>b</SCRIPT><B>"_s
                                 << QString(22, u's') + u"ttt"_s;
    // "a<b) x();</SCRIPT>" is one tag named "B)", so the block goes on.
    QTest::newRow("ltInsideScript") << u"<SCRIPT>if (a<b) x();</SCRIPT><B>"_s
                                    << QString(33, u's');
    // Either end tag ends a block of either kind, in its own colour.
    QTest::newRow("styleEndsScript") << u"<SCRIPT>a</STYLE>b<I>"_s << u"sssssssssyyyyyyyyxttt"_s;
    QTest::newRow("scriptEndsStyle") << u"<STYLE>a</SCRIPT>b"_s << u"yyyyyyyysssssssssx"_s;
    QTest::newRow("endTagOutsideBlock") << u"x</SCRIPT>y"_s << u"xsssssssssx"_s;
    // A ">" inside a comment ends the tag there; the rest of the comment is text.
    QTest::newRow("gtInComment") << u"<!-- a>b -->"_s << u"tttttttxxxxx"_s;
    // A "<" with no ">" after it: the rest is plain text in the current colour.
    QTest::newRow("unclosedLtOutsideBlock") << u"<B>a<B"_s << u"tttxxx"_s;
    QTest::newRow("unclosedLtInBlock") << u"<SCRIPT>a<b"_s << u"sssssssssss"_s;
    QTest::newRow("endsInsideTag") << u"text<A HREF="_s << u"xxxxxxxxxxxx"_s;
    QTest::newRow("emptyTag") << u"<>"_s << u"tt"_s;
    QTest::newRow("onlyLt") << u"<"_s << u"x"_s;
    QTest::newRow("empty") << QString() << QString();
}

void tst_Colorize::scanColoursByTagName()
{
    QFETCH(QString, text);
    QFETCH(QString, painted);
    QCOMPARE(paint(ColorizeScan(text, colors)), painted);
}

void tst_Colorize::scanRunsCoverTextWithoutGaps()
{
    const QString text = u"a<B>b</B><SCRIPT>x<y>z</SCRIPT>>>c<<d<A>e"_s;
    const std::vector<SyntaxRun> runs = ColorizeScan(text, colors);
    int expectedStart = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        QCOMPARE(runs[i].start, expectedStart);
        QVERIFY(runs[i].length > 0);
        if (i > 0)
            QVERIFY(runs[i].color != runs[i - 1].color);
        expectedStart += runs[i].length;
    }
    QCOMPARE(expectedStart, text.size());
}

void tst_Colorize::scanOfLongUnbalancedTextStaysLinear()
{
    // Many ">" and no "<" (or the reverse) once made each step search the whole rest.
    const QString gts = QString(400000, u'>');
    const QString lts = QString(400000, u'<') + u'>';
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(paint(ColorizeScan(gts, colors)), QString(gts.size(), u'x'));
    const auto runs = ColorizeScan(lts, colors);
    QCOMPARE(runs.size(), std::size_t(1)); // one tag from the first "<" to the ">"
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
}

void tst_Colorize::documentIsColouredInPlace()
{
    const TSettings settings = letterSettings();
    HtmlDocument buffer;
    const QString text = u"<P>a\r\n<A HREF=x>b</A>\r\n<SCRIPT>\r\nif (a<b)\r\n</SCRIPT>z"_s;
    buffer.loadText(text);
    buffer.SetSelStart(8);
    buffer.SetSelLength(3);
    ColorizeDocument(buffer, settings, {});

    const QString painted = paint(ColorizeScan(text, SyntaxColors{1, 2, 3, 4, 5, 6}));
    const std::array<ColorValue, 7> byLetter{0, settings.TEXT, settings.TAG, settings.IMAGE,
                                             settings.LINK, settings.SCRIPT, settings.STYLE};
    for (int offset = 0; offset < text.size(); ++offset) {
        if (text[offset] == u'\r' || text[offset] == u'\n')
            continue; // line breaks carry no colour of their own in the editor
        const int letter = int(QStringView(letters).indexOf(painted[offset]));
        QCOMPARE(buffer.colorAt(offset), byLetter[letter]);
    }
    QCOMPARE(buffer.GetText(), text);
    QCOMPARE(buffer.SelStart(), 8);
    QCOMPARE(buffer.SelLength(), 3);
}

void tst_Colorize::modifiedFlagIsKept_data()
{
    QTest::addColumn<bool>("modified");
    QTest::newRow("unmodifiedStaysUnmodified") << false;
    QTest::newRow("modifiedStaysModified") << true;
}

void tst_Colorize::modifiedFlagIsKept()
{
    QFETCH(bool, modified);
    HtmlDocument buffer;
    buffer.loadText(u"<B>bold</B> <IMG SRC=a.gif>"_s);
    buffer.SetModified(modified);
    ColorizeDocument(buffer, letterSettings(), {});
    QCOMPARE(buffer.IsModified(), modified);
    QCOMPARE(buffer.colorAt(0), letterSettings().TAG);
}

void tst_Colorize::statusTextsAndBusyCursor()
{
    HtmlDocument buffer;
    buffer.loadText(u"<B>x</B>"_s);
    QStringList reports;
    QList<bool> busy;
    ColorizeDocument(buffer, letterSettings(), [&](const QString &text) {
        reports << text;
        busy << (QApplication::overrideCursor()
                 && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
    });
    QCOMPARE(reports, (QStringList{u"Koloruje se text...!"_s, u"Hotovo!"_s}));
    QCOMPARE(busy, (QList<bool>{true, false}));
    QVERIFY(!QApplication::overrideCursor());
}

void tst_Colorize::emptyDocument()
{
    HtmlDocument buffer;
    QStringList reports;
    ColorizeDocument(buffer, letterSettings(), [&](const QString &text) { reports << text; });
    QCOMPARE(reports.size(), 2);
    QCOMPARE(buffer.GetText(), QString());
    QVERIFY(!buffer.IsModified());
}

void tst_Colorize::backgroundColouringEndsLikeOneStep()
{
    const TSettings settings = letterSettings();
    HtmlDocument reference;
    reference.loadText(longPage());
    ColorizeDocument(reference, settings, {});

    HtmlDocument buffer;
    EditorBuffer view(buffer);
    view.resize(400, 300);
    view.show();
    buffer.loadText(longPage());
    QStringList reports;
    ColorizeDocumentInBackground(buffer, settings, [&](const QString &t) { reports << t; });
    // What is on screen is coloured at once; the rest is still to come.
    QCOMPARE(buffer.colorAt(0), settings.TAG);
    QVERIFY(buffer.backgroundColouringPending());
    QCOMPARE(reports, QStringList{u"Koloruje se text...!"_s});
    QTRY_VERIFY(!buffer.backgroundColouringPending());
    QCOMPARE(reports, (QStringList{u"Koloruje se text...!"_s, u"Hotovo!"_s}));
    QCOMPARE(paintBuffer(buffer, settings), paintBuffer(reference, settings));
    QVERIFY(!buffer.IsModified());
    // The colours are no edit of the user's: there is nothing to undo.
    QVERIFY(!buffer.textDocument()->isUndoAvailable());
    QVERIFY(buffer.textDocument()->isUndoRedoEnabled());
}

void tst_Colorize::keyTypedDuringBackgroundColouringKeepsItsColour()
{
    const TSettings settings = letterSettings();
    HtmlDocument buffer;
    EditorBuffer view(buffer);
    EditorKeyOptions keys;
    keys.textColor = settings.TEXT;
    keys.tagColor = settings.TAG;
    view.setKeyOptions(keys);
    view.resize(400, 300);
    view.show();
    const QString page = longPage();
    buffer.loadText(page);
    ColorizeDocumentInBackground(buffer, settings, {});
    QVERIFY(buffer.backgroundColouringPending());
    // Far below the screen, in text after a ">": the typed key lands in text colour.
    const int at = int(page.size()) - 6; // inside " more"
    buffer.SetSelStart(at);
    QTest::keyClicks(&view, u"<"_s);
    QVERIFY(buffer.IsModified());
    QTRY_VERIFY(!buffer.backgroundColouringPending());
    QCOMPARE(buffer.GetText(), page.left(at) + u'<' + page.mid(at));
    QCOMPARE(buffer.colorAt(at), settings.TAG); // colour-as-you-type
    QCOMPARE(buffer.colorAt(at + 1), settings.TEXT); // the scan's colours moved along
    QCOMPARE(buffer.colorAt(at - 68), settings.LINK); // "<A" of the line above
    QVERIFY(buffer.IsModified());
    // The key is an edit of the user's like any other.
    QVERIFY(buffer.textDocument()->isUndoRedoEnabled());
}

void tst_Colorize::recolouringAndLoadingDuringBackgroundColouring()
{
    const TSettings settings = letterSettings();
    HtmlDocument reference;
    reference.loadText(longPage());
    ColorizeDocument(reference, settings, {});

    HtmlDocument buffer;
    EditorBuffer view(buffer);
    view.show();
    buffer.loadText(longPage());
    ColorizeDocumentInBackground(buffer, settings, {});
    // F10 meanwhile colours everything at once and nothing is left to come.
    ColorizeDocument(buffer, settings, {});
    QVERIFY(!buffer.backgroundColouringPending());
    QCOMPARE(paintBuffer(buffer, settings), paintBuffer(reference, settings));

    // A new text drops the colours that were still to come.
    ColorizeDocumentInBackground(buffer, settings, {});
    buffer.loadText(u"abc"_s);
    QVERIFY(!buffer.backgroundColouringPending());
    QCOMPARE(buffer.GetText(), u"abc"_s);

    // The text to save is the page whatever is still to be coloured, and a window closed
    // meanwhile takes its slices with it.
    auto closing = std::make_unique<HtmlDocument>();
    closing->loadText(longPage());
    ColorizeDocumentInBackground(*closing, settings, {});
    QVERIFY(closing->backgroundColouringPending());
    QCOMPARE(closing->GetText(), longPage());
    closing.reset();
    QTest::qWait(20);
}

void tst_Colorize::prescannedColoursFitTheLoadedText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF") << u"<P>a\r\n<B>b</B>\r\n"_s;
    QTest::newRow("lone LF") << u"<P>a\n<B>b</B>"_s;
    QTest::newRow("lone CR") << u"<P>a\r<B>b</B>\r"_s;
    QTest::newRow("line separator") << u"<P>a\u2028<B>b</B>"_s;
    QTest::newRow("paragraph separator in a tag") << u"<A HREF=x\u2029y>a</A>"_s;
    QTest::newRow("empty") << QString();
}

void tst_Colorize::prescannedColoursFitTheLoadedText()
{
    QFETCH(QString, text);
    HtmlDocument buffer;
    buffer.loadText(text);
    const PrescannedColours prescanned = prescanColours(text, colors);
    QCOMPARE(prescanned.textLength, buffer.textLength());
    QVERIFY(prescanned.runs == ColorizeScan(buffer.GetText(), colors));
}

void tst_Colorize::colouringOfAnotherTextIsNotUsed()
{
    const TSettings settings = letterSettings();
    HtmlDocument buffer;
    buffer.loadText(u"<B>x</B> y"_s);
    ColorizeDocumentInBackground(buffer, settings, {},
                                 prescanColours(u"<B>xx</B> y"_s, SyntaxColors::fromSettings(settings)));
    QTRY_VERIFY(!buffer.backgroundColouringPending());
    QCOMPARE(paintBuffer(buffer, settings), u"tttxttttxx"_s);
}

BRISKO_TEST_MAIN(tst_Colorize)
#include "tst_colorize.moc"
