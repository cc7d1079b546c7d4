#include "tools/SiteSearchPanel.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

enum FoundRole { FoundPathRole = Qt::UserRole, FoundMatchRole, MarkStartRole, MarkLengthRole };
enum FoundColumn { PlaceColumn, CountColumn, TextColumn };

// So much of a long line is shown before and after its match (a page written on one line
// would make a row of a megabyte).
constexpr int ShownBefore = 60;
constexpr int ShownAfter = 160;

// Draws a match's line with the match on the highlight colour.
class MarkedLineDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QVariant start = index.data(MarkStartRole);
        if (!start.isValid()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        QStyle *style = opt.widget ? opt.widget->style() : nullptr;
        if (style)
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        const int from = std::clamp(start.toInt(), 0, int(text.size()));
        const int length = std::clamp(index.data(MarkLengthRole).toInt(), 0, int(text.size()) - from);
        QRect r = opt.rect.adjusted(4, 0, -2, 0);
        painter->save();
        painter->setClipRect(opt.rect);
        const QFontMetrics metrics(opt.font);
        const bool selected = opt.state & QStyle::State_Selected;
        painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const QString before = text.left(from), match = text.mid(from, length), after = text.mid(from + length);
        const int flags = int(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine);
        painter->drawText(r, flags, before);
        r.setLeft(r.left() + metrics.horizontalAdvance(before));
        QFont bold = opt.font;
        bold.setBold(true);
        // The match is drawn bold: its box is as wide as the bold text, or it would cover
        // what follows.
        const QRect box(r.left(), r.top() + 1, QFontMetrics(bold).horizontalAdvance(match), r.height() - 2);
        painter->fillRect(box, selected ? opt.palette.color(QPalette::HighlightedText) : QColor(255, 226, 110));
        painter->setFont(bold);
        painter->setPen(selected ? opt.palette.color(QPalette::Highlight) : opt.palette.color(QPalette::Text));
        painter->drawText(r, flags, match);
        r.setLeft(r.left() + box.width());
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(r, flags, after);
        painter->restore();
    }
};

QString shownPath(const QString &path, const QString &folder)
{
    const QString relative = QDir(folder).relativeFilePath(path);
    return QDir::toNativeSeparators(relative.startsWith(u"../"_s) ? path : relative);
}

QTreeWidgetItem *matchItem(const TextMatch &m, int index)
{
    qsizetype from = std::max<qsizetype>(0, m.column - 1 - ShownBefore);
    QString shown = m.lineText.mid(from, m.column - 1 - from + m.length + ShownAfter);
    // Leading blanks only push the match out of sight.
    qsizetype lead = 0;
    while (lead < shown.size() && lead < m.column - 1 - from && shown[lead].isSpace())
        ++lead;
    shown = shown.mid(lead);
    shown.replace(u'\t', u' ');
    auto *item = new QTreeWidgetItem({QString(), u"%1:%2"_s.arg(m.line).arg(m.column), shown});
    item->setData(TextColumn, MarkStartRole, int(m.column - 1 - from - lead));
    item->setData(TextColumn, MarkLengthRole, int(m.length));
    item->setData(PlaceColumn, FoundMatchRole, index);
    return item;
}

} // namespace

QString inFilesText(qsizetype count)
{
    return count == 1 ? u"v 1 souboru"_s : u"v %1 souborech"_s.arg(count);
}

QString matchCountText(qsizetype count)
{
    return count == 1 ? u"1 nález"_s : count >= 2 && count <= 4 ? u"%1 nálezy"_s.arg(count)
                                                               : u"%1 nálezů"_s.arg(count);
}

