#include "EditorBuffer.h"

#include "editor/TextOffsets.h"
#include "interaction/Interaction.h"
#include "markup/CodePages.h"

#include "markup/SysUt.h"
#include "markup/TagItemDrag.h"

#include <QAbstractItemView>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QStyleHints>
#include <QKeyEvent>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QTextCharFormat colorFormat(ColorValue color)
{
    QTextCharFormat format;
    format.setForeground(toQColor(color));
    return format;
}

// The caret's blinking time of the desktop while a steady caret is shown; -1 when none is.
int g_blinkingTime = -1;

// Every blink repaints the caret's line, and Qt draws a line whole: on a line of a megabyte
// that is tens of milliseconds twice a second, for as long as the window is left alone.
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

} // namespace

EditorBuffer::EditorBuffer(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setObjectName(u"RichEdit1"_s);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
    setUndoRedoEnabled(true);
    setAcceptDrops(true);
    // Keep the selection visible while another control has the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &EditorBuffer::updateCaretBlinking);
}

EditorBuffer::~EditorBuffer()
{
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

// --- offsets ---------------------------------------------------------------------------

int EditorBuffer::toOffset(int position) const
{
    return offsetOfPosition(*document(), position);
}

int EditorBuffer::toPosition(int offset) const
{
    return positionOfOffset(*document(), offset);
}

int EditorBuffer::textLength() const
{
    return offsetLength(*document());
}

// --- text ------------------------------------------------------------------------------

QString EditorBuffer::GetText() const
{
    QString raw = document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, u"\r\n"_s);
    return raw;
}

void EditorBuffer::SetText(const QString &text)
{
    EditGroup group(*this);
    QTextCursor c = caret();
    c.select(QTextCursor::Document);
    setCaret(c);
    ReplaceSelection(text);
}

void EditorBuffer::loadText(const QString &text)
{
    cancelBackgroundColouring();
    // Qt takes CR LF and a lone CR for one line break itself; a page with only CR LF breaks
    // goes in as it is, without a copy of a whole megabyte.
    const QString controlText = onlyCrLfBreaks(text) ? text : toControlText(text);
    QTextDocument *doc = document();
    // A vertical scroll bar that appears once the text is in narrows the view, and Qt then
    // lays every line out anew (for a 1 MB page 6 ms and an object per line, kept). Shown
    // before, it leaves the width alone; a short text hides it again at once.
    const Qt::ScrollBarPolicy policy = verticalScrollBarPolicy();
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The text goes in with the insertion colour at once; Qt's setPlainText puts the colour
    // on in a second pass over the whole page (4 ms for 1 MB). Switching the history off
    // empties it: a freshly read file has nothing to undo.
    const QTextCharFormat format = currentCharFormat();
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    QTextCursor c(doc);
    c.beginEditBlock();
    doc->clear();
    c.insertText(controlText, format);
    c.endEditBlock();
    doc->setUndoRedoEnabled(undo);
    setTextCursor(QTextCursor(doc)); // the caret went along with the text
    setVerticalScrollBarPolicy(policy);
    SetModified(false);
}

QString EditorBuffer::textRange(int start, int length) const
{
    if (length <= 0)
        return {};
    QTextCursor c(document());
    c.setPosition(toPosition(start));
    c.setPosition(toPosition(start + length), QTextCursor::KeepAnchor);
    QString s = c.selectedText();
    s.replace(QChar::ParagraphSeparator, u"\r\n"_s);
    return s;
}

// --- selection -------------------------------------------------------------------------

QTextCursor EditorBuffer::caret() const
{
    return m_editGroupDepth > 0 ? m_groupCaret : textCursor();
}

void EditorBuffer::setCaret(const QTextCursor &cursor)
{
    // Inside an edit group the document's layout lags behind its text until the group
    // ends; the control would measure the new caret and selection against lines that are
    // not laid out yet (a crash below the visible part of the page). The caret moves in
    // the group's own cursor and the control gets it once the group is closed.
    if (m_editGroupDepth > 0) {
        m_groupCaret = cursor;
        m_groupCaretMoved = true;
    } else {
        setTextCursor(cursor);
    }
}

