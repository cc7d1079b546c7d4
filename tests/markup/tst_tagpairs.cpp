#include "support/TestMain.h"

#include "markup/TagPairs.h"

using namespace Qt::StringLiterals;

namespace {

// A row's text with its marks taken out: "|" the caret, "[" the expected start tag's "<",
// "]" the expected end tag's "<".
struct Marked
{
    QString text;
    qsizetype caret = -1, start = -1, end = -1;
};

Marked unmark(const QString &marked)
{
    Marked m;
    for (const QChar c : marked) {
        if (c == u'|')
            m.caret = m.text.size();
        else if (c == u'[')
            m.start = m.text.size();
        else if (c == u']')
            m.end = m.text.size();
        else
            m.text += c;
    }
    return m;
}

} // namespace

// The pair of the tag under the caret, and the end tags typing completes.
class TestTagPairs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pair_data();
    void pair();
    void typedStart_data();
    void typedStart();
    void typedSlash_data();
    void typedSlash();
    void stateAfterLine_data();
    void stateAfterLine();
    void markupFromSkipsWhatLiesBefore();
    void caretMark_data();
    void caretMark();
};

void TestTagPairs::pair_data()
{
    QTest::addColumn<QString>("marked");

    // The caret in either tag of a pair
    QTest::newRow("inStartTag") << u"a[<b|>x]</b>"_s;
    QTest::newRow("beforeStartTag") << u"[|<b>x]</b>"_s;
    QTest::newRow("beforeEndTag") << u"[<b>x|]</b>"_s;
    QTest::newRow("inEndTag") << u"[<ul><li>a</li>]</u|l>"_s;
    QTest::newRow("caseDiffers") << u"[<B>x]</b|>"_s;
    QTest::newRow("nestedSameName") << u"[<div><div>a</div>|]</div>"_s;
    QTest::newRow("nestedFromInner") << u"<div>[<div|>a]</div></div>"_s;
    QTest::newRow("selfClosingSameNameIgnored") << u"[<x|><x/>]</x>"_s;
    // What is not markup is skipped on the way
    QTest::newRow("commentOnTheWay") << u"[<b><!-- </b> -->x]</b|>"_s;
    QTest::newRow("commentForward") << u"[<b|><!-- </b> -->x]</b>"_s;
    QTest::newRow("scriptOnTheWay") << u"[<div><script>if (a</div>) x</script>]</div|>"_s;
    QTest::newRow("scriptPair") << u"[<script|>a<b]</script>"_s;
    QTest::newRow("gtInValue") << u"[<a title=\"x>y\"|>t]</a>"_s;
    QTest::newRow("strayCommentEnd") << u"[<p>-->x]</p|>"_s;
    // No pair to show
    QTest::newRow("betweenTags") << u"<b>x|y</b>"_s;
    QTest::newRow("inComment") << u"<!-- <b|>x</b> -->"_s;
    QTest::newRow("inScript") << u"<script>var s = '<b|>'; </script>"_s;
    QTest::newRow("void") << u"<p><br|></p>"_s;
    QTest::newRow("voidWithValue") << u"<img src=a|>"_s;
    QTest::newRow("selfClosing") << u"<x| /></x>"_s;
    QTest::newRow("unclosedStart") << u"<p|>a<p>b</p>"_s;
    QTest::newRow("unopenedEnd") << u"a</p|>"_s;
    QTest::newRow("unfinishedTag") << u"<b x=|"_s;
    QTest::newRow("tagWrittenInValue") << u"<a title=\"<b|>\">x</b>"_s;
}

void TestTagPairs::pair()
{
    QFETCH(QString, marked);
    const Marked m = unmark(marked);
    const std::optional<TagPair> pair = tagPairAt(m.text, m.caret);
    if (m.start < 0) {
        QVERIFY2(!pair, qPrintable(marked));
        return;
    }
    QVERIFY2(pair, qPrintable(marked));
    QCOMPARE(pair->start.start, m.start);
    QCOMPARE(pair->end.start, m.end);
    QCOMPARE(m.text[pair->start.start + pair->start.length - 1], u'>');
    QCOMPARE(m.text[pair->end.start + pair->end.length - 1], u'>');
}

void TestTagPairs::typedStart_data()
{
    QTest::addColumn<QString>("marked");
    QTest::addColumn<QString>("end");

    QTest::newRow("plain") << u"<p>|"_s << u"</p>"_s;
    QTest::newRow("withAttributes") << u"x <div class=\"a\">|y"_s << u"</div>"_s;
    QTest::newRow("caseKept") << u"<P>|"_s << u"</P>"_s;
    // Nothing written
    QTest::newRow("void") << u"<br>|"_s << QString();
    QTest::newRow("selfClosing") << u"<x/>|"_s << QString();
    QTest::newRow("endFollows") << u"<p>|  </P>"_s << QString();
    QTest::newRow("inComment") << u"<!-- <p>| -->"_s << QString();
    QTest::newRow("inScript") << u"<script>if (a <b>|</script>"_s << QString();
    QTest::newRow("inValue") << u"<a title=\"x>|"_s << QString();
    QTest::newRow("startTagInValue") << u"<a title=\"<b>|"_s << QString();
    QTest::newRow("notATag") << u"a >|"_s << QString();
    QTest::newRow("endTag") << u"<p></p>|"_s << QString();
}

void TestTagPairs::typedStart()
{
    QFETCH(QString, marked);
    QFETCH(QString, end);
    const Marked m = unmark(marked);
    QCOMPARE(endTagForTypedStart(m.text, m.caret), end);
}

