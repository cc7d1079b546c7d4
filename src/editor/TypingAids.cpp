#include "TypingAids.h"

#include "editor/HtmlDocument.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QListWidget>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// How much text around the caret the aids read first; a partner further away is looked
// for in larger stretches.
constexpr int NearbyText = 4096;
constexpr int ListRows = 10;
// A partner not found in this much text is far away or missing: the whole text, taken at
// once, costs less than joining ever larger stretches line by line.
constexpr int WholeTextFrom = 32768;

bool isTagNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u':' || c == u'_';
}

TagPair movedBy(const TagPair &pair, int by)
{
    return {{pair.start.start + by, pair.start.length}, {pair.end.start + by, pair.end.length}};
}

// The name of the tag whose "<" is at position: its start and the name itself.
std::pair<int, QString> tagNameAt(const QTextDocument &text, int position)
{
    const QTextBlock block = text.findBlock(position);
    const QString line = block.text();
    qsizetype i = position - block.position() + 1;
    if (i < line.size() && line[i] == u'/')
        ++i;
    const qsizetype from = i;
    while (i < line.size() && isTagNameChar(line[i]))
        ++i;
    return {int(block.position() + from), line.sliced(from, i - from)};
}

// The editor's text, an index in it a position; its lines end in paragraph separators.
QString wholeText(const QTextDocument &text)
{
    QString raw = text.toRawText();
    raw.truncate(std::max(0, text.characterCount() - 1)); // the last line's end is no character
    return raw;
}

} // namespace

TypingAids::TypingAids(QPlainTextEdit &view, HtmlDocument &document)
    : QObject(&view)
    , m_buffer(view)
    , m_document(document)
    , m_lines(*document.textDocument())
{
    m_lines.setTextChangesCounted([&document] { return !document.isColouring(); });
    // Marked from the event loop: a key that moves the caret and changes the text is looked
    // at once, after both; and a little later, so that the key's own character is on the
    // screen first (the pair of a tag a long page never closes is looked for to its end),
    // and keys typed in a row look for it once.
    m_pairTimer.setSingleShot(true);
    m_pairTimer.setInterval(10);
    connect(&m_pairTimer, &QTimer::timeout, this, &TypingAids::updatePairMarks);
    connect(&view, &QPlainTextEdit::cursorPositionChanged, this, &TypingAids::schedulePairMarks);
    connect(&view, &QPlainTextEdit::textChanged, this, &TypingAids::schedulePairMarks);

    m_list = new QListWidget(view.viewport());
    m_list->setObjectName(u"CompletionList"_s);
    // The keys stay with the text: the editor hands the list the few it takes.
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Every name is one line of the same font: the list measures one row, not a hundred,
    // each time it is laid out.
    m_list->setUniformItemSizes(true);
    m_list->hide();
    // Polished now, the list's first showing costs the first key no more than the others.
    m_list->ensurePolished();
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        m_list->setCurrentItem(item);
        takeListItem();
    });
}

TypingAids::~TypingAids() = default;

void TypingAids::setOptions(TypingAidOptions options)
{
    m_options = std::move(options);
    if (!m_options.completion || !m_options.vocabulary)
        hideList();
    updatePairMarks();
}

void TypingAids::schedulePairMarks()
{
    if (m_options.tagPairs || m_marked)
        m_pairTimer.start();
}

QTextCharFormat TypingAids::tagFormat(int position) const
{
    QTextCursor c(m_buffer.document());
    c.setPosition(position);
    QTextCharFormat format = c.charFormat();
    format.setForeground(toQColor(m_options.tagColor));
    return format;
}

// --- the pair ---------------------------------------------------------------------------

