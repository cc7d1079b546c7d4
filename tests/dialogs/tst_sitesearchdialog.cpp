#include "dialogs/SiteSearchDialog.h"
#include "support/DialogControls.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <memory>

using namespace Qt::StringLiterals;

class tst_SiteSearchDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void controlsGiveTheFields_data();
    void controlsGiveTheFields();
    void whatCannotBeSearchedKeepsTheDialogOpen_data();
    void whatCannotBeSearchedKeepsTheDialogOpen();
    void browseButtonPutsTheChosenFolderIn();
    void replaceDialogShowsChangesAndLeavesUntickedFilesOut();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ScriptedInteraction> m_ui;
};

void tst_SiteSearchDialog::init()
{
    m_ui = std::make_unique<ScriptedInteraction>();
}

void tst_SiteSearchDialog::cleanup()
{
    const bool answered = m_ui->allAnswered();
    m_ui.reset();
    QVERIFY2(answered, "a scripted answer was left over");
}

void tst_SiteSearchDialog::controlsGiveTheFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<bool>("wholeWords");
    QTest::addColumn<bool>("regularExpression");
    QTest::addColumn<QString>("masks");
    QTest::addColumn<bool>("subfolders");
    QTest::newRow("plain text, defaults") << u"© 2023"_s << false << false << false
                                          << u"*.html;*.htm;*.htx;*.htt"_s << true;
    QTest::newRow("every option on") << u"(\\d{4})"_s << true << true << true << u"*.php"_s << true;
    QTest::newRow("this folder only") << u"patička"_s << false << true << false << u"*.htm *.txt"_s << false;
}

void tst_SiteSearchDialog::controlsGiveTheFields()
{
    QFETCH(QString, text);
    QFETCH(bool, caseSensitive);
    QFETCH(bool, wholeWords);
    QFETCH(bool, regularExpression);
    QFETCH(QString, masks);
    QFETCH(bool, subfolders);
    TSiteSearchDialog dialog;
    // A new dialog offers the file panel's page types in every sub-folder.
    QCOMPARE(dialog.fields().masks, u"*.html;*.htm;*.htx;*.htt"_s);
    QVERIFY(dialog.fields().subfolders);
    dialog.offerFolders({m_dir.path(), QDir::homePath()});
    QCOMPARE(control<QComboBox>(dialog, u"ComboBox1"_s)->currentText(), QDir::toNativeSeparators(m_dir.path()));
    dialog.show();
    control<QLineEdit>(dialog, u"Edit1"_s)->setText(text);
    control<QCheckBox>(dialog, u"CheckBox1"_s)->setChecked(caseSensitive);
    control<QCheckBox>(dialog, u"CheckBox2"_s)->setChecked(wholeWords);
    control<QCheckBox>(dialog, u"CheckBox3"_s)->setChecked(regularExpression);
    control<QLineEdit>(dialog, u"Edit2"_s)->setText(masks);
    control<QCheckBox>(dialog, u"CheckBox4"_s)->setChecked(subfolders);
    press(dialog, u"OkButton"_s);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const SiteSearchFields f = dialog.fields();
    QCOMPARE(f.text, text);
    QCOMPARE(f.caseSensitive, caseSensitive);
    QCOMPARE(f.wholeWords, wholeWords);
    QCOMPARE(f.regularExpression, regularExpression);
    QCOMPARE(QDir::fromNativeSeparators(f.folder), m_dir.path());
    QCOMPARE(f.masks, masks);
    QCOMPARE(f.subfolders, subfolders);
}

void tst_SiteSearchDialog::whatCannotBeSearchedKeepsTheDialogOpen_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("regularExpression");
    QTest::addColumn<QString>("folder"); // below the temporary folder
    QTest::addColumn<QString>("error");
    QTest::newRow("nothing to find") << QString() << false << QString() << u"Není zadán hledaný text."_s;
    QTest::newRow("unclosed group") << u"(abc"_s << true << QString() << u"Chybný regulární výraz"_s;
    QTest::newRow("missing folder") << u"abc"_s << false << u"není"_s << u"neexistuje"_s;
    // The same text taken literally is fine: brackets are only characters then.
    QTest::newRow("brackets, not an expression") << u"(abc"_s << false << QString() << QString();
}

void tst_SiteSearchDialog::whatCannotBeSearchedKeepsTheDialogOpen()
{
    QFETCH(QString, text);
    QFETCH(bool, regularExpression);
    QFETCH(QString, folder);
    QFETCH(QString, error);
    TSiteSearchDialog dialog;
    dialog.show();
    SiteSearchFields f;
    f.text = text;
    f.regularExpression = regularExpression;
    f.folder = folder.isEmpty() ? m_dir.path() : m_dir.filePath(folder);
    dialog.setFields(f);
    press(dialog, u"OkButton"_s);
    if (error.isEmpty()) {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(m_ui->errors.isEmpty());
        return;
    }
    QVERIFY(dialog.isVisible());
    QCOMPARE(m_ui->errors.size(), 1);
    QVERIFY2(m_ui->errors.first().contains(error), qPrintable(m_ui->errors.first()));
}

void tst_SiteSearchDialog::browseButtonPutsTheChosenFolderIn()
{
    TSiteSearchDialog dialog;
    dialog.offerFolders({QDir::homePath()});
    m_ui->directory(m_dir.path());
    press(dialog, u"BrowseButton"_s);
    QCOMPARE(QDir::fromNativeSeparators(dialog.fields().folder), m_dir.path());
}

void tst_SiteSearchDialog::replaceDialogShowsChangesAndLeavesUntickedFilesOut()
{
    SiteSearchOptions options{u"(\\d{4}) (\\w+)"_s, false, false, true};
    const SearchPattern pattern = searchPattern(options);
    QVERIFY(pattern.ok());
    QList<FileSearchResult> results;
    for (const QString &name : {u"a.html"_s, u"b.html"_s, u"c.html"_s}) {
        FileSearchResult r = searchText(m_dir.filePath(name), u"<p>© 2023 Novák</p>"_s, pattern.expression);
        results << r;
    }
    results << FileSearchResult{m_dir.filePath(u"obrázek.gif"_s), {}, u"přeskočeno: soubor není text"_s, {}, {}, {}};
    TReplaceInFilesDialog dialog(results, pattern);
    auto *files = control<QTreeWidget>(dialog, u"Files"_s);
    // The skipped file has nothing to change and is not offered.
    QCOMPARE(files->topLevelItemCount(), 3);
    control<QLineEdit>(dialog, u"Edit1"_s)->setText(u"\\2 \\1"_s);
    QCOMPARE(files->topLevelItem(0)->child(0)->text(0), u"1:6  <p>© [Novák 2023]</p>"_s);
    files->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    dialog.show();
    press(dialog, u"OkButton"_s);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.replacement(), u"\\2 \\1"_s);
    QCOMPARE(dialog.chosenFiles(), (QStringList{m_dir.filePath(u"a.html"_s), m_dir.filePath(u"c.html"_s)}));
}

BRISKO_TEST_MAIN(tst_SiteSearchDialog)
#include "tst_sitesearchdialog.moc"
