#include "editor/SpellMarker.h"

#include "editor/EditorBuffer.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "markup/SpellChecker.h"
#include "markup/SpellWords.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

// A line's verdicts. The line's user state holds the scan state it ends in (-1: not yet
// scanned), so the next line can be scanned on its own.
struct SpellBlockData : QTextBlockUserData
{
    bool checked = false;
    std::vector<SpellWord> misspelt;
};

SpellBlockData *dataOf(const QTextBlock &block)
{
    return static_cast<SpellBlockData *>(block.userData());
}

SpellBlockData &ensureData(QTextBlock &block)
{
    if (!block.userData())
        block.setUserData(new SpellBlockData);
    return *dataOf(block);
}

void markUnchecked(const QTextBlock &block)
{
    if (SpellBlockData *d = dataOf(block))
        d->checked = false;
}

bool isChecked(const QTextBlock &block)
{
    const SpellBlockData *d = dataOf(block);
    return d && d->checked;
}

// The state a line starts in: where the line before ended, plain text for the first.
SpellScanState entryState(const QTextBlock &block)
{
    const QTextBlock previous = block.previous();
    return SpellScanState::unpack(previous.isValid() ? previous.userState() : 0);
}

// Offsets count every line break before the line as two characters.
int offsetOf(const QTextBlock &block, int inBlock)
{
    return block.position() + block.blockNumber() + inBlock;
}

} // namespace

SpellMarker::SpellMarker(EditorBuffer &buffer, SpellChecker &checker)
    : QObject(&buffer)
    , m_buffer(buffer)
    , m_checker(&checker)
{
    setObjectName(u"SpellMarker"_s);
    m_visibleTimer.setSingleShot(true);
    m_visibleTimer.setInterval(0);
    m_sliceTimer.setSingleShot(true);
    m_sliceTimer.setInterval(0);
    connect(&m_visibleTimer, &QTimer::timeout, this, &SpellMarker::checkVisible);
    connect(&m_sliceTimer, &QTimer::timeout, this, &SpellMarker::slice);
    connect(buffer.document(), &QTextDocument::contentsChange, this,
            &SpellMarker::contentsChanged);
    // Lines come into view however the view moves. The wheel and the bar's handle change
    // the bar's value; the keyboard (Ctrl+End, PgDn, the caret's moves), a click in the
    // bar's trough and a jump to a place set the bar with its signals blocked, and say so
    // only by updating the whole view: both are followed.
    connect(buffer.verticalScrollBar(), &QScrollBar::valueChanged, this,
            &SpellMarker::scheduleVisible);
    connect(buffer.verticalScrollBar(), &QScrollBar::rangeChanged, this,
            &SpellMarker::scheduleVisible);
    connect(&buffer, &QPlainTextEdit::updateRequest, this, [this](const QRect &rect, int dy) {
        // The caret's blink and an edited line update a part of the view; new colours
        // update all of it, but show the same lines.
        if ((dy != 0 || rect.contains(m_buffer.viewport()->rect())) && visibleBlocks() != m_looked)
            scheduleVisible();
    });
    connect(&checker, &SpellChecker::wordsChanged, this, &SpellMarker::recheckAll);
    recheckAll();
}

SpellMarker::~SpellMarker() = default;

SpellMarker *SpellMarker::of(const EditorBuffer &buffer)
{
    return buffer.findChild<SpellMarker *>(u"SpellMarker"_s, Qt::FindDirectChildrenOnly);
}

void SpellMarker::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (enabled) {
        recheckAll();
    } else {
        m_visibleTimer.stop();
        m_sliceTimer.stop();
        m_buffer.setMarks(EditorBuffer::MarkLayer::Spelling, {});
    }
}

bool SpellMarker::pending() const
{
    return m_enabled && (m_sliceTimer.isActive() || m_visibleTimer.isActive());
}

void SpellMarker::scheduleVisible()
{
    if (m_enabled && !m_visibleTimer.isActive())
        m_visibleTimer.start();
}

void SpellMarker::contentsChanged(int position, int removed, int added)
{
    // Colours going in change the formats only.
    if (m_buffer.htmlDocument().isColouring())
        return;
    Q_UNUSED(removed);
    QTextDocument *doc = m_buffer.document();
    QTextBlock block = doc->findBlock(position);
    const QTextBlock last = doc->findBlock(position + added);
    m_sweepFrom = std::min(m_sweepFrom, block.isValid() ? block.blockNumber() : 0);
    m_editedSinceSweep = true;
    while (block.isValid()) {
        markUnchecked(block);
        if (block == last)
            break;
        block = block.next();
    }
    scheduleVisible();
}

