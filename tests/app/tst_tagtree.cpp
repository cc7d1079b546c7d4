#include "app/ProgramDir.h"
#include "app/TagTreePanel.h"
#include "editor/EditorBuffer.h"
#include "markup/TagItemDrag.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

#include <QAction>
#include <QBoxLayout>
#include <QFile>
#include <QMimeData>
#include <QRegularExpression>
#include <QTabWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// The tree as "depth:text" lines in display order.
QStringList outline(const QTreeWidget &tree)
{
    QStringList lines;
    std::function<void(const QTreeWidgetItem *, int)> walk = [&](const QTreeWidgetItem *item,
                                                                  int depth) {
        lines.append(QString::number(depth) + u':' + item->text(0));
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        walk(tree.topLevelItem(i), 0);
    return lines;
}

// The nodes shown, as "depth:text", with "+" after an open node's text.
QStringList shownOutline(const QTreeWidget &tree)
{
    QStringList lines;
    std::function<void(const QTreeWidgetItem *, int)> walk = [&](const QTreeWidgetItem *item,
                                                                  int depth) {
        if (item->isHidden())
            return;
        lines.append(QString::number(depth) + u':' + item->text(0)
                     + (item->isExpanded() ? u"+"_s : QString()));
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        walk(tree.topLevelItem(i), 0);
    return lines;
}

QStringList topLevelTexts(const QTreeWidget &tree)
{
    QStringList texts;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        texts.append(tree.topLevelItem(i)->text(0));
    return texts;
}

} // namespace

class tst_TagTree : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void loader_data();
    void loader();
    void shippedFileLoadsEveryElementOnce();
    void shippedFileIsAsciiWithCrLf();
    void missingFileIsReported();
    void insertButtonWrapsSelection();
    void parameterWithoutCommaLeavesCaretBeforeIt();
    void insertWithoutDocumentDoesNothing();
    void expandButtonTogglesOneLevel();
    void filterFindsElementsAndAttributes_data();
    void filterFindsElementsAndAttributes();
    void barHintsAndDragSource();

private:
    TagTreePanel *panel() { return m_panel; }
    // A workspace of that many documents and the side panel's page "Tagy" on its own,
    // filled and loaded as the frame's start-up does it.
    void makeWorkspace(int documents);

    std::unique_ptr<ScriptedInteraction> m_ui;
    std::unique_ptr<WorkspaceFixture> m_fx;
    std::unique_ptr<QWidget> m_page; // goes before the workspace
    TagTreePanel *m_panel = nullptr;
};

void tst_TagTree::makeWorkspace(int documents)
{
    m_page.reset();
    m_fx = std::make_unique<WorkspaceFixture>(documents);
    m_page = std::make_unique<QWidget>();
    new QVBoxLayout(m_page.get());
    m_panel = installTagTreePanel(m_fx->workspace(), *m_page);
    loadTagTreeFile(*m_panel, programDir() + u"data/html4.dat"_s);
}

void tst_TagTree::init()
{
    m_ui = std::make_unique<ScriptedInteraction>();
    makeWorkspace(1);
}

void tst_TagTree::cleanup()
{
    m_page.reset();
    m_fx.reset();
    QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(u'\n')));
    QVERIFY(m_ui->allAnswered());
    m_ui.reset();
}

void tst_TagTree::loader_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("error");

    QTest::newRow("tagWithParameter") << u"<B>,</B>\r\n\tALIGN=\r\n"_s
                                      << QStringList{u"0:<B>,</B>"_s, u"1:ALIGN="_s} << QString();
    QTest::newRow("siblingsAndBackUp")
        << u"<A>,</A>\r\n\tHREF=\",\"\r\n\tNAME=\",\"\r\n<BR>,\r\n"_s
        << QStringList{u"0:<A>,</A>"_s, u"1:HREF=\",\""_s, u"1:NAME=\",\""_s, u"0:<BR>,"_s}
        << QString();
    QTest::newRow("blanksCountAsIndent") << u"<P>,</P>\n ALIGN=\n"_s
                                         << QStringList{u"0:<P>,</P>"_s, u"1:ALIGN="_s}
                                         << QString();
    // an indented first line is a top-level node; the next line at its indent is a child
    QTest::newRow("indentedFirstLine") << u"\t<B>,</B>\r\n\tALIGN=\r\n<I>,</I>\r\n"_s
                                       << QStringList{u"0:<B>,</B>"_s, u"1:ALIGN="_s,
                                                      u"0:<I>,</I>"_s}
                                       << QString();
    QTest::newRow("blankLinesSkipped") << u"<B>,</B>\r\n\r\n   \r\n\tALIGN=\r\n\r\n<I>,</I>"_s
                                       << QStringList{u"0:<B>,</B>"_s, u"1:ALIGN="_s,
                                                      u"0:<I>,</I>"_s}
                                       << QString();
    QTest::newRow("twoLevelsDeeper_error")
        << u"<B>,</B>\r\n\t\tALIGN=\r\n<I>,</I>\r\n"_s << QStringList{u"0:<B>,</B>"_s}
        << u"Invalid level (2) for item \"ALIGN=\""_s;
    // loading stops at the fault; what came before stays
    QTest::newRow("laterError_keepsEarlierNodes")
        << u"<A>,</A>\r\n\tHREF=\r\n<B>,</B>\r\n\t\t\tX\r\n<I>,</I>"_s
        << QStringList{u"0:<A>,</A>"_s, u"1:HREF="_s, u"0:<B>,</B>"_s}
        << u"Invalid level (3) for item \"X\""_s;
}

