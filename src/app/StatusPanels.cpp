#include "app/StatusPanels.h"

#include "app/DocumentManager.h"
#include "app/StatusPanel.h"
#include "editor/EncodingPanel.h"

#include <QMenu>
#include <QStatusBar>

using namespace Qt::StringLiterals;

StatusPanels::StatusPanels(QStatusBar &bar, DocumentManager &documents, QMenu &fileMenu,
                           QAction *beforeItem)
    : QObject(&bar)
    , m_documents(documents)
{
    bar.setObjectName(u"StatusBar"_s);
    const int widths[4] = {18, 60, 120, 50};
    // What each panel shows in full: the modified mark, the page's size (pages stay under
    // ten million characters), and the last one takes what room is left.
    const QString widest[4] = {{}, u"Změněno"_s, u"Velikost:9999999 znaků"_s, {}};
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new StatusPanel(widths[i], widest[i], &bar);
        m_panels[i]->setObjectName(u"StatusPanel"_s + QString::number(i));
        bar.addWidget(m_panels[i], i == 3 ? 1 : 0);
    }
    // The active document's encoding, in a panel of its own after the four; the panel's
    // choices from the keyboard too: "Soubor" → "Kódování".
    auto *encoding = new EncodingPanel(&bar);
    auto *encodingMenu = new QMenu(u"Kódování"_s, &fileMenu);
    encodingMenu->setObjectName(u"FileEncoding"_s);
    fileMenu.insertMenu(beforeItem, encodingMenu);
    addChoicePanel(bar, encoding, encodingMenu);
    // Read again in another encoding, the page is the file as it is: not "Změněno".
    connect(encoding, &EncodingPanel::documentReloaded, this, &StatusPanels::documentReloaded);
    // The line breaks the page's file is written with, beside its encoding.
    auto *lineBreaks = new EncodingPanel(&bar, EncodingPanel::Shows::LineBreaks);
    auto *lineBreakMenu = new QMenu(u"Konce řádků"_s, &fileMenu);
    lineBreakMenu->setObjectName(u"FileLineBreaks"_s);
    fileMenu.insertMenu(beforeItem, lineBreakMenu);
    addChoicePanel(bar, lineBreaks, lineBreakMenu);
    // A little room between the panel and the size grip in the window's corner.
    auto *gap = new QWidget(&bar);
    gap->setFixedWidth(6);
    bar.addPermanentWidget(gap);
}

void StatusPanels::addChoicePanel(QStatusBar &bar, EncodingPanel *panel, QMenu *menu)
{
    bar.addPermanentWidget(panel);
    connect(&m_documents, &DocumentManager::activeDocumentChanged, panel,
            [this, panel] { panel->setDocument(m_documents.activeDocument()); });
    connect(menu, &QMenu::aboutToShow, panel, [panel, menu] { panel->fillMenu(*menu); });
}

void StatusPanels::setText(int panel, const QString &text)
{
    m_panels[panel]->setText(text);
}

QString StatusPanels::text(int panel) const
{
    return m_panels[panel]->text();
}

void StatusPanels::setModifiedMark(const QPixmap &mark)
{
    m_panels[0]->setPixmap(mark);
}
