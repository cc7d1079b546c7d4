#include "dialogs/LinkDialogs.h"
#include "dialogs/SettingsDialog.h"
#include "dialogs/TextDialogs.h"
#include "settings/TSettings.h"
#include "support/TestMain.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

using DialogMaker = std::function<std::unique_ptr<QDialog>(TSettings &)>;
Q_DECLARE_METATYPE(DialogMaker)

class tst_AccessibleNames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namedControlsHaveNames_data();
    void namedControlsHaveNames();
};

void tst_AccessibleNames::namedControlsHaveNames_data()
{
    QTest::addColumn<DialogMaker>("make");
    QTest::newRow("font") << DialogMaker([](TSettings &) { return std::make_unique<TMyFontDialog>(); });
    QTest::newRow("comment") << DialogMaker([](TSettings &) { return std::make_unique<TForm10>(); });
    QTest::newRow("meta") << DialogMaker([](TSettings &) { return std::make_unique<TWRKForm2>(); });
    QTest::newRow("counter") << DialogMaker([](TSettings &) { return std::make_unique<TCounterForm>(); });
    QTest::newRow("mail and ftp link")
        << DialogMaker([](TSettings &s) { return std::make_unique<TMakeLink>(s); });
    QTest::newRow("link") << DialogMaker([](TSettings &s) {
        return std::make_unique<TLinkForm>(DocumentContext{s, u"/w/a.html"_s, {}});
    });
    QTest::newRow("settings")
        << DialogMaker([](TSettings &s) { return std::make_unique<TSettingsForm>(s); });
}

// What a screen reader says for each named input control: its label (a buddy), its own
// caption, or a name set for it. A control that says nothing is listed.
void tst_AccessibleNames::namedControlsHaveNames()
{
    QFETCH(DialogMaker, make);
    TSettings settings;
    std::unique_ptr<QDialog> dialog = make(settings);
    QStringList silent;
    for (QWidget *w : dialog->findChildren<QWidget *>()) {
        const bool input = qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w)
                        || qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QAbstractButton *>(w)
                        || qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QTextEdit *>(w);
        // Parts of other controls (a combo box's line edit, a spin box's field) go unnamed.
        if (!input || w->objectName().isEmpty() || w->objectName().startsWith(u"qt_"_s))
            continue;
        if (qobject_cast<QLineEdit *>(w) && (qobject_cast<QComboBox *>(w->parentWidget())
                                            || qobject_cast<QAbstractSpinBox *>(w->parentWidget())))
            continue;
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
        QVERIFY(iface);
        if (iface->text(QAccessible::Name).trimmed().isEmpty())
            silent << w->objectName();
    }
    QVERIFY2(silent.isEmpty(), qPrintable(silent.join(u", "_s)));
}

BRISKO_TEST_MAIN(tst_AccessibleNames)
#include "tst_accessiblenames.moc"
