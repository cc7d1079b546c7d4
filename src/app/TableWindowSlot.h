#pragma once

#include "commands/Workspace.h"

#include <QPointer>

class QAction;
class QWidget;

// The one table window beside the documents, opened and closed by F6 "Okno tabulky"; the
// menu item's check mark follows the window however it goes.
class TableWindowSlot : public TableWindowService
{
public:
    // item: the menu item F6 triggers; parent: the window the table window belongs to.
    TableWindowSlot(Workspace &workspace, QAction &item, QWidget &parent);
    ~TableWindowSlot() override;

    TTableForm *tableWindow() const override;
    void closeTableWindow() override;
    // Opens the window when it is closed, closes it when open.
    void toggle();

private:
    Workspace &m_workspace;
    QAction &m_item;
    QWidget &m_parent;
    QPointer<TTableForm> m_window;
};
