#include "editor/Colorize.h"
#include "editor/EditorBuffer.h"
#include "editor/HtmlDocument.h"
#include "settings/TSettings.h"
#include "support/TestMain.h"

#include <QClipboard>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// One letter per colour, so an expected colouring reads like the text under it: text, tag,
// image, link, script, style; the style sheet's selectors, properties, values, comments; the
// script's keywords, strings, numbers, comments.
const SyntaxColors colors{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
constexpr char16_t letters[] = u"?xtilsySPVCKQNM";

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
    settings.CssSelector = 0x000080;
    settings.CssProperty = 0x800000;
    settings.CssValue = 0x808000;
    settings.CssComment = 0x008080;
    settings.JsKeyword = 0x800080;
    settings.JsString = 0x000040;
    settings.JsNumber = 0x404000;
    settings.JsComment = 0x004000;
    return settings;
}

// The settings' colour of each letter.
std::array<ColorValue, 15> letterColours(const TSettings &s)
{
    return {-1, s.TEXT, s.TAG, s.IMAGE, s.LINK, s.SCRIPT, s.STYLE, s.CssSelector,
            s.CssProperty, s.CssValue, s.CssComment, s.JsKeyword, s.JsString, s.JsNumber,
            s.JsComment};
}

// The colour of every character of the buffer, as letters.
QString paintBuffer(const HtmlDocument &buffer, const TSettings &s)
{
    const auto byLetter = letterColours(s);
    QString painted;
    for (int i = 0; i < buffer.textLength(); ++i) {
        const auto found = std::find(byLetter.begin() + 1, byLetter.end(), buffer.colorAt(i));
        painted += found == byLetter.end() ? u'?' : letters[found - byLetter.begin()];
    }
    return painted;
}

// The letters of a whole page's scan, as the buffer shows them: a line break carries no
// colour of its own, so it shows as the character before it.
QString paintScannedBuffer(const HtmlDocument &buffer, const TSettings &settings)
{
    const QString text = buffer.GetText();
    QString painted = paint(ColorizeScan(text, colors));
    const QString shown = paintBuffer(buffer, settings);
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n')
            painted[i] = shown[i];
    }
    return painted;
}

// The letters of a scanned golden page, one line of letters for each line of the page.
QStringList paintLines(const QString &page)
{
    const QString painted = paint(ColorizeScan(page, colors));
    QStringList lines;
    qsizetype start = 0;
    while (start < page.size()) {
        qsizetype end = page.indexOf(u"\r\n"_s, start);
        if (end < 0)
            end = page.size();
        lines << painted.mid(start, end - start);
        start = end + 2;
    }
    return lines;
}

// Types keys into the view: "\b" stands for Backspace, "\x7f" for Delete, "\x16" for
// Ctrl+V and "\x01" for the frame's paste command, which the view does not see.
void typeKeys(EditorBuffer &view, const QString &keys)
{
    for (const QChar key : keys) {
        if (key == u'\b')
            QTest::keyClick(&view, Qt::Key_Backspace);
        else if (key == u'\x7f')
            QTest::keyClick(&view, Qt::Key_Delete);
        else if (key == u'\x16')
            QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
        else if (key == u'\x01')
            view.htmlDocument().PasteFromClipboard();
        else
            QTest::keyClicks(&view, QString(key));
    }
}

