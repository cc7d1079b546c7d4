#include "TSettings.h"

#include <QSettings>
#include <QStandardPaths>

#include <memory>

using namespace Qt::StringLiterals;

void SetDefaultSettings(TSettings &s)
{
    const TSettings d;
    s.TEXT = d.TEXT;
    s.TAG = d.TAG;
    s.IMAGE = d.IMAGE;
    s.LINK = d.LINK;
    s.SCRIPT = d.SCRIPT;
    s.STYLE = d.STYLE;
    s.RelPa = true;
    s.Alt92 = false;
    s.InsideTagCheck = true;
    s.Ulpre = false;
    s.GenVys = true;
    s.Backup = false;
    s.BackupPrip = u"bak"_s;
    s.FITIP = 0;
    s.Colorize = true;
    s.EditFont = u"Courier New"_s;
    s.Vyska = 10;
    s.Tab = 8;
    s.Alt_Enter = true;
    s.Alt_Enter_Text = u"<BR>"_s;
    s.IBrow = true;
    s.ExtBrow.clear();
    s.MetaCz = true;
    s.Tipky = true;
    s.PanelRight = true;
    s.UseDDE = false;
    s.UpperCaseFiles = false;
    s.FindDir = true;
    s.HidePrew = true;
    s.AutoIntend = true;
    s.SiteCheckBeforeUpload = true;
    for (UserCommand &c : s.UserCommands)
        c.active = false;
}

int parseStoredInt(const QString &text, int fallback)
{
    bool ok = false;
    int value = 0;
    if (text.size() > 2 && (text.startsWith(u"0x"_s) || text.startsWith(u"0X"_s)))
        value = int(text.mid(2).toUInt(&ok, 16));
    else
        value = text.toInt(&ok, 10);
    return ok ? value : fallback;
}

namespace {

// Reads and writes the values as the strings the store keeps.
class Values
{
public:
    explicit Values(QSettings &store) : m_store(store) {}

    QString str(const QString &key, const QString &fallback) const
    {
        const QVariant v = m_store.value(key);
        if (!v.isValid())
            return fallback;
        // An unquoted value with commas comes back as a list.
        if (v.metaType().id() == QMetaType::QStringList)
            return v.toStringList().join(u',');
        return v.toString();
    }
    int integer(const QString &key, int fallback) const
    {
        const QVariant v = m_store.value(key);
        return v.isValid() ? parseStoredInt(str(key, QString()).trimmed(), fallback) : fallback;
    }
    bool boolean(const QString &key, bool fallback) const
    {
        return integer(key, fallback ? 1 : 0) != 0;
    }
    bool has(const QString &key) const { return m_store.contains(key); }

    void put(const QString &key, const QString &value) { m_store.setValue(key, value); }
    void put(const QString &key, int value) { m_store.setValue(key, QString::number(value)); }
    void put(const QString &key, bool value) { m_store.setValue(key, value ? u"1"_s : u"0"_s); }

private:
    QSettings &m_store;
};

std::unique_ptr<QSettings> open(const QString &iniPath)
{
#ifdef Q_OS_WIN
    // The user's own store on Windows is the registry key the program always used.
    if (iniPath.isEmpty())
        return std::make_unique<QSettings>(u"HKEY_CURRENT_USER\\Software\\BriskoHTMLEditor3.5"_s,
                                           QSettings::NativeFormat);
#endif
    return std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
}

QString plug(int n, const char *field)
{
    return u"PlugIns/Plug"_s + QString::number(n) + QLatin1StringView(field);
}

} // namespace

SettingsStore::SettingsStore()
#ifndef Q_OS_WIN
    : m_iniPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                + u"/BriskoHTMLEditor3.5.ini"_s)
#endif
{
}

SettingsStore::SettingsStore(QString iniPath)
    : m_iniPath(std::move(iniPath))
{
}

QString SettingsStore::fileName() const
{
    return m_iniPath;
}

