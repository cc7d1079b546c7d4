#pragma once

#include "app/DocumentManager.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class QMdiSubWindow;

// The windows of the documents in the frame's document area: one sub-window for each
// document the manager makes, gone when the document closes (and closing the window
// closes its document). It answers what a window asks of the frame. Made over a manager,
// it attaches itself and belongs to the manager from then on.
class DocumentWindows : public QObject, public DocumentViews
{
    Q_OBJECT

public:
    DocumentWindows(DocumentManager &documents, QMdiArea &area);
    ~DocumentWindows() override;

    QMdiArea &area() const override { return m_area; }
    TForm2 *window(const HtmlDocument *document) const override;
    void activate(HtmlDocument &document) override;

    // DocumentHost
    void tagItemDropped(HtmlDocument &document, const QString &itemText) override;
    void editCurrentTag(HtmlDocument &document) override;
    std::optional<QString> composeStyle(HtmlDocument &document) override;

private:
    void makeWindow(HtmlDocument *document);
    void windowActivated(QMdiSubWindow *window);

    DocumentManager &m_documents;
    QMdiArea &m_area;
    QHash<const HtmlDocument *, QPointer<TForm2>> m_windows;
    bool m_closingAll = false;
};
