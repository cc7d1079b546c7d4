#include "editor/EditorBuffer.h"
#include "markup/HtmlCheck.h"
#include "markup/TreeFile.h"
#include "support/TestMain.h"

#include <QListWidget>
#include <QTextBlock>

using namespace Qt::StringLiterals;

namespace {

// A row's text with its marks taken out: "|" the caret, "[" and "]" the "<" of the start
// and of the end tag expected to be marked.
struct Marked
{
    QString text;
    int caret = -1, start = -1, end = -1;
};

Marked unmark(const QString &marked)
{
    Marked m;
    for (const QChar c : marked) {
        if (c == u'|')
            m.caret = int(m.text.size());
        else if (c == u'[')
            m.start = int(m.text.size());
        else if (c == u']')
            m.end = int(m.text.size());
        else
            m.text += c;
    }
    return m;
}

// The text with "|" where the caret is.
QString withCaret(const EditorBuffer &buffer)
{
    QString text = buffer.document()->toPlainText();
    return text.insert(buffer.textCursor().position(), u'|');
}

// A small tag tree in the form of the program's own: elements, attributes, values.
std::shared_ptr<const TagVocabulary> testVocabulary()
{
    const QString tree = u"<A>,</A>\n\tHREF=\",\"\n\tTARGET=\",\"\n\t\t_blank\n\t\t_self\n"
                         u"<ABBR>,</ABBR>\n<P>,</P>\n\tALIGN=\",\"\n\t\tleft\n\t\tcenter\n"
                         u"<PRE>,</PRE>\n\tWIDTH=\",\"\n"_s;
    const TreeFileResult read = parseTreeText(tree, [](int, const QString &) { return QString(); });
    return std::make_shared<const TagVocabulary>(TagVocabulary::fromTree(read.nodes));
}

// Keys of a row: text typed as it is, and the names in braces pressed as keys.
void pressKeys(QWidget *widget, const QString &keys)
{
    static const QHash<QString, Qt::Key> named = {
        {u"Enter"_s, Qt::Key_Return}, {u"Tab"_s, Qt::Key_Tab}, {u"Esc"_s, Qt::Key_Escape},
        {u"Down"_s, Qt::Key_Down}, {u"Up"_s, Qt::Key_Up}, {u"Back"_s, Qt::Key_Backspace},
        {u"Del"_s, Qt::Key_Delete}, {u"Left"_s, Qt::Key_Left}, {u"Right"_s, Qt::Key_Right},
    };
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys[i] == u'{') {
            const qsizetype close = keys.indexOf(u'}', i);
            QTest::keyClick(widget, named.value(keys.sliced(i + 1, close - i - 1)));
            i = close;
        } else {
            QTest::keyClicks(widget, QString(keys[i]));
        }
    }
}

} // namespace

class tst_TypingAids : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup()
    {
        m_buffer.reset();
        m_document.reset();
    }

    void pairAtCaretIsMarked_data();
    void pairAtCaretIsMarked();
    void farPairs_data();
    void farPairs();
    void farPartnerIsFoundAndCommentsStillCount();
    void goingToThePartnerAndBack();
    void endTagsAreWrittenAsYouType_data();
    void endTagsAreWrittenAsYouType();
    void renamingTakesThePartnerAlong_data();
    void renamingTakesThePartnerAlong();
    void undoneRenamingLeavesTheCaretWhereTheUserTyped();
    void listOffersNamesThatFit_data();
    void listOffersNamesThatFit();
    void aidsSwitchedOffDoNothing();
    void gutterNumbersAreTheCheckLines();

private:
    void setText(const QString &marked, TypingAidOptions aids = {})
    {
        aids.vocabulary = testVocabulary();
        EditorKeyOptions keys;
        keys.aids = aids;
        m_buffer->setKeyOptions(keys);
        const Marked m = unmark(marked);
        m_document->loadText(m.text);
        // A position of the view: the document's offsets count a line break as two.
        QTextCursor caret(m_buffer->document());
        caret.setPosition(std::max(m.caret, 0));
        m_buffer->setTextCursor(caret);
    }
    std::unique_ptr<HtmlDocument> m_document; // outlives its view
    std::unique_ptr<EditorBuffer> m_buffer;
};

void tst_TypingAids::init()
{
    m_document = std::make_unique<HtmlDocument>();
    m_buffer = std::make_unique<EditorBuffer>(*m_document);
    m_buffer->resize(600, 400);
    m_buffer->show();
}

