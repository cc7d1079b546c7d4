#include "commands/CommandRegistry.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

#include <memory>

using namespace Qt::StringLiterals;

// The menu's commands run by their identifiers on a workspace, without the main window.
class tst_CommandRegistry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<WorkspaceFixture>(1);
        addWorkspaceCommands(m_commands);
    }
    void cleanup() { m_fx.reset(); }

    void runsMenuCommandOnActiveDocument_data();
    void runsMenuCommandOnActiveDocument();
    void commandsWithoutDocumentDoNothing_data();
    void commandsWithoutDocumentDoNothing();
    void unknownIdentifierRunsNothing();
    void commandAsksThroughTheGivenSeam_data();
    void commandAsksThroughTheGivenSeam();
    void laterRegistrationReplacesCommand();

private:
    CommandRegistry m_commands;
    std::unique_ptr<WorkspaceFixture> m_fx;
};

void tst_CommandRegistry::runsMenuCommandOnActiveDocument_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("expected");

    // Hidden items that exist for their shortcuts wrap the selection.
    QTest::newRow("hiddenBold_wrapsSelection") << u"HidBold"_s << u"a bc d"_s << 2 << 2
                                               << u"a <B>bc</B> d"_s;
    QTest::newRow("hiddenUL_insertsListItem") << u"HidUL"_s << u"x"_s << 0 << 1
                                              << u"<LI >x</LI>"_s;
    // The menu's tags and headings.
    QTest::newRow("center_wrapsSelection") << u"InsTagCenter"_s << u"t"_s << 0 << 1
                                           << u"<CENTER>t</CENTER>"_s;
    QTest::newRow("headingSix") << u"InsH6"_s << u"h"_s << 0 << 1 << u"<H6>h</H6>"_s;
    // Without the table window the table's tags are the plain ones.
    QTest::newRow("cell_withoutTableWindow") << u"InsTagTd"_s << u""_s << 0 << 0
                                             << u"<TD></TD>"_s;
    QTest::newRow("nbsp_atCaret") << u"InsNbsp"_s << u"ab"_s << 1 << 0 << u"a&nbsp;b"_s;
    // The edit transforms work on the selection, or the whole text without one.
    QTest::newRow("upper_wholeText") << u"EditUpper"_s << u"žluť"_s << 0 << 0 << u"ŽLUŤ"_s;
    QTest::newRow("stripTags_selection") << u"EditStripTags"_s << u"<B>a</B> <I>b</I>"_s << 0 << 8
                                         << u"a <I>b</I>"_s;
    QTest::newRow("deleteTag_atCaret") << u"EditDeleteTag"_s << u"a<BR>b"_s << 2 << 0 << u"ab"_s;
    // Items the menu shows without an action leave the text alone.
    QTest::newRow("syntaxHelp_noAction") << u"HelpSyntax"_s << u"abc"_s << 0 << 0 << u"abc"_s;
}

void tst_CommandRegistry::runsMenuCommandOnActiveDocument()
{
    QFETCH(QString, id);
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, expected);
    ScriptedInteraction answers;
    m_fx->setText(text, selStart, selLength);

    QVERIFY(m_commands.run(id, m_fx->workspace(), answers));

    QCOMPARE(m_fx->buffer().GetText(), expected);
    QVERIFY(answers.unexpected.isEmpty());
}

void tst_CommandRegistry::commandsWithoutDocumentDoNothing_data()
{
    QTest::addColumn<QString>("id");
    QTest::newRow("bold") << u"HidBold"_s;
    QTest::newRow("upper") << u"EditUpper"_s;
    QTest::newRow("save") << u"FileSave"_s;
    QTest::newRow("undo") << u"EditUndo"_s;
    QTest::newRow("selectAll") << u"EditSelectAll"_s;
    QTest::newRow("currentTag") << u"EditCurrentTag"_s;
    QTest::newRow("find") << u"SearchFind"_s;
    // Without a table window service F6 has no window to open.
    QTest::newRow("tableWindow_withoutService") << u"OptTableWindow"_s;
}

void tst_CommandRegistry::commandsWithoutDocumentDoNothing()
{
    QFETCH(QString, id);
    ScriptedInteraction answers;
    m_fx.reset();
    m_fx = std::make_unique<WorkspaceFixture>(0);

    QVERIFY(m_fx->commands().run(id, m_fx->workspace(), answers));

    QVERIFY(m_fx->workspace().documents().isEmpty());
    QVERIFY(!m_fx->workspace().tableWindow());
    QVERIFY(answers.log.isEmpty());
}

void tst_CommandRegistry::unknownIdentifierRunsNothing()
{
    ScriptedInteraction answers;
    m_fx->setText(u"abc"_s);
    QVERIFY(!m_commands.run(u"NoSuchCommand"_s, m_fx->workspace(), answers));
    QVERIFY(!m_commands.contains(u"NoSuchCommand"_s));
    QCOMPARE(m_fx->buffer().GetText(), u"abc"_s);
}

void tst_CommandRegistry::commandAsksThroughTheGivenSeam_data()
{
    QTest::addColumn<bool>("asInsertion");
    QTest::newRow("menuItem") << false;
    // A palette or toolbar button runs its insertion the same way.
    QTest::newRow("insertion") << true;
}

void tst_CommandRegistry::commandAsksThroughTheGivenSeam()
{
    QFETCH(bool, asInsertion);
    ScriptedInteraction given;
    given.pickColor(QColor(0x12, 0x34, 0x56));
    ScriptedInteraction installed; // installed last, so the one answering otherwise
    m_fx->setText(QString());

    if (asInsertion)
        m_commands.run(Insertion::Color, m_fx->workspace(), given);
    else
        QVERIFY(m_commands.run(Cmd::InsColor, m_fx->workspace(), given));

    QCOMPARE(m_fx->buffer().GetText(), u"#123456"_s);
    QCOMPARE(given.log, QStringList{u"color"_s});
    QVERIFY(installed.log.isEmpty());
    QCOMPARE(&ui(), static_cast<Interaction *>(&installed)); // back after the command
}

void tst_CommandRegistry::laterRegistrationReplacesCommand()
{
    ScriptedInteraction answers;
    int runs = 0;
    m_commands.add(Cmd::HidBold, [&runs](Workspace &, Interaction &) { ++runs; });
    m_fx->setText(u"a"_s, 0, 1);

    QVERIFY(m_commands.run(Cmd::HidBold, m_fx->workspace(), answers));

    QCOMPARE(runs, 1);
    QCOMPARE(m_fx->buffer().GetText(), u"a"_s);
}

BRISKO_TEST_MAIN(tst_CommandRegistry)
#include "tst_commandregistry.moc"
