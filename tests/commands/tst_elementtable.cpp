#include "support/DialogControls.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QAction>
#include <QDialog>
#include <QTest>

using namespace Qt::StringLiterals;

// The element dialogs as the user drives them with keys, through F7 on a tag.
class tst_ElementTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void keysLeaveUntouchedValuesAlone_data();
    void keysLeaveUntouchedValuesAlone();

private:
    void pressF7() { m_fx->window().action(u"EditCurrentTag"_s)->trigger(); }

    std::unique_ptr<MainWindowFixture> m_fx;
    std::unique_ptr<ScriptedInteraction> m_script;
};

void tst_ElementTable::init()
{
    m_fx = std::make_unique<MainWindowFixture>();
    m_script = std::make_unique<ScriptedInteraction>();
}

void tst_ElementTable::cleanup()
{
    m_fx.reset();
    endScript(m_script);
}

void tst_ElementTable::keysLeaveUntouchedValuesAlone_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");    // typed over the control's text first, if any
    QTest::addColumn<int>("key");          // then this key: Enter, or Tab to leave the field
    QTest::addColumn<QString>("expected"); // the tag "Vložit" writes afterwards

    // A drop-down list only suggests: neither Enter nor leaving the field changes the case
    // of what the tag or the user wrote to that of a list item.
    QTest::newRow("input type read in lower case, Enter")
        << u"<INPUT TYPE=text>"_s << u"ComboBox1"_s << QString() << int(Qt::Key_Return)
        << u"<INPUT  TYPE=\"text\">"_s;
    QTest::newRow("form method typed in lower case, Tab")
        << u"<FORM NAME=f>"_s << u"ComboBox1"_s << u"post"_s << int(Qt::Key_Tab)
        << u"<FORM  NAME=\"f\" METHOD=\"post\">"_s;
    QTest::newRow("form method typed in lower case, Enter")
        << u"<FORM NAME=f>"_s << u"ComboBox1"_s << u"get"_s << int(Qt::Key_Return)
        << u"<FORM  NAME=\"f\" METHOD=\"get\">"_s;
    // Enter in a number field that was not changed does not switch its attribute on.
    QTest::newRow("input tab index, Enter")
        << u"<INPUT TYPE=text>"_s << u"SpinEdit1"_s << QString() << int(Qt::Key_Return)
        << u"<INPUT  TYPE=\"text\">"_s;
    QTest::newRow("frameset spacing, Enter")
        << u"<FRAMESET ROWS=\"*,*\" FRAMEBORDER=0 SCROLLING=no>"_s << u"SpinEdit1"_s
        << QString() << int(Qt::Key_Return)
        << u"<FRAMESET  ROWS=\"*,*\" FRAMEBORDER=NO SCROLLING=NO>"_s;
    QTest::newRow("image height, Enter")
        << u"<IMG ALT=x>"_s << u"SpinEdit2"_s << QString() << int(Qt::Key_Return)
        << u"<IMG  ALT=\"x\">"_s;
    // A real change still ticks the box.
    QTest::newRow("input tab index typed, Enter")
        << u"<INPUT TYPE=text>"_s << u"SpinEdit1"_s << u"3"_s << int(Qt::Key_Return)
        << u"<INPUT  TYPE=\"text\" TABINDEX=3>"_s;
}

void tst_ElementTable::keysLeaveUntouchedValuesAlone()
{
    QFETCH(QString, tag);
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, expected);

    m_fx->setText(tag, 2);
    m_script->dialog([&](QDialog &d) {
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QWidget *field = ::control<QWidget>(d, control);
        field->setFocus(Qt::MouseFocusReason);
        QTRY_VERIFY(field->hasFocus());
        if (!typed.isEmpty()) {
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, typed);
        }
        QTest::keyClick(field, Qt::Key(key));
        // Enter presses the default button "Vložit"; after Tab the user presses it.
        if (d.result() != QDialog::Accepted)
            pressInsert(d);
    });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(), expected);
}

BRISKO_TEST_MAIN(tst_ElementTable)
#include "tst_elementtable.moc"
