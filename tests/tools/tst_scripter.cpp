#include "support/DialogControls.h"
#include "support/TestMain.h"

#include "support/WorkspaceFixture.h"
#include "support/ScriptedInteraction.h"
#include "app/ProgramDir.h"
#include "commands/ScriptCommands.h"
#include "markup/GuardedFile.h"
#include "markup/TextFile.h"
#include "markup/TreeFile.h"
#include "tools/ScriptText.h"
#include "tools/Scripter.h"

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

// The script builder: its reference trees, node insertion, ".script" files, and the
// command that puts the script into the page.
class TestScripter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void nodeTexts_data();
    void nodeTexts();
    void shippedTreeFilesLoad_data();
    void shippedTreeFilesLoad();
    void windowShowsItsPartsAsWritten();
    void treeFaultStopsLoadingKeepsEarlierNodes();
    void missingTreeFileShowsFileError();

    void buttonAndEnterInsertSelectedNode();
    void statementButtonAndEmptySelectionInsertNothing();
    void dropTakesOnlyTreeNodes();

    void saveAsWritesWindows1250File();
    void scriptBeyondWindows1250IsSavedAndOpenedWhole_data();
    void scriptBeyondWindows1250IsSavedAndOpenedWhole();
    void newAsksAndSavesUnderCurrentName();
    void yesThenCancelledSaveKeepsText_data();
    void yesThenCancelledSaveKeepsText();
    void failedSaveKeepsModifiedMark();
    void openReplacesTextAfterNo();
    void unreadableScriptLeavesBuilderAsItWas();

    void menuCommandInsertsWrappedScriptInScriptColor();
    void cancelledOrEmptyScriptInsertsNothing_data();
    void cancelledOrEmptyScriptInsertsNothing();
    void scriptBeyondEditorLimitIsRefused();

private:
    std::unique_ptr<WorkspaceFixture> m_fx;
    std::unique_ptr<ScriptedInteraction> m_script;
    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

QString dataDir()
{
    return programDir() + u"data"_s;
}

QAction *action(QDialog &dialog, const QString &name)
{
    return control<QAction>(dialog, name);
}

QTreeWidgetItem *findNode(QTreeWidget *tree, const QString &text)
{
    const QList<QTreeWidgetItem *> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    if (found.isEmpty())
        qFatal("node %s missing", qPrintable(text));
    return found.first();
}

void selectNode(QTreeWidget *tree, const QString &text)
{
    tree->setCurrentItem(findNode(tree, text));
}

// Drags mime data onto the script text and lets go; the drop arrives only when the text
// accepted the drag as it entered.
void drop(TJscript &builder, QMimeData *data)
{
    QWidget *viewport = builder.Memo1->viewport();
    const QPoint at = viewport->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent dropped(QPointF(at), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                       Qt::NoModifier);
    QApplication::sendEvent(viewport, &dropped);
    delete data;
}

// Text as the user would have typed it: the script is modified.
void typeScript(TJscript &builder, const QString &text)
{
    builder.Memo1->setPlainText(text);
    builder.Memo1->document()->setModified(true);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void TestScripter::init()
{
    m_script = std::make_unique<ScriptedInteraction>();
    m_fx = std::make_unique<WorkspaceFixture>(1);
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestScripter::cleanup()
{
    m_fx.reset();
    m_dir.reset();
    endScript(m_script);
}

void TestScripter::nodeTexts_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<bool>("hasChildren");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QString>("dropped");

    QTest::newRow("propertyGetsEquals") << u"status"_s << false << u" status="_s << u"status="_s;
    QTest::newRow("methodAsIs") << u"alert(message)"_s << false << u" alert(message)"_s
                                << u"alert(message)"_s;
    QTest::newRow("objectGetsDotOnlyWhenDragged") << u"window"_s << true << u" window"_s
                                                  << u"window."_s;
    // An object written like a call keeps its parentheses and gets its dot.
    QTest::newRow("objectEndingInParenthesis") << u"Option()"_s << true << u" Option()"_s
                                               << u"Option()."_s;
}

void TestScripter::nodeTexts()
{
    QFETCH(QString, node);
    QFETCH(bool, hasChildren);
    QFETCH(QString, inserted);
    QFETCH(QString, dropped);
    QCOMPARE(scriptNodeInsertText(node, hasChildren), inserted);
    QCOMPARE(scriptNodeDropText(node, hasChildren), dropped);
}

void TestScripter::shippedTreeFilesLoad_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("topLevel");
    QTest::newRow("objects") << u"object.dat"_s
                             << QStringList{u"window"_s, u"document"_s, u"Math"_s, u"form"_s};
    QTest::newRow("functions") << u"function.dat"_s
                               << QStringList{u"eval(code)"_s, u"parseInt(text, radix)"_s};
    QTest::newRow("dom") << u"dom.dat"_s
                         << QStringList{u"document"_s, u"Node"_s, u"Element"_s, u"style"_s, u"event"_s};
}