void tst_TypingAids::pairAtCaretIsMarked_data()
{
    QTest::addColumn<QString>("marked");
    // Either tag of a pair, whatever lies between
    QTest::newRow("inStartTag") << u"a[<b|>x]</b>"_s;
    QTest::newRow("inEndTag") << u"[<ul>\n<li>a</li>\n]</u|l>"_s;
    QTest::newRow("nested") << u"<div>[<div|>a]</div></div>"_s;
    QTest::newRow("acrossLines") << u"[<p\nclass=x|>\n\nb\n]</p>"_s;
    QTest::newRow("commentBetween") << u"[<b>\n<!-- </b>\n -->x]</b|>"_s;
    QTest::newRow("scriptBetween") << u"[<div>\n<script>\nif (a</div>) x\n</script>]</div|>"_s;
    QTest::newRow("gtInValue") << u"[<a title=\"x>y\"|>t]</a>"_s;
    // Nothing marked
    QTest::newRow("betweenTags") << u"<b>x|y</b>"_s;
    QTest::newRow("inComment") << u"<!--\n<b|>x</b>\n-->"_s;
    // The comment opened lines before the tag: the line states carry it.
    QTest::newRow("inCommentFromAbove") << u"<!-- a\nb\n<b|>x</b>\n-->"_s;
    QTest::newRow("inScriptFromAbove") << u"<script>\nvar s =\n'<b|>x</b>';\n</script>"_s;
    QTest::newRow("void") << u"<p><br|></p>"_s;
    QTest::newRow("unclosed") << u"<p|>a<p>b</p>"_s;
    QTest::newRow("unopened") << u"a</p|>"_s;
}

void tst_TypingAids::pairAtCaretIsMarked()
{
    QFETCH(QString, marked);
    setText(marked);
    const Marked m = unmark(marked);
    m_buffer->typingAids().updatePairMarks();
    const std::optional<TagPair> pair = m_buffer->typingAids().markedPair();
    const QList<QTextEdit::ExtraSelection> marks = m_buffer->marks(EditorBuffer::MarkLayer::TagPair);
    if (m.start < 0) {
        QVERIFY(!pair);
        QVERIFY(marks.isEmpty());
        return;
    }
    QVERIFY(pair);
    QCOMPARE(pair->start.start, m.start);
    QCOMPARE(pair->end.start, m.end);
    QCOMPARE(marks.size(), 2);
    QCOMPARE(marks[0].cursor.selectedText().replace(QChar::ParagraphSeparator, u'\n'),
             m.text.sliced(m.start, pair->start.length));
    QVERIFY(marks[1].cursor.selectedText().startsWith(u"</"));
    QVERIFY(m_buffer->extraSelections().size() == 2);
}

void tst_TypingAids::farPairs_data()
{
    // More text between the tags than the aids read around the caret at first.
    const QString rows = u"<tr><td>x</td></tr>\n"_s.repeated(2000);
    QTest::addColumn<QString>("marked");
    QTest::newRow("endFarBelow") << u"[<div|>"_s + rows + u"]</div>"_s;
    QTest::newRow("startFarAbove") << u"[<div>"_s + rows + u"]</d|iv>"_s;
    QTest::newRow("commentedEndSkipped") << u"[<div|>"_s + rows + u"<!-- </div> -->"_s + rows + u"]</div>"_s;
    QTest::newRow("nestedFar") << u"<div>[<div|>"_s + rows + u"<div></div>]</div></div>"_s;
    QTest::newRow("neverClosed") << u"<p|>"_s + rows;
    QTest::newRow("onlyALongerNameClosed") << u"<p|>"_s + rows + u"<pre></pre>"_s;
}

void tst_TypingAids::farPairs()
{
    QFETCH(QString, marked);
    setText(marked);
    const Marked m = unmark(marked);
    const std::optional<TagPair> pair = m_buffer->typingAids().pairAt(m.caret);
    if (m.start < 0) {
        QVERIFY(!pair);
        return;
    }
    QVERIFY(pair);
    QCOMPARE(pair->start.start, m.start);
    QCOMPARE(pair->end.start, m.end);
}

