#include "TagTreePanel.h"

#include "app/DesktopIntegration.h"
#include "commands/Workspace.h"
#include "editor/EditorBuffer.h"
#include "editor/TForm2.h"
#include "interaction/Interaction.h"
#include "commands/InsertTag.h"
#include "markup/TagItemDrag.h"
#include "markup/TextFile.h"
#include "markup/TreeFile.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TagTreeView::TagTreeView(QWidget *parent)
    : QTreeWidget(parent)
{
    setObjectName(u"TreeView1"_s);
    setHeaderHidden(true);
    setIndentation(19);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
}

void TagTreeView::showEvent(QShowEvent *event)
{
    // The tree's own face is put on when it first shows: finding it slows the start, and
    // the page the tree is on is seldom the one shown then.
    if (font().family() != u"Arial"_s) {
        QFont arial(u"Arial"_s);
        arial.setPixelSize(12);
        setFont(arial);
    }
    QTreeWidget::showEvent(event);
}

QMimeData *TagTreeView::mimeData(const QList<QTreeWidgetItem *> &items) const
{
    QMimeData *data = QTreeWidget::mimeData(items);
    if (data && !items.isEmpty())
        putTagItem(*data, items.first()->text(0));
    return data;
}

void TagTreeView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT insertRequested();
        return;
    case Qt::Key_Escape:
        Q_EMIT leaveRequested();
        return;
    default:
        QTreeWidget::keyPressEvent(event);
    }
}

TagTreePanel::TagTreePanel(Workspace &workspace, QWidget *parent)
    : QWidget(parent)
    , m_frame(workspace)
{
    setObjectName(u"TagTreePanel"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    createBar();
    FilterEdit = new QLineEdit(this);
    FilterEdit->setObjectName(u"FilterEdit"_s);
    FilterEdit->setPlaceholderText(u"Hledat tag nebo parametr"_s);
    FilterEdit->setAccessibleName(u"Hledat tag nebo parametr"_s);
    // The clear button shows only over text; its icon is looked up in the desktop's icon
    // theme, which takes longer than the rest of the panel, so it is made with the first text.
    connect(FilterEdit, &QLineEdit::textChanged, FilterEdit, [edit = FilterEdit] {
        if (!edit->isClearButtonEnabled())
            edit->setClearButtonEnabled(true);
    });
    layout->addWidget(FilterEdit);
    TreeView1 = new TagTreeView(this);
    layout->addWidget(TreeView1, 1);
    setFocusProxy(TreeView1);

    connect(TreeView1, &TagTreeView::insertRequested, this, &TagTreePanel::insertSelected);
    connect(TreeView1, &TagTreeView::leaveRequested, this, [this] {
        if (HtmlDocument *doc = m_frame.activeDocument())
            m_frame.focusDocument(*doc);
    });
    connect(FilterEdit, &QLineEdit::textChanged, this, &TagTreePanel::filterTree);
    // Enter takes the keyboard to the first node found, ready for the next Enter.
    connect(FilterEdit, &QLineEdit::returnPressed, this, [this] {
        for (int i = 0; i < TreeView1->topLevelItemCount(); ++i) {
            QTreeWidgetItem *item = TreeView1->topLevelItem(i);
            if (!item->isHidden()) {
                TreeView1->setCurrentItem(item);
                TreeView1->setFocus();
                return;
            }
        }
    });
    connect(TreeView1, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem *item) { showExpandPicture(item); });
    connect(TreeView1, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem *item) { showExpandPicture(item); });
    connect(TreeView1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *item) { showExpandPicture(item); });
}

