#include "HtmlDocument.h"

#include "editor/TextOffsets.h"
#include "interaction/Interaction.h"
#include "markup/CodePages.h"
#include "markup/SysUt.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QPlainTextDocumentLayout>
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

// Marks the document as changing its text or caret itself while it lives, so a view
// does not take the caret's moves for the user's.
class Changing
{
public:
    explicit Changing(int &depth)
        : m_depth(depth)
    {
        ++m_depth;
    }
    ~Changing() { --m_depth; }
    Changing(const Changing &) = delete;
    Changing &operator=(const Changing &) = delete;

private:
    int &m_depth;
};

// Cuts the long lines out of stretches of text positions given in order, so that colours
// go only into lines short enough to colour.
class ColourableLines
{
public:
    explicit ColourableLines(const QTextDocument &text)
        : m_text(text)
    {
    }

    // Calls fn(from, to) for the parts of [from, to) outside long lines, joined where no
    // long line parts them.
    template<class Fn>
    void forEachPart(int from, int to, Fn fn)
    {
        int start = from;
        while (from < to) {
            // Most stretches lie inside the line of the one before: the block is asked for its
            // place only when a stretch leaves it, as that walks the document's tree.
            if (from < m_start || from >= m_start + m_length) {
                const QTextBlock block = m_text.findBlock(from);
                m_start = block.position();
                m_length = block.length();
                m_long = HtmlDocument::isLongLine(block);
            }
            const int end = std::min(to, m_start + m_length);
            if (m_long) {
                if (start < from)
                    fn(start, from);
                start = end;
            }
            from = end;
        }
        if (start < to)
            fn(start, to);
    }

    // Gives [from, to) the format, but for the long lines in it.
    void setFormat(QTextCursor &c, int from, int to, const QTextCharFormat &format)
    {
        forEachPart(from, to, [&](int partFrom, int partTo) {
            c.setPosition(partFrom);
            c.setPosition(partTo, QTextCursor::KeepAnchor);
            c.setCharFormat(format);
        });
    }

private:
    const QTextDocument &m_text;
    int m_start = 0;
    int m_length = 0;
    bool m_long = false;
};

// Source text needs no ligatures, and a line is laid out whole at every key typed into
// it: text of the scripts that need no shaping goes through the font's own glyph table,
// which on a long line takes a fraction of the time. Scripts that need shaping keep it.
QFont withoutLatinShaping(QFont font)
{
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::PreferNoShaping));
    return font;
}

} // namespace

HtmlDocument::HtmlDocument(int slotIndex, DocumentSaver *saver, QObject *parent)
    : QObject(parent)
    , SlotIndex(slotIndex)
    , m_text(new QTextDocument(this))
    , m_saver(saver)
{
    setObjectName(u"HtmlDocument"_s);
    // The layout views need; it lays out nothing until one asks.
    m_text->setDocumentLayout(new QPlainTextDocumentLayout(m_text));
    m_text->setUndoRedoEnabled(true);
    m_text->setDefaultFont(withoutLatinShaping(m_text->defaultFont()));
    m_caret = QTextCursor(m_text);
    // The redo stack is dropped when a new edit comes after an undo: joined steps that lay
    // there are gone with it.
    connect(m_text, &QTextDocument::redoAvailable, this, [this](bool available) {
        if (!available)
            forgetJoinedStepsAbove(m_text->availableUndoSteps());
    });
}

HtmlDocument::~HtmlDocument()
{
    Q_EMIT destroying();
    m_caret = QTextCursor();
    m_groupCursor = QTextCursor();
}

// --- offsets ---------------------------------------------------------------------------

int HtmlDocument::toOffset(int position) const
{
    return offsetOfPosition(*m_text, position);
}

int HtmlDocument::toPosition(int offset) const
{
    return positionOfOffset(*m_text, offset);
}

int HtmlDocument::textLength() const
{
    return offsetLength(*m_text);
}

// --- text ------------------------------------------------------------------------------

QString HtmlDocument::GetText() const
{
    QString raw = m_text->toRawText();
    raw.replace(QChar::ParagraphSeparator, u"\r\n"_s);
    return raw;
}