std::optional<TagPair> TypingAids::pairAt(int position)
{
    MarkupLines::Window w = m_lines.window(position, NearbyText, NearbyText);
    const std::optional<PairableTag> tag = pairableTagAt(w.text, w.at(position), w.markupFrom);
    if (!tag)
        return std::nullopt;
    const QString name = w.text.sliced(tag->nameStart, tag->nameLength);
    while (true) {
        if (const std::optional<TagPair> pair = tagPairAt(w.text, w.at(position), w.markupFrom))
            return movedBy(*pair, w.start);
        if (tag->closing ? w.reachesStart : w.reachesEnd)
            return std::nullopt;
        if (w.text.size() >= WholeTextFrom) {
            QString text = wholeText(*m_buffer.document());
            if (!tag->closing && !endTagTextFollows(text, position, name))
                return std::nullopt;
            text.replace(QChar::ParagraphSeparator, u'\n');
            return tagPairAt(text, position, 0);
        }
        w = m_lines.wider(w, position, tag->closing);
    }
}

void TypingAids::updatePairMarks()
{
    m_pairTimer.stop();
    const QTextCursor caret = m_buffer.textCursor();
    std::optional<TagPair> pair;
    if (m_options.tagPairs && !caret.hasSelection())
        pair = pairAt(caret.position());
    if (pair == m_marked)
        return;
    m_marked = pair;
    QList<QTextEdit::ExtraSelection> marks;
    if (pair) {
        QColor background = toQColor(m_options.tagColor);
        background.setAlpha(48);
        QTextCharFormat format;
        format.setBackground(background);
        for (const TagRange &tag : {pair->start, pair->end}) {
            QTextCursor c(m_buffer.document());
            c.setPosition(int(tag.start));
            c.setPosition(int(tag.start + tag.length), QTextCursor::KeepAnchor);
            marks.append({c, format});
        }
    }
    Q_EMIT pairMarksChanged(marks);
}

bool TypingAids::goToPartner()
{
    const int caret = m_buffer.textCursor().position();
    const std::optional<TagPair> pair = pairAt(caret);
    if (!pair)
        return false;
    const bool inStart = caret >= pair->start.start && caret < pair->start.start + pair->start.length;
    const TagRange &other = inStart ? pair->end : pair->start;
    QTextCursor c = m_buffer.textCursor();
    c.setPosition(int(other.start + 1));
    m_buffer.setTextCursor(c);
    return true;
}

// --- renaming ---------------------------------------------------------------------------

