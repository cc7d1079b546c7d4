#pragma once

#include "markup/ColorValue.h"
#include "markup/SysUt.h"

#include <QString>

#include <array>

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
};

// Where the main window stands; stored beside the settings.
struct WindowPlacement
{
    enum State { Maximized = 0, Minimized = 1, Normal = 2 };
    int height = 439;
    int width = 586;
    int left = 122;
    int top = 95;
    int state = Maximized;
};

// Every user preference of the program. Field names are the stored value names.
struct TSettings
{
    static constexpr int RecentCount = 10;
    static constexpr int UserCommandCount = 15;

    ColorValue TEXT = 0;
    ColorValue TAG = 255;
    ColorValue IMAGE = 32768;
    ColorValue LINK = 16711680;
    ColorValue SCRIPT = 8421504;
    ColorValue STYLE = 16711935;
    bool RelPa = true;
    bool Alt92 = false;
    bool InsideTagCheck = true;
    bool Ulpre = false;
    bool GenVys = true;
    bool Backup = false;
    QString BackupPrip = QStringLiteral("bak");
    int FITIP = 0;
    bool Colorize = true;
    QString EditFont = QStringLiteral("Courier New");
    int Vyska = 10;
    int Tab = 8;
    QString TabText = QString(8, QLatin1Char(' '));
    bool Alt_Enter = true;
    QString Alt_Enter_Text = QStringLiteral("<BR>");
    bool IBrow = true;
    QString ExtBrow;
    bool MetaCz = true;
    bool Tipky = false;
    bool PanelRight = true;
    bool UseDDE = false;
    bool UpperCaseFiles = false;
    bool FindDir = true;
    bool HidePrew = true;
    bool AutoIntend = true;
    // The site check: before every upload or not, the folder checked last, and the pages
    // the user marked as entry pages (absolute paths joined by "|").
    bool SiteCheckBeforeUpload = true;
    QString SiteDir;
    QString SiteEntryPages;
    std::array<QString, RecentCount> RecentFiles;
    std::array<UserCommand, UserCommandCount> UserCommands;

    WindowPlacement placement;

    // The three options that shape file references in markup.
    PathOptions pathOptions() const { return {RelPa, Alt92, UpperCaseFiles}; }
};

// The button "Původní nastavení": everything back to its default except the recent files
// and the user commands' fields other than `active`.
void SetDefaultSettings(TSettings &settings);

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

    // Reads every value; missing or unreadable ones keep what settings holds in memory.
    void LoadSettings(TSettings &settings) const;
    // Writes every value; the placement only when the window is not maximised.
    void SaveSettings(const TSettings &settings) const;

    QString fileName() const;

private:
    QString m_iniPath;
};
