#include "EditorBuffer.h"

#include "editor/TextOffsets.h"
#include "markup/CodePages.h"

#include "markup/SysUt.h"
#include "markup/TagItemDrag.h"

#include <QAbstractItemView>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QStyleHints>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScopedValueRollback>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <limits>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The caret's blinking time of the desktop while a steady caret is shown; -1 when none is.
int g_blinkingTime = -1;

// Every blink repaints the caret's line, and Qt draws a line whole: on a line of a megabyte
// that keeps the program busy twice a second, for as long as the window is left alone.
// There the caret stands still. The blinking time is the application's, so it is given
// back as soon as the caret leaves such a line or the editor loses the keyboard.
void setSteadyCaret(bool steady)
{
    QStyleHints *hints = QGuiApplication::styleHints();
    if (steady && g_blinkingTime < 0) {
        g_blinkingTime = hints->cursorFlashTime();
        hints->setCursorFlashTime(0);
    } else if (!steady && g_blinkingTime >= 0) {
        hints->setCursorFlashTime(std::exchange(g_blinkingTime, -1));
    }
}

// Keys that only move the caret or the selection, or copy it: they leave the text alone.
bool keyOnlyMovesOrCopies(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_Escape:
        return true;
    default:
        return event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll);
    }
}

} // namespace

// The numbers of the lines at the left of the text, the caret's line in bold; the same
// numbers the HTML check and the site check give with their findings.
class LineNumberGutter : public QWidget
{
public:
    explicit LineNumberGutter(EditorBuffer &buffer)
        : QWidget(&buffer)
        , m_buffer(buffer)
    {
        setObjectName(u"LineNumbers"_s);
    }

    int neededWidth() const
    {
        const int lines = std::max({m_buffer.blockCount(), m_buffer.m_linesLoading, 1});
        const int digits = int(QString::number(lines).size());
        return m_buffer.fontMetrics().horizontalAdvance(u'9') * std::max(digits, 3) + 8;
    }

protected:
    void paintEvent(QPaintEvent *event) override { m_buffer.paintGutter(event); }

private:
    EditorBuffer &m_buffer;
};

EditorBuffer::EditorBuffer(HtmlDocument &document, QWidget *parent)
    : QPlainTextEdit(parent)
    , m_document(document)
{
    setObjectName(u"RichEdit1"_s);
    setDocument(document.textDocument());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
    setUndoRedoEnabled(true);
    setAcceptDrops(true);
    setReadOnly(document.isReadOnly());
    if (document.editorFont() != font())
        setFont(document.editorFont());
    // Keep the selection visible while another control has the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
    followDocumentCaret(true);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &EditorBuffer::updateCaretBlinking);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &EditorBuffer::handCaretToDocument);
    connect(this, &QPlainTextEdit::selectionChanged, this, &EditorBuffer::handCaretToDocument);
    connect(&document, &HtmlDocument::caretSet, this, &EditorBuffer::followDocumentCaret);
    connect(&document, &HtmlDocument::caretCentreRequested, this, &QPlainTextEdit::centerCursor);
    connect(&document, &HtmlDocument::readOnlyChanged, this, &QPlainTextEdit::setReadOnly);
    connect(&document, &HtmlDocument::editorFontChanged, this, &QWidget::setFont);
    // A vertical scroll bar that appears once a loaded text is in narrows the view, and Qt
    // then lays every line out anew (for a 1 MB page an object per line, kept). Shown
    // before, it leaves the width alone; a short text hides it again at once.
    // So does a line number gutter that widens for the new lines: it takes its width first.
    connect(&document, &HtmlDocument::textAboutToLoad, this, [this](int lines) {
        m_scrollBarPolicy = verticalScrollBarPolicy();
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m_linesLoading = lines;
        updateGutter();
    });
    connect(&document, &HtmlDocument::textLoadFinished, this, [this] {
        setVerticalScrollBarPolicy(m_scrollBarPolicy);
        m_linesLoading = 0;
        updateGutter();
    });
    document.setVisibleRange([this] { return visiblePositions(); });
    connect(document.textDocument(), &QTextDocument::contentsChange, this,
            &EditorBuffer::noteKeyEdit);
    // A paste or a cut the frame's commands made is coloured like one made with a key.
    connect(&document, &HtmlDocument::selectionReplaced, this, [this] {
        if (!m_inKey)
            recolourKeyEdit();
    });
    connect(document.textDocument(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { keepLongLinesShaped(position, position + added); });
    keepLongLinesShaped(0, document.textDocument()->characterCount());
    takeOverScrollBarUpdates();

    m_aids = new TypingAids(*this, document);
    connect(m_aids, &TypingAids::pairMarksChanged, this,
            [this](const QList<QTextEdit::ExtraSelection> &marks) { setMarks(MarkLayer::TagPair, marks); });
    m_gutter = new LineNumberGutter(*this);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &EditorBuffer::updateGutter);
    connect(this, &QPlainTextEdit::updateRequest, m_gutter, [this](const QRect &rect, int dy) {
        if (dy != 0)
            m_gutter->scroll(0, dy);
        else
            m_gutter->update(0, rect.y(), m_gutter->width(), rect.height());
    });
    connect(this, &QPlainTextEdit::cursorPositionChanged, m_gutter, [this] {
        // Only a move to another line changes what the gutter marks.
        const int line = textCursor().blockNumber();
        if (std::exchange(m_gutterLine, line) != line)
            m_gutter->update();
    });
    connect(&document, &HtmlDocument::editorFontChanged, this, &EditorBuffer::updateGutter);
    setKeyOptions(m_keys);
}

