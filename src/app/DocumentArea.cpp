#include "app/DocumentArea.h"

#include "preview/WebBrowser.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTabBar>

using namespace Qt::StringLiterals;

namespace {

// The window's own "Close" takes Ctrl+F4 and Ctrl+W here; Ctrl+W belongs to the "Okno"
// menu's preview command, so the window keeps Ctrl+F4 only.
void keepCtrlWForTheMenu(QMdiSubWindow *sub)
{
    const QKeySequence ctrlW(Qt::CTRL | Qt::Key_W);
    for (QAction *a : sub->systemMenu()->actions()) {
        QList<QKeySequence> keys = a->shortcuts();
        if (keys.removeAll(ctrlW))
            a->setShortcuts(keys);
    }
}

} // namespace

DocumentArea::DocumentArea(QWidget *parent, QWidget *tabsParent)
    : QStackedWidget(parent)
{
    setObjectName(u"DocumentArea"_s);
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(u"MdiArea"_s);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    addWidget(m_mdi);
    m_browser = new WebBrowser(this);
    m_browser->setObjectName(u"WebBrowser1"_s);
    addWidget(m_browser);

    m_tabs = new QTabBar(tabsParent);
    m_tabs->setObjectName(u"TabSet1"_s);
    m_tabs->addTab(u"Dokument"_s);
    m_tabs->addTab(u"Preview"_s);
    m_tabs->setShape(QTabBar::RoundedSouth);
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(false);
    m_tabs->setFixedHeight(m_tabs->sizeHint().height());
}

DocumentArea::~DocumentArea()
{
    // The tabs stand elsewhere in the window but belong to the area.
    delete m_tabs.data();
}

bool DocumentArea::covered() const
{
    return currentWidget() == m_browser;
}

void DocumentArea::setCovered(bool covered)
{
    setCurrentWidget(covered ? static_cast<QWidget *>(m_browser) : m_mdi);
}

void DocumentArea::showChildWindow(QWidget *window)
{
    auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    if (!sub) {
        sub = m_mdi->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        keepCtrlWForTheMenu(sub);
        sub->resize(std::max(m_mdi->width() * 2 / 3, 400), std::max(m_mdi->height() * 2 / 3, 300));
    }
    sub->show();
    m_mdi->setActiveSubWindow(sub);
}

void DocumentArea::tile(Qt::Orientation stacking)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *w : m_mdi->subWindowList()) {
        if (!w->isMinimized())
            windows << w;
    }
    if (windows.isEmpty())
        return;
    const QRect area = m_mdi->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *w = windows[i];
        w->showNormal();
        if (stacking == Qt::Vertical) {
            const int h = area.height() / n;
            w->setGeometry(0, i * h, area.width(), h);
        } else {
            const int wd = area.width() / n;
            w->setGeometry(i * wd, 0, wd, area.height());
        }
    }
}

void DocumentArea::arrangeIcons()
{
    int x = 0;
    const int bottom = m_mdi->viewport()->height();
    for (QMdiSubWindow *w : m_mdi->subWindowList()) {
        if (!w->isMinimized())
            continue;
        w->move(x, bottom - w->height());
        x += w->width();
    }
}

void DocumentArea::listWindows(QMenu &menu)
{
    for (QAction *a : menu.actions()) {
        if (a->property("windowListEntry").toBool())
            delete a;
    }
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList();
    if (!windows.isEmpty()) {
        QAction *sep = menu.addSeparator();
        sep->setProperty("windowListEntry", true);
    }
    for (QMdiSubWindow *w : windows) {
        QAction *a = menu.addAction(w->windowTitle());
        a->setProperty("windowListEntry", true);
        a->setCheckable(true);
        a->setChecked(w == m_mdi->activeSubWindow());
        connect(a, &QAction::triggered, w, [this, w] {
            // A window chosen from the list is to be worked in. The documents come out from
            // under the preview, as the "Dokument" tab brings them; a minimised window comes
            // back; and the keys go to it rather than to a window nobody sees.
            if (covered())
                m_tabs->setCurrentIndex(0);
            if (covered())
                setCovered(false);
            if (w->isMinimized())
                w->showNormal();
            m_mdi->setActiveSubWindow(w);
            if (QWidget *content = w->widget())
                content->setFocus();
        });
    }
}