int EditorBuffer::SelStart() const
{
    return toOffset(caret().selectionStart());
}

void EditorBuffer::SetSelStart(int offset)
{
    QTextCursor c = caret();
    c.setPosition(toPosition(std::clamp(offset, 0, textLength())));
    setCaret(c);
}

int EditorBuffer::SelLength() const
{
    const QTextCursor c = caret();
    return toOffset(c.selectionEnd()) - toOffset(c.selectionStart());
}

void EditorBuffer::SetSelLength(int length)
{
    QTextCursor c = caret();
    const int start = c.selectionStart();
    c.setPosition(start);
    if (length > 0)
        c.setPosition(toPosition(std::min(toOffset(start) + length, textLength())),
                      QTextCursor::KeepAnchor);
    setCaret(c);
}

QString EditorBuffer::SelText() const
{
    QString s = caret().selectedText();
    s.replace(QChar::ParagraphSeparator, u"\r\n"_s);
    return s;
}

void EditorBuffer::insertLimited(QTextCursor &cursor, const QString &text,
                                 const QTextCharFormat &format)
{
    // A read-only buffer is one the user cannot see or must not change: no command may
    // change it behind the user's back either.
    if (isReadOnly())
        return;
    QString controlText = toControlText(text);
    const int selected = toOffset(cursor.selectionEnd()) - toOffset(cursor.selectionStart());
    const int room = MaxLength - (textLength() - selected);
    // The control refuses text beyond its limit; count line breaks as two characters.
    if (controlText.size() + controlText.count(u'\n') > room) {
        int keep = 0;
        int used = 0;
        while (keep < controlText.size()) {
            const int cost = controlText[keep] == u'\n' ? 2 : 1;
            if (used + cost > room)
                break;
            used += cost;
            ++keep;
        }
        controlText.truncate(keep);
    }
    if (controlText.isEmpty())
        cursor.removeSelectedText();
    else
        cursor.insertText(controlText, format);
}

void EditorBuffer::ReplaceSelection(const QString &text)
{
    if (isReadOnly())
        return;
    QTextCursor c = caret();
    const QTextCharFormat format = c.charFormat();
    insertLimited(c, text, format);
    c.setCharFormat(format);
    setCaret(c);
}

// --- colour ----------------------------------------------------------------------------

ColorValue EditorBuffer::InsertionColor() const
{
    return toColorValue(caret().charFormat().foreground().color());
}

void EditorBuffer::SetInsertionColor(ColorValue color)
{
    QTextCharFormat format = caret().charFormat();
    format.setForeground(toQColor(color));
    if (m_editGroupDepth == 0) {
        setCurrentCharFormat(format); // the caret stays where it is, the view too
        return;
    }
    // Without a selection this is the format of what is inserted next.
    m_groupCaret.setCharFormat(format);
    m_groupCaretMoved = true;
}

void EditorBuffer::ColorRange(int start, int length, ColorValue color)
{
    if (length <= 0)
        return;
    QTextCursor c(document());
    c.setPosition(toPosition(start));
    c.setPosition(toPosition(start + length), QTextCursor::KeepAnchor);
    c.mergeCharFormat(colorFormat(color));
}

void EditorBuffer::applyColorRuns(std::span<const ColorRun> runs)
{
    QTextDocument *doc = document();
    const bool modified = doc->isModified();
    const QScopedValueRollback colouring(m_colouring, true);
    QTextCursor c(doc);
    c.beginEditBlock();
    // Walk the lines along with the runs, so converting offsets costs almost nothing.
    LineWalker lines(*doc);
    for (const ColorRun &run : runs) {
        if (run.length <= 0)
            continue;
        c.setPosition(lines.positionOf(run.start));
        c.setPosition(lines.positionOf(run.start + run.length), QTextCursor::KeepAnchor);
        c.setCharFormat(colorFormat(run.color));
    }
    c.endEditBlock();
    doc->setModified(modified);
}

