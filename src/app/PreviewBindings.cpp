#include "app/PreviewBindings.h"

#include "app/DocumentArea.h"
#include "app/SidePanel.h"
#include "app/TForm1.h"
#include "commands/Preview.h"

#include <QAction>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTabBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// The external-browser button acts when a mouse button goes down, not on release, and
// Shift at that moment picks the system's handler.
class PressTrigger final : public QObject
{
public:
    PressTrigger(TForm1 &window, QObject *parent)
        : QObject(parent)
        , m_window(window)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MouseButtonPress)
            return QObject::eventFilter(watched, event);
        const bool shift = static_cast<QMouseEvent *>(event)->modifiers() & Qt::ShiftModifier;
        ExternalPreviewButton(m_window.workspace(), shift);
        return true;
    }

private:
    TForm1 &m_window;
};

void bindPreviewTabs(TForm1 &window)
{
    QTabBar *tabs = window.documentArea().previewTabs();
    QObject::connect(tabs, &QTabBar::currentChanged, tabs, [&window, tabs](int index) {
        if (index < 0 || ChangePreviewTab(window.workspace(), index))
            return;
        const QSignalBlocker quiet(tabs);
        tabs->setCurrentIndex(index == PreviewTab ? DocumentTab : PreviewTab);
    });
    window.commands().add(Cmd::HidInternalPreview, [tabs](Workspace &, Interaction &) {
        tabs->setCurrentIndex(tabs->currentIndex() == PreviewTab ? DocumentTab : PreviewTab);
    });
}

} // namespace

void bindPreviewCommands(TForm1 &window)
{
    bindPreviewTabs(window);
    window.commands().add(Cmd::ToolPreview,
                          [](Workspace &w, Interaction &) { ExternalPreview(w); });
    if (QToolButton *button = window.toolButton(u"ExternalBrowserButton"_s))
        button->installEventFilter(new PressTrigger(window, button));
    window.commands().add(Cmd::WinPreview,
                          [](Workspace &w, Interaction &) { ShowPreviewWindow(w); });
    QObject::connect(&window.sidePanel(), &SidePanel::helpPageOpened, &window.sidePanel(),
                     [&window](const QString &path) {
                         ShowHelpInPreviewWindow(window.workspace(), path);
                     });
}