SiteSearchPanel::SiteSearchPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"SiteSearchPanel"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    auto *top = new QHBoxLayout;
    Caption = new QLabel(this);
    Caption->setObjectName(u"Caption"_s);
    Caption->setTextFormat(Qt::PlainText);
    Progress = new QProgressBar(this);
    Progress->setObjectName(u"Progress"_s);
    Progress->setMaximumWidth(200);
    Progress->hide();
    StopButton = new QPushButton(u"Zastavit"_s, this);
    StopButton->setObjectName(u"StopButton"_s);
    StopButton->hide();
    ReplaceButton = new QPushButton(u"Nahradit vše..."_s, this);
    ReplaceButton->setObjectName(u"ReplaceButton"_s);
    ReplaceButton->setEnabled(false);
    auto *close = new QToolButton(this);
    close->setObjectName(u"CloseButton"_s);
    close->setText(u"×"_s);
    close->setToolTip(u"Zavřít"_s);
    close->setAutoRaise(true);
    top->addWidget(Caption, 1);
    top->addWidget(Progress);
    top->addWidget(StopButton);
    top->addWidget(ReplaceButton);
    top->addWidget(close);
    layout->addLayout(top);

    List = new QTreeWidget(this);
    List->setObjectName(u"List"_s);
    List->setUniformRowHeights(true);
    List->setHeaderLabels({u"Soubor"_s, u"Řádek:sloupec"_s, u"Text"_s});
    List->header()->setStretchLastSection(true);
    List->setItemDelegateForColumn(TextColumn, new MarkedLineDelegate(List));
    layout->addWidget(List);

    connect(close, &QToolButton::clicked, this, [this] {
        stop();
        hide();
    });
    connect(StopButton, &QPushButton::clicked, this, &SiteSearchPanel::stop);
    connect(ReplaceButton, &QPushButton::clicked, this, &SiteSearchPanel::replaceRequested);
    connect(List, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) { choose(item); });
    connect(List, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) { choose(item); });
}

SiteSearchPanel::~SiteSearchPanel()
{
    m_stop = true;
    joinWorker();
}

void SiteSearchPanel::joinWorker()
{
    if (m_worker && m_worker->joinable())
        m_worker->join();
    m_worker.reset();
}

void SiteSearchPanel::start(const SiteSearchFields &fields, const QHash<QString, QString> &openTexts)
{
    m_stop = true;
    joinWorker();
    m_stop = false;
    // What a search ended before still has on its way here is dropped.
    const int generation = ++m_generation;
    m_fields = fields;
    m_fields.folder = QDir::fromNativeSeparators(fields.folder.trimmed());
    m_pattern = searchPattern(fields.options());
    m_results.clear();
    m_stopped = false;
    List->clear();
    ReplaceButton->setEnabled(false);
    show();
    if (!m_pattern.ok()) {
        Caption->setText(m_pattern.error);
        return;
    }
    Caption->setText(u"Hledá se „%1“ v %2..."_s.arg(fields.text, QDir::toNativeSeparators(m_fields.folder)));
    Progress->setValue(0);
    Progress->setMaximum(0); // until the files are counted
    Progress->show();
    StopButton->show();
    // Pages open in the editor are searched here, as the editor holds them; the threads
    // read the others from the disk.
    const QRegularExpression expression = m_pattern.expression;
    m_worker = std::make_unique<std::thread>([this, generation, fields = m_fields, openTexts, expression] {
        QStringList files = siteFiles(fields.folder, fields.masks, fields.subfolders);
        QList<FileSearchResult> found;
        QStringList onDisk;
        for (const QString &f : std::as_const(files)) {
            const QString canonical = QFileInfo(f).canonicalFilePath();
            const auto text = openTexts.constFind(canonical);
            if (text == openTexts.cend()) {
                onDisk << f;
                continue;
            }
            FileSearchResult r = searchText(f, *text, expression);
            found << r;
        }
        const int total = int(files.size());
        QMetaObject::invokeMethod(this, [this, total, generation] {
            if (generation == m_generation)
                Progress->setMaximum(std::max(total, 1));
        }, Qt::QueuedConnection);
        const int already = int(found.size());
        int shown = -1;
        found << searchFiles(onDisk, expression, m_stop, [this, already, total, generation, &shown](int done) {
            // A step of the bar per hundredth: the window is not flooded with updates.
            const int step = total > 0 ? (already + done) * 100 / total : 100;
            if (step == shown)
                return;
            shown = step;
            QMetaObject::invokeMethod(this, [this, generation, value = already + done] {
                if (generation == m_generation)
                    Progress->setValue(value);
            }, Qt::QueuedConnection);
        });
        std::sort(found.begin(), found.end(),
                  [](const FileSearchResult &a, const FileSearchResult &b) { return a.path < b.path; });
        const bool stopped = m_stop;
        QMetaObject::invokeMethod(
            this, [this, generation, found = std::move(found), total, stopped]() mutable {
                if (generation == m_generation)
                    finish(std::move(found), total, stopped);
            },
            Qt::QueuedConnection);
    });
}

