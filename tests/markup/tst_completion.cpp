#include "support/TestMain.h"

#include "app/ProgramDir.h"
#include "markup/Completion.h"
#include "markup/TextFile.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(CompletionKind)

// What the completion list offers where the caret ("|") stands.
class TestCompletion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void context_data();
    void context();
    void offered_data();
    void offered();
    void shippedTrees();
};

void TestCompletion::context_data()
{
    QTest::addColumn<QString>("marked");
    QTest::addColumn<CompletionKind>("kind");
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QString>("prefix");

    // Element names
    QTest::newRow("afterLessThan") << u"a <|"_s << CompletionKind::Element << QString() << QString() << QString();
    QTest::newRow("partOfName") << u"<ta|"_s << CompletionKind::Element << QString() << QString() << u"ta"_s;
    QTest::newRow("endTagName") << u"<p></p|"_s << CompletionKind::Element << QString() << QString() << u"p"_s;
    // Attribute names
    QTest::newRow("afterName") << u"<td |"_s << CompletionKind::Attribute << u"td"_s << QString() << QString();
    QTest::newRow("partOfAttribute") << u"<TD WIDTH=5 al|"_s << CompletionKind::Attribute << u"TD"_s << QString() << u"al"_s;
    QTest::newRow("afterQuotedValue") << u"<a href=\"x y\" t|"_s << CompletionKind::Attribute << u"a"_s << QString() << u"t"_s;
    QTest::newRow("afterFlag") << u"<input checked |"_s << CompletionKind::Attribute << u"input"_s << QString() << QString();
    // Values
    QTest::newRow("quotedValue") << u"<input type=\"ch|"_s << CompletionKind::Value << u"input"_s << u"type"_s << u"ch"_s;
    QTest::newRow("unquotedValue") << u"<TD ALIGN=ce|"_s << CompletionKind::Value << u"TD"_s << u"ALIGN"_s << u"ce"_s;
    QTest::newRow("emptyValue") << u"<a target='|"_s << CompletionKind::Value << u"a"_s << u"target"_s << QString();
    QTest::newRow("blankInValue") << u"<a title=\"two wo|"_s << CompletionKind::Value << u"a"_s << u"title"_s << u"two wo"_s;
    // Nothing to offer
    QTest::newRow("betweenTags") << u"<p>te|"_s << CompletionKind::None << QString() << QString() << QString();
    QTest::newRow("inComment") << u"<!-- <ta|"_s << CompletionKind::None << QString() << QString() << QString();
    QTest::newRow("inScript") << u"<script>if (a <b|"_s << CompletionKind::None << QString() << QString() << QString();
    QTest::newRow("endTagAttributes") << u"</p |"_s << CompletionKind::None << QString() << QString() << QString();
    QTest::newRow("lessThanBlank") << u"a < |"_s << CompletionKind::None << QString() << QString() << QString();
}

void TestCompletion::context()
{
    QFETCH(QString, marked);
    QFETCH(CompletionKind, kind);
    QFETCH(QString, element);
    QFETCH(QString, attribute);
    QFETCH(QString, prefix);
    const qsizetype caret = marked.indexOf(u'|');
    const QString text = QString(marked).remove(u'|');
    const CompletionContext found = completionContextAt(text, caret);
    QCOMPARE(found.kind, kind);
    QCOMPARE(found.element, element);
    QCOMPARE(found.attribute, attribute);
    QCOMPARE(found.prefix, prefix);
    if (kind != CompletionKind::None)
        QCOMPARE(text.sliced(found.prefixStart, caret - found.prefixStart), prefix);
}

void TestCompletion::offered_data()
{
    QTest::addColumn<QString>("marked");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("elements") << u"<t|"_s << QStringList{u"TABLE"_s, u"TD"_s};
    QTest::newRow("attributesOfTheElementThenGlobal") << u"<td |"_s << QStringList{u"ALIGN"_s, u"WIDTH"_s, u"DIR"_s};
    QTest::newRow("globalValues") << u"<td dir=|"_s << QStringList{u"ltr"_s, u"rtl"_s};
    QTest::newRow("attributesFiltered") << u"<TABLE b|"_s << QStringList{u"BORDER"_s};
    QTest::newRow("values") << u"<td align=\"c|"_s << QStringList{u"center"_s};
    QTest::newRow("unknownElement") << u"<blink |"_s << QStringList{};
}

void TestCompletion::offered()
{
    QFETCH(QString, marked);
    QFETCH(QStringList, items);
    const TreeFileResult tree = parseTreeText(u"Globální atributy\n\tDIR=\",\"\n\t\tltr\n\t\trtl\n<TABLE>,</TABLE>\n\tBORDER=\",\"\n\tWIDTH=\",\"\n"
                                              u"<TD>,</TD>\n\tALIGN=\",\"\n\t\tleft\n\t\tcenter\n\t\tright\n\tWIDTH=\",\"\n"_s,
                                              [](int, const QString &) { return u"bad"_s; });
    QVERIFY(tree.ok());
    const TagVocabulary vocabulary = TagVocabulary::fromTree(tree.nodes);
    const qsizetype caret = marked.indexOf(u'|');
    const QString text = QString(marked).remove(u'|');
    QCOMPARE(vocabulary.offered(completionContextAt(text, caret)), items);
}

// The tag trees the program ships read whole, and offer what HTML5 pages are made of.
void TestCompletion::shippedTrees()
{
    const auto read = [](const QString &name) {
        const TextFileResult file = readTextFile(programDir() + u"data/"_s + name);
        return parseTreeText(file.text, [](int, const QString &text) { return u"bad level: "_s + text; });
    };
    const TreeFileResult html4 = read(u"html4.dat"_s);
    QVERIFY2(html4.ok(), qPrintable(html4.error));
    QVERIFY(TagVocabulary::fromTree(html4.nodes).attributes(u"table", {}).contains(u"BORDER"_s));

    const TreeFileResult html5 = read(u"html5.dat"_s);
    QVERIFY2(html5.ok(), qPrintable(html5.error));
    const TagVocabulary vocabulary = TagVocabulary::fromTree(html5.nodes);
    for (const QString &element : {u"header"_s, u"nav"_s, u"main"_s, u"video"_s, u"picture"_s, u"details"_s})
        QVERIFY2(vocabulary.elements(element).contains(element), qPrintable(element));
    QCOMPARE(vocabulary.values(u"input", u"type", u"e"), QStringList{u"email"_s});
    QVERIFY(vocabulary.attributes(u"video", u"c").contains(u"controls"_s));
    QVERIFY(vocabulary.attributes(u"img", {}).contains(u"loading"_s));
    QVERIFY(vocabulary.attributes(u"img", {}).contains(u"class"_s)); // a global attribute
}

BRISKO_TEST_MAIN(TestCompletion)
#include "tst_completion.moc"