// A view that colours the code a key changes in the letters' colours.
void colourCodeAsTyped(EditorBuffer &view, const TSettings &settings)
{
    EditorKeyOptions options;
    options.textColor = settings.TEXT;
    options.tagColor = settings.TAG;
    options.codeColors = SyntaxColors::fromSettings(settings);
    view.setKeyOptions(options);
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
    void goldenPagesOfCode_data();
    void goldenPagesOfCode();
    void keyRecoloursTheCodeAroundIt_data();
    void keyRecoloursTheCodeAroundIt();
    void undoTakesBackTheKeyAndItsColours_data();
    void undoTakesBackTheKeyAndItsColours();
    void editDuringBackgroundColouringIsOneUndoStep_data();
    void editDuringBackgroundColouringIsOneUndoStep();
    void recolouringJoinsTheLastEdit();
    void scanOfLongUnbalancedTextStaysLinear();
    void documentIsColouredInPlace();
    void modifiedFlagIsKept_data();
    void modifiedFlagIsKept();
    void statusTextsAndBusyCursor();
    void emptyDocument();
    void backgroundColouringEndsLikeOneStep();
    void keyTypedDuringBackgroundColouringKeepsItsColour();
    void longLinesKeepTheirOneColour_data();
    void longLinesKeepTheirOneColour();
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
    // Inside a block tags are part of the code: here a selector.
    QTest::newRow("styleBlockImage") << u"<STYLE>p{}<IMG SRC=a.gif></STYLE>x"_s
                                     << u"yyyyyyySyySSSSSSSSSSSSSSSyyyyyyyyx"_s;
    QTest::newRow("scriptBlock") << u"<SCRIPT>a<A>b</SCRIPT><B>"_s
                                 << QString(22, u's') + u"ttt"_s;
    // "a<b) x();</SCRIPT>" is one tag named "B)", so the block goes on.
    QTest::newRow("ltInsideScript") << u"<SCRIPT>if (a<b) x();</SCRIPT><B>"_s
                                    << u"ssssssssKK"_s + QString(23, u's');
    // Either end tag ends a block of either kind, in its own colour.
    QTest::newRow("styleEndsScript") << u"<SCRIPT>a</STYLE>b<I>"_s << u"sssssssssyyyyyyyyxttt"_s;
    QTest::newRow("scriptEndsStyle") << u"<STYLE>a</SCRIPT>b"_s << u"yyyyyyySsssssssssx"_s;
    QTest::newRow("endTagOutsideBlock") << u"x</SCRIPT>y"_s << u"xsssssssssx"_s;
    // A ">" inside a comment ends the tag there; the rest of the comment is text.
    QTest::newRow("gtInComment") << u"<!-- a>b -->"_s << u"tttttttxxxxx"_s;
    // A "<" with no ">" after it: the rest is plain text in the current colour.
    QTest::newRow("unclosedLtOutsideBlock") << u"<B>a<B"_s << u"tttxxx"_s;
    QTest::newRow("unclosedLtInBlock") << u"<SCRIPT>a<b"_s << u"sssssssssss"_s;
    // The code of a block, and of a style attribute, by its parts.
    QTest::newRow("styleRule") << u"<STYLE>p { color: red }</STYLE>"_s
                               << u"yyyyyyySSyPPPPPPyVVVVVyyyyyyyyy"_s;
    QTest::newRow("styleCommentRunsToItsEnd") << u"<STYLE>/* a</STYLE>"_s
                                              << u"yyyyyyyCCCCyyyyyyyy"_s;
    QTest::newRow("styleAtRuleHoldsRules") << u"<STYLE>@media x{a{b:c}}"_s
                                           << u"yyyyyyySSSSSSSSySyPyVyy"_s;
    QTest::newRow("styleQuotedSemicolon") << u"<STYLE>a{b:\"c;d\"}"_s
                                          << u"yyyyyyySyPyVVVVVy"_s;
    QTest::newRow("scriptParts") << u"<SCRIPT>if(x==1)'a'//c</SCRIPT>"_s
                                 << u"ssssssssKKssssNsQQQMMMsssssssss"_s;
    QTest::newRow("scriptPropertyIsNoKeyword") << u"<SCRIPT>a.new</SCRIPT>"_s
                                               << QString(22, u's');
    QTest::newRow("scriptStringEndsAtLineEnd") << u"<SCRIPT>'a\r\nb"_s
                                               << u"ssssssssQQsss"_s;
    QTest::newRow("styleAttribute") << u"<P STYLE=\"a:b\">x"_s << u"ttttttttttPyVttx"_s;
    QTest::newRow("styleAttributeUnquoted") << u"<A style=a:b>"_s << u"lllllllllPyVl"_s;
    // Only an attribute named style: not a value, not another name that ends so.
    QTest::newRow("styleInValueIsText") << u"<P TITLE=\" style=a\">"_s << QString(20, u't');
    QTest::newRow("attributeEndingInStyle") << u"<P xstyle=a>"_s << QString(12, u't');
    QTest::newRow("styleAttributeOfEndTag") << u"</P style=a>"_s << QString(12, u't');
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

void tst_Colorize::goldenPagesOfCode_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("css") << u"css"_s;
    QTest::newRow("javascript") << u"javascript"_s;
}