void tst_TagTree::loader()
{
    QFETCH(QString, text);
    QFETCH(QStringList, tree);
    QFETCH(QString, error);
    TagTreePanel &p = *panel();
    QCOMPARE(p.loadText(text), error);
    QCOMPARE(outline(*p.TreeView1), tree);
}

void tst_TagTree::shippedFileLoadsEveryElementOnce()
{
    TagTreePanel &p = *panel();
    QCOMPARE(p.load(programDir() + u"data/html4.dat"_s), QString());
    const QStringList texts = topLevelTexts(*p.TreeView1);
    QStringList names;
    static const QRegularExpression node(u"^<([A-Z0-9]+)>,(</\\1>)?$"_s);
    for (const QString &text : texts) {
        const QRegularExpressionMatch m = node.match(text);
        QVERIFY2(m.hasMatch(), qPrintable(text));
        names.append(m.captured(1));
    }
    QCOMPARE(names.size(), 97);
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
    const QStringList extensions{u"BGSOUND"_s, u"BLINK"_s, u"EMBED"_s,
                                 u"MARQUEE"_s, u"NOBR"_s,  u"WBR"_s};
    QCOMPARE(names.mid(names.size() - 6), extensions);
    QStringList standard = names.mid(0, names.size() - 6);
    QStringList sorted = standard;
    sorted.sort();
    QCOMPARE(standard, sorted);
    QVERIFY(texts.contains(u"<TABLE>,</TABLE>"_s));
    QVERIFY(texts.contains(u"<BR>,"_s));
    QVERIFY(texts.contains(u"<IMG>,"_s));
    // parameters are attributes: valued ones put the caret between quotes, flags bare
    const QTreeWidgetItem *hr = p.TreeView1->findItems(u"<HR>,"_s, Qt::MatchExactly).first();
    QStringList hrParameters;
    for (int i = 0; i < hr->childCount(); ++i)
        hrParameters.append(hr->child(i)->text(0));
    QCOMPARE(hrParameters, (QStringList{u"ALIGN=\",\""_s, u"NOSHADE,"_s, u"SIZE=\",\""_s,
                                        u"WIDTH=\",\""_s, u"ID=\",\""_s, u"CLASS=\",\""_s,
                                        u"STYLE=\",\""_s, u"TITLE=\",\""_s}));
}

void tst_TagTree::filterFindsElementsAndAttributes_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QStringList>("shown");

    const QStringList videoWithAttributes{u"0:<video>,</video>"_s, u"1:poster=\",\""_s,
                                          u"1:src=\",\""_s, u"2:a"_s};
    // An element found shows all its attributes, closed.
    QTest::newRow("element by part of its name") << u"vid"_s << videoWithAttributes;
    QTest::newRow("case ignored, blanks trimmed") << u" VIDEO "_s << videoWithAttributes;
    // An attribute found shows under its element, which opens; the others are hidden.
    QTest::newRow("attribute under each element")
        << u"src"_s
        << QStringList{u"0:<video>,</video>+"_s, u"1:src=\",\""_s, u"2:a"_s,
                       u"0:<source>,+"_s, u"1:srcset=\",\""_s};
    QTest::newRow("global attribute") << u"data"_s
                                      << QStringList{u"0:Globální atributy+"_s, u"1:data-*=\",\""_s};
    // Values of attributes are not names.
    QTest::newRow("value is not searched")
        << u"ltr"_s << QStringList{};
    QTest::newRow("empty shows the whole tree")
        << QString()
        << QStringList{u"0:<video>,</video>"_s, u"1:poster=\",\""_s, u"1:src=\",\""_s, u"2:a"_s,
                       u"0:<source>,"_s, u"1:srcset=\",\""_s, u"1:type=\",\""_s,
                       u"0:Globální atributy"_s, u"1:dir=\",\""_s, u"2:ltr"_s,
                       u"1:data-*=\",\""_s};
}

void tst_TagTree::filterFindsElementsAndAttributes()
{
    QFETCH(QString, part);
    QFETCH(QStringList, shown);
    TagTreePanel &p = *panel();
    p.loadText(u"<video>,</video>\r\n\tposter=\",\"\r\n\tsrc=\",\"\r\n\t\ta\r\n"
               u"<source>,\r\n\tsrcset=\",\"\r\n\ttype=\",\"\r\n"
               u"Globální atributy\r\n\tdir=\",\"\r\n\t\tltr\r\n\tdata-*=\",\"\r\n"_s);
    // Another filter first: the tree comes back from any state, and an empty box closes
    // what the filter opened.
    p.FilterEdit->setText(u"type"_s);
    p.FilterEdit->setText(part);
    QCOMPARE(shownOutline(*p.TreeView1), shown);
    // The box gets its clear button with its first text.
    QVERIFY(p.FilterEdit->isClearButtonEnabled());
}