void TestScripter::shippedTreeFilesLoad()
{
    QFETCH(QString, file);
    QFETCH(QStringList, topLevel);
    const QString path = QDir(dataDir()).filePath(file);
    const TextFileResult read = readTextFile(path);
    QVERIFY2(read.ok, qPrintable(read.error));
    const TreeFileResult tree = parseTreeText(read.text, [](int, const QString &) {
        return u"Invalid item level assignment"_s;
    });
    QVERIFY2(tree.ok(), qPrintable(tree.error));
    QVERIFY(!tree.nodes.isEmpty());
    QStringList roots;
    for (const TreeFileNode &node : tree.nodes) {
        QVERIFY2(!node.text.trimmed().isEmpty(), "no empty nodes");
        if (node.depth == 0)
            roots << node.text;
    }
    for (const QString &root : topLevel)
        QVERIFY2(roots.contains(root), qPrintable(root));
    // The first line is not indented and the file has no empty lines.
    const QByteArray bytes = readBytes(path);
    QVERIFY(bytes.at(0) != '\t' && bytes.at(0) != ' ');
    QVERIFY(!bytes.contains("\n\r\n") && !bytes.contains("\n\n"));
}

void TestScripter::windowShowsItsPartsAsWritten()
{
    TJscript builder(dataDir());
    QCOMPARE(builder.windowTitle(), u"Java SCRIPTER"_s);
    QStringList tabs;
    for (int i = 0; i < builder.PageControl1->count(); ++i)
        tabs << builder.PageControl1->tabText(i);
    QCOMPARE(tabs, (QStringList{u"Objektový modell"_s, u"Funkce"_s, u"Příkazy"_s, u"DOM"_s}));
    QVERIFY(builder.TreeView1->topLevelItemCount() > 0);
    QVERIFY(builder.TreeView2->topLevelItemCount() > 0);
    QVERIFY(builder.TreeView3->topLevelItemCount() > 0);
    QCOMPARE(builder.ListBox1->count(), 51);
    QCOMPARE(builder.ListBox1->item(13)->text(), QString());
    QCOMPARE(builder.ListBox1->item(50)->text(), u"^="_s);
    QCOMPARE(builder.StatusPanel1->text(), u"Soubor:"_s);
    QCOMPARE(builder.KonecVlozit1->toolTip(), u"Ukončit JAVA scripter a vložit script..."_s);
    QCOMPARE(builder.UlozitJako1->toolTip(), u"Uložit script pod jménem"_s);
}

void TestScripter::treeFaultStopsLoadingKeepsEarlierNodes()
{
    writeFile(m_dir->filePath(u"object.dat"_s), "window\r\n\tstatus\r\n");
    writeFile(m_dir->filePath(u"function.dat"_s), "eval()\r\nMath\r\n\tabs()\r\n\t\t\tbad\r\nlast()\r\n");
    writeFile(m_dir->filePath(u"dom.dat"_s), "document\r\n");
    TJscript builder(m_dir->path());
    QCOMPARE(m_script->errors,
             QStringList{u"Položka „bad“ je odsazena o více než jednu úroveň pod předchozí."_s});
    QCOMPARE(builder.TreeView1->topLevelItemCount(), 1);
    QCOMPARE(builder.TreeView2->topLevelItemCount(), 2);
    QCOMPARE(findNode(builder.TreeView2, u"abs()"_s)->parent()->text(0), u"Math"_s);
    QCOMPARE(builder.TreeView3->topLevelItemCount(), 0);
}