void tst_Colorize::goldenPagesOfCode()
{
    QFETCH(QString, name);
    auto read = [&](const QString &file) {
        QFile f(testDataPath(u"colorize/"_s + name + u'/' + file));
        if (!f.open(QIODevice::ReadOnly))
            return QString();
        return QString::fromUtf8(f.readAll());
    };
    const QString page = read(u"input.html"_s);
    QVERIFY(!page.isEmpty());
    const QStringList expected = read(u"expected.txt"_s).split(u'\n', Qt::SkipEmptyParts);
    const QStringList painted = paintLines(page);
    QCOMPARE(painted.size(), expected.size());
    for (qsizetype line = 0; line < painted.size(); ++line) {
        const QString where = u"line "_s + QString::number(line + 1);
        QVERIFY2(painted[line] == expected[line],
                 qPrintable(where + u": "_s + painted[line] + u" instead of "_s + expected[line]));
    }
}

void tst_Colorize::keyRecoloursTheCodeAroundIt_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("keys"); // "\b" stands for Backspace

    const QString rules = u"<STYLE>\r\np { color: red }\r\nh1 { margin: 0 }\r\n</STYLE><P>x</P>"_s;
    // A state that changes colours on to where it ends, or to the block's end.
    QTest::newRow("commentOpenedInStyle") << rules << 9 << u"/*"_s;
    QTest::newRow("commentClosedInStyle") << u"<STYLE>/* p { color: red } h1 { margin: 0 }</STYLE>"_s
                                          << 26 << u" */"_s;
    QTest::newRow("commentOpenedInScript") << u"<SCRIPT>\r\nvar a = 1;\r\nif (a) b();\r\n</SCRIPT>"_s
                                           << 10 << u"/*"_s;
    QTest::newRow("stringOpenedInScript") << u"<SCRIPT>var a = 1; if (a) b();</SCRIPT>x"_s << 16
                                          << u"\""_s;
    QTest::newRow("keywordTyped") << u"<SCRIPT>x</SCRIPT>"_s << 8 << u"if "_s;
    QTest::newRow("commentRemovedByBackspace") << u"<STYLE>/* p { color: red }</STYLE>"_s << 9
                                               << u"\b\b"_s;
    // Tags that open and close blocks.
    QTest::newRow("startTagCompleted") << u"<STYLE\r\np { color: red }</STYLE>x"_s << 6
                                       << u">"_s;
    QTest::newRow("endTagTypedInBlock") << u"<STYLE>p { } x <B>y</STYLE>z"_s << 12
                                        << u"</STYLE>"_s;
    QTest::newRow("styleAttributeTyped") << u"<P >x</P>"_s << 3 << u"style=\"color: red\""_s;
    QTest::newRow("styleAttributeRenamed") << u"<P style=\"a:b\">x</P>"_s << 8 << u"\b"_s;
}

void tst_Colorize::keyRecoloursTheCodeAroundIt()
{
    QFETCH(QString, page);
    QFETCH(int, caret);
    QFETCH(QString, keys);
    const TSettings settings = letterSettings();
    HtmlDocument buffer;
    EditorBuffer view(buffer);
    colourCodeAsTyped(view, settings);
    buffer.loadText(page);
    ColorizeDocument(buffer, settings, {});
    buffer.SetSelStart(caret);
    typeKeys(view, keys);
    QVERIFY(buffer.GetText() != page);
    // The colours are those of the whole page coloured anew.
    QCOMPARE(paintBuffer(buffer, settings), paintScannedBuffer(buffer, settings));
}