void EditorBuffer::setKeyOptions(EditorKeyOptions options)
{
    m_keys = std::move(options);
    m_keys.aids.tagColor = m_keys.tagColor;
    m_aids->setOptions(m_keys.aids);
    updateGutter();
}

// --- the gutter and the marks ------------------------------------------------------------

bool EditorBuffer::gutterShown() const
{
    return m_keys.aids.lineNumbers;
}

void EditorBuffer::updateGutter()
{
    const int width = gutterShown() ? m_gutter->neededWidth() : 0;
    // The text is laid out again only when the gutter's width changes.
    if (viewportMargins().left() != width)
        setViewportMargins(width, 0, 0, 0);
    m_gutter->setVisible(gutterShown());
    const QRect r = contentsRect();
    m_gutter->setGeometry(r.left(), r.top(), width, r.height());
}

// A key that lengthens the widest line widens the page, and Qt then sets both scroll bars
// anew and repaints them before the line typed in reaches the screen, a third of what the
// key costs at the top of a large page. A change of width alone made by a key waits until
// that line is painted; a change of the line count is taken at once, since the caret may
// have to scroll into the lines it added.
void EditorBuffer::takeOverScrollBarUpdates()
{
    const auto &children = this->children();
    const auto control = std::find_if(children.begin(), children.end(), [](const QObject *child) {
        return child->inherits("QWidgetTextControl");
    });
    // Without the control's own connection (another Qt) the bars follow every change at once.
    if (control == children.end()
        || !disconnect(*control, SIGNAL(documentSizeChanged(QSizeF)), this,
                       SLOT(_q_adjustScrollbars())))
        return;
    connect(*control, SIGNAL(documentSizeChanged(QSizeF)), this, SLOT(pageSizeChanged(QSizeF)));
}

void EditorBuffer::pageSizeChanged(const QSizeF &size)
{
    const bool widthOnly = size.height() == m_pageSize.height();
    m_pageSize = size;
    if (m_inKey && widthOnly && lineWrapMode() == NoWrap) {
        if (!std::exchange(m_scrollBarsOwed, true)) // in case no paint comes (a hidden view)
            QTimer::singleShot(50, this, &EditorBuffer::payOwedScrollBars);
        return;
    }
    m_scrollBarsOwed = false;
    adjustScrollBars();
}