void TestScripter::missingTreeFileShowsFileError()
{
    TJscript builder(m_dir->path());
    QCOMPARE(m_script->errors.size(), 1);
    QVERIFY(m_script->errors.first().startsWith(m_dir->filePath(u"object.dat"_s)));
    QCOMPARE(builder.TreeView1->topLevelItemCount(), 0);
    QCOMPARE(builder.TreeView3->topLevelItemCount(), 0);
}

void TestScripter::buttonAndEnterInsertSelectedNode()
{
    TJscript builder(dataDir());
    builder.show();
    builder.Memo1->setPlainText(u"x;"_s);
    QTextCursor c = builder.Memo1->textCursor();
    c.setPosition(0);
    builder.Memo1->setTextCursor(c);

    selectNode(builder.TreeView1, u"status"_s);
    builder.Button1->click();
    QCOMPARE(builder.Memo1->toPlainText(), u" status=x;"_s);

    selectNode(builder.TreeView2, u"parseInt(text, radix)"_s);
    builder.Button2->click();
    QCOMPARE(builder.Memo1->toPlainText(), u" status= parseInt(text, radix)x;"_s);

    selectNode(builder.TreeView3, u"event"_s);
    builder.TreeView3->setFocus();
    QTest::keyClick(builder.TreeView3, Qt::Key_Return);
    QCOMPARE(builder.Memo1->toPlainText(), u" status= parseInt(text, radix) eventx;"_s);
    QVERIFY(builder.isVisible()); // Enter in a tree does not close the builder

    // The selection of the script is replaced.
    builder.Memo1->selectAll();
    selectNode(builder.TreeView1, u"alert(message)"_s);
    builder.Button1->click();
    QCOMPARE(builder.Memo1->toPlainText(), u" alert(message)"_s);
}

void TestScripter::statementButtonAndEmptySelectionInsertNothing()
{
    TJscript builder(dataDir());
    builder.ListBox1->setCurrentRow(0);
    builder.Button3->click();
    builder.TreeView1->clearSelection();
    builder.Button1->click();
    QCOMPARE(builder.Memo1->toPlainText(), QString());
}

void TestScripter::dropTakesOnlyTreeNodes()
{
    TJscript builder(dataDir());
    builder.show();
    QTreeWidgetItem *window = findNode(builder.TreeView1, u"window"_s);
    const QModelIndex index = builder.TreeView1->indexFromItem(window);
    drop(builder, builder.TreeView1->model()->mimeData({index}));
    QCOMPARE(builder.Memo1->toPlainText(), u"window."_s);

    const QModelIndex status = builder.TreeView1->indexFromItem(findNode(builder.TreeView1, u"status"_s));
    drop(builder, builder.TreeView1->model()->mimeData({status}));
    QCOMPARE(builder.Memo1->toPlainText(), u"window.status="_s);

    // Plain text, as the statement list or another program would drag it, is refused.
    auto *text = new QMimeData;
    text->setText(u"break"_s);
    drop(builder, text);
    QCOMPARE(builder.Memo1->toPlainText(), u"window.status="_s);
}

void TestScripter::saveAsWritesWindows1250File()
{
    const QString path = m_dir->filePath(u"a.script"_s);
    TJscript builder(dataDir());
    typeScript(builder, u"var č = 1;\nalert(č);"_s);
    m_script->saveFile(path);
    QVERIFY(builder.UlozitClick()); // never named: saving asks for a name
    QCOMPARE(m_script->log.last(), u"save: Scripty (*.script)|*.script|"_s);
    QCOMPARE(readBytes(path), QByteArray("var \xe8 = 1;\r\nalert(\xe8);"));
    QCOMPARE(builder.fileName(), path);
    QCOMPARE(builder.StatusPanel1->text(), u"Soubor:"_s + path);
    QVERIFY(!builder.Memo1->document()->isModified());
}

