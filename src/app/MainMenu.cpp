#include "MainMenu.h"

#include "commands/CommandRegistry.h"
#include "interaction/Interaction.h"
#include "markup/MarkupStyle.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

// One row of a menu table: an action, a separator (empty id and caption), or a submenu
// (children set).
struct MainMenu::Item
{
    CommandId id;
    const char16_t *caption;
    const char *shortcut = nullptr;
    bool checkable = false;
    const Item *children = nullptr;
    int childCount = 0;
};

namespace {

using Item = MainMenu::Item;
constexpr Item Separator{CommandId{""}, u""};

template<int N>
constexpr Item submenu(CommandId id, const char16_t *caption, const Item (&items)[N])
{
    return Item{id, caption, nullptr, false, items, N};
}

// Menu items whose command writes an element that HTML5 dropped without a replacement:
// the item stays, and says so.
const struct { CommandId id; QStringView element; } kWritesElement[] = {
    {Cmd::ToolFrames, u"FRAMESET"},
    {Cmd::HidSound, u"BGSOUND"},
};

QString captionOf(const Item &item)
{
    const QString caption = QString::fromUtf16(item.caption);
    for (const auto &w : kWritesElement) {
        if (w.id == item.id && isObsoleteWithoutReplacement(w.element))
            return caption + u" (zastaralé)"_s;
    }
    return caption;
}

const Item kRecent[] = {
    {Cmd::Recent[0], u"1"}, {Cmd::Recent[1], u"2"}, {Cmd::Recent[2], u"3"}, {Cmd::Recent[3], u"4"},
    {Cmd::Recent[4], u"5"}, {Cmd::Recent[5], u"6"}, {Cmd::Recent[6], u"7"}, {Cmd::Recent[7], u"8"},
    {Cmd::Recent[8], u"9"}, {Cmd::Recent[9], u"0"},
};

const Item kFile[] = {
    {Cmd::FileNew, u"Nový", "Ctrl+N"},
    {Cmd::FileNewFromTemplate, u"Nový podle šablony..."},
    {Cmd::FileOpen, u"Otevřít ...", "Ctrl+O"},
    submenu(MenuId::FileRecent, u"Naposledy otevřené", kRecent),
    {Cmd::FileSave, u"Uložit", "Ctrl+S"},
    {Cmd::FileSaveAs, u"Uložit jako...", "F2"},
    {Cmd::FilePrint, u"Tisk", "Ctrl+P"},
    {Cmd::FilePrintSetup, u"Nastavení tisku..."},
    {Cmd::FileClose, u"Zavřít"},
    {Cmd::FileCloseAll, u"Zavřít vše", "F4"},
    Separator,
    {Cmd::FileExit, u"Konec", "Alt+X"},
};

const Item kEdit[] = {
    {Cmd::EditUndo, u"Zpět", "Ctrl+Z"},
    Separator,
    {Cmd::EditCurrentTag, u"Editovat aktuální tag", "F7"},
    Separator,
    {Cmd::EditCut, u"Vyjmout", "Ctrl+X"},
    {Cmd::EditCopy, u"Kopírovat", "Ctrl+C"},
    {Cmd::EditPaste, u"Vložit", "Ctrl+V"},
    {Cmd::EditInsertFile, u"Vložit soubor.."},
    {Cmd::EditDelete, u"Smazat"},
    {Cmd::EditSelectAll, u"Vybrat vše", "Ctrl+A"},
    {Cmd::EditDeleteTag, u"Smazat aktuální tag", "Ctrl+Del"},
    {Cmd::EditSelectTag, u"Vybrat aktuální tag", "Shift+Return"},
    {Cmd::EditGoToPairTag, u"Přejít na párový tag", "Ctrl+Shift+M"},
    Separator,
    {Cmd::EditUpper, u"Velká písmena"},
    {Cmd::EditLower, u"Malá písmena"},
    Separator,
    {Cmd::EditStripTags, u"Odstranit tagy"},
    {Cmd::EditRemoveSpaces, u"Ostranit mezery mimo tagy"},
};

const Item kSearch[] = {
    {Cmd::SearchFind, u"Najít", "Ctrl+F"},
    {Cmd::SearchFindNext, u"Najít další", "F3"},
    Separator,
    {Cmd::SearchReplace, u"Zaměnit", "Ctrl+R"},
    Separator,
    {Cmd::SearchSlashes, u"Zaměnit lomítka   \\ za /  "},
    Separator,
    {Cmd::SearchInFiles, u"Hledat v souborech...", "Ctrl+Alt+F"},
};

const Item kSpecialChars[] = {
    {Cmd::InsNbsp, u"Nezalomitelná mezera", "Ctrl+Shift+Space"},
    {Cmd::InsCopyright, u"Copyright ©", "Ctrl+Shift+C"},
    {Cmd::InsRegistered, u"Registered ®", "Ctrl+Shift+R"},
    {Cmd::InsTrademark, u"TradeMark ™", "Ctrl+Shift+T"},
};

const Item kHeadings[] = {
    {"InsH1", u"Největší nadpis", "Alt+1"},
    {"InsH2", u"Velký nadpis", "Alt+2"},
    {"InsH3", u"Střední nadpis", "Alt+3"},
    {"InsH4", u"Menší nadpis", "Alt+4"},
    {"InsH5", u"Malý nadpis", "Alt+5"},
    {"InsH6", u"Nejmenší nadpis", "Alt+6"},
};

// Captions with "<" and no "&" are shown as they stand.
const Item kTags[] = {
    submenu(MenuId::InsHeadings, u"Nadpis", kHeadings),
    Separator,
    {Cmd::InsTagA, u"<A>", "Ctrl+Shift+A"},
    {Cmd::InsTagBlockquote, u"<BLOCKQUOTE>", "Ctrl+Shift+B"},
    {Cmd::InsTagCenter, u"<CENTER>", "Ctrl+Shift+C"},
    {Cmd::InsTagTd, u"<TD>", "Ctrl+Shift+D"},
    {Cmd::InsTagFont, u"<FONT>", "Ctrl+Shift+F"},
    {Cmd::InsTagHr, u"<HR>", "Ctrl+Shift+H"},
    {Cmd::InsTagImg, u"<IMG>", "Ctrl+Shift+I"},
    {Cmd::InsTagTr, u"<TR>", "Ctrl+Shift+R"},
    {Cmd::InsTagTable, u"<TABLE>", "Ctrl+Shift+T"},
};

const Item kInsert[] = {
    submenu(MenuId::InsSpecialChars, u"&Speciální znaky", kSpecialChars),
    submenu(MenuId::InsTags, u"&Tagy ", kTags),
    {Cmd::InsColor, u"&Barvu", "F11"},
    {Cmd::InsQvtLink, u"&Odkaz na Q.V.T."},
    {Cmd::InsCounter, u"&Počítadlo"},
    {Cmd::InsDate, u"&Aktuální datum"},
    {Cmd::InsTime, u"A&ktuální čas"},
    {Cmd::InsLastEdit, u"&Datum poslední editace"},
};

const Item kSpecialTools[] = {
    {Cmd::ToolScripter, u"Scripter", "Ctrl+J"},
    {Cmd::ToolStyleBuilder, u"Style Builder", "Ctrl+Alt+B"},
    {Cmd::ToolFrames, u"Generátor rámců"},
    {Cmd::ToolChannels, u"Generator kanálů"},
    {Cmd::ToolLinkAnalyzer, u"LinkAnalyzer"},
    {Cmd::ToolGradient, u"Přestupná barva textu"},
};

const Item kUserCommands[] = {
    {Cmd::UserCmdEdit, u"Upravit..."},
    Separator,
    {Cmd::UserCmd[0], u"A1"}, {Cmd::UserCmd[1], u"A2"}, {Cmd::UserCmd[2], u"A3"}, {Cmd::UserCmd[3], u"A4"},
    {Cmd::UserCmd[4], u"A5"}, {Cmd::UserCmd[5], u"A6"}, {Cmd::UserCmd[6], u"A7"}, {Cmd::UserCmd[7], u"A8"},
    {Cmd::UserCmd[8], u"A9"}, {Cmd::UserCmd[9], u"A10"}, {Cmd::UserCmd[10], u"A11"}, {Cmd::UserCmd[11], u"A12"},
    {Cmd::UserCmd[12], u"A13"}, {Cmd::UserCmd[13], u"A14"}, {Cmd::UserCmd[14], u"A15"},
};

const Item kTools[] = {
    {Cmd::ToolPreview, u"Zobrazit dokument v prohližeči", "Ctrl+E"},
    {Cmd::ToolLivePreview, u"Živý náhled", "Ctrl+Shift+E", true},
    {Cmd::ToolUserTags, u"Uživatelské tagy", "F12"},
    {Cmd::ToolSpecialChars, u"Speciální znaky", "F9"},
    {Cmd::ToolDocCheck, u"Kontrola dokumentu", "F5"},
    {Cmd::ToolColorize, u"Obarvit text", "F10"},
    {Cmd::ToolHtmlCheck, u"Zkontrolovat HTML", "Ctrl+F5"},
    {Cmd::ToolUpload, u"Distribuce na WWW server"},
    {Cmd::ToolSiteCheck, u"Kontrola webu..."},
    Separator,
    submenu(MenuId::ToolSpecial, u"Speciální nástroje", kSpecialTools),
    submenu(MenuId::UserCommands, u"Uživatelské příkazy", kUserCommands),
    {Cmd::ToolClipboard, u"Obsah schránky"},
    {Cmd::ToolDownloadTimes, u"Nahrávací časy..."},
};

const Item kOptions[] = {
    {Cmd::OptWordWrap, u"Zalamovat text", nullptr, true},
    {Cmd::OptTableWindow, u"Okno tabulky", "F6"},
    {Cmd::OptCommandPanel, u"Panel příkazů", nullptr, true},
    {Cmd::OptTagPanel, u"Panel tagů", nullptr, true},
    {Cmd::OptSourcePanel, u"Panel zdrojů", nullptr, true},
    {Cmd::OptSpelling, u"Kontrola pravopisu"},
    Separator,
    {Cmd::OptSettings, u"Nastavení..", "F8"},
};

const Item kWindow[] = {
    {Cmd::WinTileH, u"Dlaždice horizontálně"},
    {Cmd::WinTileV, u"Dlaždice vertikálně"},
    {Cmd::WinCascade, u"Kaskáda"},
    {Cmd::WinArrange, u"Uspořádat ikony"},
    Separator,
    {Cmd::WinPreview, u"Samostatné okno s prohlížečem ", "Ctrl+W"},
};

const Item kHelp[] = {
    {Cmd::HelpUsage, u"Používání programu"},
    {Cmd::HelpSyntax, u"Syntaxe HTML"},
    {Cmd::HelpTips, u"Tipy"},
    Separator,
    {Cmd::HelpAbout, u"O programu"},
};

// Never shown: its items exist for their shortcuts.
const Item kHidden[] = {
    {Cmd::HidBold, u"Tučné písmo", "Ctrl+B"},
    {Cmd::HidImage, u"Vložit obrázek", "Ctrl+D"},
    {Cmd::HidSound, u"Vlozit zvuk", "Ctrl+G"},
    {Cmd::HidInternalPreview, u"Otewrit v interním prohlizeči", "Ctrl+H"},
    {Cmd::HidItalic, u"Kurzíva", "Ctrl+I"},
    {Cmd::HidLink, u"Vložit odkaz", "Ctrl+K"},
    {Cmd::HidListItem, u"Polozka seznamu", "Ctrl+L"},
    {Cmd::HidFont, u"Písmo", "Ctrl+M"},
    {Cmd::HidForm, u"Formulár", "Ctrl+Q"},
    {Cmd::HidTT, u"Neproporcionální pismo", "Ctrl+T"},
    {Cmd::HidUnderline, u"Podtržené písmo", "Ctrl+U"},
    {Cmd::HidUL, u"Nečíslovaný seznam", "Ctrl+Y"},
    {Cmd::HidTagWindow, u"Okno tagy", "Ctrl+Alt+T"},
    {Cmd::HidFileWindow, u"Okno soubory", "Ctrl+Alt+S"},
    {Cmd::HidPaste, u"Vložit", "Shift+Ins"},
    {Cmd::HidCopy, u"Kopírovat", "Ctrl+Ins"},
    {Cmd::HidTrimLeft, u"TrimLeft na řádky"},
    {Cmd::HidAutoIndent, u"AutoIntend", "Ctrl+Alt+I"},
};

struct TopMenu
{
    CommandId id;
    const char16_t *caption;
    const Item *items;
    int count;
};

template<int N>
constexpr TopMenu top(CommandId id, const char16_t *caption, const Item (&items)[N])
{
    return TopMenu{id, caption, items, N};
}

const TopMenu kMenuBar[] = {
    top(MenuId::MenuFile, u"Soubor", kFile),
    top(MenuId::MenuEdit, u"Úpravy", kEdit),
    top(MenuId::MenuSearch, u"Hledání", kSearch),
    top(MenuId::MenuInsert, u"Vložit", kInsert),
    top(MenuId::MenuTools, u"Nástroje", kTools),
    top(MenuId::MenuOptions, u"Možnosti", kOptions),
    top(MenuId::MenuWindow, u"Okno", kWindow),
    top(MenuId::MenuHelp, u"Nápověda", kHelp),
};

} // namespace

