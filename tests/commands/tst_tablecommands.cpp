#include "app/TableWindowSlot.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

#include "dialogs/TableDialogs.h"
#include "markup/GuardedFile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QSpinBox>

using namespace Qt::StringLiterals;

namespace {

TTableForm &tableForm(QDialog &dialog)
{
    auto *form = qobject_cast<TTableForm *>(&dialog);
    if (!form)
        qFatal("not the table window: %s", qPrintable(dialog.windowTitle()));
    return *form;
}

// The grid dialog's answer: rows, columns and the header switch, then "Vytvořit".
ScriptedInteraction::DialogDriver grid(int rows, int columns, bool noHeader = false)
{
    return [=](QDialog &d) {
        auto *g = qobject_cast<TForm21 *>(&d);
        QVERIFY(g);
        g->SpinEdit1->setValue(rows);
        g->SpinEdit2->setValue(columns);
        g->CheckBox2->setChecked(noHeader);
        g->Button1->click();
    };
}

} // namespace

// The table window beside the documents, the table grid and F7 on table tags, run by the
// menu's identifiers and the palette's insertions on the workspace; F6's item is the one
// the table window takes along.
class TestTableCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void gridWithWindowClosed_data();
    void gridWithWindowClosed();
    void gridUsesTheOpenWindow();
    void gridRefusedInsideTag();
    void gridTooLargeForTheEditor();
    void openWindowComposesTableCommands();
    void windowMarkFollowsEveryRoute();
    void editThroughOpenWindowClosesIt();
    void editRoundTrips_data();
    void editRoundTrips();
    void badNumberLeavesOpenWindowOpen();

private:
    void trigger(CommandId id) { QVERIFY(m_fx->run(id)); }
    void pressF7() { trigger(Cmd::EditCurrentTag); }
    void palette(const QString &caption)
    {
        QVERIFY(m_fx->pressPaletteButton(u"Tabulky"_s, caption));
    }
    QAction *f6() { return m_f6.get(); }

    std::unique_ptr<WorkspaceFixture> m_fx;
    // The menu item F6 triggers, bound to its command as the menu binds it.
    std::unique_ptr<QAction> m_f6;
    std::unique_ptr<TableWindowSlot> m_tables; // its window goes before the documents
    std::unique_ptr<ScriptedInteraction> m_ui;
};

void TestTableCommands::init()
{
    m_fx = std::make_unique<WorkspaceFixture>();
    m_f6 = std::make_unique<QAction>();
    m_f6->setCheckable(true);
    m_f6->setShortcut(Qt::Key_F6);
    connect(m_f6.get(), &QAction::triggered, this, [this] { m_fx->run(Cmd::OptTableWindow); });
    m_tables = std::make_unique<TableWindowSlot>(m_fx->workspace(), *m_f6);
    m_fx->workspace().setTableWindows(m_tables.get());
    m_ui = std::make_unique<ScriptedInteraction>();
}

void TestTableCommands::cleanup()
{
    const bool answered = m_ui->allAnswered();
    m_ui.reset();
    m_fx->workspace().setTableWindows(nullptr);
    m_tables.reset();
    m_f6.reset();
    m_fx.reset();
    QVERIFY2(answered, "a scripted answer was left over");
}

void TestTableCommands::gridWithWindowClosed_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("noHeader");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");

    const QString twoByTwo = u"<TABLE>\r\n"
                             u"  <TR>\r\n    <TD></TD>\r\n    <TD></TD>\r\n    \r\n  </TR>\r\n"
                             u"  <TR>\r\n    <TD></TD>\r\n    <TD></TD>\r\n    \r\n  </TR>\r\n"
                             u"\r\n</TABLE>"_s;
    // Each row ends with a line of four spaces; the caret waits on the empty last line.
    QTest::newRow("twoByTwo") << 2 << 2 << false << twoByTwo << int(twoByTwo.size()) - 10;
    QTest::newRow("untouchedGridGivesOnlyTable") << 0 << 0 << false
                                                 << u"<TABLE>\r\n\r\n</TABLE>"_s << 9;
    QTest::newRow("noHeaderNoRowsNothing") << 0 << 3 << true << QString() << 0;
    QTest::newRow("rowWithoutColumns") << 1 << 0 << true << u"  <TR>\r\n    \r\n  </TR>\r\n"_s << 23;
}

