#include "dialogs/UserTags.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

using Answer = Interaction::Answer;

// Fills TForm20 and presses "Ok" (or "Zpět" when cancel is set).
ScriptedInteraction::DialogDriver entry(const QString &description, const QString &opening,
                                        const QString &closing, bool cancel = false)
{
    return [=](QDialog &d) {
        d.findChild<QLineEdit *>(u"Edit1"_s)->setText(description);
        d.findChild<QLineEdit *>(u"Edit2"_s)->setText(opening);
        d.findChild<QLineEdit *>(u"Edit3"_s)->setText(closing);
        d.findChild<QPushButton *>(cancel ? u"Button2"_s : u"Button1"_s)->click();
    };
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_UserTags : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void windowHasTitleButtonsAndHints();
    void newTagIsAddedSortedAndSelected();
    void commaInDescriptionOrOpeningIsRefused();
    void saveAsAppendsTagAndClearsMark();
    void sameDescriptionsInsertTheirOwnLines();
    void clickShowsOpeningDotsClosing();
    void editCancelledStillMarksModified();
    void deleteSelectsFirst();
    void openReadsAndSortsThenSaveWritesSorted();
    void yesWithCancelledSaveAsKeepsTheList();
    void noDropsTheChangesAndLoads();
    void failedReadKeepsNoFileName();
    void failedWriteShowsErrorNotSaved();
    void closingAsksAndCancelledSaveKeepsWindow();
    void nothingChosenDoesNothing();
    void escapeClosesTheWindow();
    void keyboardAddsAndRemovesTags();
    void tabReachesEveryButton();
    void keyboardComesBackAfterADialog_data();
    void keyboardComesBackAfterADialog();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TUserTags> m_tags;
};

void tst_UserTags::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_tags = std::make_unique<TUserTags>(nullptr);
    m_tags->show();
}

void tst_UserTags::cleanup()
{
    if (m_tags)
        m_tags->discardChanges();
    m_tags.reset();
    m_dir.reset();
}

void tst_UserTags::windowHasTitleButtonsAndHints()
{
    QCOMPARE(m_tags->windowTitle(), u"Uživatelské tagy"_s);
    const QStringList hints{u"Nový soubor"_s, u"Otevřít soubor"_s, u"Uložit soubor"_s, u"Nový tag"_s,
                            u"Upravit tag"_s, u"Smazat tag"_s, u"Vložit tag"_s};
    for (int i = 0; i < hints.size(); ++i) {
        auto *b = m_tags->findChild<QToolButton *>(u"SpeedButton"_s + QString::number(i + 1));
        QVERIFY(b);
        QCOMPARE(b->toolTip(), hints[i]);
        QVERIFY(!b->icon().isNull());
    }
    QVERIFY(!m_tags->isModified());
}

void tst_UserTags::newTagIsAddedSortedAndSelected()
{
    ScriptedInteraction answers;
    answers.dialog(entry(u"zvýraznění"_s, u"<EM>"_s, u"</EM>"_s))
        .dialog(entry(u"Čára"_s, u"<HR>"_s, QString()));
    m_tags->newTag();
    m_tags->newTag();
    QCOMPARE(answers.log, (QStringList{u"dialog: Nový tag"_s, u"dialog: Nový tag"_s}));
    QCOMPARE(m_tags->lines(), (QStringList{u"Čára,<HR>,"_s, u"zvýraznění,<EM>,</EM>"_s}));
    QCOMPARE(m_tags->ListBox1->item(0)->text(), u"Čára"_s);
    QCOMPARE(m_tags->ListBox1->currentRow(), 0);
    QVERIFY(m_tags->isModified());
}

void tst_UserTags::commaInDescriptionOrOpeningIsRefused()
{
    ScriptedInteraction answers;
    answers.dialog([](QDialog &d) {
        entry(u"a, b"_s, u"<B>"_s, u"</B>"_s)(d);
        QVERIFY(d.isVisible()); // refused: the dialog stays
        entry(u"ab"_s, u"<FONT FACE=\"x,y\">"_s, u"</FONT>"_s)(d);
        QVERIFY(d.isVisible());
        entry(u"ab"_s, u"<B>"_s, u"</B>, , "_s)(d);
    });
    m_tags->newTag();
    QCOMPARE(answers.errors.size(), 2);
    QCOMPARE(m_tags->lines(), QStringList{u"ab,<B>,</B>, , "_s});
}

