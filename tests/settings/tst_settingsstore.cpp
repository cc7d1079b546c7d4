#include "settings/TSettings.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

using namespace Qt::StringLiterals;

class tst_SettingsStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_ini = useFreshConfig(); }
    void firstStartGivesDefaults();
    void everyValueRoundTrips();
    void storedTextsAreRead_data();
    void storedTextsAreRead();
    void valuesAreStoredAsStringsInTheirGroups();
    void insideTagCheckAndRelPaAreIndependent();
    void oldFilesReadInsideTagCheckFromRelPa();
    void maximisedExitKeepsStoredPlacement();
    void defaultsKeepRecentFilesAndCommands();
    void filesOfTheEarlierVersionReadAndWriteTheSame();

private:
    QString m_ini;
};

void tst_SettingsStore::firstStartGivesDefaults()
{
    TSettings s;
    SettingsStore(m_ini).LoadSettings(s);
    QCOMPARE(s.EditFont, u"Courier New"_s);
    QCOMPARE(s.Vyska, 10);
    QCOMPARE(s.TabText(), QString(8, u' '));
    QCOMPARE(s.Tipky, false);
    QCOMPARE(s.PanelRight, true);
    // Every aid to typing is on but the one that writes end tags on its own.
    QCOMPARE(s.LineNumbers, true); QCOMPARE(s.TagPairs, true); QCOMPARE(s.RenamePairs, true);
    QCOMPARE(s.Completion, true); QCOMPARE(s.CloseTags, false);
    QCOMPARE(s.placement.state, int(WindowPlacement::Maximized));
    QCOMPARE(s.TAG, 255);
    QCOMPARE(s.SCRIPT, 8421504);
    // Pages are written as they always were until the user chooses HTML5.
    QCOMPARE(s.MarkupStyle, u"HTML4"_s);
    QCOMPARE(s.markupStyle(), MarkupStyle::Html4);
    // The frame offers the choice when nothing is stored, and only then.
    QVERIFY(!SettingsStore(m_ini).hasStoredSettings());
    SettingsStore(m_ini).SaveSettings(s);
    QVERIFY(SettingsStore(m_ini).hasStoredSettings());
}

void tst_SettingsStore::everyValueRoundTrips()
{
    TSettings out;
    out.TEXT = 1; out.TAG = 2; out.IMAGE = 3; out.LINK = 4; out.SCRIPT = 5; out.STYLE = 6;
    out.RelPa = false; out.Alt92 = true; out.InsideTagCheck = false; out.Ulpre = true;
    out.GenVys = false; out.Backup = true; out.BackupPrip = u"old"_s; out.FITIP = 2;
    out.Colorize = false; out.EditFont = u"DejaVu Sans Mono"_s; out.Vyska = 14; out.Tab = 3;
    out.Alt_Enter = false; out.Alt_Enter_Text = u"<BR>,\r\nč"_s; out.IBrow = false;
    out.ExtBrow = u"/usr/bin/firefox"_s; out.MetaCz = false; out.Tipky = true;
    out.PanelRight = false; out.UseDDE = true; out.UpperCaseFiles = true; out.FindDir = false;
    out.HidePrew = false; out.AutoIntend = false; out.ReopenSession = false;
    out.CssSelector = 7; out.JsComment = 8;
    out.LineNumbers = false; out.TagPairs = false; out.CloseTags = true; out.RenamePairs = false;
    out.Completion = false;
    out.SiteCheckBeforeUpload = false; out.SiteDir = u"/web/č"_s;
    out.SiteEntryPages = u"/web/a.html|/web/b c.html"_s;
    out.MarkupStyle = u"HTML5"_s;
    for (int i = 0; i < TSettings::RecentCount; ++i)
        out.RecentFiles[i] = u"/web/p%1.htm"_s.arg(i);
    for (int i = 0; i < TSettings::UserCommandCount; ++i)
        out.UserCommands[i] = {i % 2 == 0, i % 3 == 0, u"C%1"_s.arg(i), u"/bin/x%1"_s.arg(i),
                               u"<X%1>"_s.arg(i), u"</X%1>"_s.arg(i), 16384 + 65 + i};
    out.placement = {500, 700, 10, 20, WindowPlacement::Normal};
    SettingsStore(m_ini).SaveSettings(out);

    TSettings in;
    SettingsStore(m_ini).LoadSettings(in);
    QCOMPARE(in.TEXT, 1); QCOMPARE(in.TAG, 2); QCOMPARE(in.IMAGE, 3);
    QCOMPARE(in.LINK, 4); QCOMPARE(in.SCRIPT, 5); QCOMPARE(in.STYLE, 6);
    QCOMPARE(in.RelPa, false); QCOMPARE(in.Alt92, true); QCOMPARE(in.InsideTagCheck, false);
    QCOMPARE(in.Ulpre, true); QCOMPARE(in.GenVys, false); QCOMPARE(in.Backup, true);
    QCOMPARE(in.BackupPrip, u"old"_s); QCOMPARE(in.FITIP, 2); QCOMPARE(in.Colorize, false);
    QCOMPARE(in.EditFont, u"DejaVu Sans Mono"_s); QCOMPARE(in.Vyska, 14); QCOMPARE(in.Tab, 3);
    QCOMPARE(in.TabText(), u"   "_s);
    QCOMPARE(in.Alt_Enter, false); QCOMPARE(in.Alt_Enter_Text, u"<BR>,\r\nč"_s);
    QCOMPARE(in.IBrow, false); QCOMPARE(in.ExtBrow, u"/usr/bin/firefox"_s);
    QCOMPARE(in.MetaCz, false); QCOMPARE(in.Tipky, true); QCOMPARE(in.PanelRight, false);
    QCOMPARE(in.UseDDE, true); QCOMPARE(in.UpperCaseFiles, true); QCOMPARE(in.FindDir, false);
    QCOMPARE(in.HidePrew, false); QCOMPARE(in.AutoIntend, false);
    QCOMPARE(in.ReopenSession, false); QCOMPARE(in.CssSelector, 7); QCOMPARE(in.JsComment, 8);
    QCOMPARE(in.LineNumbers, false); QCOMPARE(in.TagPairs, false); QCOMPARE(in.CloseTags, true);
    QCOMPARE(in.RenamePairs, false); QCOMPARE(in.Completion, false);
    QCOMPARE(in.SiteCheckBeforeUpload, false); QCOMPARE(in.SiteDir, u"/web/č"_s);
    QCOMPARE(in.SiteEntryPages, u"/web/a.html|/web/b c.html"_s);
    QCOMPARE(in.markupStyle(), MarkupStyle::Html5);
    QCOMPARE(in.RecentFiles, out.RecentFiles);
    for (int i = 0; i < TSettings::UserCommandCount; ++i) {
        const UserCommand &a = in.UserCommands[i];
        const UserCommand &b = out.UserCommands[i];
        QCOMPARE(a.Action, b.Action); QCOMPARE(a.active, b.active);
        QCOMPARE(a.Caption, b.Caption); QCOMPARE(a.FilePath, b.FilePath);
        QCOMPARE(a.Tag1, b.Tag1); QCOMPARE(a.Tag2, b.Tag2); QCOMPARE(a.Hotkey, b.Hotkey);
    }
    QCOMPARE(in.placement.height, 500); QCOMPARE(in.placement.width, 700);
    QCOMPARE(in.placement.left, 10); QCOMPARE(in.placement.top, 20);
    QCOMPARE(in.placement.state, int(WindowPlacement::Normal));
}