// --- colouring in the background --------------------------------------------------------

void EditorBuffer::colorInBackground(std::span<const ColorRun> runs)
{
    cancelBackgroundColouring();
    QTextDocument *doc = document();
    // Control positions of all runs, found in one walk down the lines.
    std::vector<PendingColours::Run> positioned;
    positioned.reserve(runs.size());
    LineWalker lines(*doc);
    for (const ColorRun &run : runs) {
        if (run.length <= 0)
            continue;
        const int from = lines.positionOf(run.start);
        const int to = lines.positionOf(run.start + run.length);
        if (to > from)
            positioned.push_back({from, to, run.color});
    }
    if (positioned.empty()) {
        Q_EMIT backgroundColouringFinished();
        return;
    }
    m_pending.reset(std::move(positioned));
    // Colours put in by slices are no edit of the user's: with no history yet (a page just
    // opened) they stay out of it, so Undo never takes them back.
    m_undoWasEnabled = doc->isUndoRedoEnabled();
    if (m_undoWasEnabled && !doc->isUndoAvailable() && !doc->isRedoAvailable())
        doc->setUndoRedoEnabled(false);
    else
        m_undoWasEnabled = false; // nothing to switch back on
    connect(doc, &QTextDocument::contentsChange, this, &EditorBuffer::movePendingRuns,
            Qt::UniqueConnection);
    // What is on screen first.
    const int top = firstVisibleBlock().isValid() ? firstVisibleBlock().position() : 0;
    const int bottom = cursorForPosition(viewport()->rect().bottomRight()).position() + 1;
    applyPending(m_pending.takeVisible(top, bottom));
    if (!m_sliceTimer) {
        m_sliceTimer = new QTimer(this);
        m_sliceTimer->setSingleShot(true);
        m_sliceTimer->setInterval(0);
        connect(m_sliceTimer, &QTimer::timeout, this, &EditorBuffer::colourSlice);
    }
    m_firstSlice = true;
    if (backgroundColouringPending())
        m_sliceTimer->start();
    else
        endBackgroundColouring();
}

void EditorBuffer::applyPending(std::span<const PendingColours::Run> runs)
{
    if (runs.empty())
        return;
    QTextDocument *doc = document();
    const bool modified = doc->isModified();
    const QScopedValueRollback colouring(m_colouring, true);
    // A page uses a handful of colours: build each format once.
    std::vector<std::pair<ColorValue, QTextCharFormat>> formats;
    auto formatOf = [&](ColorValue color) -> const QTextCharFormat & {
        for (const auto &f : formats) {
            if (f.first == color)
                return f.second;
        }
        return formats.emplace_back(color, colorFormat(color)).second;
    };
    formats.reserve(8);
    QTextCursor c(doc);
    c.beginEditBlock();
    for (const PendingColours::Run &run : runs) {
        c.setPosition(run.from);
        c.setPosition(run.to, QTextCursor::KeepAnchor);
        c.setCharFormat(formatOf(run.color));
    }
    c.endEditBlock();
    doc->setModified(modified);
}

void EditorBuffer::colourSlice()
{
    QElapsedTimer clock;
    clock.start();
    // The event loop runs a due slice before the keys waiting in the window system's queue:
    // the first slice after a page is shown is short, so what was typed while the page was
    // read is handled at once.
    const int budget = std::exchange(m_firstSlice, false) ? 1 : SliceMs;
    // Small batches until the slice's time is used; the edit block's own cost stays small.
    while (backgroundColouringPending() && clock.elapsed() < budget)
        applyPending(m_pending.takeNext(256));
    if (backgroundColouringPending())
        m_sliceTimer->start();
    else
        endBackgroundColouring();
}