void tst_TypingAids::farPartnerIsFoundAndCommentsStillCount()
{
    // Far beyond the stretch read first: the partner is looked for further, and a comment
    // opened far above still hides the tags inside it.
    const QString rows = u"<tr><td>x</td></tr>\n"_s.repeated(3000);
    setText(u"<table>\n"_s + rows + u"</table>|\n<!--\n"_s + rows + u"<b>x</b>\n-->"_s);
    TypingAids &aids = m_buffer->typingAids();
    const int caret = m_buffer->textCursor().position();
    const std::optional<TagPair> pair = aids.pairAt(caret - 1);
    QVERIFY(pair);
    QCOMPARE(pair->start.start, 0);
    const int hidden = int(m_buffer->document()->toPlainText().lastIndexOf(u"<b>"));
    QVERIFY(!aids.pairAt(hidden + 1));
    // An edit far above ends the comment right after its "<!--": the tags below it pair again.
    QTextCursor c(m_buffer->document());
    c.setPosition(caret + int(u"\n<!--"_s.size()));
    c.insertText(u"-->"_s);
    QVERIFY(aids.pairAt(hidden + 4));
}

void tst_TypingAids::goingToThePartnerAndBack()
{
    setText(u"<ul>\n<li>a</li>\n</u|l>"_s);
    QVERIFY(m_buffer->goToPartnerTag());
    QCOMPARE(withCaret(*m_buffer), u"<|ul>\n<li>a</li>\n</ul>"_s);
    QVERIFY(m_buffer->goToPartnerTag());
    QCOMPARE(withCaret(*m_buffer), u"<ul>\n<li>a</li>\n<|/ul>"_s);
    setText(u"<br|>"_s);
    QVERIFY(!m_buffer->goToPartnerTag());
}

void tst_TypingAids::endTagsAreWrittenAsYouType_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("afterUndo"); // one undo takes back what the editor wrote

    QTest::newRow("start") << u"|"_s << u"<p>"_s << u"<p>|</p>"_s << u"<p>|"_s;
    QTest::newRow("withValue") << u"x|"_s << u"<a href=\"y\">"_s << u"x<a href=\"y\">|</a>"_s
                               << u"x<a href=\"y\">|"_s;
    QTest::newRow("slash") << u"<div>\n<p>a|"_s << u"</"_s << u"<div>\n<p>a</p>|"_s << u"<div>\n<p>a</|"_s;
    QTest::newRow("slashAfterClosed") << u"<div><p>a</p>|"_s << u"</"_s << u"<div><p>a</p></div>|"_s
                                      << u"<div><p>a</p></|"_s;
    // Nothing written
    QTest::newRow("void") << u"|"_s << u"<br>"_s << u"<br>|"_s << u"|"_s;
    QTest::newRow("endFollows") << u"|</p>"_s << u"<p>"_s << u"<p>|</p>"_s << u"|</p>"_s;
    QTest::newRow("inComment") << u"<!-- |"_s << u"<p>"_s << u"<!-- <p>|"_s << u"<!-- |"_s;
    QTest::newRow("inScript") << u"<script>\nif (a |"_s << u"<b>"_s << u"<script>\nif (a <b>|"_s
                              << u"<script>\nif (a |"_s;
    QTest::newRow("inValue") << u"<a title=\"|"_s << u"<b>"_s << u"<a title=\"<b>|"_s
                             << u"<a title=\"|"_s;
    QTest::newRow("allClosed") << u"<b>x</b>|"_s << u"</"_s << u"<b>x</b></|"_s << u"<b>x</b>|"_s;
}

void tst_TypingAids::endTagsAreWrittenAsYouType()
{
    QFETCH(QString, before);
    QFETCH(QString, keys);
    QFETCH(QString, after);
    QFETCH(QString, afterUndo);
    TypingAidOptions aids;
    aids.closeTags = true;
    aids.completion = false;
    setText(before, aids);
    pressKeys(m_buffer.get(), keys);
    QCOMPARE(withCaret(*m_buffer), after);
    m_buffer->Undo();
    QCOMPARE(m_buffer->document()->toPlainText(), unmark(afterUndo).text);
}

