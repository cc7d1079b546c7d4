#include "dialogs/SettingsDialog.h"
#include "settings/TSettings.h"
#include "support/DialogControls.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

using namespace Qt::StringLiterals;

namespace {

// Every field the dialog edits, by name, so one table can check that each control reaches
// its own field and no other.
QVariantMap editedFields(const TSettings &s)
{
    return {
        {u"TEXT"_s, s.TEXT}, {u"TAG"_s, s.TAG}, {u"IMAGE"_s, s.IMAGE}, {u"LINK"_s, s.LINK},
        {u"SCRIPT"_s, s.SCRIPT}, {u"STYLE"_s, s.STYLE}, {u"RelPa"_s, s.RelPa},
        {u"Alt92"_s, s.Alt92}, {u"InsideTagCheck"_s, s.InsideTagCheck}, {u"Ulpre"_s, s.Ulpre},
        {u"GenVys"_s, s.GenVys}, {u"Backup"_s, s.Backup}, {u"BackupPrip"_s, s.BackupPrip},
        {u"FITIP"_s, s.FITIP}, {u"Colorize"_s, s.Colorize}, {u"EditFont"_s, s.EditFont},
        {u"Vyska"_s, s.Vyska}, {u"Tab"_s, s.Tab}, {u"Alt_Enter"_s, s.Alt_Enter},
        {u"Alt_Enter_Text"_s, s.Alt_Enter_Text}, {u"IBrow"_s, s.IBrow},
        {u"ExtBrow"_s, s.ExtBrow}, {u"MetaCz"_s, s.MetaCz}, {u"UseDDE"_s, s.UseDDE},
        {u"UpperCaseFiles"_s, s.UpperCaseFiles}, {u"FindDir"_s, s.FindDir},
        {u"HidePrew"_s, s.HidePrew}, {u"Tipky"_s, s.Tipky}, {u"PanelRight"_s, s.PanelRight},
        {u"AutoIntend"_s, s.AutoIntend}, {u"ReopenSession"_s, s.ReopenSession},
        {u"CssSelector"_s, s.CssSelector}, {u"CssProperty"_s, s.CssProperty},
        {u"CssValue"_s, s.CssValue}, {u"CssComment"_s, s.CssComment},
        {u"JsKeyword"_s, s.JsKeyword}, {u"JsString"_s, s.JsString},
        {u"JsNumber"_s, s.JsNumber}, {u"JsComment"_s, s.JsComment},
        {u"MarkupStyle"_s, s.MarkupStyle},
        {u"LineNumbers"_s, s.LineNumbers},
        {u"TagPairs"_s, s.TagPairs}, {u"CloseTags"_s, s.CloseTags},
        {u"RenamePairs"_s, s.RenamePairs}, {u"Completion"_s, s.Completion},
    };
}

// A record unlike the defaults in every edited field.
TSettings unusualSettings()
{
    TSettings s;
    s.TEXT = 0x102030; s.TAG = 0x112233; s.IMAGE = 0x445566; s.LINK = 0x778899;
    s.SCRIPT = 0xAABBCC; s.STYLE = 0xDDEEFF;
    s.RelPa = false; s.Alt92 = true; s.InsideTagCheck = false; s.Ulpre = true;
    s.GenVys = false; s.Backup = true; s.BackupPrip = u"old"_s; s.FITIP = 1;
    s.Colorize = false; s.EditFont = u"Some Face"_s; s.Vyska = 13; s.Tab = 3;
    s.Alt_Enter = false; s.Alt_Enter_Text = u"<P>"_s; s.IBrow = false;
    s.ExtBrow = u"/opt/browser"_s; s.MetaCz = false; s.UseDDE = true;
    s.UpperCaseFiles = true; s.FindDir = false; s.HidePrew = false; s.Tipky = false;
    s.PanelRight = false; s.AutoIntend = false; s.ReopenSession = false;
    s.CssSelector = 0x010101; s.CssProperty = 0x020202; s.CssValue = 0x030303;
    s.CssComment = 0x040404; s.JsKeyword = 0x050505; s.JsString = 0x060606;
    s.JsNumber = 0x070707; s.JsComment = 0x080808; s.MarkupStyle = u"HTML5"_s;
    s.LineNumbers = false; s.TagPairs = false; s.CloseTags = true; s.RenamePairs = false;
    s.Completion = false;
    s.RecentFiles[0] = u"/web/a.htm"_s;
    s.UserCommands[2] = {true, true, u"cap"_s, u"/bin/x"_s, u"<a>"_s, u"</a>"_s, 7};
    return s;
}

} // namespace

