#pragma once

#include <QObject>

#include <array>

class DocumentManager;
class EncodingPanel;
class QMenu;
class QPixmap;
class QStatusBar;
class StatusPanel;
class HtmlDocument;

// The status bar's panels: the modified mark, "Změněno", the page's size, the caret and
// hints, then the active document's encoding and line breaks, whose choices are also in
// the "Soubor" menu.
class StatusPanels : public QObject
{
    Q_OBJECT

public:
    // fileMenu gets the encoding and line-break submenus before its item beforeItem.
    StatusPanels(QStatusBar &bar, DocumentManager &documents, QMenu &fileMenu, QAction *beforeItem);

    void setText(int panel, const QString &text);
    QString text(int panel) const;
    void setModifiedMark(const QPixmap &mark);

Q_SIGNALS:
    // The active document was read again in another encoding.
    void documentReloaded(HtmlDocument *document);

private:
    void addChoicePanel(QStatusBar &bar, EncodingPanel *panel, QMenu *menu);

    DocumentManager &m_documents;
    std::array<StatusPanel *, 4> m_panels{};
};