void tst_TypingAids::renamingTakesThePartnerAlong_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("after");

    QTest::newRow("typeInStart") << u"<p|>a</p>"_s << u"re"_s << u"<pre|>a</pre>"_s;
    QTest::newRow("typeInEnd") << u"<b>a</b|>"_s << u"r"_s << u"<br>a</br|>"_s;
    QTest::newRow("typeBeforeName") << u"<|b>x</b>"_s << u"a"_s << u"<a|b>x</ab>"_s;
    QTest::newRow("backspace") << u"<pre|>\n</pre>"_s << u"{Back}{Back}"_s << u"<p|>\n</p>"_s;
    QTest::newRow("delete") << u"<div>\n<b>x</b>\n</|div>"_s << u"{Del}{Del}a"_s
                            << u"<av>\n<b>x</b>\n</a|v>"_s;
    QTest::newRow("multiLineStart") << u"<a\nhref=x>\nt</a|>"_s << u"bbr"_s
                                    << u"<abbr\nhref=x>\nt</abbr|>"_s;
    // The name alone is renamed: not the "<", not an attribute, not a tag without partner
    QTest::newRow("attribute") << u"<p |>a</p>"_s << u"x"_s << u"<p x|>a</p>"_s;
    QTest::newRow("backspaceOverLt") << u"<|p>a</p>"_s << u"{Back}"_s << u"|p>a</p>"_s;
    QTest::newRow("unclosed") << u"<p|>a"_s << u"re"_s << u"<pre|>a"_s;
    QTest::newRow("lastLetterStays") << u"<b|>a</b>"_s << u"{Back}"_s << u"<|>a</b>"_s;
}

void tst_TypingAids::renamingTakesThePartnerAlong()
{
    QFETCH(QString, before);
    QFETCH(QString, keys);
    QFETCH(QString, after);
    TypingAidOptions aids;
    aids.completion = false;
    setText(before, aids);
    pressKeys(m_buffer.get(), keys);
    QCOMPARE(withCaret(*m_buffer), after);
    // Each key's renaming is undone in one step, both tags at once.
    while (m_buffer->document()->isUndoAvailable())
        m_buffer->Undo();
    QCOMPARE(m_buffer->document()->toPlainText(), unmark(before).text);
}

void tst_TypingAids::undoneRenamingLeavesTheCaretWhereTheUserTyped()
{
    // The partner is far up the page; the view must not jump to the page's first line.
    QString page = u"<div>\n"_s;
    for (int i = 0; i < 300; ++i)
        page += u"text\n"_s;
    TypingAidOptions aids;
    aids.completion = false;
    setText(page + u"</di|v>"_s, aids);
    pressKeys(m_buffer.get(), u"x"_s);
    QCOMPARE(withCaret(*m_buffer), page.replace(u"<div>"_s, u"<dixv>"_s) + u"</dix|v>"_s);
    m_buffer->Undo(); // the start tag's renaming
    QCOMPARE(m_buffer->textCursor().blockNumber(), 301);
}

void tst_TypingAids::listOffersNamesThatFit_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("offered"); // empty: no list shown
    QTest::addColumn<QString>("after");       // after the keys and a last key, if given
    QTest::addColumn<QString>("lastKey");

    // What is offered where
    QTest::newRow("elements") << u"x|"_s << u"<"_s << QStringList{u"A"_s, u"ABBR"_s, u"P"_s, u"PRE"_s}
                              << u"x<|"_s << QString();
    QTest::newRow("typingFilters") << u"|"_s << u"<a"_s << QStringList{u"A"_s, u"ABBR"_s}
                                   << u"<a|"_s << QString();
    QTest::newRow("attributes") << u"<p|"_s << u" "_s << QStringList{u"ALIGN"_s} << u"<p |"_s
                                << QString();
    QTest::newRow("values") << u"<a href=\"y\" target|"_s << u"=\""_s
                            << QStringList{u"_blank"_s, u"_self"_s} << u"<a href=\"y\" target=\"|"_s
                            << QString();
    // Taking and leaving the list
    QTest::newRow("enterTakes") << u"|"_s << u"<ab"_s << QStringList{u"ABBR"_s} << u"<ABBR|"_s
                                << u"Enter"_s;
    QTest::newRow("tabTakesCurrent") << u"|"_s << u"<"_s << QStringList{u"A"_s, u"ABBR"_s, u"P"_s, u"PRE"_s}
                                     << u"<ABBR|"_s << u"Down,Tab"_s;
    QTest::newRow("valueTaken") << u"<a target=|"_s << u"\"_s"_s << QStringList{u"_self"_s}
                                << u"<a target=\"_self|"_s << u"Enter"_s;
    QTest::newRow("newListStartsAtTheTop") << u"|"_s << u"<ab{Enter}><"_s
                                           << QStringList{u"A"_s, u"ABBR"_s, u"P"_s, u"PRE"_s}
                                           << u"<ABBR><A|"_s << u"Enter"_s;
    QTest::newRow("endTagOffersTheOpenElement") << u"<p><a>x</a>|"_s << u"</"_s
                                                << QStringList{u"A"_s, u"ABBR"_s, u"P"_s, u"PRE"_s}
                                                << u"<p><a>x</a></P|"_s << u"Enter"_s;
    QTest::newRow("escapeCloses") << u"|"_s << u"<p"_s << QStringList{u"P"_s, u"PRE"_s}
                                  << u"<p|"_s << u"Esc"_s;
    // Keys meant for the text reach the text
    QTest::newRow("enterWithoutList") << u"<p>|"_s << u"a"_s << QStringList() << u"<p>a\n|"_s
                                      << u"Enter"_s;
    QTest::newRow("noMatchCloses") << u"|"_s << u"<q"_s << QStringList() << u"<q|"_s << QString();
    QTest::newRow("wholeNameCloses") << u"|"_s << u"<pre"_s << QStringList() << u"<pre|"_s << QString();
    QTest::newRow("tagClosed") << u"|"_s << u"<p>"_s << QStringList() << u"<p>|"_s << QString();
    QTest::newRow("inComment") << u"<!-- |"_s << u"<"_s << QStringList() << u"<!-- <|"_s << QString();
    QTest::newRow("inScript") << u"<script>\nx |"_s << u"<"_s << QStringList() << u"<script>\nx <|"_s
                              << QString();
}