class tst_SettingsDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty()); }

    void pagesAndButtonsCarryTheirTexts();
    void everyTextIsShownWhole();
    void okStoresAndZpetDiscards_data();
    void okStoresAndZpetDiscards();
    void defaultsStayAfterZpet();
    void formatOutsideTheThreeIsKept();
    void everyControlMapsToItsField_data();
    void everyControlMapsToItsField();
    void colorPickersMapToTheirFields_data();
    void colorPickersMapToTheirFields();
    void oneColorGivesEveryPickerTheTextColor();
    void browseFillsTheBrowserField_data();
    void browseFillsTheBrowserField();
    void fontListIsSortedAndShowsTheStoredFace();
};

void tst_SettingsDialog::pagesAndButtonsCarryTheirTexts()
{
    TSettings s;
    TSettingsForm d(s);
    QCOMPARE(d.windowTitle(), u"Nastavení"_s);
    QVERIFY(d.isModal());
    QCOMPARE(d.minimumSize(), d.maximumSize());
    auto *pages = control<QTabWidget>(d, u"PageControl1"_s);
    QCOMPARE(pages->count(), 4);
    QCOMPARE(pages->tabText(0), u"Obecné"_s);
    QCOMPARE(pages->tabText(1), u"Barvy"_s);
    QCOMPARE(pages->tabText(2), u"Editor"_s);
    QCOMPARE(pages->tabText(3), u"Prohlížení "_s);
    QVERIFY(control<QPushButton>(d, u"OkButton"_s)->isDefault());
    QCOMPARE(control<QPushButton>(d, u"CancelButton"_s)->text(), u"Zpět"_s);
    QCOMPARE(control<QPushButton>(d, u"DefaultsButton"_s)->text(), u"Původní nastavení"_s);
    QCOMPARE(control<QCheckBox>(d, u"MetaCzCheck"_s)->text(),
             u"Vkládat při generování hlavičky META tag  pro češtinu"_s);
    QCOMPARE(control<QCheckBox>(d, u"SlashCheck"_s)->text(),
             u"Ve jménech souboru použít lomítko ' / '"_s);
}

void tst_SettingsDialog::everyTextIsShownWhole()
{
    TSettings s;
    TSettingsForm d(s);
    d.show();
    auto *pages = control<QTabWidget>(d, u"PageControl1"_s);
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        QWidget *page = pages->widget(i);
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        if (!qEnvironmentVariableIsEmpty("BRISKO_GRAB_DIR"))
            d.grab().save(qEnvironmentVariable("BRISKO_GRAB_DIR") + u"/page%1.png"_s.arg(i));
        for (QWidget *w : page->findChildren<QWidget *>()) {
            auto *label = qobject_cast<QLabel *>(w);
            if (!qobject_cast<QAbstractButton *>(w) && !label)
                continue;
            if (label && label->wordWrap()) {
                QVERIFY2(label->height() >= label->heightForWidth(label->width()),
                         qPrintable(label->text()));
                continue;
            }
            QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName()));
            QVERIFY2(page->rect().contains(w->geometry().translated(
                         w->parentWidget()->mapTo(page, QPoint()))),
                     qPrintable(w->objectName()));
        }
    }
}

void tst_SettingsDialog::okStoresAndZpetDiscards_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<bool>("stored");
    QTest::newRow("ok-stores") << QByteArray("OkButton") << true;
    QTest::newRow("zpet-discards") << QByteArray("CancelButton") << false;
}