void EditorBuffer::movePendingRuns(int position, int removed, int added)
{
    if (!m_colouring)
        m_pending.moveWithEdit(position, removed, added);
}

void EditorBuffer::finishBackgroundColouring()
{
    if (!backgroundColouringPending())
        return;
    applyPending(m_pending.takeNext(std::numeric_limits<std::size_t>::max()));
    endBackgroundColouring();
}

void EditorBuffer::cancelBackgroundColouring()
{
    if (backgroundColouringPending())
        endBackgroundColouring();
}

void EditorBuffer::endBackgroundColouring()
{
    m_pending.clear();
    if (m_sliceTimer)
        m_sliceTimer->stop();
    disconnect(document(), &QTextDocument::contentsChange, this, &EditorBuffer::movePendingRuns);
    if (m_undoWasEnabled)
        document()->setUndoRedoEnabled(true);
    m_undoWasEnabled = false;
    Q_EMIT backgroundColouringFinished();
}

ColorValue EditorBuffer::colorAt(int offset) const
{
    // A cursor reports the format of the character just before it.
    QTextCursor c(document());
    c.setPosition(std::min(toPosition(offset) + 1, document()->characterCount() - 1));
    return toColorValue(c.charFormat().foreground().color());
}

// --- lines -----------------------------------------------------------------------------

int EditorBuffer::LineFromOffset(int offset) const
{
    return document()->findBlock(toPosition(offset)).blockNumber();
}

int EditorBuffer::LineStart(int line) const
{
    const QTextBlock b = document()->findBlockByNumber(line);
    return b.isValid() ? b.position() + line : textLength();
}

QString EditorBuffer::LineText(int line) const
{
    return document()->findBlockByNumber(line).text();
}

int EditorBuffer::lineCount() const
{
    return document()->blockCount();
}

bool EditorBuffer::IsModified() const
{
    return document()->isModified();
}

void EditorBuffer::SetModified(bool modified)
{
    document()->setModified(modified);
}

// --- searching around the caret -------------------------------------------------------

int EditorBuffer::lastIndexBefore(int offset, QChar ch) const
{
    const int pos = toPosition(offset);
    QTextBlock block = document()->findBlock(pos);
    int limit = pos - block.position(); // characters of this line before the caret
    while (block.isValid()) {
        const QString text = block.text();
        const int i = text.lastIndexOf(ch, limit - 1);
        if (limit > 0 && i >= 0)
            return block.position() + i + block.blockNumber();
        block = block.previous();
        limit = block.isValid() ? block.length() - 1 : 0;
    }
    return -1;
}

int EditorBuffer::firstIndexFrom(int offset, QChar ch) const
{
    const int pos = toPosition(offset);
    QTextBlock block = document()->findBlock(pos);
    int from = pos - block.position();
    while (block.isValid()) {
        const int i = block.text().indexOf(ch, from);
        if (i >= 0)
            return block.position() + i + block.blockNumber();
        block = block.next();
        from = 0;
    }
    return -1;
}

// --- find and replace ------------------------------------------------------------------

int EditorBuffer::findForward(int offset, const QString &needle, bool ignoreCase) const
{
    if (needle.isEmpty())
        return -1;
    QString key = toControlText(needle);
    key.replace(u'\n', QChar::ParagraphSeparator);
    if (ignoreCase)
        key = CzechUpperCase(key);
    const int end = document()->characterCount() - 1;
    int pos = toPosition(std::clamp(offset, 0, textLength()));
    // Windows overlap by the needle's length less one, so no occurrence falls between.
    qsizetype window = std::max<qsizetype>(1024, key.size() * 4);
    QTextCursor c(document());
    while (pos + key.size() <= end) {
        const int stop = int(std::min<qsizetype>(end, pos + window + key.size() - 1));
        c.setPosition(pos);
        c.setPosition(stop, QTextCursor::KeepAnchor);
        QString chunk = c.selectedText();
        if (ignoreCase)
            chunk = CzechUpperCase(chunk);
        const qsizetype i = chunk.indexOf(key);
        if (i >= 0)
            return toOffset(pos + int(i));
        if (stop == end)
            break;
        pos += int(window);
        window *= 2;
    }
    return -1;
}