void EditorBuffer::adjustScrollBars()
{
    QMetaObject::invokeMethod(this, "_q_adjustScrollbars", Qt::DirectConnection);
}

// The caret a key left beyond the view's edge needs the wider range at once to scroll to.
void EditorBuffer::settleScrollBarsAfterKey()
{
    if (m_scrollBarsOwed && !viewport()->rect().contains(cursorRect()))
        payOwedScrollBars();
}

void EditorBuffer::payOwedScrollBars()
{
    if (!std::exchange(m_scrollBarsOwed, false))
        return;
    adjustScrollBars();
    if (!viewport()->rect().contains(cursorRect()))
        ensureCursorVisible();
}

void EditorBuffer::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect r = contentsRect();
    m_gutter->setGeometry(r.left(), r.top(), m_gutter->width(), r.height());
}

template<class Fn>
void EditorBuffer::forEachGutterLine(int top, int bottom, Fn fn) const
{
    QTextBlock block = firstVisibleBlock();
    qreal y = blockBoundingGeometry(block).translated(contentOffset()).top();
    while (block.isValid() && y <= bottom) {
        const qreal height = blockBoundingRect(block).height();
        if (block.isVisible() && y + height >= top)
            fn(block, y, height);
        y += height;
        block = block.next();
    }
}

void EditorBuffer::paintGutter(QPaintEvent *event)
{
    QPainter painter(m_gutter);
    const QPalette &colours = palette();
    painter.fillRect(event->rect(), colours.color(QPalette::Window));
    QFont bold = font();
    bold.setBold(true);
    const int caretLine = textCursor().blockNumber();
    const int right = m_gutter->width() - 4;
    const int lineHeight = fontMetrics().height();
    forEachGutterLine(event->rect().top(), event->rect().bottom(), [&](const QTextBlock &block, qreal top, qreal) {
        const bool current = block.blockNumber() == caretLine;
        painter.setFont(current ? bold : font());
        painter.setPen(colours.color(current ? QPalette::WindowText : QPalette::PlaceholderText));
        painter.drawText(QRectF(0, top, right, lineHeight), Qt::AlignRight, QString::number(block.blockNumber() + 1));
    });
}

int EditorBuffer::gutterLineAt(int y) const
{
    int line = 0;
    if (gutterShown()) {
        forEachGutterLine(y, y, [&](const QTextBlock &block, qreal top, qreal height) {
            if (y >= top && y < top + height)
                line = block.blockNumber() + 1;
        });
    }
    return line;
}

void EditorBuffer::setMarks(MarkLayer layer, const QList<QTextEdit::ExtraSelection> &marks)
{
    (layer == MarkLayer::Spelling ? m_spellingMarks : m_pairMarks) = marks;
    // The pair's background under the spelling's underline.
    setExtraSelections(m_pairMarks + m_spellingMarks);
}

QList<QTextEdit::ExtraSelection> EditorBuffer::marks(MarkLayer layer) const
{
    return layer == MarkLayer::Spelling ? m_spellingMarks : m_pairMarks;
}

EditorBuffer::~EditorBuffer()
{
    m_document.setVisibleRange({});
    if (hasFocus())
        setSteadyCaret(false);
}

void EditorBuffer::updateCaretBlinking()
{
    const bool steady = hasFocus() && textCursor().block().length() > SteadyCaretLineLength;
    if (steady == (g_blinkingTime >= 0))
        return;
    // The control follows the desktop's blinking time as soon as it changes.
    setSteadyCaret(steady);
}