void tst_Colorize::undoTakesBackTheKeyAndItsColours_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("keys"); // as typeKeys reads them
    QTest::addColumn<QString>("clipboard");

    const QString rules = u"<STYLE>\r\np { color: red }\r\nh1 { margin: 0 }\r\n</STYLE><P>x</P>"_s;
    const QString script = u"<SCRIPT>var a = 1;\r\nb();</SCRIPT>"_s;
    // Typed keys.
    QTest::newRow("styleCommentTyped") << rules << 9 << u"/*"_s << QString();
    QTest::newRow("styleAttributeTyped") << u"<P style=\"a:b\">x</P>"_s << 13 << u";c:d"_s
                                         << QString();
    QTest::newRow("scriptStringTyped") << script << 8 << u"\""_s << QString();
    QTest::newRow("scriptKeywordTyped") << script << 8 << u"if "_s << QString();
    QTest::newRow("scriptCommentTyped") << script << 8 << u"/* if */"_s << QString();
    QTest::newRow("scriptLineCommentTyped") << script << 18 << u"// x"_s << QString();
    QTest::newRow("scriptCommentTypedInto") << u"<SCRIPT>/* a */ b();\r\n// c\r\n</SCRIPT>"_s << 12
                                            << u"if x"_s << QString();
    QTest::newRow("scriptCommentOpenedAbove") << u"<SCRIPT>a();\r\nb(); // c\r\nd();</SCRIPT>"_s
                                              << 8 << u"/*"_s << QString();
    // Pasted with Ctrl+V.
    QTest::newRow("stylePasted") << rules << 9 << u"\x16"_s << u"/* a */ b {"_s;
    QTest::newRow("styleAttributePasted") << u"<P >x</P>"_s << 3 << u"\x16"_s
                                          << u"style=\"color: red\""_s;
    QTest::newRow("scriptPasted") << script << 8 << u"\x16"_s << u"'s' // c\r\nnew x;"_s;
    QTest::newRow("stylePastedByCommand") << rules << 9 << u"\x01"_s << u"/* a"_s;
    QTest::newRow("scriptPastedByCommand") << script << 8 << u"\x01"_s << u"\"s"_s;
    // Deleted with Backspace and Delete.
    QTest::newRow("styleCommentBackspaced") << u"<STYLE>/* p { color: red }</STYLE>"_s << 9
                                            << u"\b\b"_s << QString();
    QTest::newRow("styleAttributeRenamedByDelete") << u"<P style=\"a:b\">x</P>"_s << 3
                                                   << u"\x7f"_s << QString();
    QTest::newRow("scriptQuoteDeleted") << u"<SCRIPT>var a = \"1; b();</SCRIPT>"_s << 16
                                        << u"\x7f"_s << QString();
}

void tst_Colorize::undoTakesBackTheKeyAndItsColours()
{
    QFETCH(QString, page);
    QFETCH(int, caret);
    QFETCH(QString, keys);
    QFETCH(QString, clipboard);
    const TSettings settings = letterSettings();
    HtmlDocument buffer;
    EditorBuffer view(buffer);
    colourCodeAsTyped(view, settings);
    if (!clipboard.isEmpty())
        QGuiApplication::clipboard()->setText(clipboard);
    buffer.loadText(page);
    ColorizeDocument(buffer, settings, {});
    QVERIFY(!buffer.textDocument()->isUndoAvailable()); // colours are no step of the user's
    buffer.SetSelStart(caret);
    // Each key leaves a text and its colours: one undo goes back to one of them.
    using Shown = std::pair<QString, QString>;
    QList<Shown> states{{page, paintBuffer(buffer, settings)}};
    for (const QChar key : keys) {
        typeKeys(view, QString(key));
        states.append({buffer.GetText(), paintBuffer(buffer, settings)});
        QCOMPARE(states.last().second, paintScannedBuffer(buffer, settings));
    }
    QVERIFY(states.last() != states.first());
    const Shown typed = states.last();

    // Undo with the editor's own key: never a text with the colours of another.
    qsizetype at = states.size() - 1;
    while (buffer.textDocument()->isUndoAvailable()) {
        QVERIFY(at > 0);
        QTest::keySequence(&view, QKeySequence(QKeySequence::Undo));
        const qsizetype found = states.lastIndexOf({buffer.GetText(), paintBuffer(buffer, settings)}, at - 1);
        QVERIFY2(found >= 0, qPrintable(buffer.GetText() + u" / "_s + paintBuffer(buffer, settings)));
        at = found;
    }
    QCOMPARE(at, 0);
    // Redo puts every edit in again with its colours.
    while (buffer.textDocument()->isRedoAvailable())
        QTest::keySequence(&view, QKeySequence(QKeySequence::Redo));
    QCOMPARE(buffer.GetText(), typed.first);
    QCOMPARE(paintBuffer(buffer, settings), typed.second);
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

    const QString painted = paint(ColorizeScan(text, colors));
    const auto byLetter = letterColours(settings);
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

void tst_Colorize::editDuringBackgroundColouringIsOneUndoStep_data()
{
    QTest::addColumn<QString>("edit"); // keys as typeKeys reads them, or "command"
    QTest::newRow("typedKey") << u"<"_s;
    QTest::newRow("backspace") << u"\b"_s;
    QTest::newRow("pasted") << u"\x16"_s;
    QTest::newRow("command") << u"command"_s;
}

void tst_Colorize::editDuringBackgroundColouringIsOneUndoStep()
{
    QFETCH(QString, edit);
    const TSettings settings = letterSettings();
    HtmlDocument reference;
    reference.loadText(longPage());
    ColorizeDocument(reference, settings, {});

    HtmlDocument buffer;
    EditorBuffer view(buffer);
    colourCodeAsTyped(view, settings);
    view.resize(400, 300);
    view.show();
    const QString page = longPage();
    buffer.loadText(page);
    QGuiApplication::clipboard()->setText(u"<B>x</B>"_s);
    ColorizeDocumentInBackground(buffer, settings, {});
    QVERIFY(buffer.backgroundColouringPending());
    buffer.SetSelStart(int(page.size()) - 6);
    if (edit == u"command")
        buffer.InsertAtCaret(settings.TAG, u"<BR>"_s);
    else
        typeKeys(view, edit);
    QVERIFY(buffer.GetText() != page);
    // The colours came in before the edit, outside the history.
    QVERIFY(!buffer.backgroundColouringPending());
    buffer.Undo();
    QCOMPARE(buffer.GetText(), page);
    QCOMPARE(paintBuffer(buffer, settings), paintBuffer(reference, settings));
    QVERIFY(!buffer.textDocument()->isUndoAvailable());
    QVERIFY(!buffer.IsModified()); // back to the page as read
}

void tst_Colorize::recolouringJoinsTheLastEdit()
{
    const TSettings settings = letterSettings();
    HtmlDocument buffer;
    const QString page = u"<P>a</P>"_s;
    buffer.loadText(page);
    ColorizeDocument(buffer, settings, {});
    const QString before = paintBuffer(buffer, settings);
    buffer.SetSelStart(4);
    buffer.ReplaceSelection(u"<B>"_s); // in the insertion colour, not yet as a tag
    ColorizeDocument(buffer, settings, {});
    const QString recoloured = paintBuffer(buffer, settings);
    QCOMPARE(recoloured, paintScannedBuffer(buffer, settings));
    buffer.Undo();
    QCOMPARE(buffer.GetText(), page);
    QCOMPARE(paintBuffer(buffer, settings), before);
    QVERIFY(!buffer.textDocument()->isUndoAvailable());
    buffer.Redo();
    QCOMPARE(buffer.GetText(), u"<P>a<B></P>"_s);
    QCOMPARE(paintBuffer(buffer, settings), recoloured);
}

void tst_Colorize::longLinesKeepTheirOneColour_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("background");
    QTest::addColumn<bool>("coloured");
    // A line of exactly the limit is still an ordinary line.
    QTest::newRow("at-the-limit-at-once") << HtmlDocument::LongLineLength << false << true;
    QTest::newRow("at-the-limit-in-background") << HtmlDocument::LongLineLength << true << true;
    QTest::newRow("one-longer-at-once") << HtmlDocument::LongLineLength + 1 << false << false;
    QTest::newRow("one-longer-in-background") << HtmlDocument::LongLineLength + 1 << true << false;
    QTest::newRow("megabyte-in-background") << 950'000 << true << false;
}

