#pragma once

#include "commands/CommandIds.h"

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>

class CommandRegistry;
class QAction;
class Workspace;
class QMainWindow;
class QMenu;

// The frame's menus. Every item is a QAction found by its identifier (Cmd::FileNew,
// Cmd::HidBold ...) and runs the command registered under it. Where two items carry the same
// shortcut, the first in menu order keeps it.
class MainMenu
{
public:
    explicit MainMenu(QMainWindow &window);

    QAction *action(CommandId id) const;
    QAction *action(const QString &id) const;
    QMenu *menu(const QString &id) const;
    const QHash<QString, QAction *> &actions() const { return m_actions; }
    // True when an item of the menu table already holds this key; items that come later
    // in menu order (the user commands) do not get it again.
    bool shortcutTaken(const QKeySequence &key) const { return m_usedShortcuts.contains(key); }

    // The first-in-menu-order rule for every action of the window, not only the menu's:
    // the menu's items keep their keys, and any other action (a document window's system
    // menu, a tool window) gives up a key that is already taken, so no key is ever bound
    // twice and silently does nothing. Run again whenever the window gains actions.
    void releaseTakenShortcuts() const;

    // Every item runs the command registered under its identifier, looked up when it is
    // triggered, so commands registered later are bound too.
    void bindCommands(const CommandRegistry &commands, Workspace &workspace) const;

    struct Item;

private:
    void build(QMenu *menu, const Item *items, int count);

    QMainWindow &m_window;
    QHash<QString, QAction *> m_actions;
    QList<QAction *> m_inMenuOrder;
    QHash<QString, QMenu *> m_menus;
    QList<QKeySequence> m_usedShortcuts;
};