bool EditorBuffer::replaceOccurrences(const QList<int> &starts, int length, const QString &text)
{
    if (isReadOnly())
        return false;
    if (starts.isEmpty())
        return true;
    const QString controlText = toControlText(text);
    const qsizetype inserted = controlText.size() + controlText.count(u'\n');
    if (textLength() + (inserted - length) * starts.size() > MaxLength)
        return false;
    // Control positions of every start and end, found in one walk down the lines rather
    // than by a search for each.
    std::vector<int> from(starts.size());
    std::vector<int> to(starts.size());
    {
        QTextBlock block = document()->begin();
        int lineOffset = 0;
        auto positionOf = [&](int offset) {
            while (block.next().isValid() && lineOffset + block.length() + 1 <= offset) {
                lineOffset += block.length() + 1;
                block = block.next();
            }
            return block.position() + std::clamp(offset - lineOffset, 0, block.length() - 1);
        };
        for (qsizetype i = 0; i < starts.size(); ++i) {
            from[i] = positionOf(starts[i]);
            to[i] = positionOf(starts[i] + length);
        }
    }
    EditGroup group(*this);
    QTextCursor c(document());
    // From the last to the first, so the positions still ahead stay valid.
    for (qsizetype i = starts.size() - 1; i >= 0; --i) {
        c.setPosition(from[i]);
        c.setPosition(to[i], QTextCursor::KeepAnchor);
        if (controlText.isEmpty())
            c.removeSelectedText();
        else
            c.insertText(controlText);
    }
    return true;
}

void EditorBuffer::replaceSelectionJoiningUndo(const QString &text)
{
    if (isReadOnly())
        return;
    QTextCursor c = caret();
    const QTextCharFormat format = c.charFormat();
    c.joinPreviousEditBlock();
    insertLimited(c, text, format);
    c.endEditBlock();
    c.setCharFormat(format);
    setCaret(c);
}

// --- document-window operations --------------------------------------------------------

EditorBuffer::EditGroup::EditGroup(EditorBuffer &buffer)
    : m_buffer(buffer)
{
    if (m_buffer.m_editGroupDepth == 0) {
        m_buffer.m_groupCaret = m_buffer.textCursor();
        m_buffer.m_groupCaretMoved = false;
        m_buffer.m_groupCursor = QTextCursor(m_buffer.document());
        m_buffer.m_groupCursor.beginEditBlock();
    }
    ++m_buffer.m_editGroupDepth;
}

EditorBuffer::EditGroup::~EditGroup()
{
    if (--m_buffer.m_editGroupDepth > 0)
        return;
    m_buffer.m_groupCursor.endEditBlock();
    // The layout has caught up with the text: now the control may show the caret.
    if (m_buffer.m_groupCaretMoved)
        m_buffer.setTextCursor(m_buffer.m_groupCaret);
    m_buffer.m_groupCaret = QTextCursor();
    m_buffer.m_groupCursor = QTextCursor();
}

void EditorBuffer::WrapSelection(ColorValue color, const QString &prefix, const QString &suffix)
{
    if (isReadOnly())
        return;
    EditGroup group(*this);
    const int length = SelLength();
    SetSelLength(0);
    const ColorValue old = InsertionColor();
    SetInsertionColor(color);
    ReplaceSelection(prefix);
    SetInsertionColor(old);
    ReplaceSelection(QString());
    SetSelStart(SelStart() + length);
    SetInsertionColor(color);
    const int before = textLength();
    ReplaceSelection(suffix);
    // Step back over what really went in (the length limit may have cut the suffix).
    SetSelStart(SelStart() - (textLength() - before));
    SetInsertionColor(old);
}

