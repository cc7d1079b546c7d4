#include "support/TestMain.h"

#include "markup/TreeFile.h"

#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

// The reader of the indented tree files behind the tag tree and the script builder.
class TestTreeFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parsesDepthsAndParents_data();
    void parsesDepthsAndParents();
    void levelErrorUsesCallersText();
};

namespace {

// Nodes written as "depth:text:parent", one per node, for readable table rows.
QStringList describe(const QList<TreeFileNode> &nodes)
{
    QStringList out;
    for (const TreeFileNode &n : nodes)
        out << u"%1:%2:%3"_s.arg(n.depth).arg(n.text).arg(n.parent);
    return out;
}

QString tagTreeError(int depth, const QString &text)
{
    return u"Invalid level (%1) for item \"%2\""_s.arg(depth).arg(text);
}

} // namespace

void TestTreeFile::parsesDepthsAndParents_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("nodes");
    QTest::addColumn<QString>("error");

    // Well-formed files
    QTest::newRow("siblings") << u"a\r\nb"_s << QStringList{u"0:a:-1"_s, u"0:b:-1"_s} << QString();
    QTest::newRow("tagAndParameter") << u"<B>,</B>\r\n\tALIGN="_s
                                     << QStringList{u"0:<B>,</B>:-1"_s, u"1:ALIGN=:0"_s} << QString();
    QTest::newRow("blanksCountLikeTabs")
        << u"a\r\n b\r\n  c\r\n\t\td"_s
        << QStringList{u"0:a:-1"_s, u"1:b:0"_s, u"2:c:1"_s, u"2:d:1"_s} << QString();
    // A shallower line hangs under the parent of the nearest earlier node of its depth.
    QTest::newRow("backTwoLevels")
        << u"a\r\n\tb\r\n\t\tc\r\n\td\r\ne"_s
        << QStringList{u"0:a:-1"_s, u"1:b:0"_s, u"2:c:1"_s, u"1:d:0"_s, u"0:e:-1"_s} << QString();
    QTest::newRow("textKeepsInnerAndTrailingBlanks")
        << u"new Date(year, month) \r\n\tx y"_s
        << QStringList{u"0:new Date(year, month) :-1"_s, u"1:x y:0"_s} << QString();
    QTest::newRow("lfAndCrLineEnds") << u"a\n\tb\rc"_s
                                     << QStringList{u"0:a:-1"_s, u"1:b:0"_s, u"0:c:-1"_s} << QString();
    // The first line is a top-level node however it is indented.
    QTest::newRow("indentedFirstLine") << u"\t\ta\r\n\tb"_s
                                       << QStringList{u"0:a:-1"_s, u"1:b:0"_s} << QString();
    QTest::newRow("emptyFile") << QString() << QStringList{} << QString();

    // Lines that are no nodes
    QTest::newRow("endOfFileMarkLine") << u"a\r\n\tb\r\n\x1A"_s
                                       << QStringList{u"0:a:-1"_s, u"1:b:0"_s} << QString();
    QTest::newRow("endOfFileMarkThenLineBreak") << u"a\r\n\x1A\r\n"_s
                                                << QStringList{u"0:a:-1"_s} << QString();
    // Blank lines would be nameless nodes at a guessed depth; they are left out.
    QTest::newRow("blankLines") << u"a\r\n\r\n\tb\r\n \t \r\n\t\tc\r\n"_s
                                << QStringList{u"0:a:-1"_s, u"1:b:0"_s, u"2:c:1"_s} << QString();
    // A blank line between does not excuse a jump of two levels.
    QTest::newRow("blankLineBeforeJump") << u"a\r\n\r\n\t\tb"_s << QStringList{u"0:a:-1"_s}
                                         << u"Invalid level (2) for item \"b\""_s;

    // Level errors keep what was read before them
    QTest::newRow("deeperByTwo") << u"a\r\n\t\tb\r\nc"_s << QStringList{u"0:a:-1"_s}
                                 << u"Invalid level (2) for item \"b\""_s;
    QTest::newRow("deeperByTwoLater")
        << u"a\r\n\tb\r\n\t\t\tc\r\nd"_s << QStringList{u"0:a:-1"_s, u"1:b:0"_s}
        << u"Invalid level (3) for item \"c\""_s;
    QTest::newRow("tabAndBlankMakeTwoLevels") << u"a\r\n\t b"_s << QStringList{u"0:a:-1"_s}
                                              << u"Invalid level (2) for item \"b\""_s;
}

void TestTreeFile::parsesDepthsAndParents()
{
    QFETCH(QString, text);
    QFETCH(QStringList, nodes);
    QFETCH(QString, error);
    const TreeFileResult result = parseTreeText(text, tagTreeError);
    QCOMPARE(describe(result.nodes), nodes);
    QCOMPARE(result.error, error);
    QCOMPARE(result.ok(), error.isEmpty());
}

void TestTreeFile::levelErrorUsesCallersText()
{
    int calls = 0;
    const auto scripterError = [&calls](int, const QString &) {
        ++calls;
        return u"Invalid item level assignment"_s;
    };
    QCOMPARE(parseTreeText(u"a\r\n\tb\r\nc"_s, scripterError).error, QString());
    QCOMPARE(calls, 0);
    QCOMPARE(parseTreeText(u"a\r\n\t\tb\r\n\t\t\tc"_s, scripterError).error,
             u"Invalid item level assignment"_s);
    QCOMPARE(calls, 1); // reading stops at the first fault
}

BRISKO_TEST_MAIN(TestTreeFile)
#include "tst_treefile.moc"