void tst_UserTags::saveAsAppendsTagAndClearsMark()
{
    ScriptedInteraction answers;
    answers.dialog(entry(u"Tučně"_s, u"<B>"_s, u"</B>"_s)).saveFile(m_dir->filePath(u"moje"_s));
    m_tags->newTag();
    QVERIFY(m_tags->saveFile());
    QCOMPARE(answers.log.last(), u"save: Uživatelské tagy (*.tag)|*.tag|"_s);
    QCOMPARE(m_tags->fileName(), m_dir->filePath(u"moje.tag"_s));
    QCOMPARE(readBytes(m_dir->filePath(u"moje.tag"_s)), QByteArray("Tu\xe8n\xec,<B>,</B>\r\n"));
    QCOMPARE(m_tags->statusText(), u"Soubor byl uložen ..."_s);
    QVERIFY(!m_tags->isModified());
}

void tst_UserTags::sameDescriptionsInsertTheirOwnLines()
{
    const QString path = m_dir->filePath(u"ab.tag"_s);
    writeBytes(path, "a b,<I>,</I>\r\na,<B>,</B>\r\n");
    QVERIFY(m_tags->loadFile(path));
    QSignalSpy inserted(m_tags.get(), &TUserTags::insertRequested);
    // Whole lines are sorted: the blank of "a b" comes before the comma of "a,".
    QCOMPARE(m_tags->ListBox1->item(0)->text(), u"a b"_s);
    QCOMPARE(m_tags->ListBox1->item(1)->text(), u"a"_s);
    m_tags->ListBox1->setCurrentRow(1);
    m_tags->insertTag();
    m_tags->ListBox1->setCurrentRow(0);
    m_tags->insertTag();
    QCOMPARE(inserted.size(), 2);
    QCOMPARE(inserted[0], (QVariantList{u"<B>"_s, u"</B>"_s}));
    QCOMPARE(inserted[1], (QVariantList{u"<I>"_s, u"</I>"_s}));
    QCOMPARE(m_tags->statusText(), u"<I>..</I>"_s);
}

void tst_UserTags::clickShowsOpeningDotsClosing()
{
    const QString path = m_dir->filePath(u"x.tag"_s);
    writeBytes(path, "Popis,<HR>\r\n");
    QVERIFY(m_tags->loadFile(path));
    m_tags->ListBox1->setCurrentRow(0);
    QCOMPARE(m_tags->statusText(), u"..<HR>"_s);
    QCOMPARE(m_tags->draggedDropText(), QString()); // no drag runs
}

void tst_UserTags::editCancelledStillMarksModified()
{
    const QString path = m_dir->filePath(u"x.tag"_s);
    writeBytes(path, "a,<B>,</B>\r\nb,<I>,</I>\r\n");
    QVERIFY(m_tags->loadFile(path));
    QVERIFY(!m_tags->isModified());
    ScriptedInteraction answers;
    answers.dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Upravit tag"_s);
        QCOMPARE(d.findChild<QLineEdit *>(u"Edit1"_s)->text(), u"b"_s);
        QCOMPARE(d.findChild<QLineEdit *>(u"Edit2"_s)->text(), u"<I>"_s);
        QCOMPARE(d.findChild<QLineEdit *>(u"Edit3"_s)->text(), u"</I>"_s);
        d.findChild<QPushButton *>(u"Button2"_s)->click();
    });
    m_tags->ListBox1->setCurrentRow(1);
    m_tags->editTag();
    QVERIFY(m_tags->isModified());
    QCOMPARE(m_tags->lines().size(), 2);

    answers.dialog(entry(u"0 první"_s, u"<U>"_s, u"</U>"_s));
    m_tags->editTag();
    QCOMPARE(m_tags->lines(), (QStringList{u"0 první,<U>,</U>"_s, u"a,<B>,</B>"_s}));
    QCOMPARE(m_tags->ListBox1->currentRow(), 0);
}

void tst_UserTags::deleteSelectsFirst()
{
    const QString path = m_dir->filePath(u"x.tag"_s);
    writeBytes(path, "a,1,\r\nb,2,\r\nc,3,\r\n");
    QVERIFY(m_tags->loadFile(path));
    m_tags->ListBox1->setCurrentRow(2);
    m_tags->deleteTag();
    QCOMPARE(m_tags->lines(), (QStringList{u"a,1,"_s, u"b,2,"_s}));
    QCOMPARE(m_tags->ListBox1->count(), 2);
    QCOMPARE(m_tags->ListBox1->currentRow(), 0);
    QVERIFY(m_tags->isModified());
}