void EditorBuffer::keepLongLinesShaped(int from, int to)
{
    // Qt shapes a line's glyphs to lay it out and drops them after: the caret, the
    // painting and the next move shape the line anew. A long line keeps them until its
    // text changes.
    // The walk stops at the last block by identity: asking each block for its position
    // costs a search of the block tree, a millisecond for the lines of a megabyte page.
    const QTextDocument &text = *document();
    const QTextBlock last = text.findBlock(to); // not valid past the end: then to the end
    for (QTextBlock block = text.findBlock(from); block.isValid(); block = block.next()) {
        if (HtmlDocument::isLongLine(block) && !block.layout()->cacheEnabled())
            block.layout()->setCacheEnabled(true);
        if (block == last)
            break;
    }
}

// --- painting ----------------------------------------------------------------------------

void EditorBuffer::paintEvent(QPaintEvent *event)
{
    if (m_scrollBarsOwed) // once this paint is on the screen
        QMetaObject::invokeMethod(this, &EditorBuffer::payOwedScrollBars, Qt::QueuedConnection);
    const QRect area = event->rect();
    const int viewHeight = viewport()->height();
    // The blocks as Qt walks them: from the first one shown, at the content's offset.
    const auto forEachShownBlock = [&](auto fn) {
        QPointF offset = contentOffset();
        for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
            const QRectF r = blockBoundingRect(block).translated(offset);
            if (block.isVisible() && r.bottom() >= area.top() && r.top() <= area.bottom()
                && fn(block, offset))
                return;
            offset.ry() += r.height();
            if (offset.y() > viewHeight)
                return;
        }
    };
    bool longLineShown = false;
    forEachShownBlock([&](const QTextBlock &block, QPointF) {
        longLineShown = HtmlDocument::isLongLine(block);
        return longLineShown;
    });
    if (!longLineShown) {
        QPlainTextEdit::paintEvent(event);
        return;
    }
    // Qt draws a line whole, every glyph of it, however little of it shows: with a long line
    // in view the text is drawn here, the long line as far as it shows.
    QPainter painter(viewport());
    painter.setClipRect(area);
    painter.setBrushOrigin(contentOffset());
    const QAbstractTextDocumentLayout::PaintContext context = getPaintContext();
    painter.setPen(context.palette.text().color());
    forEachShownBlock([&](const QTextBlock &block, QPointF offset) {
        paintBlock(painter, context, block, offset, area);
        return false;
    });
}

void EditorBuffer::paintBlock(QPainter &painter, const QAbstractTextDocumentLayout::PaintContext &context,
                              const QTextBlock &block, QPointF offset, const QRect &area)
{
    QTextLayout *layout = block.layout();
    const int blockStart = block.position();
    const int blockLength = block.length();
    QList<QTextLayout::FormatRange> selections;
    for (const QAbstractTextDocumentLayout::Selection &selection : context.selections) {
        const int start = selection.cursor.selectionStart() - blockStart;
        const int end = selection.cursor.selectionEnd() - blockStart;
        if (start < blockLength && end > 0 && end > start)
            selections.append({start, end - start, selection.format});
    }
    // A wrapped long line has Qt draw only the lines that show.
    if (HtmlDocument::isLongLine(block) && layout->lineCount() == 1)
        paintShownPart(painter, block, offset, area, selections);
    else
        layout->draw(&painter, offset, selections, area);
    int caret = context.cursorPosition;
    const bool editable = !isReadOnly();
    if (caret < -1 && editable && !layout->preeditAreaText().isEmpty())
        caret = layout->preeditAreaPosition() - (caret + 2);
    else if (caret >= blockStart && caret < blockStart + blockLength
             && (editable || (textInteractionFlags() & Qt::TextSelectableByKeyboard)))
        caret -= blockStart;
    else
        return;
    layout->drawCursor(&painter, offset, caret, cursorWidth());
}