void TestTableCommands::gridWithWindowClosed()
{
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(bool, noHeader);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    m_ui->dialog([=](QDialog &d) {
        QVERIFY(!qobject_cast<TForm21 *>(&d)->CheckBox1->isEnabled());
        grid(rows, columns, noHeader)(d);
    });
    palette(u"TABLE.."_s);
    QCOMPARE(m_fx->buffer().GetText(), expected);
    QCOMPARE(m_fx->buffer().SelStart(), caret);
    // The whole skeleton is one undo step.
    if (!expected.isEmpty()) {
        m_fx->buffer().Undo();
        QCOMPARE(m_fx->buffer().GetText(), QString());
    }
}

void TestTableCommands::gridUsesTheOpenWindow()
{
    trigger(Cmd::OptTableWindow);
    TTableForm *w = m_fx->workspace().tableWindow();
    QVERIFY(w);
    w->SpinEdit1->setValue(1);
    w->ComboBox8->setEditText(u"left"_s);
    m_ui->dialog([](QDialog &d) {
        QVERIFY(qobject_cast<TForm21 *>(&d)->CheckBox1->isEnabled());
        grid(1, 1)(d);
    });
    palette(u"TABLE.."_s);
    // The composed TABLE tag is followed by the first row's spaces on its own line.
    QCOMPARE(m_fx->buffer().GetText(),
             u"<TABLE BORDER=1>  <TR>\r\n    <TD ALIGN=left></TD>\r\n    \r\n  </TR>\r\n"
             u"\r\n</TABLE>"_s);
}

void TestTableCommands::gridRefusedInsideTag()
{
    const QString text = u"<B>x"_s;
    m_fx->setText(text, 1);
    palette(u"TABLE.."_s); // no dialog is scripted: showing one would fail the test
    QCOMPARE(m_ui->errors, QStringList{u"Nelze vkladat tag uvnitř tagu!"_s});
    QCOMPARE(m_fx->buffer().GetText(), text);
}

void TestTableCommands::gridTooLargeForTheEditor()
{
    m_ui->dialog(grid(999, 999));
    palette(u"TABLE.."_s);
    QCOMPARE(m_ui->errors, QStringList{doesNotFitMessage()});
    QCOMPARE(m_fx->buffer().GetText(), QString());
}

void TestTableCommands::openWindowComposesTableCommands()
{
    trigger(Cmd::OptTableWindow);
    TTableForm *w = m_fx->workspace().tableWindow();
    w->ComboBox4->setEditText(u"80%"_s);
    w->ComboBox6->setEditText(u"TOP"_s);
    w->ComboBox9->setEditText(u"MIDDLE"_s);
    trigger(Cmd::InsTagTable);
    palette(u"TR&&TD"_s);
    palette(u"TH"_s);
    QCOMPARE(m_fx->buffer().GetText(),
             u"<TABLE WIDTH=80%>  <TR VALIGN=TOP>\r\n    <TD VALIGN=MIDDLE><TH VALIGN=MIDDLE></TH>"
             u"</TD>\r\n  </TR>\r\n</TABLE>"_s);

    // Closed again, the commands write their bare tags.
    trigger(Cmd::OptTableWindow);
    m_fx->setText(QString());
    palette(u"TABLE"_s);
    palette(u"TD"_s);
    QCOMPARE(m_fx->buffer().GetText(), u"<TABLE>\r\n<TD></TD>\r\n</TABLE>"_s);
}

void TestTableCommands::windowMarkFollowsEveryRoute()
{
    QVERIFY(!f6()->isChecked());
    trigger(Cmd::OptTableWindow);
    QPointer<TTableForm> w = m_fx->workspace().tableWindow();
    QVERIFY(w && w->isVisible());
    QVERIFY(w->windowFlags().testFlag(Qt::Tool));
    QCOMPARE(w->windowTitle(), u"Tabulky.."_s);
    QVERIFY(f6()->isChecked());
    // The menu closes it.
    trigger(Cmd::OptTableWindow);
    QTRY_VERIFY(w.isNull());
    QVERIFY(!f6()->isChecked());
    // Its own close box closes it.
    trigger(Cmd::OptTableWindow);
    w = m_fx->workspace().tableWindow();
    QVERIFY(f6()->isChecked());
    w->close();
    QTRY_VERIFY(w.isNull());
    QVERIFY(!f6()->isChecked());
    QVERIFY(!m_fx->workspace().tableWindow());
    // F6 inside the window closes it too; one opened at once keeps its mark.
    trigger(Cmd::OptTableWindow);
    w = m_fx->workspace().tableWindow();
    w->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), w.data());
    QTest::keyClick(w, Qt::Key_F6);
    QVERIFY(!m_fx->workspace().tableWindow());
    QVERIFY(!f6()->isChecked());
    trigger(Cmd::OptTableWindow);
    QTRY_VERIFY(w.isNull());
    QVERIFY(m_fx->workspace().tableWindow());
    QVERIFY(f6()->isChecked());
    trigger(Cmd::OptTableWindow);
    QVERIFY(!m_fx->workspace().tableWindow());
    QVERIFY(!f6()->isChecked());
}

