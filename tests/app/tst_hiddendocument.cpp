#include "support/MainWindowFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QAction>
#include <QClipboard>

using namespace Qt::StringLiterals;

// While the preview covers the document area no edit reaches the document underneath: the
// commands that would change it are greyed, and its editor takes no change from keys,
// side windows or undo. Copy and Select all act on the page shown.
class tst_HiddenDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void editingCommandsDoNothingWhileCovered_data();
    void editingCommandsDoNothingWhileCovered();
    void editorRefusesEveryChangeWhileCovered();
    void copyAndSelectAllLeaveTheHiddenDocument();
    void uncoveringGivesTheCommandsBack();

private:
    std::unique_ptr<MainWindowFixture> m_fx;
    std::unique_ptr<ScriptedInteraction> m_script;
    const QString m_text = u"<P>abc</P>"_s;
};

void tst_HiddenDocument::init()
{
    m_script = std::make_unique<ScriptedInteraction>();
    m_fx = std::make_unique<MainWindowFixture>();
    m_fx->setText(m_text, 0, int(m_text.size()));
    QGuiApplication::clipboard()->setText(u"xyz"_s);
    m_fx->workspace().setDocumentAreaCovered(true);
}

void tst_HiddenDocument::cleanup()
{
    m_fx.reset();
    endScript(m_script);
}

void tst_HiddenDocument::editingCommandsDoNothingWhileCovered_data()
{
    QTest::addColumn<QString>("id");
    // The keys of the report: Ctrl+V replaced the whole page unseen.
    QTest::newRow("paste") << u"EditPaste"_s;
    QTest::newRow("pasteHidden") << u"HidPaste"_s;
    QTest::newRow("cut") << u"EditCut"_s;
    QTest::newRow("delete") << u"EditDelete"_s;
    QTest::newRow("undo") << u"EditUndo"_s;
    QTest::newRow("upperCase") << u"EditUpper"_s;
    QTest::newRow("stripTags") << u"EditStripTags"_s;
    // Insertion commands too, with or without a dialog.
    QTest::newRow("nbsp") << u"InsNbsp"_s;
    QTest::newRow("heading") << u"InsH1"_s;
    QTest::newRow("bold") << u"HidBold"_s;
    QTest::newRow("date") << u"InsDate"_s;
    QTest::newRow("image") << u"InsTagImg"_s;
    QTest::newRow("insertFile") << u"EditInsertFile"_s;
    QTest::newRow("replace") << u"SearchReplace"_s;
    QTest::newRow("scripter") << u"ToolScripter"_s;
    QTest::newRow("userCommand") << u"UserCmd1"_s;
}

void tst_HiddenDocument::editingCommandsDoNothingWhileCovered()
{
    QFETCH(QString, id);
    QAction *a = m_fx->window().action(id);
    QVERIFY(a);
    QVERIFY(!a->isEnabled());
    a->trigger(); // a greyed command does not run: no dialog is scripted, none may open
    QCOMPARE(m_fx->buffer().GetText(), m_text);
    QVERIFY(!m_fx->buffer().IsModified());
}

void tst_HiddenDocument::editorRefusesEveryChangeWhileCovered()
{
    HtmlDocument &buffer = m_fx->buffer();
    QTest::keyClicks(&m_fx->view(), u"typed"_s);
    buffer.ReplaceSelection(u"from a side window"_s); // the tag palette, special characters
    buffer.InsertAtCaret(ColorValue(), u"<B>"_s);
    QVERIFY(!buffer.replaceOccurrences({0}, 1, u"x"_s));
    buffer.Undo();
    QCOMPARE(buffer.GetText(), m_text);
    QVERIFY(!buffer.IsModified());
    // Switching back finds nothing to ask about: no question is scripted.
    m_fx->workspace().setDocumentAreaCovered(false);
    QVERIFY(!buffer.IsModified());
}

void tst_HiddenDocument::copyAndSelectAllLeaveTheHiddenDocument()
{
    m_fx->buffer().SetSelStart(3);
    m_fx->buffer().SetSelLength(3);
    QVERIFY(m_fx->window().action(u"EditSelectAll"_s)->isEnabled());
    QVERIFY(m_fx->window().action(u"EditCopy"_s)->isEnabled());
    m_fx->window().action(u"EditSelectAll"_s)->trigger();
    m_fx->window().action(u"EditCopy"_s)->trigger();
    QCOMPARE(m_fx->buffer().SelStart(), 3);
    QCOMPARE(m_fx->buffer().SelLength(), 3);
    // The hidden document's "abc" did not go to the clipboard.
    QCOMPARE(QGuiApplication::clipboard()->text(), u"xyz"_s);
}

void tst_HiddenDocument::uncoveringGivesTheCommandsBack()
{
    m_fx->workspace().setDocumentAreaCovered(false);
    QAction *paste = m_fx->window().action(u"EditPaste"_s);
    QVERIFY(paste->isEnabled());
    QVERIFY(m_fx->window().action(u"InsH1"_s)->isEnabled());
    paste->trigger();
    QCOMPARE(m_fx->buffer().GetText(), u"xyz"_s);
}

BRISKO_TEST_MAIN(tst_HiddenDocument)
#include "tst_hiddendocument.moc"