void SpellMarker::recheckAll()
{
    for (QTextBlock b = m_buffer.document()->begin(); b.isValid(); b = b.next())
        markUnchecked(b);
    m_sweepFrom = 0;
    scheduleVisible();
}

bool SpellMarker::checkBlock(QTextBlock &block)
{
    const QTextBlock previous = block.previous();
    // The line before holds the state this one starts in; lines not scanned yet are
    // scanned first (their words wait for their own turn).
    if (previous.isValid() && previous.userState() < 0) {
        QTextBlock from = previous;
        while (from.previous().isValid() && from.previous().userState() < 0)
            from = from.previous();
        for (QTextBlock b = from; b != block; b = b.next()) {
            SpellScanState state = entryState(b);
            findSpellWords(b.text(), state);
            b.setUserState(state.pack());
        }
    }
    SpellScanState state = entryState(block);
    const QString text = block.text();
    SpellBlockData &data = ensureData(block);
    data.misspelt.clear();
    const std::vector<SpellWord> words = findSpellWords(text, state);
    // A line too long to colour is not underlined either: its tens of thousands of words
    // would hold the editor for seconds whenever it comes into view.
    if (!HtmlDocument::isLongLine(block)) {
        for (const SpellWord &w : words) {
            if (m_checker && !m_checker->isCorrect(QStringView(text).mid(w.start, w.length)))
                data.misspelt.push_back(w);
        }
    }
    data.checked = true;
    const int exit = state.pack();
    const bool changed = block.userState() != exit;
    block.setUserState(exit);
    if (changed)
        markUnchecked(block.next()); // it starts in another state now
    return changed;
}

QPair<int, int> SpellMarker::visibleBlocks() const
{
    const QWidget *view = m_buffer.viewport();
    const int first = m_buffer.cursorForPosition(QPoint(0, 0)).blockNumber();
    const int last =
        m_buffer.cursorForPosition(QPoint(view->width() - 1, view->height() - 1)).blockNumber();
    return {first, std::max(first, last)};
}

void SpellMarker::checkVisible()
{
    if (!m_enabled)
        return;
    m_looked = visibleBlocks();
    const auto [first, last] = m_looked;
    QTextBlock block = m_buffer.document()->findBlockByNumber(first);
    for (int n = first; n <= last && block.isValid(); ++n, block = block.next()) {
        if (!isChecked(block))
            checkBlock(block);
    }
    refreshMarks();
    // After an edit the rest of the page is walked again from the edited line (its state
    // may carry to the lines below): a little later, so that the key shows first, and once
    // for keys typed in a row.
    if (m_sweepFrom < m_buffer.document()->blockCount())
        m_sliceTimer.start(std::exchange(m_editedSinceSweep, false) ? SweepAfterEditMs : 0);
}

void SpellMarker::slice()
{
    if (!m_enabled)
        return;
    QElapsedTimer clock;
    clock.start();
    const auto [first, last] = visibleBlocks();
    bool touchedVisible = false;
    QTextBlock block = m_buffer.document()->findBlockByNumber(m_sweepFrom);
    while (block.isValid() && clock.elapsed() < SliceMs) {
        // Batches of lines between looks at the clock.
        for (int i = 0; i < 8 && block.isValid(); ++i, block = block.next()) {
            if (isChecked(block))
                continue;
            checkBlock(block);
            touchedVisible = touchedVisible
                             || (block.blockNumber() >= first && block.blockNumber() <= last);
        }
    }
    m_sweepFrom = block.isValid() ? block.blockNumber() : m_buffer.document()->blockCount();
    if (touchedVisible)
        refreshMarks();
    if (block.isValid())
        m_sliceTimer.start(0);
    else
        Q_EMIT checked();
}

void SpellMarker::finish()
{
    if (!m_enabled)
        return;
    m_visibleTimer.stop();
    m_sliceTimer.stop();
    for (QTextBlock b = m_buffer.document()->findBlockByNumber(m_sweepFrom); b.isValid();
         b = b.next()) {
        if (!isChecked(b))
            checkBlock(b);
    }
    m_sweepFrom = m_buffer.document()->blockCount();
    m_looked = visibleBlocks(); // every line is checked: what is on screen too
    refreshMarks();
    Q_EMIT checked();
}

