#include "MainMenu.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

// One row of a menu table: an action, a separator (empty id and caption), or a submenu
// (children set).
struct MainMenu::Item
{
    const char *id;
    const char16_t *caption;
    const char *shortcut = nullptr;
    bool checkable = false;
    const Item *children = nullptr;
    int childCount = 0;
};

namespace {

using Item = MainMenu::Item;
constexpr Item Separator{"", u""};

template<int N>
constexpr Item submenu(const char *id, const char16_t *caption, const Item (&items)[N])
{
    return Item{id, caption, nullptr, false, items, N};
}

const Item kRecent[] = {
    {"Recent1", u"1"}, {"Recent2", u"2"}, {"Recent3", u"3"}, {"Recent4", u"4"},
    {"Recent5", u"5"}, {"Recent6", u"6"}, {"Recent7", u"7"}, {"Recent8", u"8"},
    {"Recent9", u"9"}, {"Recent10", u"0"},
};

const Item kFile[] = {
    {"FileNew", u"Nový", "Ctrl+N"},
    {"FileNewFromTemplate", u"Nový podle šablony..."},
    {"FileOpen", u"Otevřít ...", "Ctrl+O"},
    submenu("FileRecent", u"Naposledy otevřené", kRecent),
    {"FileSave", u"Uložit", "Ctrl+S"},
    {"FileSaveAs", u"Uložit jako...", "F2"},
    {"FilePrint", u"Tisk", "Ctrl+P"},
    {"FilePrintSetup", u"Nastavení tisku..."},
    {"FileClose", u"Zavřít"},
    {"FileCloseAll", u"Zavřít vše", "F4"},
    Separator,
    {"FileExit", u"Konec", "Alt+X"},
};

const Item kEdit[] = {
    {"EditUndo", u"Zpět", "Ctrl+Z"},
    Separator,
    {"EditCurrentTag", u"Editovat aktuální tag", "F7"},
    Separator,
    {"EditCut", u"Vyjmout", "Ctrl+X"},
    {"EditCopy", u"Kopírovat", "Ctrl+C"},
    {"EditPaste", u"Vložit", "Ctrl+V"},
    {"EditInsertFile", u"Vložit soubor.."},
    {"EditDelete", u"Smazat"},
    {"EditSelectAll", u"Vybrat vše", "Ctrl+A"},
    {"EditDeleteTag", u"Smazat aktuální tag", "Ctrl+Del"},
    {"EditSelectTag", u"Vybrat aktuální tag", "Shift+Return"},
    Separator,
    {"EditUpper", u"Velká písmena"},
    {"EditLower", u"Malá písmena"},
    Separator,
    {"EditStripTags", u"Odstranit tagy"},
    {"EditRemoveSpaces", u"Ostranit mezery mimo tagy"},
};

const Item kSearch[] = {
    {"SearchFind", u"Najít", "Ctrl+F"},
    {"SearchFindNext", u"Najít další", "F3"},
    Separator,
    {"SearchReplace", u"Zaměnit", "Ctrl+R"},
    Separator,
    {"SearchSlashes", u"Zaměnit lomítka   \\ za /  "},
};

const Item kSpecialChars[] = {
    {"InsNbsp", u"Nezalomitelná mezera", "Ctrl+Shift+Space"},
    {"InsCopyright", u"Copyright ©", "Ctrl+Shift+C"},
    {"InsRegistered", u"Registered ®", "Ctrl+Shift+R"},
    {"InsTrademark", u"TradeMark ™", "Ctrl+Shift+T"},
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
    submenu("InsHeadings", u"Nadpis", kHeadings),
    Separator,
    {"InsTagA", u"<A>", "Ctrl+Shift+A"},
    {"InsTagBlockquote", u"<BLOCKQUOTE>", "Ctrl+Shift+B"},
    {"InsTagCenter", u"<CENTER>", "Ctrl+Shift+C"},
    {"InsTagTd", u"<TD>", "Ctrl+Shift+D"},
    {"InsTagFont", u"<FONT>", "Ctrl+Shift+F"},
    {"InsTagHr", u"<HR>", "Ctrl+Shift+H"},
    {"InsTagImg", u"<IMG>", "Ctrl+Shift+I"},
    {"InsTagTr", u"<TR>", "Ctrl+Shift+R"},
    {"InsTagTable", u"<TABLE>", "Ctrl+Shift+T"},
};

const Item kInsert[] = {
    submenu("InsSpecialChars", u"&Speciální znaky", kSpecialChars),
    submenu("InsTags", u"&Tagy ", kTags),
    {"InsColor", u"&Barvu", "F11"},
    {"InsQvtLink", u"&Odkaz na Q.V.T."},
    {"InsCounter", u"&Počítadlo"},
    {"InsDate", u"&Aktuální datum"},
    {"InsTime", u"A&ktuální čas"},
    {"InsLastEdit", u"&Datum poslední editace"},
};

const Item kSpecialTools[] = {
    {"ToolScripter", u"Scripter", "Ctrl+J"},
    {"ToolStyleBuilder", u"Style Builder", "Ctrl+Alt+B"},
    {"ToolFrames", u"Generátor rámců"},
    {"ToolChannels", u"Generator kanálů"},
    {"ToolLinkAnalyzer", u"LinkAnalyzer"},
    {"ToolGradient", u"Přestupná barva textu"},
};

const Item kUserCommands[] = {
    {"UserCmdEdit", u"Upravit..."},
    Separator,
    {"UserCmd1", u"A1"}, {"UserCmd2", u"A2"}, {"UserCmd3", u"A3"}, {"UserCmd4", u"A4"},
    {"UserCmd5", u"A5"}, {"UserCmd6", u"A6"}, {"UserCmd7", u"A7"}, {"UserCmd8", u"A8"},
    {"UserCmd9", u"A9"}, {"UserCmd10", u"A10"}, {"UserCmd11", u"A11"}, {"UserCmd12", u"A12"},
    {"UserCmd13", u"A13"}, {"UserCmd14", u"A14"}, {"UserCmd15", u"A15"},
};

const Item kTools[] = {
    {"ToolPreview", u"Zobrazit dokument v prohližeči", "Ctrl+E"},
    {"ToolUserTags", u"Uživatelské tagy", "F12"},
    {"ToolSpecialChars", u"Speciální znaky", "F9"},
    {"ToolDocCheck", u"Kontrola dokumentu", "F5"},
    {"ToolColorize", u"Obarvit text", "F10"},
    {"ToolHtmlCheck", u"Zkontrolovat HTML", "Ctrl+F5"},
    {"ToolUpload", u"Distribuce na WWW server"},
    {"ToolSiteCheck", u"Kontrola webu..."},
    Separator,
    submenu("ToolSpecial", u"Speciální nástroje", kSpecialTools),
    submenu("UserCommands", u"Uživatelské příkazy", kUserCommands),
    {"ToolClipboard", u"Obsah schránky"},
    {"ToolDownloadTimes", u"Nahrávací časy..."},
};

const Item kOptions[] = {
    {"OptWordWrap", u"Zalamovat text", nullptr, true},
    {"OptTableWindow", u"Okno tabulky", "F6"},
    {"OptCommandPanel", u"Panel příkazů", nullptr, true},
    {"OptTagPanel", u"Panel tagů", nullptr, true},
    {"OptSourcePanel", u"Panel zdrojů", nullptr, true},
    {"OptSpelling", u"Kontrola pravopisu"},
    Separator,
    {"OptSettings", u"Nastavení..", "F8"},
};

const Item kWindow[] = {
    {"WinTileH", u"Dlaždice horizontálně"},
    {"WinTileV", u"Dlaždice vertikálně"},
    {"WinCascade", u"Kaskáda"},
    {"WinArrange", u"Uspořádat ikony"},
    Separator,
    {"WinPreview", u"Samostatné okno s prohlížečem ", "Ctrl+W"},
};

const Item kHelp[] = {
    {"HelpUsage", u"Používání programu"},
    {"HelpSyntax", u"Syntaxe HTML"},
    {"HelpTips", u"Tipy"},
    Separator,
    {"HelpAbout", u"O programu"},
};

// Never shown: its items exist for their shortcuts.
const Item kHidden[] = {
    {"HidBold", u"Tučné písmo", "Ctrl+B"},
    {"HidImage", u"Vložit obrázek", "Ctrl+D"},
    {"HidSound", u"Vlozit zvuk", "Ctrl+G"},
    {"HidInternalPreview", u"Otewrit v interním prohlizeči", "Ctrl+H"},
    {"HidItalic", u"Kurzíva", "Ctrl+I"},
    {"HidLink", u"Vložit odkaz", "Ctrl+K"},
    {"HidListItem", u"Polozka seznamu", "Ctrl+L"},
    {"HidFont", u"Písmo", "Ctrl+M"},
    {"HidForm", u"Formulár", "Ctrl+Q"},
    {"HidTT", u"Neproporcionální pismo", "Ctrl+T"},
    {"HidUnderline", u"Podtržené písmo", "Ctrl+U"},
    {"HidUL", u"Nečíslovaný seznam", "Ctrl+Y"},
    {"HidTagWindow", u"Okno tagy", "Ctrl+Alt+T"},
    {"HidFileWindow", u"Okno soubory", "Ctrl+Alt+S"},
    {"HidPaste", u"Vložit", "Shift+Ins"},
    {"HidCopy", u"Kopírovat", "Ctrl+Ins"},
    {"HidTrimLeft", u"TrimLeft na řádky"},
    {"HidAutoIndent", u"AutoIntend", "Ctrl+Alt+I"},
};

struct TopMenu
{
    const char *id;
    const char16_t *caption;
    const Item *items;
    int count;
};

template<int N>
constexpr TopMenu top(const char *id, const char16_t *caption, const Item (&items)[N])
{
    return TopMenu{id, caption, items, N};
}

const TopMenu kMenuBar[] = {
    top("MenuFile", u"Soubor", kFile),
    top("MenuEdit", u"Úpravy", kEdit),
    top("MenuSearch", u"Hledání", kSearch),
    top("MenuInsert", u"Vložit", kInsert),
    top("MenuTools", u"Nástroje", kTools),
    top("MenuOptions", u"Možnosti", kOptions),
    top("MenuWindow", u"Okno", kWindow),
    top("MenuHelp", u"Nápověda", kHelp),
};

} // namespace

MainMenu::MainMenu(QMainWindow &window)
    : m_window(window)
{
    QMenuBar *bar = window.menuBar();
    bar->setObjectName(u"MainMenu1"_s);
    for (const TopMenu &t : kMenuBar) {
        QMenu *menu = bar->addMenu(QString::fromUtf16(t.caption));
        menu->setObjectName(QLatin1StringView(t.id));
        m_menus.insert(QLatin1StringView(t.id), menu);
        build(menu, t.items, t.count);
    }
    // The hidden menu's actions live on the window so that their shortcuts work.
    auto *hidden = new QMenu(u"Hiden"_s, &window);
    hidden->setObjectName(u"Hiden"_s);
    m_menus.insert(u"Hiden"_s, hidden);
    build(hidden, kHidden, int(std::size(kHidden)));
    window.addActions(hidden->actions());
}

void MainMenu::build(QMenu *menu, const Item *items, int count)
{
    for (int i = 0; i < count; ++i) {
        const Item &item = items[i];
        const QString id = QLatin1StringView(item.id);
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
        QAction *action = menu->addAction(QString::fromUtf16(item.caption));
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