void tst_SettingsStore::storedTextsAreRead_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("tag");
    QTest::newRow("decimal") << u"128"_s << 128;
    QTest::newRow("hex-lower") << u"0xFF"_s << 255;
    QTest::newRow("hex-upper-prefix") << u"0X10"_s << 16;
    // "0x" alone is not a hexadecimal number.
    QTest::newRow("bare-prefix") << u"0x"_s << 255;
    QTest::newRow("garbage") << u"red"_s << 255;
    QTest::newRow("empty") << QString() << 255;
}

void tst_SettingsStore::storedTextsAreRead()
{
    QFETCH(QString, stored);
    QFETCH(int, tag);
    {
        QSettings raw(m_ini, QSettings::IniFormat);
        raw.setValue(u"Colors/TAG"_s, stored);
    }
    TSettings s;
    SettingsStore(m_ini).LoadSettings(s);
    QCOMPARE(s.TAG, tag);
}

void tst_SettingsStore::valuesAreStoredAsStringsInTheirGroups()
{
    TSettings s;
    s.placement.state = WindowPlacement::Normal;
    SettingsStore(m_ini).SaveSettings(s);
    QSettings raw(m_ini, QSettings::IniFormat);
    QCOMPARE(raw.childGroups(), (QStringList{u"Colors"_s, u"Formelina"_s, u"PlugIns"_s, u"User"_s}));
    QCOMPARE(raw.value(u"Colors/TAG"_s).toString(), u"255"_s);
    QCOMPARE(raw.value(u"User/Colorize"_s).toString(), u"1"_s);
    QCOMPARE(raw.value(u"User/Alt92"_s).toString(), u"0"_s);
    QCOMPARE(raw.value(u"Formelina/Sirka"_s).toString(), u"586"_s);
    QCOMPARE(raw.value(u"User/File-10"_s).toString(), QString());
    QCOMPARE(raw.value(u"PlugIns/Plug15Hotkey"_s).toString(), u"0"_s);
}

void tst_SettingsStore::insideTagCheckAndRelPaAreIndependent()
{
    TSettings out;
    out.RelPa = true;
    out.InsideTagCheck = false;
    SettingsStore(m_ini).SaveSettings(out);
    TSettings in;
    SettingsStore(m_ini).LoadSettings(in);
    QCOMPARE(in.RelPa, true);
    QCOMPARE(in.InsideTagCheck, false);
}