void tst_Colorize::longLinesKeepTheirOneColour()
{
    QFETCH(int, length);
    QFETCH(bool, background);
    QFETCH(bool, coloured);
    const TSettings settings = letterSettings();
    HtmlDocument buffer;
    EditorBuffer view(buffer);
    view.resize(400, 300);
    view.show();
    QString line;
    while (line.size() < length)
        line += u"<A HREF=\"x.html\">odkaz</A> text "_s;
    line.truncate(length);
    const QString page = u"<P>a\r\n"_s + line + u"\r\n<B>b</B>"_s;
    buffer.SetInsertionColor(settings.IMAGE); // the colour the page is read in
    buffer.loadText(page);
    if (background) {
        ColorizeDocumentInBackground(buffer, settings, {});
        QTRY_VERIFY(!buffer.backgroundColouringPending());
    } else {
        ColorizeDocument(buffer, settings, {});
    }
    QCOMPARE(buffer.GetText(), page);
    QVERIFY(!buffer.IsModified());
    // The lines around are coloured whatever the long one does.
    QCOMPARE(buffer.colorAt(0), settings.TAG);
    QCOMPARE(buffer.colorAt(int(page.size()) - 1), settings.TAG);
    const int lineStart = 6;
    if (coloured) {
        QCOMPARE(buffer.colorAt(lineStart), settings.LINK);
        QCOMPARE(buffer.colorAt(lineStart + 17), settings.TEXT); // "odkaz"
        return;
    }
    for (int i = 0; i < length; i += 997)
        QCOMPARE(buffer.colorAt(lineStart + i), settings.IMAGE);
    QCOMPARE(buffer.colorAt(lineStart + length - 1), settings.IMAGE);
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