void HtmlDocument::SetText(const QString &text)
{
    EditGroup group(*this);
    QTextCursor c = m_caret;
    c.select(QTextCursor::Document);
    setCaret(c);
    ReplaceSelection(text);
}

void HtmlDocument::loadText(const QString &text)
{
    cancelBackgroundColouring();
    // Qt takes CR LF and a lone CR for one line break itself; a page with only CR LF breaks
    // goes in as it is, without a copy of a whole megabyte.
    const QString controlText = onlyCrLfBreaks(text) ? text : toControlText(text);
    const Changing changing(m_changing);
    Q_EMIT textAboutToLoad(int(controlText.count(u'\n')) + 1);
    // The text goes in with the insertion colour at once; putting the colour on in a second
    // pass would cost another walk over the whole page. Switching the history off empties
    // it: a freshly read file has nothing to undo.
    const QTextCharFormat format = m_caret.charFormat();
    const bool undo = m_text->isUndoRedoEnabled();
    m_text->setUndoRedoEnabled(false);
    QTextCursor c(m_text);
    c.beginEditBlock();
    m_text->clear();
    c.insertText(controlText, format);
    c.endEditBlock();
    m_text->setUndoRedoEnabled(undo);
    m_joinedSteps.clear();
    m_caret = QTextCursor(m_text); // the caret went along with the text
    m_caret.setCharFormat(format);
    Q_EMIT textLoadFinished();
    Q_EMIT caretSet(true);
    SetModified(false);
}

QString HtmlDocument::textRange(int start, int length) const
{
    if (length <= 0)
        return {};
    QTextCursor c(m_text);
    c.setPosition(toPosition(start));
    c.setPosition(toPosition(start + length), QTextCursor::KeepAnchor);
    QString s = c.selectedText();
    s.replace(QChar::ParagraphSeparator, u"\r\n"_s);
    return s;
}

bool HtmlDocument::IsModified() const
{
    return m_text->isModified();
}

void HtmlDocument::SetModified(bool modified)
{
    m_text->setModified(modified);
}

void HtmlDocument::Undo()
{
    if (m_readOnly)
        return;
    {
        const Changing changing(m_changing);
        int steps = m_text->availableUndoSteps();
        m_text->undo(&m_caret);
        // Colours joined to a step go back with it: on until the step itself is undone.
        auto joinedEndingAt = [this](int to) {
            return std::find_if(m_joinedSteps.begin(), m_joinedSteps.end(),
                                [to](const JoinedStep &j) { return j.to == to; });
        };
        for (auto j = joinedEndingAt(steps);
             j != m_joinedSteps.end() && j->from == m_text->availableUndoSteps() && j->from > 0;
             j = joinedEndingAt(steps)) {
            steps = m_text->availableUndoSteps();
            m_text->undo(&m_caret);
        }
    }
    Q_EMIT caretSet(true);
}

void HtmlDocument::Redo()
{
    if (m_readOnly)
        return;
    {
        const Changing changing(m_changing);
        m_text->redo(&m_caret);
        // The colours that came with the step come back with it.
        auto joinedStartingAt = [this](int from) {
            return std::find_if(m_joinedSteps.begin(), m_joinedSteps.end(),
                                [from](const JoinedStep &j) { return j.from == from; });
        };
        while (m_text->isRedoAvailable()
               && joinedStartingAt(m_text->availableUndoSteps()) != m_joinedSteps.end())
            m_text->redo(&m_caret);
    }
    Q_EMIT caretSet(true);
}

void HtmlDocument::forgetJoinedStepsAbove(int undoSteps)
{
    std::erase_if(m_joinedSteps, [undoSteps](const JoinedStep &j) { return j.to > undoSteps; });
}

void HtmlDocument::paintWithLastStep(const std::function<void(QTextCursor &)> &paint)
{
    const bool outside = m_text->isUndoRedoEnabled() && !m_text->isUndoAvailable()
        && !m_text->isRedoAvailable();
    if (outside)
        m_text->setUndoRedoEnabled(false);
    const int before = m_text->availableUndoSteps();
    QTextCursor c(m_text);
    c.beginEditBlock();
    paint(c);
    c.endEditBlock();
    if (outside) {
        m_text->setUndoRedoEnabled(true);
        return;
    }
    const int after = m_text->availableUndoSteps();
    if (after > before)
        m_joinedSteps.push_back({before, after});
}