void tst_SettingsDialog::okStoresAndZpetDiscards()
{
    QFETCH(QByteArray, button);
    QFETCH(bool, stored);
    const TSettings s = unusualSettings();
    TSettingsForm d(s);
    control<QSpinBox>(d, u"TabSpin"_s)->setValue(4);
    control<QCheckBox>(d, u"RelPaCheck"_s)->setChecked(true);
    press(d, QString::fromLatin1(button));
    QCOMPARE(d.result(), stored ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(d.chosenSettings().has_value(), stored);
    // The dialog edits a copy: the caller's record is as it was either way.
    QVERIFY(s == unusualSettings());
    if (!stored)
        return;
    TSettings expected = s;
    expected.Tab = 4;
    expected.RelPa = true;
    // What the dialog does not show (recent files, user commands, placement) comes back too.
    QVERIFY(*d.chosenSettings() == expected);
}

void tst_SettingsDialog::defaultsStayAfterZpet()
{
    const TSettings given = unusualSettings();
    TSettingsForm d(given);
    press(d, u"DefaultsButton"_s);
    // The controls show the defaults at once.
    QCOMPARE(control<QComboBox>(d, u"FontCombo"_s)->currentText(), u"Courier New"_s);
    QVERIFY(control<QRadioButton>(d, u"FitipDos"_s)->isChecked());
    control<QSpinBox>(d, u"TabSpin"_s)->setValue(2);
    press(d, u"CancelButton"_s);
    QVERIFY(d.defaultsRestored());
    QVERIFY(d.chosenSettings());
    const TSettings s = *d.chosenSettings();
    TSettings expected = unusualSettings();
    SetDefaultSettings(expected);
    QCOMPARE(editedFields(s), editedFields(expected));
    // Neither the recent files nor the user commands' texts are defaults.
    QCOMPARE(s.RecentFiles[0], u"/web/a.htm"_s);
    QCOMPARE(s.UserCommands[2].Caption, u"cap"_s);
    QCOMPARE(s.UserCommands[2].active, false);
}

void tst_SettingsDialog::formatOutsideTheThreeIsKept()
{
    TSettings s;
    s.FITIP = 5;
    TSettingsForm d(s);
    for (const char *name : {"FitipDos", "FitipUnix", "FitipMac"})
        QVERIFY(!control<QRadioButton>(d, QLatin1StringView(name))->isChecked());
    press(d, u"OkButton"_s);
    QCOMPARE(d.chosenSettings()->FITIP, 5);
}

void tst_SettingsDialog::everyControlMapsToItsField_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("newValue");
    // Check boxes: the control shows the field, and toggling it changes that field alone.
    QTest::newRow("relative-paths") << u"RelPaCheck"_s << u"RelPa"_s << QVariant(true);
    // Ticked means forward slashes, so it is the inverse of Alt92.
    QTest::newRow("slash-is-not-alt92") << u"SlashCheck"_s << u"Alt92"_s << QVariant(false);
    QTest::newRow("inside-tag") << u"InsideTagCheck"_s << u"InsideTagCheck"_s << QVariant(true);
    QTest::newRow("meta-cz") << u"MetaCzCheck"_s << u"MetaCz"_s << QVariant(true);
    QTest::newRow("image-size") << u"GenVysCheck"_s << u"GenVys"_s << QVariant(true);
    QTest::newRow("colorize") << u"ColorizeCheck"_s << u"Colorize"_s << QVariant(true);
    QTest::newRow("find-dir") << u"FindDirCheck"_s << u"FindDir"_s << QVariant(true);
    QTest::newRow("hide-panel") << u"HidePrewCheck"_s << u"HidePrew"_s << QVariant(true);
    QTest::newRow("save-before-preview") << u"UlpreCheck"_s << u"Ulpre"_s << QVariant(false);
    QTest::newRow("upper-case") << u"UpperCaseFilesCheck"_s << u"UpperCaseFiles"_s
                                << QVariant(false);
    QTest::newRow("backup") << u"BackupCheck"_s << u"Backup"_s << QVariant(false);
    QTest::newRow("reopen-session") << u"ReopenSessionCheck"_s << u"ReopenSession"_s
                                    << QVariant(true);
    QTest::newRow("alt-enter") << u"AltEnterCheck"_s << u"Alt_Enter"_s << QVariant(true);
    QTest::newRow("internal-browser") << u"IBrowCheck"_s << u"IBrow"_s << QVariant(true);
    QTest::newRow("dde") << u"UseDDECheck"_s << u"UseDDE"_s << QVariant(false);
    QTest::newRow("line-numbers") << u"LineNumbersCheck"_s << u"LineNumbers"_s << QVariant(true);
    QTest::newRow("tag-pairs") << u"TagPairsCheck"_s << u"TagPairs"_s << QVariant(true);
    QTest::newRow("close-tags") << u"CloseTagsCheck"_s << u"CloseTags"_s << QVariant(false);
    QTest::newRow("rename-pairs") << u"RenamePairsCheck"_s << u"RenamePairs"_s << QVariant(true);
    QTest::newRow("completion") << u"CompletionCheck"_s << u"Completion"_s << QVariant(true);
    // Text fields, spin fields and the font name.
    QTest::newRow("backup-ext") << u"BackupPripEdit"_s << u"BackupPrip"_s << QVariant(u"~"_s);
    QTest::newRow("alt-enter-text") << u"AltEnterEdit"_s << u"Alt_Enter_Text"_s
                                    << QVariant(u"<BR>\u00e1"_s);
    QTest::newRow("ext-browser") << u"ExtBrowEdit"_s << u"ExtBrow"_s
                                 << QVariant(u"/usr/bin/b"_s);
    QTest::newRow("font-size") << u"SizeSpin"_s << u"Vyska"_s << QVariant(22);
    QTest::newRow("tab-spaces") << u"TabSpin"_s << u"Tab"_s << QVariant(5);
    QTest::newRow("font-face") << u"FontCombo"_s << u"EditFont"_s << QVariant(u"Other"_s);
    // The line-end format.
    QTest::newRow("format-dos") << u"FitipDos"_s << u"FITIP"_s << QVariant(0);
    QTest::newRow("format-mac") << u"FitipMac"_s << u"FITIP"_s << QVariant(2);
    // "Styl kódu": the list shows "HTML 4" and "HTML5", the settings keep their words.
    QTest::newRow("markup-style") << u"MarkupStyleCombo"_s << u"MarkupStyle"_s << QVariant(u"HTML4"_s);
}