void SpellMarker::refreshMarks()
{
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    format.setUnderlineColor(Qt::red);
    QList<QTextEdit::ExtraSelection> marks;
    const auto [first, last] = visibleBlocks();
    QTextBlock block = m_buffer.document()->findBlockByNumber(first);
    for (int n = first; n <= last && block.isValid(); ++n, block = block.next()) {
        const SpellBlockData *d = dataOf(block);
        if (!d || !d->checked)
            continue;
        for (const SpellWord &w : d->misspelt) {
            QTextCursor c(block);
            c.setPosition(block.position() + w.start);
            c.setPosition(block.position() + w.start + w.length, QTextCursor::KeepAnchor);
            marks.append({c, format});
        }
    }
    // The same marks again change nothing on screen: the view is left alone.
    const QList<QTextEdit::ExtraSelection> shown = m_buffer.marks(EditorBuffer::MarkLayer::Spelling);
    const bool same = std::equal(marks.begin(), marks.end(), shown.begin(), shown.end(),
                                 [](const QTextEdit::ExtraSelection &a, const QTextEdit::ExtraSelection &b) {
                                     return a.cursor.selectionStart() == b.cursor.selectionStart()
                                            && a.cursor.selectionEnd() == b.cursor.selectionEnd();
                                 });
    if (!same)
        m_buffer.setMarks(EditorBuffer::MarkLayer::Spelling, marks);
}

QList<QPair<int, int>> SpellMarker::markedWords() const
{
    QList<QPair<int, int>> out;
    for (const QTextEdit::ExtraSelection &s : m_buffer.marks(EditorBuffer::MarkLayer::Spelling)) {
        const QTextBlock block = m_buffer.document()->findBlock(s.cursor.selectionStart());
        out.append({offsetOf(block, s.cursor.selectionStart() - block.position()),
                    s.cursor.selectionEnd() - s.cursor.selectionStart()});
    }
    return out;
}

QPair<int, int> SpellMarker::misspeltWordAt(int offset) const
{
    // The line whose first offset is the last at or before the offset.
    const QTextDocument *doc = m_buffer.document();
    int lo = 0;
    int hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (offsetOf(doc->findBlockByNumber(mid), 0) <= offset)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(lo);
    const SpellBlockData *d = dataOf(block);
    if (!m_enabled || !d || !d->checked)
        return {offset, 0};
    const int inBlock = offset - offsetOf(block, 0);
    for (const SpellWord &w : d->misspelt) {
        if (inBlock >= w.start && inBlock <= w.start + w.length)
            return {offsetOf(block, w.start), w.length};
    }
    return {offset, 0};
}

bool SpellMarker::addMenuItems(QMenu &menu, const QPoint &viewportPosition)
{
    if (!m_enabled || !m_checker)
        return false;
    const QTextCursor at = m_buffer.cursorForPosition(viewportPosition);
    const auto [start, length] = misspeltWordAt(offsetOf(at.block(), at.positionInBlock()));
    if (length == 0)
        return false;
    const QString word = m_buffer.htmlDocument().textRange(start, length);
    const QStringList suggestions = m_checker->suggestions(word, MaxSuggestions);
    QAction *before = menu.actions().isEmpty() ? nullptr : menu.actions().first();
    QList<QAction *> items;
    for (const QString &s : suggestions) {
        auto *a = new QAction(s, &menu);
        connect(a, &QAction::triggered, this, [this, start = start, length = length, s] {
            m_buffer.htmlDocument().SetSelStart(start);
            m_buffer.htmlDocument().SetSelLength(length);
            m_buffer.htmlDocument().ReplaceSelection(s);
        });
        items << a;
    }
    if (suggestions.isEmpty()) {
        auto *none = new QAction(u"Žádné návrhy"_s, &menu);
        none->setEnabled(false);
        items << none;
    }
    auto *separator = new QAction(&menu);
    separator->setSeparator(true);
    items << separator;
    auto *add = new QAction(u"Přidat do slovníku"_s, &menu);
    add->setObjectName(u"SpellAddToDictionary"_s);
    connect(add, &QAction::triggered, this, [this, word] {
        if (m_checker && !m_checker->addToPersonalList(word))
            ui().showError(u"Slovo „%1“ nelze uložit do osobního slovníku %2."_s.arg(
                word, m_checker->personalListPath()));
    });
    auto *ignore = new QAction(u"Ignorovat vše"_s, &menu);
    ignore->setObjectName(u"SpellIgnoreAll"_s);
    connect(ignore, &QAction::triggered, this, [this, word] {
        if (m_checker)
            m_checker->ignoreAll(word);
    });
    auto *after = new QAction(&menu);
    after->setSeparator(true);
    items << add << ignore << after;
    menu.insertActions(before, items);
    return true;
}