void tst_UserTags::openReadsAndSortsThenSaveWritesSorted()
{
    const QString path = m_dir->filePath(u"x.tag"_s);
    writeBytes(path, "zz,<Z>,\nAA,<A>,\rmm,<M>,");
    ScriptedInteraction answers;
    answers.openFile(path);
    m_tags->openFile();
    QCOMPARE(answers.log, QStringList{u"open: Uživatelské tagy (*.tag)|*.tag"_s});
    QCOMPARE(m_tags->fileName(), path);
    QVERIFY(m_tags->saveFile());
    QCOMPARE(readBytes(path), QByteArray("AA,<A>,\r\nmm,<M>,\r\nzz,<Z>,\r\n"));
}

void tst_UserTags::yesWithCancelledSaveAsKeepsTheList()
{
    ScriptedInteraction answers;
    answers.dialog(entry(u"a"_s, u"<B>"_s, u"</B>"_s));
    m_tags->newTag();
    const QString other = m_dir->filePath(u"other.tag"_s);
    writeBytes(other, "b,<I>,</I>\r\n");

    answers.answer(Answer::Yes).saveFile(QString());
    QVERIFY(!m_tags->loadFile(other));
    QCOMPARE(answers.questions, QStringList{u"Soubor byl změněn, chcete jej uložit?"_s});
    QCOMPARE(m_tags->lines(), QStringList{u"a,<B>,</B>"_s});
    QVERIFY(m_tags->isModified());

    // "Nový soubor" and "Otevřít soubor" keep it the same way.
    answers.answer(Answer::Yes).saveFile(QString());
    m_tags->newFile();
    answers.answer(Answer::Yes).saveFile(QString());
    m_tags->openFile();
    QCOMPARE(m_tags->lines(), QStringList{u"a,<B>,</B>"_s});
    QVERIFY(answers.allAnswered());
}

void tst_UserTags::noDropsTheChangesAndLoads()
{
    ScriptedInteraction answers;
    answers.dialog(entry(u"a"_s, u"<B>"_s, u"</B>"_s));
    m_tags->newTag();
    const QString other = m_dir->filePath(u"other.tag"_s);
    writeBytes(other, "b,<I>,</I>\r\n");
    answers.answer(Answer::No);
    QVERIFY(m_tags->loadFile(other));
    QCOMPARE(m_tags->lines(), QStringList{u"b,<I>,</I>"_s});
    QCOMPARE(m_tags->fileName(), other);
}

void tst_UserTags::failedReadKeepsNoFileName()
{
    const QString good = m_dir->filePath(u"good.tag"_s);
    writeBytes(good, "a,<B>,</B>\r\n");
    QVERIFY(m_tags->loadFile(good));
    ScriptedInteraction answers;
    QVERIFY(m_tags->loadFile(m_dir->filePath(u"missing.tag"_s)));
    QCOMPARE(answers.errors.size(), 1);
    QVERIFY(m_tags->lines().isEmpty());
    QCOMPARE(m_tags->ListBox1->count(), 0);
    QCOMPARE(m_tags->fileName(), QString());
    // So a save asks for a name instead of writing over another file.
    answers.saveFile(QString());
    QVERIFY(!m_tags->saveFile());
    QCOMPARE(readBytes(good), QByteArray("a,<B>,</B>\r\n"));
}

void tst_UserTags::failedWriteShowsErrorNotSaved()
{
    ScriptedInteraction answers;
    answers.dialog(entry(u"a"_s, u"<B>"_s, u"</B>"_s))
        .saveFile(m_dir->filePath(u"no/such/folder/x.tag"_s));
    m_tags->newTag();
    QVERIFY(!m_tags->saveFile());
    QCOMPARE(answers.errors.size(), 1);
    QVERIFY(!m_tags->statusText().contains(u"uložen"_s));
    QVERIFY(m_tags->isModified());
    QCOMPARE(m_tags->lines(), QStringList{u"a,<B>,</B>"_s});
    QCOMPARE(m_tags->fileName(), QString());
}