void EditorBuffer::paintShownPart(QPainter &painter, const QTextBlock &block, QPointF offset,
                                  const QRect &area, const QList<QTextLayout::FormatRange> &selections)
{
    const QTextLine line = block.layout()->lineAt(0);
    // The characters that show, and a few beyond each edge for glyphs that reach in.
    const QString text = block.text();
    int from = std::max(line.xToCursor(area.left() - offset.x()) - 4, 0);
    int to = std::min(line.xToCursor(area.right() + 1 - offset.x()) + 4, int(text.size()));
    if (from >= to)
        return; // the line ends before the part that shows
    if (from > 0 && text[from].isLowSurrogate())
        --from;
    if (to < text.size() && text[to].isLowSurrogate())
        ++to;
    // Colours, the selection and the marks as they fall in that stretch.
    const auto clip = [from, to](const QList<QTextLayout::FormatRange> &ranges) {
        QList<QTextLayout::FormatRange> clipped;
        for (const QTextLayout::FormatRange &range : ranges) {
            const int a = std::max(range.start, from);
            const int b = std::min(range.start + range.length, to);
            if (b > a)
                clipped.append({a - from, b - a, range.format});
        }
        return clipped;
    };
    QTextLayout part(text.mid(from, to - from), document()->defaultFont(), viewport());
    QTextOption option = document()->defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    part.setTextOption(option);
    part.setFormats(clip(block.textFormats()));
    part.beginLayout();
    QTextLine partLine = part.createLine();
    partLine.setLeadingIncluded(true);
    partLine.setLineWidth(qreal(INT_MAX));
    partLine.setPosition(QPointF(0, line.y()));
    part.endLayout();
    part.draw(&painter, offset + QPointF(line.cursorToX(from), 0), clip(selections), area);
}

// --- the document's caret --------------------------------------------------------------

void EditorBuffer::followDocumentCaret(bool moved)
{
    const QScopedValueRollback following(m_followingDocument, true);
    // Only the insertion format changed: the view stays where it is. A selection has its
    // format already, from the document's caret; setting it again would be another step
    // to undo.
    if (moved || textCursor().hasSelection())
        setTextCursor(m_document.caret());
    else
        setCurrentCharFormat(m_document.caret().charFormat());
}

void EditorBuffer::handCaretToDocument()
{
    if (!m_followingDocument)
        m_document.takeCaretFromView(textCursor());
}

std::pair<int, int> EditorBuffer::visiblePositions() const
{
    const int top = firstVisibleBlock().isValid() ? firstVisibleBlock().position() : 0;
    const int bottom = cursorForPosition(viewport()->rect().bottomRight()).position() + 1;
    return {top, bottom};
}

// --- keyboard and mouse ----------------------------------------------------------------

void EditorBuffer::reportCaret()
{
    handCaretToDocument();
    const auto [line, column] = m_document.CaretLineColumn();
    Q_EMIT caretReported(line, column);
}

void EditorBuffer::colorAsYouType(QChar typed)
{
    // A long line keeps the one colour it has, and what is typed into it takes that colour.
    if (HtmlDocument::isLongLine(textCursor().block()))
        return;
    const int caret = m_document.SelStart();
    const int a = m_document.lastIndexBefore(caret, u'>');
    const int b = m_document.lastIndexBefore(caret, u'<');
    // Before the first tag there is only text, whatever colour the next character has.
    if (a < b)
        m_document.SetInsertionColor(m_keys.tagColor);
    else
        m_document.SetInsertionColor(m_keys.textColor);
    if (typed == u'<')
        m_document.SetInsertionColor(m_keys.tagColor);
}

void EditorBuffer::noteKeyEdit(int position, int removed, int added)
{
    if (m_document.isColouring() || (removed == 0 && added == 0))
        return;
    if (m_keyEditFrom == -1) {
        if (m_inKey || !m_document.isReplacingSelection())
            return;
        m_keyEditFrom = -2;
    }
    if (m_keyEditFrom == -2) {
        m_keyEditFrom = position;
        m_keyEditTo = position + added;
        return;
    }
    m_keyEditFrom = std::min(m_keyEditFrom, position);
    m_keyEditTo = std::max(m_keyEditTo + added - removed, position + added);
}