bool TypingAids::renamePair(QKeyEvent *event)
{
    if (!m_options.renamePairs
        || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const bool backspace = event->key() == Qt::Key_Backspace;
    const bool del = event->key() == Qt::Key_Delete;
    const QString typed = event->text();
    const bool nameChar = typed.size() == 1 && isTagNameChar(typed[0]);
    QTextCursor caret = m_buffer.textCursor();
    if ((!backspace && !del && !nameChar) || caret.hasSelection())
        return false;
    const int position = caret.position();
    // Most keys are typed far from a tag's name: the line around the caret tells at once.
    const QString line = caret.block().text();
    qsizetype i = position - caret.block().position();
    while (i > 0 && isTagNameChar(line[i - 1]))
        --i;
    if (i > 0 && line[i - 1] == u'/')
        --i;
    if (i == 0 || line[i - 1] != u'<')
        return false;
    const std::optional<TagPair> pair = pairAt(position);
    if (!pair)
        return false;
    const bool inStart = position >= pair->start.start && position < pair->start.start + pair->start.length;
    const TagRange own = inStart ? pair->start : pair->end;
    const TagRange other = inStart ? pair->end : pair->start;
    QTextDocument &text = *m_buffer.document();
    const auto [nameStart, name] = tagNameAt(text, int(own.start));
    const auto [otherStart, otherName] = tagNameAt(text, int(other.start));
    const int k = position - nameStart;
    // Only an edit of the name itself: not of the "<", the "/" or what follows the name.
    if (k < 0 || k > name.size() || (backspace && k == 0) || (del && k == name.size()))
        return false;
    QString renamed = name;
    int caretInName = k;
    if (backspace)
        renamed.remove(--caretInName, 1);
    else if (del)
        renamed.remove(k, 1);
    else
        renamed.insert(caretInName++, typed);
    const int grows = int(renamed.size() - name.size());
    if (renamed.isEmpty() || m_document.textLength() + 2 * grows > HtmlDocument::MaxLength)
        return false;

    // The later name first, so the earlier one's place stays where it was.
    const auto replace = [&](int start, int length) {
        QTextCursor c(&text);
        c.setPosition(start);
        c.setPosition(start + length, QTextCursor::KeepAnchor);
        c.insertText(renamed, tagFormat(start + 1));
    };
    QTextCursor group(&text); // where the caret goes back to when the step is undone
    group.setPosition(position);
    group.beginEditBlock();
    if (otherStart > nameStart) {
        replace(otherStart, int(otherName.size()));
        replace(nameStart, int(name.size()));
    } else {
        replace(nameStart, int(name.size()));
        replace(otherStart, int(otherName.size()));
    }
    group.endEditBlock();
    caret.setPosition(nameStart + (otherStart < nameStart ? grows : 0) + caretInName);
    m_buffer.setTextCursor(caret);
    return true;
}

// --- end tags as you type ---------------------------------------------------------------

void TypingAids::writeEndTag(QChar typed)
{
    QTextCursor caret = m_buffer.textCursor();
    if (caret.hasSelection())
        return;
    const int position = caret.position();
    MarkupLines::Window w = m_lines.window(position, NearbyText, NearbyText);
    QString end;
    if (typed == u'>') {
        end = endTagForTypedStart(w.text, w.at(position));
    } else {
        // The open element may have started anywhere before.
        while ((end = endTagForTypedSlash(w.text, w.at(position))).isEmpty() && !w.reachesStart
               && w.text.sliced(0, w.at(position)).endsWith(u"</"))
            w = m_lines.wider(w, position, true);
    }
    if (end.isEmpty() || m_document.textLength() + end.size() > HtmlDocument::MaxLength)
        return;
    // Its own undo step: the first undo takes back what the editor wrote, not the key.
    QTextCursor write(m_buffer.document());
    write.setPosition(position);
    write.beginEditBlock();
    write.insertText(end, tagFormat(position));
    write.endEditBlock();
    caret.setPosition(typed == u'>' ? position : position + int(end.size()));
    m_buffer.setTextCursor(caret);
}

// --- the list of names ------------------------------------------------------------------

bool TypingAids::listShown() const
{
    return m_list->isVisible();
}

QStringList TypingAids::listItems() const
{
    QStringList items;
    for (int i = 0; i < m_list->count(); ++i)
        items.append(m_list->item(i)->text());
    return m_list->isVisible() ? items : QStringList();
}

int TypingAids::currentListRow() const
{
    return m_list->currentRow();
}

void TypingAids::hideList()
{
    m_list->hide();
}

bool TypingAids::takeListKey(QKeyEvent *event)
{
    if (!m_list->isVisible() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    const int rows = m_list->count();
    const int row = m_list->currentRow();
    switch (event->key()) {
    case Qt::Key_Escape:
        hideList();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        takeListItem();
        return true;
    case Qt::Key_Down:
        m_list->setCurrentRow((row + 1) % rows);
        return true;
    case Qt::Key_Up:
        m_list->setCurrentRow((row + rows - 1) % rows);
        return true;
    case Qt::Key_PageDown:
        m_list->setCurrentRow(std::min(row + ListRows, rows - 1));
        return true;
    case Qt::Key_PageUp:
        m_list->setCurrentRow(std::max(row - ListRows, 0));
        return true;
    default:
        return false;
    }
}

void TypingAids::takeListItem()
{
    const QListWidgetItem *item = m_list->currentItem();
    hideList();
    QTextCursor caret = m_buffer.textCursor();
    if (!item || caret.hasSelection() || caret.position() < m_listFrom)
        return;
    const QString name = item->text();
    const int replaced = caret.position() - m_listFrom;
    if (m_document.textLength() - replaced + name.size() > HtmlDocument::MaxLength)
        return;
    caret.setPosition(m_listFrom, QTextCursor::KeepAnchor);
    caret.insertText(name, tagFormat(m_listFrom));
    m_buffer.setTextCursor(caret);
}

void TypingAids::afterKey(QKeyEvent *event)
{
    const QString typed = event->text();
    const QChar c = typed.size() == 1 ? typed[0] : QChar();
    if (m_options.closeTags && (c == u'>' || c == u'/'))
        writeEndTag(c);
    // The list opens where a name begins; once open, every key filters it or closes it.
    const bool opening = c == u'<' || c == u' ' || c == u'=' || c == u'"' || c == u'\'';
    refreshList(opening);
}

void TypingAids::refreshList(bool opening)
{
    if (!m_options.completion || !m_options.vocabulary) {
        hideList();
        return;
    }
    if (!opening && !m_list->isVisible())
        return;
    const QTextCursor caret = m_buffer.textCursor();
    if (caret.hasSelection()) {
        hideList();
        return;
    }
    const int position = caret.position();
    const MarkupLines::Window w = m_lines.window(position, NearbyText, 0);
    const CompletionContext context = completionContextAt(w.text, w.at(position));
    QStringList names = m_options.vocabulary->offered(context);
    const auto inStyle = [this](const QString &name) {
        return m_options.style == MarkupStyle::Html5 ? name.toLower() : name.toUpper();
    };
    if (context.kind == CompletionKind::Element || context.kind == CompletionKind::Attribute) {
        for (QString &name : names)
            name = inStyle(name);
        names.removeDuplicates();
    }
    // A name typed out whole has nothing left to offer.
    if (names.isEmpty() || (names.size() == 1 && names[0].compare(context.prefix, Qt::CaseInsensitive) == 0)) {
        hideList();
        return;
    }
    // A list just opened starts at its top, and right after "</" at the element still open;
    // a list being filtered keeps the name the user moved to.
    const QString current = m_list->currentItem() ? m_list->currentItem()->text() : QString();
    qsizetype keep = opening ? -1 : names.indexOf(current);
    if (context.kind == CompletionKind::Element && context.prefix.isEmpty() && context.prefixStart >= 2
        && QStringView(w.text).sliced(context.prefixStart - 2, 2) == u"</") {
        if (const QString open = endTagForTypedSlash(w.text, context.prefixStart); !open.isEmpty())
            keep = names.indexOf(inStyle(open.chopped(1)));
    }
    m_list->clear();
    m_list->addItems(names);
    m_list->setCurrentRow(keep >= 0 ? int(keep) : 0);
    m_listFrom = w.start + int(context.prefixStart);
    placeList();
}

void TypingAids::placeList()
{
    m_list->setFont(m_buffer.font());
    const int frame = 2 * m_list->frameWidth();
    const int rows = std::min(m_list->count(), ListRows);
    const int height = rows * std::max(m_list->sizeHintForRow(0), 1) + frame;
    // The widest name by the font's measure is the widest row: the delegate measures that
    // one row rather than all of them.
    const QFontMetrics metrics(m_list->font());
    int widest = 0;
    int widestAdvance = -1;
    for (int row = 0; row < m_list->count(); ++row) {
        const int advance = metrics.horizontalAdvance(m_list->item(row)->text());
        if (advance > widestAdvance) {
            widestAdvance = advance;
            widest = row;
        }
    }
    const int nameWidth = m_list->sizeHintForIndex(m_list->model()->index(widest, 0)).width();
    const int width = std::max(nameWidth + frame + m_list->verticalScrollBar()->sizeHint().width(), 120);
    const QRect caret = m_buffer.cursorRect();
    const QRect area = m_buffer.viewport()->rect();
    int top = caret.bottom() + 2;
    if (top + height > area.bottom() && caret.top() - height - 2 >= 0)
        top = caret.top() - height - 2;
    const int left = std::clamp(caret.left(), 0, std::max(area.right() - width, 0));
    m_list->setGeometry(left, top, width, height);
    m_list->show();
    m_list->raise();
}
