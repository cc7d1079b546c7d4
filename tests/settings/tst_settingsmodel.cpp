#include "settings/SettingsModel.h"
#include "support/TestMain.h"

#include <QSettings>

#include <functional>

using namespace Qt::StringLiterals;

class tst_SettingsModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_ini = useFreshConfig(); }
    void changeNamesExactlyWhatChanged();
    void familiesCoverTheirNumberedValues();
    void changeIsOnDiskWhenAnnounced();
    void followerTakesTheValueAtOnceAndOnlyItsChanges();

private:
    QString m_ini;
};

void tst_SettingsModel::changeNamesExactlyWhatChanged()
{
    const struct
    {
        const char *name;
        std::function<void(TSettings &)> change;
        QStringList keys;
    } rows[] = {
        {"nothing", [](TSettings &) {}, {}},
        {"one-flag", [](TSettings &s) { s.IBrow = false; }, {u"User/IBrow"_s}},
        {"one-colour", [](TSettings &s) { s.TAG = 1; }, {u"Colors/TAG"_s}},
        // Named in the order of the table, whatever the order of the changes.
        {"font-and-size", [](TSettings &s) { s.Vyska = 12; s.EditFont = u"Mono"_s; },
         {u"User/EditFont"_s, u"Colors/Vyska"_s}},
        // A change made and undone before the announcement is no change.
        {"undone", [](TSettings &s) { s.Tab = 2; s.Tab = 8; }, {}},
        {"third-recent-file", [](TSettings &s) { s.RecentFiles[2] = u"/a.htm"_s; },
         {u"User/File-3"_s}},
        {"recent-list-moves-down",
         [](TSettings &s) { s.RecentFiles[1] = s.RecentFiles[0]; s.RecentFiles[0] = u"/b"_s; },
         {u"User/File-1"_s}},
        {"user-command-caption", [](TSettings &s) { s.UserCommands[1].Caption = u"x"_s; },
         {u"PlugIns/Plug2Caption"_s}},
        {"user-command-switched-on", [](TSettings &s) { s.UserCommands[14].active = true; },
         {u"PlugIns/Plug15active"_s}},
        // The rectangle is named although a maximised window does not write it.
        {"placement-left", [](TSettings &s) { s.placement.left = 1; }, {u"Formelina/X"_s}},
        {"placement-state", [](TSettings &s) { s.placement.state = WindowPlacement::Normal; },
         {u"Formelina/WinState"_s}},
    };
    for (const auto &row : rows) {
        SettingsModel model;
        QList<QStringList> announced;
        connect(&model, &SettingsModel::changed, this,
                [&announced](const SettingsChange &c) { announced.append(c.keys()); });
        TSettings next = model.values();
        row.change(next);
        model.replace(next);
        const QList<QStringList> expected =
            row.keys.isEmpty() ? QList<QStringList>() : QList<QStringList>{row.keys};
        QVERIFY2(announced == expected,
                 qPrintable(u"%1: %2"_s.arg(QLatin1StringView(row.name),
                                            announced.value(0).join(u' '))));
        QVERIFY2(model.values() == next, row.name);
        // Announced once: asking again finds nothing new.
        model.announce();
        QCOMPARE(announced.size(), expected.size());
    }
}

void tst_SettingsModel::familiesCoverTheirNumberedValues()
{
    const SettingsChange recent(QStringList{u"User/File-10"_s});
    QVERIFY(recent.touches(u"User/File-"));
    QVERIFY(!recent.touches(u"PlugIns/"));
    QVERIFY(!recent.touches(u"User/Tab"));
    const SettingsChange command(QStringList{u"PlugIns/Plug3Hotkey"_s});
    QVERIFY(command.touches(u"PlugIns/"));
    QVERIFY(command.touches(u"PlugIns/Plug3Hotkey"));
    QVERIFY(!command.touches(u"User/File-"));
    // A value is not the family of a longer name.
    QVERIFY(!SettingsChange(QStringList{u"User/Alt_Enter_Text"_s}).touches(u"User/Alt_Enter"));
    QVERIFY(isStoredSettingKey(u"Formelina/"));
    QVERIFY(!isStoredSettingKey(u"User/NoSuchValue"));
}

void tst_SettingsModel::changeIsOnDiskWhenAnnounced()
{
    SettingsStore store(m_ini);
    SettingsModel model;
    model.load(store);
    QStringList storedWhenAnnounced;
    connect(&model, &SettingsModel::changed, this, [&](const SettingsChange &) {
        QSettings raw(m_ini, QSettings::IniFormat);
        storedWhenAnnounced << raw.value(u"User/Tab"_s).toString()
                            << raw.value(u"User/File-1"_s).toString();
    });
    TSettings next = model.values();
    next.Tab = 4;
    next.RecentFiles[0] = u"/web/a.htm"_s;
    model.replace(next);
    QCOMPARE(storedWhenAnnounced, (QStringList{u"4"_s, u"/web/a.htm"_s}));
    // A field changed in place reaches the disk with its announcement.
    model.writableValues().UserCommands[0].Caption = u"Seznam"_s;
    model.announce();
    QCOMPARE(QSettings(m_ini, QSettings::IniFormat).value(u"PlugIns/Plug1Caption"_s).toString(),
             u"Seznam"_s);
}

void tst_SettingsModel::followerTakesTheValueAtOnceAndOnlyItsChanges()
{
    SettingsModel model;
    QList<int> tabs;
    QObject receiver;
    model.follow(&receiver, {u"User/Tab", u"PlugIns/"},
                 [&] { tabs << model.values().Tab; });
    QCOMPARE(tabs, QList<int>{8});
    model.set(&TSettings::Vyska, 20);
    model.set(&TSettings::Tab, 3);
    model.writableValues().UserCommands[4].Tag1 = u"<I>"_s;
    model.announce();
    QCOMPARE(tabs, (QList<int>{8, 3, 3}));
}

BRISKO_TEST_MAIN(tst_SettingsModel)
#include "tst_settingsmodel.moc"
