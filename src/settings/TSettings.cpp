#include "TSettings.h"

#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <deque>
#include <memory>
#include <type_traits>
#include <variant>
#include <vector>

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

// Where a value lives in the settings, given the settings.
using SettingField = std::variant<bool *, int *, QString *>;

// A value inside a member that holds several: a part of the window placement, one of the
// recent files, a field of one user command; `at` finds it for the item of that index.
struct ItemPart
{
    SettingField (*at)(TSettings &settings, int index);
    int index = 0;
};

using Member = std::variant<bool TSettings::*, int TSettings::*, QString TSettings::*, ItemPart>;

// What the button "Původní nastavení" does with a stored value.
enum class Reset { ToDefault, ToOn, Keep };

// One stored value: its group and value name, the field that holds it, its default written
// as the text the store keeps, what "Původní nastavení" does with it, and when it is
// written (always, unless a condition is given).
struct StoredValue
{
    QStringView key;
    Member member;
    QStringView defaultText;
    Reset reset = Reset::ToDefault;
    bool (*written)(const TSettings &) = nullptr;
};

// Every single value of the store; storedValues() adds the window placement, the recent
// files and the user commands.
const StoredValue kStoredValues[] = {
    {u"User/Colorize", &TSettings::Colorize, u"1"},
    {u"Colors/TEXT", &TSettings::TEXT, u"0"},
    {u"Colors/TAG", &TSettings::TAG, u"255"},
    {u"Colors/IMAGE", &TSettings::IMAGE, u"32768"},
    {u"Colors/LINK", &TSettings::LINK, u"16711680"},
    {u"Colors/SCRIPT", &TSettings::SCRIPT, u"8421504"},
    {u"Colors/STYLE", &TSettings::STYLE, u"16711935"},
    {u"Colors/CssSelector", &TSettings::CssSelector, u"128"},
    {u"Colors/CssProperty", &TSettings::CssProperty, u"8388608"},
    {u"Colors/CssValue", &TSettings::CssValue, u"8421376"},
    {u"Colors/CssComment", &TSettings::CssComment, u"32896"},
    {u"Colors/JsKeyword", &TSettings::JsKeyword, u"8388736"},
    {u"Colors/JsString", &TSettings::JsString, u"128"},
    {u"Colors/JsNumber", &TSettings::JsNumber, u"8421376"},
    {u"Colors/JsComment", &TSettings::JsComment, u"32768"},
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
    {u"User/ReopenSession", &TSettings::ReopenSession, u"1"},
    {u"User/LineNumbers", &TSettings::LineNumbers, u"1"},
    {u"User/TagPairs", &TSettings::TagPairs, u"1"},
    {u"User/CloseTags", &TSettings::CloseTags, u"0"},
    {u"User/RenamePairs", &TSettings::RenamePairs, u"1"},
    {u"User/Completion", &TSettings::Completion, u"1"},
    {u"User/SpellCheck", &TSettings::SpellCheck, u"cs_CZ"},
    {u"User/SiteCheckBeforeUpload", &TSettings::SiteCheckBeforeUpload, u"1"},
    {u"User/MarkupStyle", &TSettings::MarkupStyle, u"HTML4"},
    // Where the site check looked last and what the user marked there: the user's own data.
    {u"User/SiteDir", &TSettings::SiteDir, u"", Reset::Keep},
    {u"User/SiteEntryPages", &TSettings::SiteEntryPages, u"", Reset::Keep},
    {u"User/LivePreviewLeft", &TSettings::LivePreviewLeft, u"0"},
    {u"User/LivePreviewWidth", &TSettings::LivePreviewWidth, u"0"},
    {u"User/LivePreviewFollowCaret", &TSettings::LivePreviewFollowCaret, u"0"},
    // Off at a first start; the button turns the tips on.
    {u"User/Tipky", &TSettings::Tipky, u"0", Reset::ToOn},
};

bool notMaximized(const TSettings &s)
{
    return s.placement.state != WindowPlacement::Maximized;
}

// The window's rectangle is kept from the last time it was not maximised, so a maximised
// window comes back to it when restored; its state is always written.
const StoredValue kPlacementValues[] = {
    {u"Formelina/Vyska",
     ItemPart{[](TSettings &s, int) -> SettingField { return &s.placement.height; }}, u"439",
     Reset::Keep, notMaximized},
    {u"Formelina/Sirka",
     ItemPart{[](TSettings &s, int) -> SettingField { return &s.placement.width; }}, u"586",
     Reset::Keep, notMaximized},
    {u"Formelina/X",
     ItemPart{[](TSettings &s, int) -> SettingField { return &s.placement.left; }}, u"122",
     Reset::Keep, notMaximized},
    {u"Formelina/Y",
     ItemPart{[](TSettings &s, int) -> SettingField { return &s.placement.top; }}, u"95",
     Reset::Keep, notMaximized},
    {u"Formelina/WinState",
     ItemPart{[](TSettings &s, int) -> SettingField { return &s.placement.state; }}, u"0",
     Reset::Keep},
};

// The fields of a user command as the store names them after "PlugIns/Plug<n>". The button
// switches the commands off and leaves what they do alone.
const struct
{
    const char *name;
    SettingField (*at)(TSettings &, int);
    QStringView defaultText;
    Reset reset;
} kUserCommandFields[] = {
    {"Action", [](TSettings &s, int i) -> SettingField { return &s.UserCommands[i].Action; },
     u"0", Reset::Keep},
    {"active", [](TSettings &s, int i) -> SettingField { return &s.UserCommands[i].active; },
     u"0", Reset::ToDefault},
    {"Caption", [](TSettings &s, int i) -> SettingField { return &s.UserCommands[i].Caption; },
     u"", Reset::Keep},
    {"FilePath",
     [](TSettings &s, int i) -> SettingField { return &s.UserCommands[i].FilePath; }, u"",
     Reset::Keep},
    {"Tag1", [](TSettings &s, int i) -> SettingField { return &s.UserCommands[i].Tag1; }, u"",
     Reset::Keep},
    {"Tag2", [](TSettings &s, int i) -> SettingField { return &s.UserCommands[i].Tag2; }, u"",
     Reset::Keep},
    {"Hotkey", [](TSettings &s, int i) -> SettingField { return &s.UserCommands[i].Hotkey; },
     u"0", Reset::Keep},
};

