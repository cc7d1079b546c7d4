#include "TSettings.h"

#include <QSettings>
#include <QStandardPaths>

#include <memory>
#include <type_traits>
#include <variant>

using namespace Qt::StringLiterals;

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

using Member = std::variant<bool TSettings::*, int TSettings::*, QString TSettings::*>;

// What the button "Původní nastavení" does with a stored value.
enum class Reset { ToDefault, ToOn, Keep };

// One stored value: its group and value name, the field that holds it, its default written
// as the text the store keeps, and what "Původní nastavení" does with it.
struct StoredValue
{
    QStringView key;
    Member member;
    QStringView defaultText;
    Reset reset = Reset::ToDefault;
};

// Every plain value of the store. The window placement, the recent files and the user
// commands are stored apart: the button leaves them alone.
const StoredValue kStoredValues[] = {
    {u"User/Colorize", &TSettings::Colorize, u"1"},
    {u"Colors/TEXT", &TSettings::TEXT, u"0"},
    {u"Colors/TAG", &TSettings::TAG, u"255"},
    {u"Colors/IMAGE", &TSettings::IMAGE, u"32768"},
    {u"Colors/LINK", &TSettings::LINK, u"16711680"},
    {u"Colors/SCRIPT", &TSettings::SCRIPT, u"8421504"},
    {u"Colors/STYLE", &TSettings::STYLE, u"16711935"},
    {u"User/RelPa", &TSettings::RelPa, u"1"},
    {u"User/Alt92", &TSettings::Alt92, u"0"},
    // Read after RelPa: older files keep this check in RelPa (see LoadSettings).
    {u"User/InsideTagCheck", &TSettings::InsideTagCheck, u"1"},
    {u"User/Ulpre", &TSettings::Ulpre, u"0"},
    {u"User/GenVys", &TSettings::GenVys, u"1"},
    {u"User/PanelRight", &TSettings::PanelRight, u"1"},
    {u"User/UseDDE", &TSettings::UseDDE, u"0"},
    {u"User/UpperCaseFiles", &TSettings::UpperCaseFiles, u"0"},
    {u"User/FindDir", &TSettings::FindDir, u"1"},
    {u"User/Backup", &TSettings::Backup, u"0"},
    {u"User/BackupPrip", &TSettings::BackupPrip, u"bak"},
    {u"Colors/FITIP", &TSettings::FITIP, u"0"},
    {u"User/EditFont", &TSettings::EditFont, u"Courier New"},
    {u"Colors/Vyska", &TSettings::Vyska, u"10"},
    {u"User/Tab", &TSettings::Tab, u"8"},
    {u"User/Alt_Enter", &TSettings::Alt_Enter, u"1"},
    {u"User/Alt_Enter_Text", &TSettings::Alt_Enter_Text, u"<BR>"},
    {u"User/IBrow", &TSettings::IBrow, u"1"},
    {u"User/ExtBrow", &TSettings::ExtBrow, u""},
    {u"User/MetaCz", &TSettings::MetaCz, u"1"},
    {u"User/HidePrew", &TSettings::HidePrew, u"1"},
    {u"User/AutoIntend", &TSettings::AutoIntend, u"1"},
    {u"User/SpellCheck", &TSettings::SpellCheck, u"cs_CZ"},
    {u"User/SiteCheckBeforeUpload", &TSettings::SiteCheckBeforeUpload, u"1"},
    // Where the site check looked last and what the user marked there: the user's own data.
    {u"User/SiteDir", &TSettings::SiteDir, u"", Reset::Keep},
    {u"User/SiteEntryPages", &TSettings::SiteEntryPages, u"", Reset::Keep},
    {u"User/LivePreviewLeft", &TSettings::LivePreviewLeft, u"0"},
    {u"User/LivePreviewWidth", &TSettings::LivePreviewWidth, u"0"},
    // Off at a first start; the button turns the tips on.
    {u"User/Tipky", &TSettings::Tipky, u"0", Reset::ToOn},
};

// Turns a stored text into a field's value; a text that is no number gives the default.
void assign(TSettings &s, const StoredValue &entry, const QString &text)
{
    const QString fallback = entry.defaultText.toString();
    std::visit(
        [&](auto member) {
            using T = std::remove_cvref_t<decltype(s.*member)>;
            if constexpr (std::is_same_v<T, QString>)
                s.*member = text;
            else if constexpr (std::is_same_v<T, bool>)
                s.*member = parseStoredInt(text.trimmed(), parseStoredInt(fallback, 0)) != 0;
            else
                s.*member = parseStoredInt(text.trimmed(), parseStoredInt(fallback, 0));
        },
        entry.member);
}

// The text the store keeps for a field: numbers in decimal, flags as "1" and "0".
QString storedText(const TSettings &s, const StoredValue &entry)
{
    return std::visit(
        [&](auto member) -> QString {
            using T = std::remove_cvref_t<decltype(s.*member)>;
            if constexpr (std::is_same_v<T, QString>)
                return s.*member;
            else if constexpr (std::is_same_v<T, bool>)
                return s.*member ? u"1"_s : u"0"_s;
            else
                return QString::number(s.*member);
        },
        entry.member);
}

} // namespace

QString tabText(int tab)
{
    return QString(std::max(tab, 0), u' ');
}

TSettings::TSettings()
{
    for (const StoredValue &entry : kStoredValues)
        assign(*this, entry, entry.defaultText.toString());
    TabText = tabText(Tab);
}

void SetDefaultSettings(TSettings &s)
{
    for (const StoredValue &entry : kStoredValues) {
        if (entry.reset == Reset::ToOn)
            assign(s, entry, u"1"_s);
        else if (entry.reset == Reset::ToDefault)
            assign(s, entry, entry.defaultText.toString());
    }
    s.TabText = tabText(s.Tab);
    for (UserCommand &c : s.UserCommands)
        c.active = false;
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
    for (const StoredValue &entry : kStoredValues) {
        const QString key = entry.key.toString();
        assign(s, entry, v.str(key, entry.defaultText.toString()));
    }
    // The check once shared the value "RelPa"; files written then have no value of its own.
    if (!v.has(u"User/InsideTagCheck"_s))
        s.InsideTagCheck = s.RelPa;
    s.placement.height = v.integer(u"Formelina/Vyska"_s, s.placement.height);
    s.placement.width = v.integer(u"Formelina/Sirka"_s, s.placement.width);
    s.placement.left = v.integer(u"Formelina/X"_s, s.placement.left);
    s.placement.top = v.integer(u"Formelina/Y"_s, s.placement.top);
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
    s.TabText = tabText(s.Tab);
    m_stored = s;
}

void SettingsStore::SaveSettings(const TSettings &s) const
{
    auto store = open(m_iniPath);
    Values v(*store);
    for (const StoredValue &entry : kStoredValues)
        v.put(entry.key.toString(), storedText(s, entry));
    if (s.placement.state != WindowPlacement::Maximized) {
        v.put(u"Formelina/Vyska"_s, s.placement.height);
        v.put(u"Formelina/Sirka"_s, s.placement.width);
        v.put(u"Formelina/X"_s, s.placement.left);
        v.put(u"Formelina/Y"_s, s.placement.top);
    }
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
    m_stored = s;
}

bool SettingsStore::SaveIfChanged(const TSettings &settings) const
{
    if (m_stored && *m_stored == settings)
        return false;
    SaveSettings(settings);
    return true;
}