QFont HtmlDocument::editorFont() const
{
    return m_text->defaultFont();
}

void HtmlDocument::setEditorFont(const QFont &font)
{
    const bool modified = m_text->isModified();
    const QFont unshaped = withoutLatinShaping(font);
    m_text->setDefaultFont(unshaped);
    Q_EMIT editorFontChanged(unshaped);
    SetModified(modified);
}

void HtmlDocument::setReadOnly(bool readOnly)
{
    if (readOnly == m_readOnly)
        return;
    m_readOnly = readOnly;
    Q_EMIT readOnlyChanged(readOnly);
}

// --- selection -------------------------------------------------------------------------

void HtmlDocument::setCaret(const QTextCursor &cursor)
{
    m_caret = cursor;
    // Inside an edit group the layout lags behind the text until the group ends; a view
    // would measure the new caret and selection against lines that are not laid out yet
    // (a crash below the visible part of the page). Views get the caret once the group is
    // closed.
    if (m_editGroupDepth > 0)
        m_groupCaretMoved = true;
    else
        Q_EMIT caretSet(true);
}

void HtmlDocument::takeCaretFromView(const QTextCursor &cursor)
{
    if (!isChanging() && cursor.document() == m_text)
        m_caret = cursor;
}

int HtmlDocument::SelStart() const
{
    return toOffset(m_caret.selectionStart());
}

void HtmlDocument::SetSelStart(int offset)
{
    QTextCursor c = m_caret;
    c.setPosition(toPosition(std::clamp(offset, 0, textLength())));
    setCaret(c);
}

int HtmlDocument::SelLength() const
{
    return toOffset(m_caret.selectionEnd()) - toOffset(m_caret.selectionStart());
}

void HtmlDocument::SetSelLength(int length)
{
    QTextCursor c = m_caret;
    const int start = c.selectionStart();
    c.setPosition(start);
    if (length > 0)
        c.setPosition(toPosition(std::min(toOffset(start) + length, textLength())),
                      QTextCursor::KeepAnchor);
    setCaret(c);
}

QString HtmlDocument::SelText() const
{
    QString s = m_caret.selectedText();
    s.replace(QChar::ParagraphSeparator, u"\r\n"_s);
    return s;
}

void HtmlDocument::SelectAll()
{
    QTextCursor c = m_caret;
    c.select(QTextCursor::Document);
    setCaret(c);
}

void HtmlDocument::CopyToClipboard() const
{
    if (SelLength() > 0)
        QGuiApplication::clipboard()->setText(SelText().replace(u"\r\n"_s, u"\n"_s));
}

void HtmlDocument::CutToClipboard()
{
    if (m_readOnly || SelLength() == 0)
        return;
    CopyToClipboard();
    ClearSelection();
}

void HtmlDocument::PasteFromClipboard()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (!text.isEmpty())
        PasteWhole(normalizeLineBreaks(text));
}

qsizetype HtmlDocument::lengthOnceIn(const QString &text)
{
    const QString controlText = toControlText(text);
    return controlText.size() + controlText.count(u'\n');
}

bool HtmlDocument::PasteWhole(const QString &text)
{
    if (m_readOnly)
        return false;
    if (!fitsInDocument(textLength() - SelLength() + lengthOnceIn(text))) {
        ui().showError(doesNotFitMessage());
        return false;
    }
    ReplaceSelection(text);
    return true;
}

void HtmlDocument::insertLimited(QTextCursor &cursor, const QString &text,
                                 const QTextCharFormat &format)
{
    // A read-only document is one the user cannot see or must not change: no command may
    // change it behind the user's back either.
    if (m_readOnly)
        return;
    finishColouringBeforeEdit();
    QString controlText = toControlText(text);
    const int selected = toOffset(cursor.selectionEnd()) - toOffset(cursor.selectionStart());
    const int room = MaxLength - (textLength() - selected);
    // The text stops at its limit; count line breaks as two characters.
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
    const Changing changing(m_changing);
    const bool alone = m_editGroupDepth == 0;
    {
        const QScopedValueRollback replacing(m_replacing, alone);
        if (controlText.isEmpty())
            cursor.removeSelectedText();
        else
            cursor.insertText(controlText, format);
    }
    if (alone)
        Q_EMIT selectionReplaced();
}