// The one table of stored values: the single values, the window placement, the recent
// files ("User/File-1" the newest) and the user commands, each a row.
const std::vector<StoredValue> &storedValues()
{
    static const std::vector<StoredValue> table = [] {
        // The numbered names are made once and outlive the rows that view them.
        static std::deque<QString> names;
        std::vector<StoredValue> rows(std::begin(kStoredValues), std::end(kStoredValues));
        rows.insert(rows.end(), std::begin(kPlacementValues), std::end(kPlacementValues));
        for (int i = 0; i < TSettings::RecentCount; ++i) {
            names.push_back(u"User/File-"_s + QString::number(i + 1));
            const auto file = [](TSettings &s, int n) -> SettingField { return &s.RecentFiles[n]; };
            rows.push_back({names.back(), ItemPart{file, i}, u"", Reset::Keep});
        }
        for (int i = 0; i < TSettings::UserCommandCount; ++i) {
            for (const auto &field : kUserCommandFields) {
                names.push_back(u"PlugIns/Plug"_s + QString::number(i + 1)
                                + QLatin1StringView(field.name));
                rows.push_back(
                    {names.back(), ItemPart{field.at, i}, field.defaultText, field.reset});
            }
        }
        return rows;
    }();
    return table;
}

SettingField fieldOf(TSettings &s, const Member &member)
{
    return std::visit(
        [&s](auto m) -> SettingField {
            if constexpr (std::is_same_v<decltype(m), ItemPart>)
                return m.at(s, m.index);
            else
                return &(s.*m);
        },
        member);
}

// Turns a stored text into a field's value; a text that is no number gives the default.
void assign(TSettings &s, const StoredValue &entry, const QString &text)
{
    const QString fallback = entry.defaultText.toString();
    std::visit(
        [&](auto *field) {
            using T = std::remove_cvref_t<decltype(*field)>;
            if constexpr (std::is_same_v<T, QString>)
                *field = text;
            else if constexpr (std::is_same_v<T, bool>)
                *field = parseStoredInt(text.trimmed(), parseStoredInt(fallback, 0)) != 0;
            else
                *field = parseStoredInt(text.trimmed(), parseStoredInt(fallback, 0));
        },
        fieldOf(s, entry.member));
}

// The text the store keeps for a field: numbers in decimal, flags as "1" and "0".
QString storedText(const TSettings &s, const StoredValue &entry)
{
    // Only read: the table finds fields through writable settings.
    return std::visit(
        [](const auto *field) -> QString {
            using T = std::remove_cvref_t<decltype(*field)>;
            if constexpr (std::is_same_v<T, QString>)
                return *field;
            else if constexpr (std::is_same_v<T, bool>)
                return *field ? u"1"_s : u"0"_s;
            else
                return QString::number(*field);
        },
        fieldOf(const_cast<TSettings &>(s), entry.member));
}

} // namespace

TSettings::TSettings()
{
    for (const StoredValue &entry : storedValues())
        assign(*this, entry, entry.defaultText.toString());
}

QString TSettings::TabText() const
{
    return QString(std::max(Tab, 0), u' ');
}

void SetDefaultSettings(TSettings &s)
{
    for (const StoredValue &entry : storedValues()) {
        if (entry.reset == Reset::ToOn)
            assign(s, entry, u"1"_s);
        else if (entry.reset == Reset::ToDefault)
            assign(s, entry, entry.defaultText.toString());
    }
}

QStringList changedSettingKeys(const TSettings &before, const TSettings &after)
{
    QStringList keys;
    for (const StoredValue &entry : storedValues()) {
        if (storedText(before, entry) != storedText(after, entry))
            keys.append(entry.key.toString());
    }
    return keys;
}

bool isStoredSettingKey(QStringView name)
{
    const bool family = name.endsWith(u'/') || name.endsWith(u'-');
    const std::vector<StoredValue> &table = storedValues();
    return std::any_of(table.begin(), table.end(), [name, family](const StoredValue &entry) {
        return family ? entry.key.startsWith(name) : entry.key == name;
    });
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
    bool has(const QString &key) const { return m_store.contains(key); }

    void put(const QString &key, const QString &value) { m_store.setValue(key, value); }

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

bool SettingsStore::hasStoredSettings() const
{
    return !open(m_iniPath)->allKeys().isEmpty();
}

void SettingsStore::LoadSettings(TSettings &s) const
{
    auto store = open(m_iniPath);
    const Values v(*store);
    for (const StoredValue &entry : storedValues())
        assign(s, entry, v.str(entry.key.toString(), entry.defaultText.toString()));
    // The check once shared the value "RelPa"; files written then have no value of its own.
    if (!v.has(u"User/InsideTagCheck"_s))
        s.InsideTagCheck = s.RelPa;
    m_stored = s;
}

void SettingsStore::SaveSettings(const TSettings &s) const
{
    auto store = open(m_iniPath);
    Values v(*store);
    for (const StoredValue &entry : storedValues()) {
        if (!entry.written || entry.written(s))
            v.put(entry.key.toString(), storedText(s, entry));
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