void SiteSearchPanel::stop()
{
    m_stop = true;
}

void SiteSearchPanel::finish(QList<FileSearchResult> results, int total, bool stopped)
{
    joinWorker();
    m_results = std::move(results);
    m_total = total;
    m_stopped = stopped;
    Progress->hide();
    StopButton->hide();
    showResults();
    Q_EMIT finished();
}

void SiteSearchPanel::showResults()
{
    List->clear();
    qsizetype matches = 0;
    int files = 0, skipped = 0;
    QList<QTreeWidgetItem *> items;
    for (int i = 0; i < m_results.size(); ++i) {
        const FileSearchResult &r = m_results[i];
        if (r.matches.isEmpty() && r.skipped.isEmpty())
            continue;
        auto *file = new QTreeWidgetItem({shownPath(r.path, m_fields.folder),
                                          r.skipped.isEmpty() ? matchCountText(r.matches.size()) : QString(),
                                          r.skipped});
        file->setData(PlaceColumn, FoundPathRole, r.path);
        file->setToolTip(PlaceColumn, QDir::toNativeSeparators(r.path));
        if (!r.skipped.isEmpty()) {
            ++skipped;
            for (int c = 0; c < 3; ++c)
                file->setForeground(c, palette().color(QPalette::Disabled, QPalette::Text));
        } else {
            ++files;
            matches += r.matches.size();
            QFont bold = file->font(PlaceColumn);
            bold.setBold(true);
            file->setFont(PlaceColumn, bold);
            for (int m = 0; m < r.matches.size(); ++m)
                file->addChild(matchItem(r.matches[m], m));
        }
        items << file;
    }
    List->addTopLevelItems(items);
    List->expandAll();
    List->resizeColumnToContents(PlaceColumn);
    List->resizeColumnToContents(CountColumn);
    QString caption = u"Hledání „%1“ v %2: %3 %4"_s.arg(
        m_fields.text, QDir::toNativeSeparators(m_fields.folder), matchCountText(matches), inFilesText(files));
    if (skipped > 0)
        caption += u", přeskočeno souborů: %1"_s.arg(skipped);
    if (m_stopped)
        caption += u" (zastaveno po %1 z %2 souborů)"_s.arg(m_results.size()).arg(m_total);
    Caption->setText(caption);
    ReplaceButton->setEnabled(matches > 0);
}

QTreeWidgetItem *SiteSearchPanel::fileItem(const QString &path) const
{
    for (int i = 0; i < List->topLevelItemCount(); ++i) {
        if (List->topLevelItem(i)->data(PlaceColumn, FoundPathRole).toString() == path)
            return List->topLevelItem(i);
    }
    return nullptr;
}

void SiteSearchPanel::showReplaced(const QStringList &changed, const QHash<QString, QString> &problems, int count)
{
    for (const QString &path : changed) {
        if (QTreeWidgetItem *item = fileItem(path))
            item->setText(TextColumn, u"nahrazeno"_s);
    }
    for (auto it = problems.cbegin(); it != problems.cend(); ++it) {
        if (QTreeWidgetItem *item = fileItem(it.key())) {
            item->setText(TextColumn, it.value());
            item->setForeground(TextColumn, Qt::red);
        }
    }
    QString caption = u"Nahrazeno: %1 %2"_s.arg(matchCountText(count), inFilesText(changed.size()));
    if (!problems.isEmpty())
        caption += u", nezměněno souborů: %1 (důvod u souboru)"_s.arg(problems.size());
    Caption->setText(caption);
    // The lines and columns listed are those before the change: a new search shows the
    // site as it is now.
    ReplaceButton->setEnabled(false);
}

void SiteSearchPanel::choose(QTreeWidgetItem *item)
{
    if (!item)
        return;
    QTreeWidgetItem *file = item->parent() ? item->parent() : item;
    const QString path = file->data(PlaceColumn, FoundPathRole).toString();
    const auto it = std::find_if(m_results.cbegin(), m_results.cend(),
                                 [&path](const FileSearchResult &r) { return r.path == path; });
    if (it == m_results.cend() || it->matches.isEmpty())
        return;
    const int index = item->parent() ? item->data(PlaceColumn, FoundMatchRole).toInt() : 0;
    const TextMatch &m = it->matches.value(index);
    Q_EMIT matchChosen(path, m.line, m.column);
}