void HtmlDocument::ReplaceSelection(const QString &text)
{
    if (m_readOnly)
        return;
    QTextCursor c = m_caret;
    const QTextCharFormat format = c.charFormat();
    insertLimited(c, text, format);
    c.setCharFormat(format);
    setCaret(c);
}

// --- colour ----------------------------------------------------------------------------

ColorValue HtmlDocument::InsertionColor() const
{
    return toColorValue(m_caret.charFormat().foreground().color());
}

void HtmlDocument::SetInsertionColor(ColorValue color)
{
    QTextCharFormat format = m_caret.charFormat();
    format.setForeground(toQColor(color));
    // Without a selection this is the format of what is inserted next.
    {
        const Changing changing(m_changing);
        m_caret.setCharFormat(format);
    }
    if (m_editGroupDepth > 0)
        m_groupFormatSet = true;
    else
        Q_EMIT caretSet(false); // the caret stays where it is, the view too
}

void HtmlDocument::ColorRange(int start, int length, ColorValue color)
{
    if (length <= 0)
        return;
    QTextCursor c(m_text);
    const Changing changing(m_changing);
    const QTextCharFormat format = colorFormat(color);
    ColourableLines(*m_text).forEachPart(toPosition(start), toPosition(start + length), [&](int from, int to) {
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        c.mergeCharFormat(format);
    });
}

bool HtmlDocument::isLongLine(const QTextBlock &block)
{
    return block.length() - 1 > LongLineLength;
}

void HtmlDocument::applyColorRuns(std::span<const ColorRun> runs)
{
    const bool modified = m_text->isModified();
    const QScopedValueRollback colouring(m_colouring, true);
    const Changing changing(m_changing);
    paintWithLastStep([&](QTextCursor &c) { paintRuns(c, runs); });
    m_text->setModified(modified);
}

void HtmlDocument::paintRuns(QTextCursor &c, std::span<const ColorRun> runs)
{
    // Walk the lines along with the runs, so converting offsets costs almost nothing.
    LineWalker lines(*m_text);
    ColourableLines colourable(*m_text);
    for (const ColorRun &run : runs) {
        if (run.length <= 0)
            continue;
        colourable.setFormat(c, lines.positionOf(run.start), lines.positionOf(run.start + run.length),
                             colorFormat(run.color));
    }
}

void HtmlDocument::colorWithLastEdit(std::span<const ColorRun> runs)
{
    const QScopedValueRollback colouring(m_colouring, true);
    const Changing changing(m_changing);
    paintWithLastStep([&](QTextCursor &c) { paintRuns(c, runs); });
}

ColorValue HtmlDocument::colorAt(int offset) const
{
    // A cursor reports the format of the character just before it.
    QTextCursor c(m_text);
    c.setPosition(std::min(toPosition(offset) + 1, m_text->characterCount() - 1));
    return toColorValue(c.charFormat().foreground().color());
}

// --- colouring in the background --------------------------------------------------------

void HtmlDocument::colorInBackground(std::span<const ColorRun> runs)
{
    cancelBackgroundColouring();
    // Text positions of all runs, found in one walk down the lines.
    std::vector<PendingColours::Run> positioned;
    positioned.reserve(runs.size());
    LineWalker lines(*m_text);
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
    m_undoWasEnabled = m_text->isUndoRedoEnabled();
    if (m_undoWasEnabled && !m_text->isUndoAvailable() && !m_text->isRedoAvailable())
        m_text->setUndoRedoEnabled(false);
    else
        m_undoWasEnabled = false; // nothing to switch back on
    connect(m_text, &QTextDocument::contentsChange, this, &HtmlDocument::movePendingRuns,
            Qt::UniqueConnection);
    // What a view shows first.
    if (m_visibleRange) {
        const auto [top, bottom] = m_visibleRange();
        applyPending(m_pending.takeVisible(top, bottom));
    }
    if (!m_sliceTimer) {
        m_sliceTimer = new QTimer(this);
        m_sliceTimer->setSingleShot(true);
        m_sliceTimer->setInterval(0);
        connect(m_sliceTimer, &QTimer::timeout, this, &HtmlDocument::colourSlice);
    }
    m_firstSlice = true;
    if (backgroundColouringPending())
        m_sliceTimer->start();
    else
        endBackgroundColouring();
}