void SettingsStore::LoadSettings(TSettings &s) const
{
    auto store = open(m_iniPath);
    const Values v(*store);
    s.Colorize = v.boolean(u"User/Colorize"_s, true);
    s.TEXT = v.integer(u"Colors/TEXT"_s, 0);
    s.TAG = v.integer(u"Colors/TAG"_s, 255);
    s.IMAGE = v.integer(u"Colors/IMAGE"_s, 32768);
    s.LINK = v.integer(u"Colors/LINK"_s, 16711680);
    s.SCRIPT = v.integer(u"Colors/SCRIPT"_s, 8421504);
    s.STYLE = v.integer(u"Colors/STYLE"_s, 16711935);
    s.RelPa = v.boolean(u"User/RelPa"_s, true);
    s.Alt92 = v.boolean(u"User/Alt92"_s, false);
    // The check once shared the value "RelPa"; files written then have no value of its own.
    s.InsideTagCheck = v.has(u"User/InsideTagCheck"_s)
                           ? v.boolean(u"User/InsideTagCheck"_s, true)
                           : v.boolean(u"User/RelPa"_s, true);
    s.Ulpre = v.boolean(u"User/Ulpre"_s, false);
    s.GenVys = v.boolean(u"User/GenVys"_s, true);
    s.PanelRight = v.boolean(u"User/PanelRight"_s, true);
    s.UseDDE = v.boolean(u"User/UseDDE"_s, false);
    s.UpperCaseFiles = v.boolean(u"User/UpperCaseFiles"_s, false);
    s.FindDir = v.boolean(u"User/FindDir"_s, true);
    s.Backup = v.boolean(u"User/Backup"_s, false);
    s.BackupPrip = v.str(u"User/BackupPrip"_s, u"bak"_s);
    s.FITIP = v.integer(u"Colors/FITIP"_s, 0);
    s.EditFont = v.str(u"User/EditFont"_s, u"Courier New"_s);
    s.Vyska = v.integer(u"Colors/Vyska"_s, 10);
    s.Tab = v.integer(u"User/Tab"_s, 8);
    s.Alt_Enter = v.boolean(u"User/Alt_Enter"_s, true);
    s.Alt_Enter_Text = v.str(u"User/Alt_Enter_Text"_s, u"<BR>"_s);
    s.IBrow = v.boolean(u"User/IBrow"_s, true);
    s.ExtBrow = v.str(u"User/ExtBrow"_s, QString());
    s.MetaCz = v.boolean(u"User/MetaCz"_s, true);
    s.HidePrew = v.boolean(u"User/HidePrew"_s, true);
    s.AutoIntend = v.boolean(u"User/AutoIntend"_s, true);
    s.SiteCheckBeforeUpload = v.boolean(u"User/SiteCheckBeforeUpload"_s, true);
    s.SiteDir = v.str(u"User/SiteDir"_s, QString());
    s.SiteEntryPages = v.str(u"User/SiteEntryPages"_s, QString());
    s.placement.height = v.integer(u"Formelina/Vyska"_s, s.placement.height);
    s.placement.width = v.integer(u"Formelina/Sirka"_s, s.placement.width);
    s.placement.left = v.integer(u"Formelina/X"_s, s.placement.left);
    s.placement.top = v.integer(u"Formelina/Y"_s, s.placement.top);
    s.Tipky = v.boolean(u"User/Tipky"_s, s.Tipky);
    s.placement.state = v.integer(u"Formelina/WinState"_s, WindowPlacement::Maximized);
    for (int n = 1; n <= TSettings::RecentCount; ++n)
        s.RecentFiles[n - 1] = v.str(u"User/File-"_s + QString::number(n), QString());
    for (int n = 1; n <= TSettings::UserCommandCount; ++n) {
        UserCommand &c = s.UserCommands[n - 1];
        c.Action = v.boolean(plug(n, "Action"), c.Action);
        c.active = v.boolean(plug(n, "active"), c.active);
        c.Caption = v.str(plug(n, "Caption"), c.Caption);
        c.FilePath = v.str(plug(n, "FilePath"), c.FilePath);
        c.Tag1 = v.str(plug(n, "Tag1"), c.Tag1);
        c.Tag2 = v.str(plug(n, "Tag2"), c.Tag2);
        c.Hotkey = v.integer(plug(n, "Hotkey"), c.Hotkey);
    }
    s.TabText = QString(std::max(s.Tab, 0), u' ');
}

