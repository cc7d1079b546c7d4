#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include "dialogs/TableDialogs.h"
#include "settings/TSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

// The table window and the table grid through their named controls.
class TestTableDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void pagesComposeTheirElements();
    void spinChangeTicksItsBox();
    void cancelledColourStillTicksPanel();
    void backgroundFileNeedsDocument();
    void editModeEnablesOnlyTheEditedPage_data();
    void editModeEnablesOnlyTheEditedPage();
    void escapeClosesToolWindowForGood();
    void gridCountsAreBounded();
    void gridFollowsTheMouseSelection();
    void gridServesTheKeyboard();
    void gridWindowSettingsBoxFollowsTheWindow();

private:
    DocumentContext context() { return {m_settings, m_document, [] { return QString(); }}; }
    std::unique_ptr<TTableForm> window()
    {
        return std::make_unique<TTableForm>([this] { return context(); });
    }

    TSettings m_settings;
    std::optional<QString> m_document;
    std::unique_ptr<ScriptedInteraction> m_ui;
};

void TestTableDialogs::init()
{
    m_settings = TSettings{};
    m_document = u"/w/site/index.html"_s;
    m_ui = std::make_unique<ScriptedInteraction>();
}

void TestTableDialogs::cleanup()
{
    const bool answered = m_ui->allAnswered();
    m_ui.reset();
    QVERIFY2(answered, "a scripted answer was left over");
}

void TestTableDialogs::pagesComposeTheirElements()
{
    const auto w = window();
    QCOMPARE(w->windowTitle(), u"Tabulky.."_s);
    QCOMPARE(w->ComposeTable(), (Markup{u"<TABLE>"_s, u"\r\n</TABLE>"_s}));
    QCOMPARE(w->ComposeRow(), (Markup{u"<TR>"_s, u"</TR>"_s}));
    QCOMPARE(w->ComposeCell(u"TH"_s), (Markup{u"<TH>"_s, u"</TH>"_s}));

    w->SpinEdit1->setValue(1);
    w->ComboBox4->setEditText(u"100%"_s);
    w->ComboBox3->setCurrentIndex(1);
    w->Panel1->setColor(Qt::red);
    w->CheckBox5->setChecked(true);
    QCOMPARE(w->ComposeTable().opening, u"<TABLE BORDER=1 WIDTH=100% ALIGN=center BGCOLOR=\"#FF0000\">"_s);
    // The list item "right " keeps its trailing space.
    w->ComboBox5->setCurrentIndex(2);
    QCOMPARE(w->ComposeRow().opening, u"<TR ALIGN=right >"_s);
    QCOMPARE(w->OpeningMarkup, u"<TR ALIGN=right >"_s);
    w->SpinEdit6->setValue(2);
    QCOMPARE(w->ComposeCell(u"TD"_s), (Markup{u"<TD ROWSPAN=2>"_s, u"</TD>"_s}));
}

void TestTableDialogs::spinChangeTicksItsBox()
{
    const auto w = window();
    const QList<QPair<QSpinBox *, QCheckBox *>> pairs{{w->SpinEdit1, w->CheckBox1},
                                                       {w->SpinEdit2, w->CheckBox2},
                                                       {w->SpinEdit3, w->CheckBox3},
                                                       {w->SpinEdit5, w->CheckBox17},
                                                       {w->SpinEdit6, w->CheckBox18}};
    for (const auto &[spin, box] : pairs) {
        QVERIFY(!box->isChecked());
        QTest::keyClick(spin, Qt::Key_Up);
        QVERIFY2(box->isChecked(), qPrintable(spin->objectName()));
    }
    // Unbounded: negative values are written too.
    w->SpinEdit1->setValue(-5);
    QCOMPARE(w->SpinEdit1->value(), -5);
    // Clearing the box afterwards leaves the attribute out, though the value stays.
    w->CheckBox1->setChecked(false);
    QVERIFY(!w->ComposeTable().opening.contains(u"BORDER"_s));
}

void TestTableDialogs::cancelledColourStillTicksPanel()
{
    const auto w = window();
    m_ui->pickColor(std::nullopt).pickColor(QColor(Qt::blue));
    w->Panel12->click();
    QVERIFY(w->CheckBox16->isChecked());
    QCOMPARE(w->ComposeCell(u"TD"_s).opening, u"<TD BORDERCOLOR=\"#000000\">"_s);
    w->Panel7->click();
    QCOMPARE(w->ComposeRow().opening, u"<TR BORDERCOLORLIGHT=\"#0000FF\">"_s);
}