MainMenu::MainMenu(QMainWindow &window)
    : m_window(window)
{
    QMenuBar *bar = window.menuBar();
    bar->setObjectName(u"MainMenu1"_s);
    for (const TopMenu &t : kMenuBar) {
        QMenu *menu = bar->addMenu(QString::fromUtf16(t.caption));
        menu->setObjectName(t.id.toString());
        m_menus.insert(t.id.toString(), menu);
        build(menu, t.items, t.count);
    }
    // The hidden menu's actions live on the window so that their shortcuts work.
    auto *hidden = new QMenu(MenuId::Hiden.toString(), &window);
    hidden->setObjectName(MenuId::Hiden.toString());
    m_menus.insert(MenuId::Hiden.toString(), hidden);
    build(hidden, kHidden, int(std::size(kHidden)));
    window.addActions(hidden->actions());
}

void MainMenu::build(QMenu *menu, const Item *items, int count)
{
    for (int i = 0; i < count; ++i) {
        const Item &item = items[i];
        const QString id = item.id.toString();
        if (id.isEmpty()) {
            menu->addSeparator();
            continue;
        }
        if (item.children) {
            QMenu *sub = menu->addMenu(QString::fromUtf16(item.caption));
            sub->setObjectName(id);
            m_menus.insert(id, sub);
            build(sub, item.children, item.childCount);
            continue;
        }
        QAction *action = menu->addAction(captionOf(item));
        action->setObjectName(id);
        action->setCheckable(item.checkable);
        if (item.shortcut) {
            const QKeySequence key(QLatin1StringView(item.shortcut));
            if (!m_usedShortcuts.contains(key)) {
                m_usedShortcuts.append(key);
                action->setShortcut(key);
            }
        }
        m_actions.insert(id, action);
        m_inMenuOrder.append(action);
    }
}