void EditorBuffer::InsertAtCaret(ColorValue color, const QString &text)
{
    WrapSelection(color, text, QString());
}

void EditorBuffer::SelectTagAtCaret()
{
    const int caret = SelStart();
    const int lastLt = lastIndexBefore(caret, u'<');
    const int lastGt = lastIndexBefore(caret, u'>');
    if (lastLt < 0 || lastGt > lastLt)
        return; // no "<" before the caret, or the last tag before it is closed
    const int nextLt = firstIndexFrom(caret, u'<');
    const int nextGt = firstIndexFrom(caret, u'>');
    if (nextLt >= 0 && nextGt >= 0 && nextLt < nextGt)
        return; // the next "<" comes first: the caret is outside any tag
    const int end = nextGt >= 0 ? nextGt + 1 : caret;
    SetSelStart(lastLt);
    SetSelLength(end - lastLt);
}

QPair<int, int> EditorBuffer::CaretLineColumn() const
{
    const int start = SelStart();
    const int line = LineFromOffset(start);
    return {line + 1, start - LineStart(line) + 1};
}

void EditorBuffer::setEditorFont(const QFont &font)
{
    const bool modified = document()->isModified();
    setFont(font);
    document()->setDefaultFont(font);
    SetModified(modified);
}

// --- keyboard and mouse ----------------------------------------------------------------

void EditorBuffer::reportCaret()
{
    const auto [line, column] = CaretLineColumn();
    Q_EMIT caretReported(line, column);
}

void EditorBuffer::colorAsYouType(QChar typed)
{
    const int caret = SelStart();
    const int a = lastIndexBefore(caret, u'>');
    const int b = lastIndexBefore(caret, u'<');
    // Before the first tag there is only text, whatever colour the next character has.
    if (a < b)
        SetInsertionColor(m_keys.tagColor);
    else
        SetInsertionColor(m_keys.textColor);
    if (typed == u'<')
        SetInsertionColor(m_keys.tagColor);
}

void EditorBuffer::indentAfterEnter()
{
    const int line = LineFromOffset(SelStart());
    if (line == 0)
        return;
    const QString previous = LineText(line - 1);
    int indent = 0;
    while (indent < previous.size() && previous[indent].unicode() <= 32)
        ++indent;
    if (indent > 0)
        InsertAtCaret(m_keys.textColor, QString(indent, u' '));
}

bool EditorBuffer::event(QEvent *event)
{
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
    const int key = event->key();
    if (key == Qt::Key_Insert && event->modifiers() == Qt::NoModifier)
        return; // never switch to overwrite mode
    if (isReadOnly()) {
        // Only moving and selecting: no colour or indentation may touch the text.
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    // Only an Enter pressed here indents on its release; one that closed a dialog did not.
    m_enterPressed = enter && !event->isAutoRepeat();
    if (enter && (event->modifiers() & Qt::ControlModifier) && m_keys.ctrlEnterInserts)
        InsertAtCaret(m_keys.tagColor, m_keys.ctrlEnterText);

    if (key == Qt::Key_Tab && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        ReplaceSelection(m_keys.tabText);
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty() && (text[0].isPrint() || enter)) {
        if (textLength() - SelLength() + (enter ? 2 : text.size()) > MaxLength)
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
    QPlainTextEdit::keyPressEvent(event);
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
    // A paste or a drop goes in whole or not at all: cut at the limit, it would end in the
    // middle of a word without a word said.
    const QString text = source->text();
    const QString controlText = toControlText(text);
    const qsizetype length = controlText.size() + controlText.count(u'\n');
    if (!fitsInDocument(textLength() - SelLength() + length)) {
        ui().showError(doesNotFitMessage());
        return;
    }
    ReplaceSelection(text);
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
        QPlainTextEdit::dropEvent(event);
        return;
    }
    event->ignore();
}
