#pragma once

#include "dialogs/SiteSearchDialog.h"

#include <QObject>
#include <QPointer>

class CommandRegistry;
class DocumentManager;
class HtmlDocument;
class LivePreview;
class QAction;
class QSplitter;
class SiteSearchPanel;

// "Hledat v souborech..." in the frame: the dialog, the results panel under the documents,
// the jump to a match and "Nahradit vše...".
class SiteSearchTools : public QObject
{
    Q_OBJECT

public:
    // column: the splitter of the documents and the panels under them.
    SiteSearchTools(DocumentManager &documents, QSplitter &column, CommandRegistry &commands);

    SiteSearchPanel *panel() const { return m_panel; }
    // The command: asks what to find, then searches beside the editor.
    void run();
    void replaceAll();

private:
    DocumentManager &m_documents;
    SiteSearchPanel *m_panel = nullptr;
    SiteSearchFields m_last; // what was asked the time before, while the program runs
};

// "Živý náhled" in the frame: the browser beside the document area in a splitter of its
// own, on the side and at the width the settings keep, following the active page.
class LivePreviewTools : public QObject
{
    Q_OBJECT

public:
    // column: the splitter that holds the document area; toggle: the menu's item.
    LivePreviewTools(DocumentManager &documents, QWidget &documentArea, QSplitter &column,
                     QAction &toggle, CommandRegistry &commands);

    LivePreview *preview() const { return m_preview; }
    QSplitter *splitter() const { return m_splitter; }
    void setShown(bool shown);
    bool isShown() const { return m_shown; }

private:
    void watch(HtmlDocument *document);
    void placeSide();
    void rememberWidth();

    DocumentManager &m_documents;
    QWidget &m_documentArea;
    QAction &m_toggle;
    QSplitter *m_splitter = nullptr;
    LivePreview *m_preview = nullptr;
    bool m_shown = false;
};

// The splitter under which the documents and their panels stand (made by the HTML
// check's panel), or the document area's own parent.
QSplitter *documentColumn(QWidget &window, QWidget &documentArea);
