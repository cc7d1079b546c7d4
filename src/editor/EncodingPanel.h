#pragma once

#include <QPointer>
#include <QToolButton>

class QMenu;
class HtmlDocument;

// A status-bar panel that shows how the active document's file is written. The encoding
// panel offers to read the unmodified file again in another encoding, or to write the
// document in another encoding from the next save on; the line-break panel offers the
// other line breaks for the next save.
class EncodingPanel : public QToolButton
{
    Q_OBJECT

public:
    enum class Shows { Encoding, LineBreaks };
    explicit EncodingPanel(QWidget *parent = nullptr, Shows shows = Shows::Encoding);

    // Follows this document (nullptr: none is open).
    void setDocument(HtmlDocument *document);
    // Fills the menu for the document as it is now; runs each time the menu opens.
    void rebuildMenu();
    // Fills another menu with the same choices (the menu bar's "Kódování").
    void fillMenu(QMenu &menu);

Q_SIGNALS:
    // The document was read again; it may need colouring.
    void documentReloaded(HtmlDocument *document);

private:
    void refresh();
    void fillLineBreakMenu(QMenu &menu);

    const Shows m_shows;
    // Followed through its destroyed signal rather than a QPointer, which would have to
    // cast the half-destroyed window to read itself.
    HtmlDocument *m_document = nullptr;
    QMetaObject::Connection m_connection;
    QMetaObject::Connection m_destroyedConnection;
};
