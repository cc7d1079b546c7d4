#include "commands/CommandIds.h"
#include "commands/InsertTag.h"
#include "dialogs/TableDialogs.h"
#include "editor/EditorBuffer.h"
#include "interaction/Interaction.h"
#include "support/CommandHost.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>

using namespace Qt::StringLiterals;

namespace {

// Answers whatever a command asks the way a user in a hurry does: the dialog's own button
// that inserts, "Ano", the first choice, a word for a prompt, a colour; a file dialog is
// cancelled. The table grid makes a table taller than the view.
class AnswerEverything final : public Interaction
{
public:
    AnswerEverything() { m_previous = setInteraction(this); }
    ~AnswerEverything() override { setInteraction(m_previous); }

    void showError(const QString &) override {}
    void showInfo(const QString &) override {}
    Answer ask(const QString &, Buttons) override { return Answer::Yes; }
    int choose(const QString &, const QStringList &) override { return 0; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString existingDirectory(const QString &, const QString &) override { return {}; }
    std::optional<QColor> color(const QColor &) override { return QColor(Qt::red); }
    std::optional<QString> text(const QString &, const QString &, const QString &) override
    {
        return u"slovo"_s;
    }
    bool printSetup(QPrinter &) override { return false; }
    bool print(QPrinter &) override { return false; }
    int exec(QDialog &dialog) override
    {
        dialog.show();
        if (auto *grid = qobject_cast<TForm21 *>(&dialog)) {
            grid->SpinEdit1->setValue(7);
            grid->SpinEdit2->setValue(3);
            grid->Button1->click();
        } else if (auto *insert = dialog.findChild<QPushButton *>(u"InsertButton"_s)) {
            insert->click();
        } else {
            dialog.accept();
        }
        if (dialog.isVisible())
            dialog.done(QDialog::Accepted);
        return dialog.result();
    }

private:
    Interaction *m_previous = nullptr;
};

QString longPage()
{
    QString page;
    for (int line = 1; line <= 120; ++line)
        page += u"<P>Řádek %1 stránky</P>\r\n"_s.arg(line);
    return page;
}

} // namespace

// Every insertion command, run with the caret on the last line the window shows of a long
// page: what it writes ends below the visible part, where the editor has not laid out the
// lines yet. A shown document window on a real display, as the user has it; the commands
// run on the workspace as the palette runs them.
class tst_InsertBelowView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void tableGridFromThePaletteBelowTheView();
    void everyCommandWritesBelowTheView_data();
    void everyCommandWritesBelowTheView();

private:
    void putCaretOnTheLastVisibleLine();
    // The shown window of the active document, made anew when another one became active.
    EditorBuffer &view();

    std::unique_ptr<Interaction> m_answers;
    std::unique_ptr<WorkspaceFixture> m_fx;
    std::unique_ptr<CommandHost> m_host;
    std::unique_ptr<TForm2> m_window; // goes before its document
};

void tst_InsertBelowView::initTestCase()
{
    m_answers = std::make_unique<AnswerEverything>();
    m_fx = std::make_unique<WorkspaceFixture>(1);
    m_host = std::make_unique<CommandHost>(m_fx->workspace());
    view();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

EditorBuffer &tst_InsertBelowView::view()
{
    if (!m_window || &m_window->document() != m_fx->doc()) {
        m_window.reset();
        m_window = std::make_unique<TForm2>(*m_fx->doc(), *m_host);
        m_window->resize(800, 600);
        m_window->show();
        m_window->activateWindow();
    }
    return m_window->buffer();
}

void tst_InsertBelowView::cleanupTestCase()
{
    if (m_fx) {
        for (HtmlDocument *doc : m_fx->workspace().documents())
            doc->SetModified(false);
    }
    m_window.reset();
    m_fx.reset();
    m_answers.reset();
}

void tst_InsertBelowView::putCaretOnTheLastVisibleLine()
{
    m_fx->setText(longPage());
    EditorBuffer &b = view();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    b.verticalScrollBar()->setValue(0);
    const QPoint bottom = b.viewport()->rect().bottomLeft() - QPoint(0, b.fontMetrics().height());
    QTextCursor c = b.cursorForPosition(bottom);
    c.movePosition(QTextCursor::StartOfBlock);
    b.setTextCursor(c);
    QCOMPARE(b.verticalScrollBar()->value(), 0);
}

void tst_InsertBelowView::everyCommandWritesBelowTheView_data()
{
    QTest::addColumn<int>("command");
    for (int command = 1; command <= number(LastInsertion); ++command)
        QTest::newRow(qPrintable(u"command %1"_s.arg(command))) << command;
}

void tst_InsertBelowView::everyCommandWritesBelowTheView()
{
    QFETCH(int, command);
    if (m_fx->workspace().documents().isEmpty())
        m_fx->workspace().NewDocumentWindow();
    putCaretOnTheLastVisibleLine();
    const int before = m_fx->buffer().textLength();
    m_fx->insert(static_cast<Insertion>(command));
    QCoreApplication::processEvents();
    // Whatever went in, the window shows the caret where the command left it.
    if (m_fx->workspace().activeDocument() && m_fx->buffer().textLength() != before) {
        EditorBuffer &b = view();
        QVERIFY(b.viewport()->rect().intersects(b.cursorRect()));
    }
    m_fx->buffer().SetModified(false);
}

void tst_InsertBelowView::tableGridFromThePaletteBelowTheView()
{
    putCaretOnTheLastVisibleLine();
    HtmlDocument &b = m_fx->buffer();
    EditorBuffer &view = this->view();
    const int line = b.LineFromOffset(b.SelStart());
    QSignalSpy caretSet(&view, &QPlainTextEdit::cursorPositionChanged);
    m_fx->insert(Insertion::SmallTable); // the grid, seven rows of three
    // The control gets the caret once the whole table is in and laid out: a caret handed
    // over while the table was half written (each row, each cell) was measured against
    // lines not laid out yet, and the editor crashed.
    QVERIFY2(caretSet.count() <= 2, qPrintable(QString::number(caretSet.count())));
    QCoreApplication::processEvents();
    QVERIFY(b.GetText().contains(u"<TABLE"_s));
    QCOMPARE(b.GetText().count(u"</TR>"_s), 7);
    QVERIFY(b.LineFromOffset(b.SelStart()) > line);
    QVERIFY(view.viewport()->rect().intersects(view.cursorRect()));
}

BRISKO_TEST_MAIN(tst_InsertBelowView)
#include "tst_insertbelowview.moc"