void SettingsStore::SaveSettings(const TSettings &s) const
{
    auto store = open(m_iniPath);
    Values v(*store);
    v.put(u"User/Colorize"_s, s.Colorize);
    v.put(u"Colors/TEXT"_s, s.TEXT);
    v.put(u"Colors/TAG"_s, s.TAG);
    v.put(u"Colors/IMAGE"_s, s.IMAGE);
    v.put(u"Colors/LINK"_s, s.LINK);
    v.put(u"Colors/SCRIPT"_s, s.SCRIPT);
    v.put(u"Colors/STYLE"_s, s.STYLE);
    v.put(u"User/RelPa"_s, s.RelPa);
    v.put(u"User/Alt92"_s, s.Alt92);
    v.put(u"User/InsideTagCheck"_s, s.InsideTagCheck);
    v.put(u"User/Ulpre"_s, s.Ulpre);
    v.put(u"User/GenVys"_s, s.GenVys);
    v.put(u"User/PanelRight"_s, s.PanelRight);
    v.put(u"User/UseDDE"_s, s.UseDDE);
    v.put(u"User/UpperCaseFiles"_s, s.UpperCaseFiles);
    v.put(u"User/FindDir"_s, s.FindDir);
    v.put(u"User/Backup"_s, s.Backup);
    v.put(u"User/BackupPrip"_s, s.BackupPrip);
    v.put(u"Colors/FITIP"_s, s.FITIP);
    v.put(u"User/EditFont"_s, s.EditFont);
    v.put(u"Colors/Vyska"_s, s.Vyska);
    v.put(u"User/Tab"_s, s.Tab);
    v.put(u"User/Alt_Enter"_s, s.Alt_Enter);
    v.put(u"User/Alt_Enter_Text"_s, s.Alt_Enter_Text);
    v.put(u"User/IBrow"_s, s.IBrow);
    v.put(u"User/ExtBrow"_s, s.ExtBrow);
    v.put(u"User/MetaCz"_s, s.MetaCz);
    v.put(u"User/HidePrew"_s, s.HidePrew);
    v.put(u"User/AutoIntend"_s, s.AutoIntend);
    v.put(u"User/SiteCheckBeforeUpload"_s, s.SiteCheckBeforeUpload);
    v.put(u"User/SiteDir"_s, s.SiteDir);
    v.put(u"User/SiteEntryPages"_s, s.SiteEntryPages);
    if (s.placement.state != WindowPlacement::Maximized) {
        v.put(u"Formelina/Vyska"_s, s.placement.height);
        v.put(u"Formelina/Sirka"_s, s.placement.width);
        v.put(u"Formelina/X"_s, s.placement.left);
        v.put(u"Formelina/Y"_s, s.placement.top);
    }
    v.put(u"User/Tipky"_s, s.Tipky);
    v.put(u"Formelina/WinState"_s, s.placement.state);
    for (int n = 1; n <= TSettings::RecentCount; ++n)
        v.put(u"User/File-"_s + QString::number(n), s.RecentFiles[n - 1]);
    for (int n = 1; n <= TSettings::UserCommandCount; ++n) {
        const UserCommand &c = s.UserCommands[n - 1];
        v.put(plug(n, "Action"), c.Action);
        v.put(plug(n, "active"), c.active);
        v.put(plug(n, "Caption"), c.Caption);
        v.put(plug(n, "FilePath"), c.FilePath);
        v.put(plug(n, "Tag1"), c.Tag1);
        v.put(plug(n, "Tag2"), c.Tag2);
        v.put(plug(n, "Hotkey"), c.Hotkey);
    }
    store->sync();
}