void tst_UserTags::closingAsksAndCancelledSaveKeepsWindow()
{
    ScriptedInteraction answers;
    answers.dialog(entry(u"a"_s, u"<B>"_s, u"</B>"_s));
    m_tags->newTag();
    m_tags->setAttribute(Qt::WA_DeleteOnClose, false);
    answers.answer(Answer::Yes).saveFile(QString());
    QVERIFY(!m_tags->close());
    QVERIFY(m_tags->isVisible());
    answers.answer(Answer::No);
    QVERIFY(m_tags->close());
    QVERIFY(answers.allAnswered());
}

void tst_UserTags::nothingChosenDoesNothing()
{
    ScriptedInteraction answers;
    QSignalSpy inserted(m_tags.get(), &TUserTags::insertRequested);
    m_tags->editTag();
    m_tags->deleteTag();
    m_tags->insertTag();
    QCOMPARE(inserted.size(), 0);
    QVERIFY(!m_tags->isModified());
    QVERIFY(answers.log.isEmpty());
}

void tst_UserTags::escapeClosesTheWindow()
{
    m_tags->setAttribute(Qt::WA_DeleteOnClose, false);
    m_tags->ListBox1->setFocus();
    QTest::keyClick(m_tags->ListBox1, Qt::Key_Escape);
    QVERIFY(!m_tags->isVisible());
}

void tst_UserTags::keyboardAddsAndRemovesTags()
{
    ScriptedInteraction answers;
    answers.dialog(entry(u"tučně"_s, u"<B>"_s, u"</B>"_s))
        .dialog(entry(u"kurzíva"_s, u"<I>"_s, u"</I>"_s));
    m_tags->ListBox1->setFocus();
    QTest::keyClick(m_tags->ListBox1, Qt::Key_Insert);
    QTest::keyClick(m_tags->ListBox1, Qt::Key_Insert);
    QVERIFY(answers.allAnswered());
    QCOMPARE(m_tags->lines(), (QStringList{u"kurzíva,<I>,</I>"_s, u"tučně,<B>,</B>"_s}));
    m_tags->ListBox1->setCurrentRow(1);
    QTest::keyClick(m_tags->ListBox1, Qt::Key_Delete);
    QCOMPARE(m_tags->lines(), QStringList{u"kurzíva,<I>,</I>"_s});
    QVERIFY(m_tags->isModified());
}

// Without a mouse the buttons are the only way to open, save or edit a tag file.
void tst_UserTags::tabReachesEveryButton()
{
    m_tags->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_tags.get()));
    m_tags->ListBox1->setFocus();
    QStringList reached;
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(reached, (QStringList{u"SpeedButton1"_s, u"SpeedButton2"_s, u"SpeedButton3"_s,
                                   u"SpeedButton4"_s, u"SpeedButton5"_s, u"SpeedButton6"_s,
                                   u"SpeedButton7"_s}));
    // Space presses the focused button: "Nový tag" here.
    ScriptedInteraction answers;
    answers.dialog(entry(u"čára"_s, u"<HR>"_s, QString()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"SpeedButton4"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(answers.allAnswered());
    QCOMPARE(m_tags->lines(), QStringList{u"čára,<HR>,"_s});
}

void tst_UserTags::keyboardComesBackAfterADialog_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Insert") << u"Insert"_s;
    QTest::newRow("Nový tag") << u"SpeedButton4"_s;
    QTest::newRow("Upravit tag") << u"SpeedButton5"_s;
}

// Some window managers give the keyboard to the main window when a dialog of a tool window
// closes; the next keys were typed into the page.
void tst_UserTags::keyboardComesBackAfterADialog()
{
    QFETCH(QString, way);
    const QString path = m_dir->filePath(u"t.tag"_s);
    writeBytes(path, "a,<A>,</A>\r\n");
    QVERIFY(m_tags->loadFile(path));
    m_tags->ListBox1->setCurrentRow(0);
    QWidget page;
    page.show();
    ScriptedInteraction answers;
    answers.dialog([&page](QDialog &d) {
        page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        entry(u"b"_s, u"<B>"_s, u"</B>"_s)(d);
    });
    m_tags->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_tags.get()));
    if (way == u"Insert"_s)
        QTest::keyClick(m_tags->ListBox1, Qt::Key_Insert);
    else
        m_tags->findChild<QToolButton *>(way)->click();
    QVERIFY(answers.allAnswered());
    QTRY_VERIFY(m_tags->isActiveWindow());
}

BRISKO_TEST_MAIN(tst_UserTags)
#include "tst_usertags.moc"