void tst_SettingsDialog::everyControlMapsToItsField()
{
    QFETCH(QString, control);
    QFETCH(QString, field);
    QFETCH(QVariant, newValue);
    const TSettings before = unusualSettings();
    TSettingsForm d(before);
    QWidget *w = d.findChild<QWidget *>(control);
    QVERIFY(w);
    const QVariant shown = editedFields(before).value(field);
    if (auto *radio = qobject_cast<QRadioButton *>(w)) {
        QVERIFY(!radio->isChecked());
        radio->click();
    } else if (auto *box = qobject_cast<QCheckBox *>(w)) {
        const bool inverse = control == u"SlashCheck"_s;
        QCOMPARE(box->isChecked(), shown.toBool() != inverse);
        box->click();
    } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        QCOMPARE(edit->text(), shown.toString());
        edit->setText(newValue.toString());
    } else if (auto *spin = qobject_cast<QSpinBox *>(w)) {
        QCOMPARE(spin->value(), shown.toInt());
        spin->setValue(newValue.toInt());
    } else if (auto *combo = qobject_cast<QComboBox *>(w); combo && !combo->isEditable()) {
        QCOMPARE(combo->currentData().toString(), shown.toString());
        combo->setCurrentIndex(combo->findData(newValue));
    } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
        QCOMPARE(combo->currentText(), shown.toString());
        combo->setEditText(newValue.toString());
    }
    press(d, u"OkButton"_s);
    QVariantMap expected = editedFields(before);
    expected[field] = newValue;
    QCOMPARE(editedFields(d.chosenSettings().value_or(before)), expected);
}

void tst_SettingsDialog::colorPickersMapToTheirFields_data()
{
    QTest::addColumn<QString>("picker");
    QTest::addColumn<QString>("field");
    QTest::newRow("text") << u"TextColor"_s << u"TEXT"_s;
    QTest::newRow("tag") << u"TagColor"_s << u"TAG"_s;
    QTest::newRow("link") << u"LinkColor"_s << u"LINK"_s;
    QTest::newRow("image") << u"ImageColor"_s << u"IMAGE"_s;
    QTest::newRow("style") << u"StyleColor"_s << u"STYLE"_s;
    QTest::newRow("script") << u"ScriptColor"_s << u"SCRIPT"_s;
    QTest::newRow("css-selector") << u"CssSelectorColor"_s << u"CssSelector"_s;
    QTest::newRow("css-property") << u"CssPropertyColor"_s << u"CssProperty"_s;
    QTest::newRow("css-value") << u"CssValueColor"_s << u"CssValue"_s;
    QTest::newRow("css-comment") << u"CssCommentColor"_s << u"CssComment"_s;
    QTest::newRow("js-keyword") << u"JsKeywordColor"_s << u"JsKeyword"_s;
    QTest::newRow("js-string") << u"JsStringColor"_s << u"JsString"_s;
    QTest::newRow("js-number") << u"JsNumberColor"_s << u"JsNumber"_s;
    QTest::newRow("js-comment") << u"JsCommentColor"_s << u"JsComment"_s;
}

