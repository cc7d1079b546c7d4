#include "dialogs/LinkDialogs.h"
#include "dialogs/SettingsDialog.h"
#include "dialogs/TextDialogs.h"
#include "settings/TSettings.h"
#include "support/DialogControls.h"
#include "support/TestMain.h"

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
    QTest::newRow("comment") << DialogMaker([](TSettings &) { return std::make_unique<TForm10>(); });
    QTest::newRow("counter") << DialogMaker([](TSettings &) { return std::make_unique<TCounterForm>(); });
    QTest::newRow("mail and ftp link")
        << DialogMaker([](TSettings &s) { return std::make_unique<TMakeLink>(s); });
    QTest::newRow("settings")
        << DialogMaker([](TSettings &s) { return std::make_unique<TSettingsForm>(s); });
}

// What a screen reader says for each named input control: its label (a buddy), its own
// caption, or a name set for it. The element dialogs are walked with the element table;
// these are the dialogs outside it.
void tst_AccessibleNames::namedControlsHaveNames()
{
    QFETCH(DialogMaker, make);
    TSettings settings;
    std::unique_ptr<QDialog> dialog = make(settings);
    const QStringList silent = silentControls(*dialog);
    QVERIFY2(silent.isEmpty(), qPrintable(silent.join(u", "_s)));
}

BRISKO_TEST_MAIN(tst_AccessibleNames)
#include "tst_accessiblenames.moc"