void TestScripter::scriptBeyondWindows1250IsSavedAndOpenedWhole_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QByteArray>("bytes");
    // Windows-1250 while it holds the script; UTF-8 when not, never "&#241;" in a string.
    QTest::newRow("czech") << u"alert(\"kůň\");"_s << QByteArray("alert(\"k\xf9\xf2\");");
    QTest::newRow("spanishAndEmoji") << u"alert(\"año 😀 ř\");"_s
                                     << u"alert(\"año 😀 ř\");"_s.toUtf8();
}

void TestScripter::scriptBeyondWindows1250IsSavedAndOpenedWhole()
{
    QFETCH(QString, script);
    QFETCH(QByteArray, bytes);
    const QString path = m_dir->filePath(u"c.script"_s);
    {
        TJscript builder(dataDir());
        typeScript(builder, script);
        m_script->saveFile(path);
        QVERIFY(builder.UlozitClick());
    }
    QCOMPARE(readBytes(path), bytes);
    TJscript builder(dataDir());
    m_script->openFile(path);
    QVERIFY(builder.OtevritClick());
    QCOMPARE(builder.Memo1->toPlainText(), script);
}

void TestScripter::newAsksAndSavesUnderCurrentName()
{
    const QString path = m_dir->filePath(u"b.script"_s);
    writeFile(path, "old");
    TJscript builder(dataDir());
    m_script->openFile(path);
    QVERIFY(builder.OtevritClick());
    typeScript(builder, u"new text"_s);
    m_script->answer(Interaction::Answer::Yes);
    QVERIFY(builder.NovyClick());
    QCOMPARE(m_script->questions, QStringList{u"Uložit soubor "_s + path + u" ?"_s});
    QCOMPARE(readBytes(path), QByteArray("new text"));
    QCOMPARE(builder.Memo1->toPlainText(), QString());
    QCOMPARE(builder.fileName(), u"Bez jména"_s);
    QCOMPARE(builder.StatusPanel1->text(), u"Soubor:Bez jména"_s);
}

void TestScripter::yesThenCancelledSaveKeepsText_data()
{
    QTest::addColumn<bool>("open");
    QTest::newRow("new") << false;
    QTest::newRow("open") << true;
}

void TestScripter::yesThenCancelledSaveKeepsText()
{
    QFETCH(bool, open);
    TJscript builder(dataDir());
    QVERIFY(builder.NovyClick());
    typeScript(builder, u"unsaved"_s);
    m_script->answer(Interaction::Answer::Yes).saveFile(QString());
    // No file dialog for opening follows a cancelled save.
    QVERIFY(!(open ? builder.OtevritClick() : builder.NovyClick()));
    QCOMPARE(m_script->questions, QStringList{u"Uložit soubor Bez jména ?"_s});
    QCOMPARE(builder.Memo1->toPlainText(), u"unsaved"_s);
    QVERIFY(builder.Memo1->document()->isModified());
    QCOMPARE(builder.fileName(), u"Bez jména"_s);
}

void TestScripter::failedSaveKeepsModifiedMark()
{
    TJscript builder(dataDir());
    typeScript(builder, u"text"_s);
    const QString path = m_dir->filePath(u"missing-folder/c.script"_s);
    m_script->saveFile(path);
    QVERIFY(!builder.UlozitJakoClick());
    QCOMPARE(m_script->errors.size(), 1);
    QVERIFY(builder.Memo1->document()->isModified());
    QCOMPARE(builder.fileName(), QString());
    // "Yes" before a new script with a save that fails keeps the text as well.
    m_script->answer(Interaction::Answer::Yes).saveFile(path);
    QVERIFY(!builder.NovyClick());
    QCOMPARE(builder.Memo1->toPlainText(), u"text"_s);
}

