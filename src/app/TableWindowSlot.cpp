#include "app/TableWindowSlot.h"

#include "commands/TableCommands.h"
#include "dialogs/TableDialogs.h"

#include <QAction>

TableWindowSlot::TableWindowSlot(Workspace &workspace, QAction &item)
    : m_workspace(workspace)
    , m_item(item)
{
}

TableWindowSlot::~TableWindowSlot()
{
    delete m_window.data();
}

TTableForm *TableWindowSlot::tableWindow() const
{
    return m_window;
}

void TableWindowSlot::closeTableWindow()
{
    if (!m_window)
        return;
    // F6 may be pressed inside the window itself: it goes once its events are done.
    // It goes away later; its own farewell must not reach a window made meanwhile.
    QObject::disconnect(m_window, &QObject::destroyed, nullptr, nullptr);
    m_window->hide();
    m_window->deleteLater();
    m_window = nullptr;
    m_item.setChecked(false);
}

void TableWindowSlot::toggleTableWindow()
{
    if (m_window) {
        closeTableWindow();
        return;
    }
    m_window = createTableWindow(m_workspace, m_workspace.dialogParent());
    // Its own close box and Escape end here too. The pointer is only reset, never read:
    // the window is half destroyed when it says so.
    QAction *item = &m_item;
    QObject::connect(m_window, &QObject::destroyed, item, [this, item] {
        m_window = nullptr;
        item->setChecked(false);
    });
    // F6 closes it from inside as well; the keyboard stays with the document.
    m_window->addAction(item);
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    m_window->show();
    m_window->raise();
    item->setChecked(true);
}
