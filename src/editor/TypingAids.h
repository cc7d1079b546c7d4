#pragma once

#include "editor/MarkupLines.h"
#include "markup/ColorValue.h"
#include "markup/Completion.h"
#include "markup/MarkupStyle.h"

#include <QObject>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>

#include <memory>
#include <optional>

class HtmlDocument;
class QKeyEvent;
class QListWidget;
class QTextCharFormat;

// Which of the aids to typing markup are on, and what they need.
struct TypingAidOptions
{
    bool lineNumbers = true;
    bool tagPairs = true;
    bool closeTags = false; // the editor writes nothing on its own unless asked to
    bool renamePairs = true;
    bool completion = true;
    // The names offered; none: nothing is offered.
    std::shared_ptr<const TagVocabulary> vocabulary;
    // Names taken from the list are written in the style's case.
    MarkupStyle style = MarkupStyle::Html4;
    // What the aids write is markup, in the tag colour; the pair is marked in a tint of it.
    ColorValue tagColor = 255;
};

// The aids an editor gives while markup is typed into it: the tag pair at the caret marked,
// the end tag written after a start tag or "</", the end tag renamed with its start tag
// (and the reverse) in the same undo step, and a list of the element, attribute or value
// names that fit where the caret is. They read only whole lines around the caret.
class TypingAids : public QObject
{
    Q_OBJECT

public:
    TypingAids(QPlainTextEdit &view, HtmlDocument &document);
    ~TypingAids() override;

    void setOptions(TypingAidOptions options);
    const TypingAidOptions &options() const { return m_options; }

    // Before the editor handles a key: the list's own keys, and a key that edits the name
    // of a tag with a partner. True when the key was used up here.
    bool takeListKey(QKeyEvent *event);
    bool renamePair(QKeyEvent *event);
    // After the editor typed a key: end tags written, the list opened or filtered.
    void afterKey(QKeyEvent *event);
    void hideList();

    // The pair of the tag at a document position, in document positions.
    std::optional<TagPair> pairAt(int position);
    // The pair now marked; nothing when none is.
    std::optional<TagPair> markedPair() const { return m_marked; }
    // Moves the caret into the partner of the tag it stands in; false when it has none.
    bool goToPartner();

    // The list of names offered: shown or not, its items and the current one.
    bool listShown() const;
    QStringList listItems() const;
    int currentListRow() const;
    // Marks the pair at the caret now instead of from the event loop.
    void updatePairMarks();

Q_SIGNALS:
    // The marks of the pair changed (none: nothing is marked).
    void pairMarksChanged(const QList<QTextEdit::ExtraSelection> &marks);

private:
    void schedulePairMarks();
    void writeEndTag(QChar typed);
    void refreshList(bool opening);
    void takeListItem();
    void placeList();
    QTextCharFormat tagFormat(int position) const;

    QPlainTextEdit &m_buffer;
    HtmlDocument &m_document;
    TypingAidOptions m_options;
    MarkupLines m_lines;
    QTimer m_pairTimer;
    std::optional<TagPair> m_marked;
    QListWidget *m_list = nullptr;
    int m_listFrom = 0; // where the part of the name the list replaces begins
};