void EditorBuffer::recolourKeyEdit()
{
    const int from = std::exchange(m_keyEditFrom, -1);
    if (from < 0 || !m_keys.codeColors)
        return;
    const QTextDocument &text = *document();
    recolourAfterEdit(m_document, *m_keys.codeColors, offsetOfPosition(text, from),
                      offsetOfPosition(text, std::max(from, m_keyEditTo)));
}

void EditorBuffer::indentAfterEnter()
{
    const int line = m_document.LineFromOffset(m_document.SelStart());
    if (line == 0)
        return;
    const QString previous = m_document.LineText(line - 1);
    int indent = 0;
    while (indent < previous.size() && previous[indent].unicode() <= 32)
        ++indent;
    if (indent > 0)
        m_document.InsertAtCaret(m_keys.textColor, QString(indent, u' '));
}

bool EditorBuffer::indentSelectedLines()
{
    const int start = m_document.SelStart();
    const int end = start + m_document.SelLength();
    const int first = m_document.LineFromOffset(start);
    int last = m_document.LineFromOffset(end);
    // Within one line the tab replaces the selection, as any key typed over it does.
    if (last == first)
        return false;
    // A selection that ends at the start of a line does not take that line in.
    if (m_document.LineStart(last) == end)
        --last;
    const int width = int(m_keys.tabText.size());
    const int lines = last - first + 1;
    // Typed over the selection the tab would have deleted the lines; they are indented
    // instead, in one undo step, and stay selected. Lines that would not fit stay as they are.
    if (width == 0 || m_document.textLength() + width * lines > MaxLength)
        return true;
    {
        HtmlDocument::EditGroup group(m_document);
        // From the last line up, so the starts of the lines above stay where they are.
        for (int line = last; line >= first; --line) {
            m_document.SetSelStart(m_document.LineStart(line));
            m_document.ReplaceSelection(m_keys.tabText);
        }
        const int from = start > m_document.LineStart(first) ? start + width : start;
        m_document.SetSelStart(from);
        m_document.SetSelLength(end + width * lines - from);
    }
    return true;
}