void tst_TypingAids::listOffersNamesThatFit()
{
    QFETCH(QString, before);
    QFETCH(QString, keys);
    QFETCH(QStringList, offered);
    QFETCH(QString, after);
    QFETCH(QString, lastKey);
    TypingAidOptions aids;
    aids.closeTags = false;
    setText(before, aids);
    pressKeys(m_buffer.get(), keys);
    TypingAids &list = m_buffer->typingAids();
    QCOMPARE(list.listItems(), offered);
    QCOMPARE(list.listShown(), !offered.isEmpty());
    // Every name fits in the list, the widest too.
    const auto *names = m_buffer->findChild<QListWidget *>(u"CompletionList"_s);
    if (list.listShown())
        QVERIFY(names->viewport()->width() >= names->sizeHintForColumn(0));
    for (const QString &key : lastKey.split(u',', Qt::SkipEmptyParts))
        pressKeys(m_buffer.get(), u'{' + key + u'}');
    QCOMPARE(withCaret(*m_buffer), after);
    if (!lastKey.isEmpty())
        QVERIFY(!list.listShown());
}

void tst_TypingAids::aidsSwitchedOffDoNothing()
{
    TypingAidOptions off;
    off.lineNumbers = off.tagPairs = off.closeTags = off.renamePairs = off.completion = false;
    setText(u"<b>x</b|>"_s, off);
    m_buffer->typingAids().updatePairMarks();
    QVERIFY(m_buffer->marks(EditorBuffer::MarkLayer::TagPair).isEmpty());
    QVERIFY(!m_buffer->gutterShown());
    QVERIFY(!m_buffer->findChild<QWidget *>(u"LineNumbers"_s)->isVisible());
    pressKeys(m_buffer.get(), u"r"_s);
    QCOMPARE(withCaret(*m_buffer), u"<b>x</br|>"_s);
    pressKeys(m_buffer.get(), u"{Right}<p><"_s);
    QCOMPARE(withCaret(*m_buffer), u"<b>x</br><p><|"_s);
    QVERIFY(!m_buffer->typingAids().listShown());
}

void tst_TypingAids::gutterNumbersAreTheCheckLines()
{
    // The check's line of each finding is the number the gutter shows beside it.
    setText(u"<!DOCTYPE html>\n<html><head><title>t</title></head>\n<body>\n\n<p>a\n"
            u"<b>x\n</body></html>|"_s);
    QVERIFY(m_buffer->gutterShown());
    const QList<HtmlMessage> found = checkHtml(m_document->GetText());
    QVERIFY(!found.isEmpty());
    for (const HtmlMessage &message : found) {
        const QTextBlock block = m_buffer->document()->findBlockByNumber(message.line - 1);
        QVERIFY2(block.isValid(), qPrintable(describeHtmlMessage(message)));
        m_buffer->setTextCursor(QTextCursor(block));
        m_buffer->ensureCursorVisible();
        const QRect caret = m_buffer->cursorRect();
        QCOMPARE(m_buffer->gutterLineAt(caret.center().y()), message.line);
        QVERIFY(message.column <= block.length());
    }
    const auto *gutter = m_buffer->findChild<QWidget *>(u"LineNumbers"_s);
    QVERIFY(gutter->isVisible());
    QCOMPARE(gutter->width(), m_buffer->viewport()->x() - m_buffer->contentsRect().x());
}

BRISKO_TEST_MAIN(tst_TypingAids)
#include "tst_typingaids.moc"
