#pragma once

#include "editor/EditorBuffer.h"

#include <QWidget>

#include <optional>

class TForm2;

// What a document window needs from the frame that owns it.
class DocumentHost
{
public:
    virtual ~DocumentHost() = default;
    // A tag item from the tag tree or a tag list was dropped on the document.
    virtual void tagItemDropped(HtmlDocument &document, const QString &itemText) = 0;
    // The edit-current-tag command on the tag the document has just selected.
    virtual void editCurrentTag(HtmlDocument &document) = 0;
    // The style builder; its style text, or nothing when it was cancelled.
    virtual std::optional<QString> composeStyle(HtmlDocument &document) = 0;
};

// The sub-window of one open document: the view of its text, the bars that tell about its
// file, its context menu and its caption. The document lives on without it.
class TForm2 : public QWidget
{
    Q_OBJECT

public:
    static inline const QString Untitled = HtmlDocument::Untitled;

    TForm2(HtmlDocument &document, DocumentHost &host, QWidget *parent = nullptr);

    EditorBuffer *RichEdit1 = nullptr;

    HtmlDocument &document() const { return m_document; }
    EditorBuffer &buffer() { return *RichEdit1; }

    // Lines are broken to at most about this length when the user asks for it.
    static constexpr int LongLineBreakLength = 1000;

    // "Editovat tag .." of the context menu.
    void editCurrentTagFromMenu();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showContextMenu(const QPoint &position);
    void showBinaryBar(bool binary);
    // A bar above the editor with this object name, made the first time it is asked for.
    QWidget *noticeBar(const QString &name, const QString &text);
    void offerToBreakLongLines(QStringView text);
    void breakLongLines();
    void insertStyle();

private:
    HtmlDocument &m_document;
    DocumentHost &m_host;
};