void tst_SettingsDialog::colorPickersMapToTheirFields()
{
    QFETCH(QString, picker);
    QFETCH(QString, field);
    const TSettings before = unusualSettings();
    ScriptedInteraction answers;
    answers.pickColor(QColor(0x12, 0x34, 0x56)).pickColor(std::nullopt);
    TSettingsForm d(before);
    auto *button = control<QPushButton>(d, picker);
    button->click();
    // A cancelled colour dialog keeps the chosen colour.
    button->click();
    press(d, u"OkButton"_s);
    QVariantMap expected = editedFields(before);
    expected[field] = 0x563412; // red in the low byte
    QCOMPARE(editedFields(d.chosenSettings().value_or(before)), expected);
    QVERIFY(answers.unexpected.isEmpty());
}

void tst_SettingsDialog::oneColorGivesEveryPickerTheTextColor()
{
    TSettingsForm d(unusualSettings());
    control<QCheckBox>(d, u"OneColorCheck"_s)->setChecked(true);
    press(d, u"OkButton"_s);
    const TSettings s = d.chosenSettings().value_or(TSettings());
    for (ColorValue c : {s.TEXT, s.TAG, s.IMAGE, s.LINK, s.SCRIPT, s.STYLE, s.CssSelector,
                         s.CssValue, s.JsKeyword, s.JsComment})
        QCOMPARE(c, 0x102030);
}

void tst_SettingsDialog::browseFillsTheBrowserField_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("expected");
    QTest::newRow("button") << u"BrowseButton"_s << u"/usr/bin/firefox"_s
                            << u"/usr/bin/firefox"_s;
    QTest::newRow("explanation-text") << u"BrowseHint"_s << u"/opt/b/run"_s << u"/opt/b/run"_s;
    QTest::newRow("cancel-keeps-field") << u"BrowseButton"_s << QString() << u"/opt/browser"_s;
}

void tst_SettingsDialog::browseFillsTheBrowserField()
{
    QFETCH(QString, clicked);
    QFETCH(QString, answer);
    QFETCH(QString, expected);
    TSettings s = unusualSettings();
    ScriptedInteraction answers;
    answers.openFile(answer);
    TSettingsForm d(s);
    d.show();
    QWidget *target = d.findChild<QWidget *>(clicked);
    QVERIFY(target);
    control<QTabWidget>(d, u"PageControl1"_s)->setCurrentIndex(3);
    QTest::mouseClick(target, Qt::LeftButton);
    QCOMPARE(control<QLineEdit>(d, u"ExtBrowEdit"_s)->text(), expected);
    QCOMPARE(answers.log,
             QStringList{u"open: Spustitelné soubory (*.exe;*.com;*.bat;*.pif;*.lnk)"
                         u"|*.exe;*.com;*.bat;*.pif;*.lnk|Všechny soubory (*)|*"_s});
    press(d, u"OkButton"_s);
    QCOMPARE(d.chosenSettings().value_or(s).ExtBrow, expected);
}

void tst_SettingsDialog::fontListIsSortedAndShowsTheStoredFace()
{
    TSettings s;
    s.EditFont = u"No Such Face"_s;
    TSettingsForm d(s);
    auto *combo = control<QComboBox>(d, u"FontCombo"_s);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    QStringList sorted = items;
    sorted.sort(Qt::CaseInsensitive);
    QCOMPARE(items, sorted);
    QCOMPARE(items.size(), QFontDatabase::families().size());
    QCOMPARE(combo->currentText(), u"No Such Face"_s);
}

BRISKO_TEST_MAIN(tst_SettingsDialog)
#include "tst_settingsdialog.moc"