void HtmlDocument::applyPending(std::span<const PendingColours::Run> runs)
{
    if (runs.empty())
        return;
    const bool modified = m_text->isModified();
    const QScopedValueRollback colouring(m_colouring, true);
    const Changing changing(m_changing);
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
    ColourableLines colourable(*m_text);
    paintWithLastStep([&](QTextCursor &c) {
        for (const PendingColours::Run &run : runs)
            colourable.setFormat(c, run.from, run.to, formatOf(run.color));
    });
    m_text->setModified(modified);
}

void HtmlDocument::colourSlice()
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

void HtmlDocument::movePendingRuns(int position, int removed, int added)
{
    if (!m_colouring)
        m_pending.moveWithEdit(position, removed, added);
}

void HtmlDocument::finishColouringBeforeEdit()
{
    // Only while the history is off for the colouring: otherwise the slices join the steps.
    if (!m_undoWasEnabled || !backgroundColouringPending())
        return;
    applyPending(m_pending.takeNext(std::numeric_limits<std::size_t>::max()));
    endBackgroundColouring();
}

void HtmlDocument::cancelBackgroundColouring()
{
    if (backgroundColouringPending())
        endBackgroundColouring();
}

void HtmlDocument::endBackgroundColouring()
{
    m_pending.clear();
    if (m_sliceTimer)
        m_sliceTimer->stop();
    disconnect(m_text, &QTextDocument::contentsChange, this, &HtmlDocument::movePendingRuns);
    if (m_undoWasEnabled)
        m_text->setUndoRedoEnabled(true);
    m_undoWasEnabled = false;
    Q_EMIT backgroundColouringFinished();
}

// --- lines -----------------------------------------------------------------------------

int HtmlDocument::LineFromOffset(int offset) const
{
    return m_text->findBlock(toPosition(offset)).blockNumber();
}

int HtmlDocument::LineStart(int line) const
{
    const QTextBlock b = m_text->findBlockByNumber(line);
    return b.isValid() ? b.position() + line : textLength();
}

QString HtmlDocument::LineText(int line) const
{
    return m_text->findBlockByNumber(line).text();
}

int HtmlDocument::lineCount() const
{
    return m_text->blockCount();
}

