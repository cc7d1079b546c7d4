#include "dialogs/RowTable.h"

#include "dialogs/ElementDialog.h"
#include "dialogs/FieldWidgets.h"
#include "interaction/Interaction.h"
#include "markup/SysUt.h"
#include "settings/TSettings.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Enter ends the typing of a cell, or starts it, and stays in the table: the dialog's
// default button is pressed only from the dialog's fields.
class RowTableView : public QTableWidget
{
public:
    RowTableView(int columns, QWidget *parent) : QTableWidget(0, columns, parent) {}

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
            QTableWidget::keyPressEvent(event);
            return;
        }
        if (state() != EditingState && currentIndex().isValid())
            edit(currentIndex());
        event->accept();
    }
};

} // namespace

QTableWidgetItem *rowTableCell(QTableWidget *table, int row, int column)
{
    QTableWidgetItem *item = table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        table->setItem(row, column, item);
    }
    return item;
}

RowTable rowTable(const QString &name, const QString &accessibleName, const QStringList &headers,
                  QWidget *parent)
{
    RowTable t;
    t.widget = new QWidget(parent);
    t.table = namedWidget(new RowTableView(int(headers.size()), t.widget), name);
    t.table->setHorizontalHeaderLabels(headers);
    t.table->setAccessibleName(accessibleName);
    // The first column holds a file's address, the others short words (a type, a language,
    // a box): they start as wide as their captions, the address takes the room they leave,
    // and the user may widen any of them.
    t.table->horizontalHeader()->setStretchLastSection(false);
    t.table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    t.table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < t.table->columnCount(); ++column)
        t.table->resizeColumnToContents(column);
    t.table->verticalHeader()->hide();
    t.table->setSelectionBehavior(QAbstractItemView::SelectRows);
    t.table->setSelectionMode(QAbstractItemView::SingleSelection);
    t.table->setMinimumHeight(90);
    t.table->setTabKeyNavigation(false);
    auto button = [&](const QString &suffix, const QString &caption) {
        auto *b = namedWidget(new QPushButton(caption, t.widget), name + suffix);
        b->setAutoDefault(false);
        return b;
    };
    t.addButton = button(u"Add"_s, u"Přidat"_s);
    t.fileButton = button(u"File"_s, u"Ze souboru…"_s);
    t.removeButton = button(u"Remove"_s, u"Odebrat"_s);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(t.addButton);
    buttons->addWidget(t.fileButton);
    buttons->addWidget(t.removeButton);
    buttons->addStretch();
    auto *row = new QHBoxLayout(t.widget);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(t.table, 1);
    row->addLayout(buttons);
    QTableWidget *table = t.table;
    QObject::connect(t.addButton, &QPushButton::clicked, table, [table] {
        const int r = appendTableRow(table, {});
        table->setFocus();
        table->editItem(rowTableCell(table, r, 0));
    });
    QObject::connect(t.removeButton, &QPushButton::clicked, table, [table] {
        if (table->currentRow() >= 0)
            table->removeRow(table->currentRow());
    });
    return t;
}

QString cellText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

int appendTableRow(QTableWidget *table, const QStringList &texts)
{
    const int r = table->rowCount();
    table->insertRow(r);
    for (int c = 0; c < table->columnCount(); ++c)
        rowTableCell(table, r, c)->setText(texts.value(c));
    // The short columns show what the new row says in them; the address takes the rest.
    for (int c = 1; c < table->columnCount(); ++c)
        table->resizeColumnToContents(c);
    table->setCurrentCell(r, 0);
    return r;
}

QString chooseReferencedFile(const DocumentContext &context, const QString &filter,
                             QString *chosenPath)
{
    if (!context.documentFileName)
        return {};
    const QString chosen = ui().openFileName(filter);
    if (chosen.isEmpty())
        return {};
    if (chosenPath)
        *chosenPath = chosen;
    return DocumentRelativePath(chosen, *context.documentFileName, context.settings.pathOptions());
}