void TestTableCommands::editThroughOpenWindowClosesIt()
{
    trigger(Cmd::OptTableWindow);
    QPointer<TTableForm> open = m_fx->workspace().tableWindow();
    open->ComboBox8->setEditText(u"center"_s);
    m_fx->setText(u"<TD WIDTH=5>x"_s, 3);
    m_ui->dialog([open](QDialog &d) {
        TTableForm &form = tableForm(d);
        QCOMPARE(&form, open.data());
        QCOMPARE(form.PageControl1->currentIndex(), 2);
        QVERIFY(!form.PageControl1->isTabEnabled(0));
        // What the tag does not set keeps the open window's value.
        QCOMPARE(form.ComboBox8->currentText(), u"center"_s);
        QCOMPARE(form.ComboBox11->currentText(), u"5"_s);
        form.insertButton()->click();
    });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(), u"<TD ALIGN=center WIDTH=5>x"_s);
    QTRY_VERIFY(open.isNull());
    QVERIFY(!m_fx->workspace().tableWindow());
    QVERIFY(!f6()->isChecked());

    // The palette's TD now writes the bare cell, and F6 opens a fresh window.
    m_fx->buffer().SetSelStart(int(m_fx->buffer().GetText().size()));
    palette(u"TD"_s);
    QCOMPARE(m_fx->buffer().GetText(), u"<TD ALIGN=center WIDTH=5>x<TD></TD>"_s);
    trigger(Cmd::OptTableWindow);
    QVERIFY(m_fx->workspace().tableWindow());
    QVERIFY(f6()->isChecked());
    QCOMPARE(m_fx->workspace().tableWindow()->ComboBox8->currentText(), QString());
}

void TestTableCommands::editRoundTrips_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("expected");

    QTest::newRow("table") << u"<TABLE BORDER=2 CELLSPADING=3 WIDTH=\"90%\" SUMMARY=s>"_s
                           << u"<TABLE BORDER=2 CELLSPADING=3 WIDTH=90% SUMMARY=s>"_s;
    QTest::newRow("row") << u"<tr bgcolor=red valign=top>"_s
                         << u"<TR VALIGN=top BGCOLOR=\"#FF0000\">"_s;
    QTest::newRow("headerCellStaysTh") << u"<TH COLSPAN=2 NOWRAP>"_s << u"<TH COLSPAN=2 NOWRAP>"_s;
    QTest::newRow("cellLightBorder") << u"<TD BORDERCOLORLIGHT=red>"_s
                                     << u"<TD BORDERCOLORLIGHT=\"#FF0000\">"_s;
}

void TestTableCommands::editRoundTrips()
{
    QFETCH(QString, tag);
    QFETCH(QString, expected);
    m_fx->setText(tag + u"x"_s, 2);
    m_ui->dialog([](QDialog &d) { tableForm(d).insertButton()->click(); });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(), expected + u"x"_s);
    // The window made for the edit is gone again; the mark never came on.
    QVERIFY(!m_fx->workspace().tableWindow());
    QVERIFY(!f6()->isChecked());
    const auto noTableForm = [] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::none_of(windows.cbegin(), windows.cend(),
                            [](QWidget *w) { return qobject_cast<TTableForm *>(w); });
    };
    QTRY_VERIFY(noTableForm());
}

void TestTableCommands::badNumberLeavesOpenWindowOpen()
{
    trigger(Cmd::OptTableWindow);
    const QString text = u"<TD COLSPAN=2x>"_s;
    m_fx->setText(text, 3);
    pressF7();
    QCOMPARE(m_ui->errors, QStringList{u"Hodnota '2x' není celé číslo."_s});
    QCOMPARE(m_fx->buffer().GetText(), text);
    QVERIFY(m_fx->workspace().tableWindow());
    QVERIFY(f6()->isChecked());
}

BRISKO_TEST_MAIN(TestTableCommands)
#include "tst_tablecommands.moc"