void TestTagPairs::typedSlash_data()
{
    QTest::addColumn<QString>("marked");
    QTest::addColumn<QString>("completion");

    QTest::newRow("innermost") << u"<div><p>a</|"_s << u"p>"_s;
    QTest::newRow("afterClosedChild") << u"<div><p>a</p></|"_s << u"div>"_s;
    QTest::newRow("voidSkipped") << u"<ul><li>a<br></|"_s << u"li>"_s;
    QTest::newRow("commentSkipped") << u"<div><!-- <p> --></|"_s << u"div>"_s;
    QTest::newRow("scriptSkipped") << u"<div><script><p></script></|"_s << u"div>"_s;
    QTest::newRow("caseKept") << u"<DIV></|"_s << u"DIV>"_s;
    QTest::newRow("allClosed") << u"<b>x</b></|"_s << QString();
    QTest::newRow("inComment") << u"<div><!-- </| -->"_s << QString();
}

void TestTagPairs::typedSlash()
{
    QFETCH(QString, marked);
    QFETCH(QString, completion);
    const Marked m = unmark(marked);
    QCOMPARE(endTagForTypedSlash(m.text, m.caret), completion);
}

// Where the live preview marks the caret: "|" the caret, "[" the expected place (none: no
// place in the body).
void TestTagPairs::caretMark_data()
{
    QTest::addColumn<QString>("marked");

    QTest::newRow("bodyText") << u"<html><body><p>ab[|c</p></body>"_s;
    QTest::newRow("fragment") << u"<p>a[|b</p>"_s;
    QTest::newRow("inStartTag") << u"<body><p>a</p>[<img src=\"x|.png\"></body>"_s;
    QTest::newRow("inEndTag") << u"<body><p>a[</|p></body>"_s;
    QTest::newRow("quotedGreaterThan") << u"<body>[<a title=\"a>b|\">x</a>"_s;
    QTest::newRow("inComment") << u"<body><p>a</p>[<!-- <p>| --></body>"_s;
    QTest::newRow("inScript") << u"<body>[<script>if (a < b) {|}</script>"_s;
    QTest::newRow("inStyle") << u"<BODY>[<STYLE>p { color:| red }</STYLE>"_s;
    QTest::newRow("afterScript") << u"<body><script>x = '<p>';</script>[|text"_s;
    QTest::newRow("lessThanInText") << u"<body>a < b [|c"_s;
    QTest::newRow("inHead") << u"<html><head><title>T|</title></head><body></body>"_s;
    QTest::newRow("inBodyTag") << u"<html><head></head><body bgcolor=|white><p>x"_s;
    QTest::newRow("afterHeadWithoutBody") << u"<html><head><title>T</title></head><p>[|x"_s;
    QTest::newRow("inDoctype") << u"<!DOCTYPE ht|ml><p>x"_s;
}

void TestTagPairs::caretMark()
{
    QFETCH(QString, marked);
    const Marked m = unmark(marked);
    QCOMPARE(caretMarkPlace(m.text, m.caret), m.start);
}

void TestTagPairs::stateAfterLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    const int markup = int(TextState::Markup), comment = int(TextState::Comment);
    const int script = int(TextState::Script), style = int(TextState::Style);

    QTest::newRow("plain") << u"<p>a</p>"_s << markup << markup;
    QTest::newRow("commentOpens") << u"<p><!-- a"_s << markup << comment;
    QTest::newRow("commentCloses") << u"a --> <b>"_s << comment << markup;
    QTest::newRow("commentOpenedAndClosed") << u"<!-- <script> -->"_s << markup << markup;
    QTest::newRow("scriptOpens") << u"<SCRIPT type=x>var a"_s << markup << script;
    QTest::newRow("scriptGoesOn") << u"if (a <!-- b) </p>"_s << script << script;
    QTest::newRow("scriptCloses") << u"x</script><p>"_s << script << markup;
    QTest::newRow("styleOpensAndCloses") << u"<style>p{}</style><!--"_s << markup << comment;
    QTest::newRow("styleGoesOn") << u"p { } </script>"_s << style << style;
    // A start tag that goes on to the next line: what follows counts as its raw text.
    QTest::newRow("scriptTagUnfinished") << u"<script"_s << markup << script;
    QTest::newRow("endTagIsNoStart") << u"</script>"_s << markup << markup;
}

void TestTagPairs::stateAfterLine()
{
    QFETCH(QString, line);
    QFETCH(int, before);
    QFETCH(int, after);
    QCOMPARE(int(textStateAfter(line, TextState(before))), after);
}

void TestTagPairs::markupFromSkipsWhatLiesBefore()
{
    // The caller vouches that the text from markupFrom on is markup: an unclosed comment
    // before it is not read, and the answer is the one the whole text would give from there.
    const QString text = u"<!-- \n<b>x</b>"_s;
    const qsizetype from = text.indexOf(u'\n') + 1;
    QVERIFY(!tagPairAt(text, from + 1));
    const std::optional<TagPair> pair = tagPairAt(text, from + 1, from);
    QVERIFY(pair);
    QCOMPARE(pair->end.start, text.indexOf(u"</b>"));
    QVERIFY(inCommentOrRawText(text, from + 1));
    QVERIFY(!inCommentOrRawText(text, from + 1, from));
}

BRISKO_TEST_MAIN(TestTagPairs)
#include "tst_tagpairs.moc"
