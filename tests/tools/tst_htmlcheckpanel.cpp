#include "support/TestMain.h"

#include "tools/HtmlCheckPanel.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

// The HTML check's findings from the keyboard: a document stand-in above the panel, as in
// the main window.
class tst_HtmlCheckPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void findingsAreReachedWithTheKeyboard();
    void noFindingsLeaveTheKeyboardInTheDocument();

private:
    QWidget *m_window = nullptr;
    QLineEdit *m_document = nullptr;
    HtmlCheckPanel *m_panel = nullptr;
};

void tst_HtmlCheckPanel::init()
{
    m_window = new QWidget;
    auto *layout = new QVBoxLayout(m_window);
    m_document = new QLineEdit(m_window);
    m_panel = new HtmlCheckPanel(m_window);
    m_panel->hide();
    layout->addWidget(m_document);
    layout->addWidget(m_panel);
    m_window->show();
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_document->setFocus();
    QTRY_VERIFY(m_document->hasFocus());
}

void tst_HtmlCheckPanel::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

void tst_HtmlCheckPanel::findingsAreReachedWithTheKeyboard()
{
    QSignalSpy chosen(m_panel, &HtmlCheckPanel::positionChosen);
    m_panel->showMessages(u"stránka.html"_s,
                          {{HtmlMessageKind::Warning, 9, 16, u"koncová značka </i> je špatně vnořená"_s, {}},
                           {HtmlMessageKind::Error, 11, 8, u"<foo> je neznámý prvek"_s, {}}});
    QTRY_VERIFY(m_panel->List->hasFocus());

    QTest::keyClick(m_panel->List, Qt::Key_Return);
    QTest::keyClick(m_panel->List, Qt::Key_Down);
    QTest::keyClick(m_panel->List, Qt::Key_Return);
    QCOMPARE(chosen.size(), 2);
    QCOMPARE(chosen.at(0), (QVariantList{9, 16}));
    QCOMPARE(chosen.at(1), (QVariantList{11, 8}));

    // Escape closes the list and the keyboard is back in the document, nothing chosen.
    QTest::keyClick(m_panel->List, Qt::Key_Escape);
    QVERIFY(!m_panel->isVisible());
    QTRY_VERIFY(m_document->hasFocus());
    QCOMPARE(chosen.size(), 2);
}

void tst_HtmlCheckPanel::noFindingsLeaveTheKeyboardInTheDocument()
{
    m_panel->showMessages(u"stránka.html"_s, {});
    QVERIFY(m_panel->isVisible());
    QVERIFY(m_panel->Caption->text().contains(u"bez chyb"_s));
    QVERIFY(m_document->hasFocus());
}

BRISKO_TEST_MAIN(tst_HtmlCheckPanel)
#include "tst_htmlcheckpanel.moc"