void tst_TagTree::shippedFileIsAsciiWithCrLf()
{
    QFile file(programDir() + u"data/html4.dat"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
    for (char c : bytes)
        QVERIFY(static_cast<unsigned char>(c) < 128);
}

void tst_TagTree::missingFileIsReported()
{
    const QString path = programDir() + u"data/missing.dat"_s;
    loadTagTreeFile(*panel(), path);
    QCOMPARE(m_ui->errors.size(), 1);
    QVERIFY(m_ui->errors.first().startsWith(path));
    QCOMPARE(panel()->TreeView1->topLevelItemCount(), 0);
}

void tst_TagTree::insertButtonWrapsSelection()
{
    TagTreePanel &p = *panel();
    p.loadText(u"<B>,</B>\r\n\tALIGN=\r\n"_s);
    m_fx->setText(u"a bold c"_s, 2, 4);
    p.TreeView1->setCurrentItem(p.TreeView1->topLevelItem(0));
    p.InsertButton->click();
    QCOMPARE(m_fx->buffer().GetText(), u"a <B>bold</B> c"_s);
    QCOMPARE(m_fx->buffer().colorAt(3), m_fx->settings().TAG);
}

void tst_TagTree::parameterWithoutCommaLeavesCaretBeforeIt()
{
    TagTreePanel &p = *panel();
    p.loadText(u"<B>,</B>\r\n\tALIGN=\r\n"_s);
    // Inside a tag is allowed for the tree.
    m_fx->setText(u"<P >"_s, 3);
    p.TreeView1->setCurrentItem(p.TreeView1->topLevelItem(0)->child(0));
    p.InsertButton->click();
    QCOMPARE(m_fx->buffer().GetText(), u"<P ALIGN=>"_s);
    QCOMPARE(m_fx->buffer().SelStart(), 3);
}

void tst_TagTree::insertWithoutDocumentDoesNothing()
{
    makeWorkspace(0);
    TagTreePanel &p = *panel();
    p.loadText(u"<B>,</B>"_s);
    p.InsertButton->click(); // no node selected
    p.TreeView1->setCurrentItem(p.TreeView1->topLevelItem(0));
    p.InsertButton->click();
    QVERIFY(m_fx->workspace().documents().isEmpty());
}

void tst_TagTree::expandButtonTogglesOneLevel()
{
    TagTreePanel &p = *panel();
    p.loadText(u"<A>,</A>\r\n\tX\r\n\t\tY\r\n<B>,</B>"_s);
    QTreeWidgetItem *a = p.TreeView1->topLevelItem(0);
    p.TreeView1->setCurrentItem(a);
    const qint64 collapsed = p.CollapsedPicture->icon().cacheKey();
    const qint64 expanded = p.ExpandedPicture->icon().cacheKey();
    QVERIFY(collapsed != expanded);
    QCOMPARE(p.ExpandButton->icon().cacheKey(), collapsed);
    p.ExpandButton->click();
    QVERIFY(a->isExpanded());
    QVERIFY(!a->child(0)->isExpanded());
    QCOMPARE(p.ExpandButton->icon().cacheKey(), expanded);
    p.ExpandButton->click();
    QVERIFY(!a->isExpanded());
    QCOMPARE(p.ExpandButton->icon().cacheKey(), collapsed);
    // the picture follows the selected node
    a->setExpanded(true);
    p.TreeView1->setCurrentItem(p.TreeView1->topLevelItem(1));
    QCOMPARE(p.ExpandButton->icon().cacheKey(), collapsed);
    p.TreeView1->setCurrentItem(a);
    QCOMPARE(p.ExpandButton->icon().cacheKey(), expanded);
}

void tst_TagTree::barHintsAndDragSource()
{
    TagTreePanel &p = *panel();
    QCOMPARE(p.InsertButton->toolTip(), u"Vloží aktuální tag nebo jeho parametry"_s);
    QCOMPARE(p.ExpandButton->toolTip(), u"Rozbalí parametry aktuálního tagu"_s);
    QVERIFY(p.ExpandedPicture->isHidden());
    QVERIFY(p.CollapsedPicture->isHidden());
    QVERIFY(p.TreeView1->dragEnabled());
    // A dragged node carries its text as a tag item, which the editor takes.
    QAbstractItemModel *model = p.TreeView1->model();
    const std::unique_ptr<QMimeData> dragged(model->mimeData({model->index(0, 0)}));
    QCOMPARE(tagItemText(dragged.get()), model->index(0, 0).data().toString());
    QVERIFY(!tagItemText(dragged.get()).isEmpty());
    QCOMPARE(p.TreeView1->indentation(), 19);
    // The page shown, as when the user turns to it.
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
    QCOMPARE(p.TreeView1->font().family(), u"Arial"_s);
    QCOMPARE(p.TreeView1->font().pixelSize(), 12);
}

BRISKO_TEST_MAIN(tst_TagTree)
#include "tst_tagtree.moc"