void TagTreePanel::createBar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(u"TagTreeBar"_s);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    auto button = [bar, row](const QString &name, const QString &icon) {
        auto *b = new QToolButton(bar);
        b->setObjectName(name);
        b->setIcon(pngIcon(icon));
        b->setAutoRaise(true);
        row->addWidget(b);
        return b;
    };
    InsertButton = button(u"InsertButton"_s, u":/logo/insert.png"_s);
    InsertButton->setToolTip(u"Vloží aktuální tag nebo jeho parametry"_s);
    InsertButton->setStatusTip(InsertButton->toolTip());
    ExpandButton = button(u"ExpandButton"_s, u":/logo/expand.png"_s);
    ExpandButton->setToolTip(u"Rozbalí parametry aktuálního tagu"_s);
    ExpandButton->setStatusTip(ExpandButton->toolTip());
    ExpandedPicture = button(u"ExpandedPicture"_s, u":/logo/collapse.png"_s);
    CollapsedPicture = button(u"CollapsedPicture"_s, u":/logo/expand.png"_s);
    ExpandedPicture->hide();
    CollapsedPicture->hide();
    row->addStretch(1);
    static_cast<QVBoxLayout *>(layout())->addWidget(bar);

    connect(InsertButton, &QToolButton::clicked, this, &TagTreePanel::insertSelected);
    connect(ExpandButton, &QToolButton::clicked, this, &TagTreePanel::toggleSelected);
}

QString TagTreePanel::levelErrorText(int depth, const QString &text)
{
    return u"Invalid level (%1) for item \"%2\""_s.arg(depth).arg(text);
}

QString TagTreePanel::load(const QString &path)
{
    const TextFileResult file = readTextFile(path);
    if (!file.ok) {
        TreeView1->clear();
        return path + u": "_s + file.error;
    }
    return loadText(file.text);
}

QString TagTreePanel::loadText(const QString &text)
{
    const TreeFileResult read = parseTreeText(text, &TagTreePanel::levelErrorText);
    TreeView1->clear();
    QList<QTreeWidgetItem *> items;
    for (const TreeFileNode &node : read.nodes) {
        auto *item = node.parent < 0 ? new QTreeWidgetItem(TreeView1)
                                     : new QTreeWidgetItem(items[node.parent]);
        item->setText(0, node.text);
        items.append(item);
    }
    // A tree read again keeps to what the box asks for.
    if (!FilterEdit->text().trimmed().isEmpty())
        filterTree(FilterEdit->text());
    return read.error;
}

void TagTreePanel::insertSelected()
{
    const QTreeWidgetItem *item = TreeView1->currentItem();
    if (!item || !m_frame.activeDocument())
        return;
    InsertArgs args;
    args.item = item->text(0);
    InsertTag(m_frame, 92, args);
}

void TagTreePanel::toggleSelected()
{
    QTreeWidgetItem *item = TreeView1->currentItem();
    if (!item)
        return;
    item->setExpanded(!item->isExpanded());
    showExpandPicture(item);
}

void TagTreePanel::filterTree(const QString &part)
{
    const QString wanted = part.trimmed();
    auto found = [&wanted](const QTreeWidgetItem *item) {
        return tagTreeNodeName(item->text(0)).contains(wanted, Qt::CaseInsensitive);
    };
    for (int i = 0; i < TreeView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem *element = TreeView1->topLevelItem(i);
        const bool elementFound = wanted.isEmpty() || found(element);
        bool attributeFound = false;
        for (int c = 0; c < element->childCount(); ++c) {
            QTreeWidgetItem *attribute = element->child(c);
            const bool hit = !wanted.isEmpty() && found(attribute);
            attribute->setHidden(!elementFound && !hit);
            attributeFound = attributeFound || hit;
        }
        element->setHidden(!elementFound && !attributeFound);
        element->setExpanded(attributeFound);
    }
}

void TagTreePanel::showExpandPicture(const QTreeWidgetItem *item)
{
    const bool expanded = item && item->isExpanded();
    ExpandButton->setIcon((expanded ? ExpandedPicture : CollapsedPicture)->icon());
}

TagTreePanel *installTagTreePanel(Workspace &workspace, QWidget &page)
{
    auto *panel = new TagTreePanel(workspace, &page);
    page.layout()->setContentsMargins(0, 0, 0, 0);
    page.layout()->addWidget(panel);
    page.setFocusProxy(panel->TreeView1);
    return panel;
}

void loadTagTreeFile(TagTreePanel &panel, const QString &path)
{
    if (const QString error = panel.load(path); !error.isEmpty())
        ui().showError(error);
}