void TestScripter::openReplacesTextAfterNo()
{
    const QString path = m_dir->filePath(u"d.script"_s);
    writeFile(path, "first\r\n\xe8tvrt\nlast");
    TJscript builder(dataDir());
    typeScript(builder, u"dropped"_s);
    m_script->answer(Interaction::Answer::No).openFile(path);
    QVERIFY(builder.OtevritClick());
    QCOMPARE(m_script->log.last(), u"open: Scripty (*.script)|*.script"_s);
    QCOMPARE(builder.scriptText(), u"first\r\nčtvrt\r\nlast"_s);
    QVERIFY(!builder.Memo1->document()->isModified());
    QCOMPARE(builder.StatusPanel1->text(), u"Soubor:"_s + path);
}

void TestScripter::unreadableScriptLeavesBuilderAsItWas()
{
    TJscript builder(dataDir());
    builder.Memo1->setPlainText(u"mine"_s);
    builder.Memo1->document()->setModified(false);
    m_script->openFile(m_dir->filePath(u"none.script"_s));
    QVERIFY(!builder.OtevritClick());
    QCOMPARE(m_script->errors.size(), 1);
    QCOMPARE(builder.Memo1->toPlainText(), u"mine"_s);
    QCOMPARE(builder.fileName(), QString());
}

void TestScripter::menuCommandInsertsWrappedScriptInScriptColor()
{
    m_fx->setText(u"<BODY>\r\n</BODY>"_s, 8, 7); // "</BODY>" selected
    m_script->dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Java SCRIPTER"_s);
        control<QPlainTextEdit>(d, u"Memo1"_s)->setPlainText(u"alert(1);\nalert(2);"_s);
        action(d, u"KonecVlozit1"_s)->trigger();
    });
    runScripter(m_fx->workspace(), programDir() + u"data"_s);
    const QString script = u"<SCRIPT>\r\nalert(1);\r\nalert(2);\r\n</SCRIPT>"_s;
    HtmlDocument &b = m_fx->buffer();
    QCOMPARE(b.GetText(), u"<BODY>\r\n"_s + script + u"</BODY>"_s);
    const ColorValue scriptColor = m_fx->settings().SCRIPT;
    QCOMPARE(b.colorAt(8), scriptColor);
    QCOMPARE(b.colorAt(8 + int(script.size()) - 1), scriptColor);
    QVERIFY(b.colorAt(8 + int(script.size())) != scriptColor);
}

void TestScripter::cancelledOrEmptyScriptInsertsNothing_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("action");
    QTest::newRow("konecWithScript") << u"alert(1);"_s << u"Konec1"_s;
    QTest::newRow("emptyScriptInserted") << QString() << u"KonecVlozit1"_s;
}

void TestScripter::cancelledOrEmptyScriptInsertsNothing()
{
    QFETCH(QString, script);
    QFETCH(QString, action);
    m_fx->setText(u"<P>"_s, 3);
    m_script->dialog([script, action](QDialog &d) {
        auto *memo = control<QPlainTextEdit>(d, u"Memo1"_s);
        memo->setPlainText(script);
        memo->document()->setModified(true); // an unsaved script is not asked about
        ::action(d, action)->trigger();
    });
    runScripter(m_fx->workspace(), dataDir());
    QCOMPARE(m_fx->buffer().GetText(), u"<P>"_s);
    QVERIFY(!m_fx->buffer().IsModified());
}

void TestScripter::scriptBeyondEditorLimitIsRefused()
{
    const QString page(HtmlDocument::MaxLength - 25, u'x');
    m_fx->setText(page, 10);
    QVERIFY(!insertScript(m_fx->workspace(), u"var abc = 1;"_s)); // 33 characters wrapped
    QCOMPARE(m_script->errors, QStringList{doesNotFitMessage()});
    QCOMPARE(m_fx->buffer().textLength(), page.size());
    QVERIFY(!m_fx->buffer().IsModified());

    QVERIFY(insertScript(m_fx->workspace(), u"a;"_s)); // 23 characters still fit
    QCOMPARE(m_fx->buffer().textLength(), page.size() + 23);
}

BRISKO_TEST_MAIN(TestScripter)
#include "tst_scripter.moc"