void TestTableDialogs::backgroundFileNeedsDocument()
{
    const auto w = window();
    m_settings.RelPa = true;
    m_ui->openFile(u"/w/site/obr/bg.gif"_s);
    w->findChild<QToolButton *>(u"SpeedButton5"_s)->click();
    QCOMPARE(w->ComboBox10->currentText(), u"obr/bg.gif"_s);
    QCOMPARE(m_ui->log.first(), u"open: Obrázky (*.gif;*.jpg;*.jpeg;*.png)|*.gif;*.jpg;*.jpeg;*.png"_s);
    // The document that is active at the press counts: without one nothing is asked.
    m_document.reset();
    w->findChild<QToolButton *>(u"SpeedButton1"_s)->click();
    QCOMPARE(w->ComboBox1->currentText(), QString());
    QCOMPARE(m_ui->log.size(), 1);
}

void TestTableDialogs::editModeEnablesOnlyTheEditedPage_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("opening");
    QTest::newRow("table") << u"TABLE"_s << 0 << u"<TABLE>"_s;
    QTest::newRow("row") << u"TR"_s << 1 << u"<TR>"_s;
    QTest::newRow("cell") << u"TD"_s << 2 << u"<TD>"_s;
    QTest::newRow("headerCellStaysTh") << u"TH"_s << 2 << u"<TH>"_s;
}

void TestTableDialogs::editModeEnablesOnlyTheEditedPage()
{
    QFETCH(QString, tag);
    QFETCH(int, page);
    QFETCH(QString, opening);
    const auto w = window();
    QVERIFY(!w->insertButton());
    w->setEditMode(tag);
    w->show();
    QCOMPARE(w->PageControl1->currentIndex(), page);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(w->PageControl1->isTabEnabled(i), i == page);
    QVERIFY(w->insertButton()->isVisible());
    QCOMPARE(w->insertButton()->text(), u"Vložit"_s);
    QCOMPARE(w->backButton()->text(), u"Zpět"_s);
    w->insertButton()->click();
    QCOMPARE(w->result(), int(QDialog::Accepted));
    QCOMPARE(w->OpeningMarkup, opening);
    // Edit mode leaves the destroying to its caller.
    QVERIFY(!w->testAttribute(Qt::WA_DeleteOnClose));
}

void TestTableDialogs::escapeClosesToolWindowForGood()
{
    QPointer<TTableForm> w = new TTableForm([this] { return context(); });
    w->show();
    QVERIFY(!w->findChild<QPushButton *>(u"InsertButton1"_s)->isVisible());
    QTest::keyClick(w, Qt::Key_Escape);
    QTRY_VERIFY(w.isNull());
}

void TestTableDialogs::gridCountsAreBounded()
{
    TForm21 grid(false);
    QCOMPARE(grid.windowTitle(), u"Tabulka"_s);
    QCOMPARE(grid.fields().rows, 0);
    grid.SpinEdit1->setValue(5000);
    grid.SpinEdit2->setValue(-3);
    QCOMPARE(grid.fields().rows, 999);
    QCOMPARE(grid.fields().columns, 0);
    QVERIFY(grid.Button1->isDefault());
}

void TestTableDialogs::gridFollowsTheMouseSelection()
{
    TForm21 grid(false);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QWidget *cells = grid.StringGrid1->viewport();
    const QPoint from = grid.StringGrid1->visualRect(grid.StringGrid1->model()->index(1, 2)).center();
    const QPoint to = grid.StringGrid1->visualRect(grid.StringGrid1->model()->index(3, 6)).center();
    QTest::mousePress(cells, Qt::LeftButton, {}, from);
    QTest::mouseMove(cells, to);
    QTest::mouseRelease(cells, Qt::LeftButton, {}, to);
    QTRY_COMPARE(grid.SpinEdit1->value(), 3);
    QCOMPARE(grid.SpinEdit2->value(), 5);
}

// Without the mouse: Shift and the arrows stretch the counts, Tab goes on to them.
void TestTableDialogs::gridServesTheKeyboard()
{
    TForm21 grid(false);
    grid.show();
    grid.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&grid));
    grid.StringGrid1->setFocus();
    QTRY_VERIFY(grid.StringGrid1->hasFocus());
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Right})
        QTest::keyClick(grid.StringGrid1, key, Qt::ShiftModifier);
    QCOMPARE(grid.SpinEdit1->value(), 2);
    QCOMPARE(grid.SpinEdit2->value(), 3);
    QTest::keyClick(grid.StringGrid1, Qt::Key_Tab);
    QTRY_VERIFY(grid.SpinEdit1->hasFocus());
    QCOMPARE(grid.fields().rows, 2);
    QCOMPARE(grid.fields().columns, 3);
}

void TestTableDialogs::gridWindowSettingsBoxFollowsTheWindow()
{
    TForm21 closed(false);
    QVERIFY(!closed.CheckBox1->isEnabled());
    QVERIFY(!closed.CheckBox1->isChecked());
    TForm21 open(true);
    QVERIFY(open.CheckBox1->isEnabled());
}

BRISKO_TEST_MAIN(TestTableDialogs)
#include "tst_tabledialogs.moc"