int HtmlDocument::lastIndexBefore(int offset, QChar ch) const
{
    const int pos = toPosition(offset);
    QTextBlock block = m_text->findBlock(pos);
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

int HtmlDocument::firstIndexFrom(int offset, QChar ch) const
{
    const int pos = toPosition(offset);
    QTextBlock block = m_text->findBlock(pos);
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

int HtmlDocument::findForward(int offset, const QString &needle, bool ignoreCase) const
{
    if (needle.isEmpty())
        return -1;
    QString key = toControlText(needle);
    key.replace(u'\n', QChar::ParagraphSeparator);
    if (ignoreCase)
        key = CzechUpperCase(key);
    const int end = m_text->characterCount() - 1;
    int pos = toPosition(std::clamp(offset, 0, textLength()));
    // Windows overlap by the needle's length less one, so no occurrence falls between.
    qsizetype window = std::max<qsizetype>(1024, key.size() * 4);
    QTextCursor c(m_text);
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

bool HtmlDocument::replaceOccurrences(const QList<int> &starts, int length, const QString &text)
{
    if (m_readOnly)
        return false;
    if (starts.isEmpty())
        return true;
    const QString controlText = toControlText(text);
    if (!fitsInDocument(textLength() + (lengthOnceIn(text) - length) * starts.size()))
        return false;
    // Text positions of every start and end, found in one walk down the lines rather than
    // by a search for each.
    std::vector<int> from(starts.size());
    std::vector<int> to(starts.size());
    {
        QTextBlock block = m_text->begin();
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
    QTextCursor c(m_text);
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

void HtmlDocument::replaceSelectionJoiningUndo(const QString &text)
{
    if (m_readOnly)
        return;
    QTextCursor c = m_caret;
    const QTextCharFormat format = c.charFormat();
    {
        const Changing changing(m_changing);
        c.joinPreviousEditBlock();
        insertLimited(c, text, format);
        c.endEditBlock();
    }
    c.setCharFormat(format);
    setCaret(c);
}

// --- grouped edits ---------------------------------------------------------------------

HtmlDocument::EditGroup::EditGroup(HtmlDocument &document)
    : m_document(document)
{
    if (m_document.m_editGroupDepth == 0) {
        m_document.finishColouringBeforeEdit();
        m_document.m_groupCaretMoved = false;
        m_document.m_groupFormatSet = false;
        // Qt puts the caret where the block's cursor stood when the step is undone: at the
        // caret, not at the first line of the page.
        m_document.m_groupCursor = QTextCursor(m_document.m_text);
        m_document.m_groupCursor.setPosition(m_document.m_caret.position());
        m_document.m_groupCursor.beginEditBlock();
    }
    ++m_document.m_editGroupDepth;
}

HtmlDocument::EditGroup::~EditGroup()
{
    if (--m_document.m_editGroupDepth > 0)
        return;
    {
        // Views hear of their carets' moves only now, as the block ends: those are the
        // document's moves, not the user's.
        const Changing changing(m_document.m_changing);
        m_document.m_groupCursor.endEditBlock();
    }
    m_document.m_groupCursor = QTextCursor();
    // The layout has caught up with the text: now views may show the caret.
    if (m_document.m_groupCaretMoved)
        Q_EMIT m_document.caretSet(true);
    else if (m_document.m_groupFormatSet)
        Q_EMIT m_document.caretSet(false);
}

void HtmlDocument::WrapSelection(ColorValue color, const QString &prefix, const QString &suffix)
{
    if (m_readOnly)
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

void HtmlDocument::InsertAtCaret(ColorValue color, const QString &text)
{
    WrapSelection(color, text, QString());
}

void HtmlDocument::SelectTagAtCaret()
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

QPair<int, int> HtmlDocument::CaretLineColumn() const
{
    const int start = SelStart();
    const int line = LineFromOffset(start);
    return {line + 1, start - LineStart(line) + 1};
}

// --- the file --------------------------------------------------------------------------

QString HtmlDocument::caption() const
{
    return isUntitled() ? Untitled : QFileInfo(m_fileName).fileName();
}

void HtmlDocument::setFileName(const QString &path)
{
    m_fileName = path;
    Q_EMIT captionChanged(caption());
}

void HtmlDocument::showLoadedText(const QString &path, const TextFileResult &file)
{
    setFileName(path);
    setBinary(file.binary);
    loadText(file.text);
    SetSelStart(0);
    m_encoding = file.encoding;
    m_encodingNote = file.encodingNote;
    m_lineEnding = file.lineEnding.value_or(m_lineEnding);
    m_declaredButKept.reset();
    noteDiskState();
    Q_EMIT textLoaded(file.text);
    Q_EMIT encodingChanged();
}

void HtmlDocument::noteDiskState()
{
    const QFileInfo info(m_fileName);
    if (isUntitled() || !info.isFile()) {
        m_diskState.reset();
        return;
    }
    m_diskState = DiskState{m_fileName, info.lastModified().toMSecsSinceEpoch(), info.size()};
}

bool HtmlDocument::changedOnDisk() const
{
    // Only the file the text came from counts; a new name is a file of its own.
    if (!m_diskState || m_diskState->path != m_fileName)
        return false;
    const QFileInfo info(m_fileName);
    if (!info.isFile())
        return false;
    return info.lastModified().toMSecsSinceEpoch() != m_diskState->modified
           || info.size() != m_diskState->size;
}

void HtmlDocument::setBinary(bool binary)
{
    m_binary = binary;
    Q_EMIT binaryChanged(binary);
}

bool HtmlDocument::confirmBinarySave()
{
    if (!m_binary)
        return true;
    const QString question =
        u"Soubor %1 není text, obsahuje binární data. Uložením se jeho obsah změní (obrázek "
        u"nebo program by se tím zničil). Přesto uložit?"_s.arg(m_fileName);
    if (ui().chooseWithDefault(question, {u"Uložit"_s, u"Neukládat"_s}, 1) != 0)
        return false;
    setBinary(false); // asked once; from now on the file is what the user saved
    return true;
}

void HtmlDocument::setLineEnding(LineEnding ending)
{
    m_lineEnding = ending;
    Q_EMIT encodingChanged();
}

void HtmlDocument::convertLineEnding(LineEnding ending)
{
    if (ending == m_lineEnding)
        return;
    m_lineEnding = ending;
    // The file on disk keeps its old line breaks until the next save.
    SetModified(true);
    Q_EMIT encodingChanged();
}

QString HtmlDocument::encodingCaption() const
{
    QString caption = encodingName(m_encoding.encoding);
    if (m_encoding.encoding == TextEncoding::Utf8 && m_encoding.byteOrderMark)
        caption += u" (BOM)"_s;
    if (!m_encodingNote.isEmpty())
        caption += u" – "_s + m_encodingNote;
    return caption;
}

bool HtmlDocument::reopenInEncoding(TextEncoding encoding)
{
    // Reading again would throw the user's edits away.
    if (isUntitled() || IsModified())
        return false;
    const TextFileResult file = readDocumentFile(m_fileName, encoding);
    if (!file.ok) {
        ui().showError(readFailureMessage(m_fileName, file));
        return false;
    }
    showLoadedText(m_fileName, file);
    return true;
}

void HtmlDocument::convertToEncoding(TextEncoding encoding)
{
    if (encoding == m_encoding.encoding)
        return;
    m_encoding = {encoding, false};
    m_encodingNote.clear();
    m_declaredButKept.reset();
    // The page's own META says the new encoding too, or a browser would read the saved bytes
    // in the old one. One undo step takes the declaration back (the save then asks).
    const CharsetDeclaration declared = findCharsetDeclaration(textRange(0, CharsetDeclarationWindow));
    if (declared.start >= 0 && encodingForCharset(declared.name) != encoding) {
        const QString written = textRange(int(declared.start), int(declared.name.size()));
        QString label = charsetLabel(encoding);
        if (written == written.toUpper())
            label = label.toUpper();
        replaceOccurrences({int(declared.start)}, int(declared.name.size()), label);
    }
    // The file on disk is still in the old encoding until the next save, whatever is undone:
    // marked unmodified and modified again, no undo step counts as the saved state.
    SetModified(false);
    SetModified(true);
    Q_EMIT encodingChanged();
}

bool HtmlDocument::settleEncodingForSave(QStringView text)
{
    const std::optional<TextEncoding> declared = encodingForCharset(declaredCharset(text));
    if (!declared || *declared == m_encoding.encoding || m_declaredButKept == declared)
        return true;
    const QString declaredName = encodingName(*declared);
    const QString currentName = encodingName(m_encoding.encoding);
    const QString question =
        u"Dokument deklaruje kódování %1, ale bude uložen v kódování %2. V kterém kódování "
        u"jej uložit?"_s.arg(declaredName, currentName);
    switch (ui().choose(question, {u"Deklarované: %1"_s.arg(declaredName),
                                   u"Současné: %1"_s.arg(currentName), u"Neukládat"_s})) {
    case 0:
        m_encoding = {*declared, false};
        m_encodingNote.clear();
        Q_EMIT encodingChanged();
        return true;
    case 1:
        m_declaredButKept = declared;
        return true;
    default:
        return false;
    }
}

bool HtmlDocument::CloseQuery()
{
    if (!IsModified())
        return true;
    const QString question = u"Uložit změny do %1?"_s.arg(m_fileName);
    switch (ui().ask(question, Interaction::Buttons::YesNoCancel)) {
    case Interaction::Answer::Cancel:
        return false;
    case Interaction::Answer::Yes:
        // A save that failed or was cancelled keeps the document, so the text is not lost.
        return m_saver && m_saver->saveDocument(*this);
    case Interaction::Answer::No:
        return true;
    }
    return true;
}

void HtmlDocument::closeConfirmed()
{
    m_closeConfirmed = true;
    Q_EMIT closeRequested();
}
