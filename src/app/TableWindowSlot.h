#pragma once

#include "commands/Workspace.h"

#include <QPointer>

class QAction;

// The one table window beside the documents, opened and closed by F6 "Okno tabulky"; the
// menu item's check mark follows the window however it goes. The window belongs to the
// workspace's dialog parent.
class TableWindowSlot : public TableWindowService
{
public:
    // item: the menu item F6 triggers; the window takes it along, so F6 closes it from
    // inside too.
    TableWindowSlot(Workspace &workspace, QAction &item);
    ~TableWindowSlot() override;

    TTableForm *tableWindow() const override;
    void closeTableWindow() override;
    void toggleTableWindow() override;

private:
    Workspace &m_workspace;
    QAction &m_item;
    QPointer<TTableForm> m_window;
};
