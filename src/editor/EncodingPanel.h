#pragma once

#include <QPointer>
#include <QToolButton>

class QMenu;
class TForm2;

// The status-bar panel that shows the active document's encoding. Clicking it offers to
// read the unmodified file again in another encoding, or to write the document in another
// encoding from the next save on.
class EncodingPanel : public QToolButton
{
    Q_OBJECT

public:
    explicit EncodingPanel(QWidget *parent = nullptr);

    // Follows this document (nullptr: none is open).
    void setDocument(TForm2 *document);
    // Fills the menu for the document as it is now; runs each time the menu opens.
    void rebuildMenu();
    // Fills another menu with the same choices (the menu bar's "Kódování").
    void fillMenu(QMenu &menu);

Q_SIGNALS:
    // The document was read again; it may need colouring.
    void documentReloaded(TForm2 *document);

private:
    void refresh();

    // Followed through its destroyed signal rather than a QPointer, which would have to
    // cast the half-destroyed window to read itself.
    TForm2 *m_document = nullptr;
    QMetaObject::Connection m_connection;
    QMetaObject::Connection m_destroyedConnection;
};