void MainMenu::releaseTakenShortcuts() const
{
    QList<QKeySequence> taken;
    for (const QAction *a : m_inMenuOrder)
        taken << a->shortcuts();
    const QList<QAction *> all = m_window.findChildren<QAction *>();
    for (QAction *a : all) {
        if (m_inMenuOrder.contains(a) || a->shortcuts().isEmpty())
            continue;
        QList<QKeySequence> kept;
        for (const QKeySequence &key : a->shortcuts()) {
            if (!taken.contains(key)) {
                kept << key;
                taken << key;
            }
        }
        if (kept != a->shortcuts())
            a->setShortcuts(kept);
    }
}

void MainMenu::bindCommands(const CommandRegistry &commands, Workspace &workspace) const
{
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        const QString id = it.key();
        QObject::connect(it.value(), &QAction::triggered, it.value(),
                         [&commands, &workspace, id] { commands.run(id, workspace, ui()); });
    }
}

QAction *MainMenu::action(CommandId id) const
{
    return m_actions.value(id.toString());
}

QAction *MainMenu::action(const QString &id) const
{
    QAction *a = m_actions.value(id);
    Q_ASSERT_X(a, "MainMenu::action", qPrintable(id));
    return a;
}

QMenu *MainMenu::menu(const QString &id) const
{
    return m_menus.value(id);
}