void tst_SettingsStore::oldFilesReadInsideTagCheckFromRelPa()
{
    {
        QSettings raw(m_ini, QSettings::IniFormat);
        raw.setValue(u"User/RelPa"_s, u"0"_s);
    }
    TSettings in;
    SettingsStore(m_ini).LoadSettings(in);
    QCOMPARE(in.RelPa, false);
    QCOMPARE(in.InsideTagCheck, false);
}

void tst_SettingsStore::maximisedExitKeepsStoredPlacement()
{
    TSettings s;
    s.placement = {300, 400, 5, 6, WindowPlacement::Normal};
    SettingsStore(m_ini).SaveSettings(s);
    s.placement = {999, 999, 0, 0, WindowPlacement::Maximized};
    SettingsStore(m_ini).SaveSettings(s);
    TSettings in;
    SettingsStore(m_ini).LoadSettings(in);
    QCOMPARE(in.placement.height, 300);
    QCOMPARE(in.placement.width, 400);
    QCOMPARE(in.placement.left, 5);
    QCOMPARE(in.placement.top, 6);
    QCOMPARE(in.placement.state, int(WindowPlacement::Maximized));
}

void tst_SettingsStore::defaultsKeepRecentFilesAndCommands()
{
    TSettings s;
    s.TAG = 1;
    s.Tab = 2;
    s.RecentFiles[0] = u"/a.htm"_s;
    s.UserCommands[3] = {true, true, u"cap"_s, u"/bin/ls"_s, u"<a>"_s, u"</a>"_s, 5};
    SetDefaultSettings(s);
    QCOMPARE(s.TAG, 255);
    QCOMPARE(s.Tab, 8);
    QCOMPARE(s.Tipky, true);
    QCOMPARE(s.RecentFiles[0], u"/a.htm"_s);
    QCOMPARE(s.UserCommands[3].active, false);
    QCOMPARE(s.UserCommands[3].Caption, u"cap"_s);
    QCOMPARE(s.UserCommands[3].Hotkey, 5);
}

void tst_SettingsStore::filesOfTheEarlierVersionReadAndWriteTheSame()
{
    // As the program wrote the numbered values before they were rows of the table.
    const QByteArray earlier = "[Colors]\nTAG=0x80\n"
                               "[Formelina]\nSirka=700\nVyska=500\nWinState=2\nX=10\nY=-20\n"
                               "[PlugIns]\nPlug1Action=1\nPlug1Caption=Seznam\n"
                               "Plug1FilePath=/bin/ls\nPlug1Hotkey=16449\nPlug1Tag1=<B>\n"
                               "Plug1Tag2=</B>\nPlug1active=1\nPlug15Caption=Posledn\xc3\xad\n"
                               "[User]\nFile-1=/web/a.htm\nFile-2=/web/b c.htm\n"
                               "File-10=/web/z.htm\nTab=2\n";
    {
        QFile file(m_ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(earlier);
    }
    TSettings s;
    SettingsStore(m_ini).LoadSettings(s);
    QCOMPARE(s.TAG, 128);
    QCOMPARE(s.placement, (WindowPlacement{500, 700, 10, -20, WindowPlacement::Normal}));
    QCOMPARE(s.RecentFiles[0], u"/web/a.htm"_s);
    QCOMPARE(s.RecentFiles[1], u"/web/b c.htm"_s);
    QCOMPARE(s.RecentFiles[2], QString());
    QCOMPARE(s.RecentFiles[9], u"/web/z.htm"_s);
    QCOMPARE(s.UserCommands[0],
             (UserCommand{true, true, u"Seznam"_s, u"/bin/ls"_s, u"<B>"_s, u"</B>"_s, 16449}));
    QCOMPARE(s.UserCommands[14].Caption, u"Poslední"_s);
    QCOMPARE(s.UserCommands[14].active, false);
    QCOMPARE(s.TabText(), u"  "_s);

    // Written back, every value keeps its name and its text (the colour now in decimal).
    const QString copy = QFileInfo(m_ini).dir().filePath(u"copy.ini"_s);
    SettingsStore(copy).SaveSettings(s);
    QSettings before(m_ini, QSettings::IniFormat);
    QSettings after(copy, QSettings::IniFormat);
    for (const QString &key : before.allKeys()) {
        const QString expected = key == u"Colors/TAG"_s ? u"128"_s : before.value(key).toString();
        QVERIFY2(after.value(key).toString() == expected, qPrintable(key));
    }
    QCOMPARE(after.value(u"PlugIns/Plug15Hotkey"_s).toString(), u"0"_s);
    QCOMPARE(after.value(u"User/File-3"_s).toString(), QString());
}

BRISKO_TEST_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"
