#include "app/SidePanel.h"

#include "app/ProgramDir.h"
#include "preview/WebBrowser.h"

#include <QAction>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SidePanel::SidePanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"Panel2"_s);
    resize(192, height());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_notebook = new QTabWidget(this);
    m_notebook->setObjectName(u"TabbedNotebook1"_s);
    // All three pages stay reachable in the narrow panel.
    m_notebook->setUsesScrollButtons(false);
    m_filePage = new QWidget;
    m_filePage->setObjectName(u"Soubory"_s);
    new QVBoxLayout(m_filePage);
    m_tagTreePage = new QWidget;
    m_tagTreePage->setObjectName(u"Tagy"_s);
    new QVBoxLayout(m_tagTreePage);
    m_helpBrowser = new WebBrowser;
    m_helpBrowser->setObjectName(u"WebBrowser2"_s);
    m_notebook->addTab(m_filePage, u"Soubory"_s);
    m_notebook->addTab(m_tagTreePage, u"Tagy"_s);
    m_notebook->addTab(m_helpBrowser, u"Nápověda"_s);
    layout->addWidget(m_notebook);
    connect(m_notebook, &QTabWidget::currentChanged, this, &SidePanel::pageChanged);

    m_right = new QAction(u"Panel vpravo"_s, this);
    m_right->setObjectName(u"PanelRightAction"_s);
    m_right->setCheckable(true);
    m_left = new QAction(u"Panel vlevo"_s, this);
    m_left->setObjectName(u"PanelLeftAction"_s);
    m_left->setCheckable(true);
    addAction(m_right);
    addAction(m_left);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(m_right, &QAction::triggered, this, [this] { Q_EMIT sideChosen(true); });
    connect(m_left, &QAction::triggered, this, [this] { Q_EMIT sideChosen(false); });
}

SidePanel::~SidePanel()
{
    // Removing the pages one by one changes the current page; the help page must not open
    // on the way out.
    m_notebook->blockSignals(true);
}

void SidePanel::focusFiles()
{
    m_notebook->setCurrentWidget(m_filePage);
    if (QWidget *list = m_filePage->focusProxy())
        list->setFocus();
}

void SidePanel::focusTagTree()
{
    m_notebook->setCurrentWidget(m_tagTreePage);
    m_tagTreePage->setFocus();
    if (QWidget *tree = m_tagTreePage->focusProxy())
        tree->setFocus();
}

void SidePanel::showSide(bool right)
{
    m_right->setChecked(right);
    m_left->setChecked(!right);
}

void SidePanel::pageChanged(int index)
{
    if (m_notebook->widget(index) != m_helpBrowser)
        return;
    // The preview window's view goes into the document area first: made after the tab's
    // view, it left that one blank until the tab was shown again.
    Q_EMIT helpPageOpened(programDir() + u"help/index2.htm"_s);
    m_helpBrowser->navigate(QUrl::fromLocalFile(programDir() + u"help/index.htm"_s));
}