bool EditorBuffer::event(QEvent *event)
{
    if (event->type() == QEvent::InputMethod && !isReadOnly())
        m_document.finishColouringBeforeEdit();
    if (event->type() == QEvent::ShortcutOverride && m_keys.isCommandShortcut) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (m_keys.isCommandShortcut(QKeySequence(key->keyCombination()))) {
            event->ignore(); // let the frame's action have it
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

void EditorBuffer::keyPressEvent(QKeyEvent *event)
{
    reportCaret();
    // The document's undo takes back an edit with the colours it brought; the control's own
    // would take back only the colours. An undo is no key edit to colour anew either.
    const bool undo = event->matches(QKeySequence::Undo);
    if (undo || event->matches(QKeySequence::Redo)) {
        m_aids->hideList();
        undo ? m_document.Undo() : m_document.Redo();
        return;
    }
    const KeyEditWatch watch(*this);
    const int key = event->key();
    if (key == Qt::Key_Insert && event->modifiers() == Qt::NoModifier)
        return; // never switch to overwrite mode
#ifndef Q_OS_MACOS
    // Alt with a letter is pressed for a menu; the control would type the letter into the
    // page. Ctrl+Alt stays: it is AltGr on Windows, which types characters.
    if ((event->modifiers() & Qt::AltModifier) && !(event->modifiers() & Qt::ControlModifier)
        && !event->text().isEmpty() && event->text()[0].isPrint()) {
        event->ignore();
        return;
    }
#endif
    if (isReadOnly()) {
        // Only moving and selecting: no colour or indentation may touch the text.
        m_aids->hideList();
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (m_aids->takeListKey(event))
        return;
    if (!keyOnlyMovesOrCopies(event))
        m_document.finishColouringBeforeEdit();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    // Only an Enter pressed here indents on its release; one that closed a dialog did not.
    m_enterPressed = enter && !event->isAutoRepeat();
    if (enter && (event->modifiers() & Qt::ControlModifier) && m_keys.ctrlEnterInserts)
        m_document.InsertAtCaret(m_keys.tagColor, m_keys.ctrlEnterText);

    if (key == Qt::Key_Tab && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        if (!indentSelectedLines())
            m_document.ReplaceSelection(m_keys.tabText);
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty() && (text[0].isPrint() || enter)) {
        if (m_document.textLength() - m_document.SelLength() + (enter ? 2 : text.size()) > MaxLength)
            return;
        colorAsYouType(text[0]);
    }
    if (enter && (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))) {
        // Ctrl+Enter goes on like Enter, and so does Shift+Enter: the control would drop the
        // first and type a line separator for the second.
        const auto modifiers = event->modifiers() & ~(Qt::ControlModifier | Qt::ShiftModifier);
        QKeyEvent plain(event->type(), event->key(), modifiers, u"\r"_s,
                        event->isAutoRepeat(), ushort(event->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        return;
    }
    if (!m_aids->renamePair(event))
        QPlainTextEdit::keyPressEvent(event);
    m_aids->afterKey(event);
}

void EditorBuffer::keyReleaseEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !event->isAutoRepeat()) {
        const bool pressedHere = std::exchange(m_enterPressed, false);
        if (pressedHere && m_keys.autoIndent && m_keys.autoIndent())
            indentAfterEnter();
    }
    reportCaret(); // after the indentation, so the status shows where the caret ends
    QPlainTextEdit::keyReleaseEvent(event);
}

void EditorBuffer::focusOutEvent(QFocusEvent *event)
{
    m_enterPressed = false;
    m_aids->hideList();
    QPlainTextEdit::focusOutEvent(event);
    updateCaretBlinking();
}

void EditorBuffer::focusInEvent(QFocusEvent *event)
{
    updateCaretBlinking();
    QPlainTextEdit::focusInEvent(event);
}

void EditorBuffer::mousePressEvent(QMouseEvent *event)
{
    reportCaret();
    m_aids->hideList();
    QPlainTextEdit::mousePressEvent(event);
}

bool EditorBuffer::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasText();
}

void EditorBuffer::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText() || isReadOnly())
        return;
    handCaretToDocument();
    m_document.PasteWhole(source->text());
}

// --- drops of tag items ------------------------------------------------------------------

QString EditorBuffer::droppedItemText(const QDropEvent *event)
{
    // Only the tag tree and the tag lists offer items to the editor, in a format of their
    // own, which the file list does not carry.
    return tagItemText(event->mimeData());
}

void EditorBuffer::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedItemText(event).isEmpty()) {
        event->acceptProposedAction();
        return;
    }
    if (event->source() == this || event->source() == viewport()) {
        QPlainTextEdit::dragEnterEvent(event);
        return;
    }
    event->ignore(); // files from the desktop go on to the main window
}

void EditorBuffer::dragMoveEvent(QDragMoveEvent *event)
{
    if (!droppedItemText(event).isEmpty()) {
        event->acceptProposedAction();
        return;
    }
    if (event->source() == this || event->source() == viewport()) {
        QPlainTextEdit::dragMoveEvent(event);
        return;
    }
    event->ignore();
}

void EditorBuffer::dropEvent(QDropEvent *event)
{
    const QString item = droppedItemText(event);
    if (!item.isEmpty()) {
        event->acceptProposedAction();
        Q_EMIT tagItemDropped(item);
        return;
    }
    if (event->source() == this || event->source() == viewport()) {
        if (!isReadOnly())
            m_document.finishColouringBeforeEdit();
        QPlainTextEdit::dropEvent(event);
        return;
    }
    event->ignore();
}
