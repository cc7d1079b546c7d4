#pragma once

#include "markup/ColorValue.h"
#include "markup/MarkupStyle.h"
#include "markup/SysUt.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// One user command of the "Uživatelské příkazy" menu.
struct UserCommand
{
    bool Action = false;
    bool active = false;
    QString Caption;
    QString FilePath;
    QString Tag1;
    QString Tag2;
    int Hotkey = 0; // virtual-key code + 8192 Shift + 16384 Ctrl + 32768 Alt

    bool operator==(const UserCommand &) const = default;
};

// Where the main window stands; stored with the settings.
struct WindowPlacement
{
    enum State { Maximized = 0, Minimized = 1, Normal = 2 };
    int height = 439;
    int width = 586;
    int left = 122;
    int top = 95;
    int state = Maximized;

    bool operator==(const WindowPlacement &) const = default;
};

// Every user preference of the program. Field names are the stored value names. The
// defaults (a first start, and the button "Původní nastavení") are declared once, in the table
// of stored values in TSettings.cpp; a new TSettings holds a first start's values.
struct TSettings
{
    static constexpr int RecentCount = 10;
    static constexpr int UserCommandCount = 15;

    TSettings();

    ColorValue TEXT;
    ColorValue TAG;
    ColorValue IMAGE;
    ColorValue LINK;
    ColorValue SCRIPT;
    ColorValue STYLE;
    // The parts of the code inside style and script blocks.
    ColorValue CssSelector;
    ColorValue CssProperty;
    ColorValue CssValue;
    ColorValue CssComment;
    ColorValue JsKeyword;
    ColorValue JsString;
    ColorValue JsNumber;
    ColorValue JsComment;
    bool RelPa;
    bool Alt92;
    bool InsideTagCheck;
    bool Ulpre;
    bool GenVys;
    bool Backup;
    QString BackupPrip;
    int FITIP;
    bool Colorize;
    QString EditFont;
    int Vyska;
    int Tab;
    bool Alt_Enter;
    QString Alt_Enter_Text;
    bool IBrow;
    QString ExtBrow;
    bool MetaCz;
    bool Tipky;
    bool PanelRight;
    bool UseDDE;
    bool UpperCaseFiles;
    bool FindDir;
    bool HidePrew;
    bool AutoIntend;
    // The pages open at the end come back at the next start without files to open.
    bool ReopenSession;
    // The aids to typing markup in the editor; the editor writes end tags only when asked.
    bool LineNumbers;
    bool TagPairs;
    bool CloseTags;
    bool RenamePairs;
    bool Completion;
    // The dictionary spelling is checked with as the user types ("cs_CZ"); empty: off.
    QString SpellCheck;
    // The site check: before every upload or not, the folder checked last, and the pages
    // the user marked as entry pages (absolute paths joined by "|").
    bool SiteCheckBeforeUpload;
    QString SiteDir;
    QString SiteEntryPages;
    // How the commands write markup: "HTML4" or "HTML5".
    QString MarkupStyle;
    // "Živý náhled": on which side of the source it stands, its width in pixels (0: half of
    // the room), and whether it brings the caret's element into view.
    bool LivePreviewLeft;
    int LivePreviewWidth;
    bool LivePreviewFollowCaret;
    std::array<QString, RecentCount> RecentFiles;
    std::array<UserCommand, UserCommandCount> UserCommands;

    WindowPlacement placement;

    // The three options that shape file references in markup.
    PathOptions pathOptions() const { return {RelPa, Alt92, UpperCaseFiles}; }
    // What the Tab key writes: Tab spaces, none for a negative width.
    QString TabText() const;
    ::MarkupStyle markupStyle() const { return markupStyleFromName(MarkupStyle); }

    bool operator==(const TSettings &) const = default;
};

// The button "Původní nastavení": everything back to its default except the recent files,
// the window placement and the user commands' fields other than `active`.
void SetDefaultSettings(TSettings &settings);

// The stored names ("User/Tab", "Formelina/X", "User/File-3", "PlugIns/Plug2Caption") of
// the values that differ between the two records, in the order of the table of stored values.
QStringList changedSettingKeys(const TSettings &before, const TSettings &after);
// Whether the store keeps a value of that name; a name ending in "/" or "-" asks for values
// whose names start with it ("PlugIns/", "User/File-").
bool isStoredSettingKey(QStringView name);

// Reads an integer stored as text: decimal, or hexadecimal after "0x"; anything else
// gives the fallback.
int parseStoredInt(const QString &text, int fallback);

// The settings in the per-user store (an INI file on Linux, the registry on Windows).
class SettingsStore
{
public:
    // The user's own store.
    SettingsStore();
    // A store in the given INI file (tests use a temporary one).
    explicit SettingsStore(QString iniPath);

    // Reads every value; a missing or unreadable one takes its default.
    void LoadSettings(TSettings &settings) const;
    // Writes every value; the placement only when the window is not maximised.
    void SaveSettings(const TSettings &settings) const;
    // Writes the settings when they differ from what this store last read or wrote, so a
    // change is on disk before a crash or a kill could lose it; true when it wrote.
    bool SaveIfChanged(const TSettings &settings) const;

    QString fileName() const;
    // False before the program's first start: nothing is stored yet.
    bool hasStoredSettings() const;

private:
    QString m_iniPath;
    mutable std::optional<TSettings> m_stored; // as last read or written
};
