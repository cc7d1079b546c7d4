#include "commands/TableCommands.h"

#include "commands/ElementEdit.h"
#include "commands/ActiveDocumentContext.h"
#include "commands/InsertCommands.h"
#include "commands/InsideTag.h"
#include "commands/Workspace.h"
#include "dialogs/TableDialogs.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "markup/ElementContract.h"
#include "settings/TSettings.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The three pieces of the skeleton as commands 41, 42 and 43 write them just now.
struct SkeletonPieces
{
    Markup table, row, cell;
};

SkeletonPieces skeletonPieces(Workspace &w)
{
    auto piece = [&w](int command) {
        InsertArgs args;
        args.markup = tableWindowMarkup(w, command);
        return insertionMarkup(w, command, args).value_or(Markup{});
    };
    const Markup table = piece(41), row = piece(42), cell = piece(43);
    // As one text, so the cells take what the table's border and padding say.
    const QStringList written = writtenMarkup(w, QStringList{table.opening, row.opening, cell.opening,
                                                            cell.closing, row.closing, table.closing});
    return {{written[0], written[5]}, {written[1], written[4]}, {written[2], written[3]}};
}

qint64 skeletonLength(const SkeletonPieces &p, const TableGridFields &g)
{
    const auto size = [](const Markup &m) { return qint64(m.opening.size() + m.closing.size()); };
    const qint64 cell = size(p.cell) + 6; // the cell and its CR LF and four spaces
    const qint64 row = size(p.row) + qint64(qMax(g.columns, 0)) * cell + 2;
    return (g.noHeader ? 0 : size(p.table)) + qint64(qMax(g.rows, 0)) * row;
}

void skipPast(HtmlDocument &b, const QString &text)
{
    b.SetSelStart(b.SelStart() + int(text.size()));
}

} // namespace

TTableForm *createTableWindow(Workspace &w, QWidget *parent)
{
    return new TTableForm([&w] { return documentContext(w); }, parent);
}

std::optional<Markup> tableWindowMarkup(Workspace &w, int command)
{
    TTableForm *window = w.tableWindow();
    if (!window)
        return std::nullopt;
    switch (command) {
    case 41:
        return window->ComposeTable();
    case 42:
        return window->ComposeRow();
    case 43:
        return window->ComposeCell(u"TD"_s);
    case 44:
        return window->ComposeCell(u"TH"_s);
    }
    return std::nullopt;
}

std::optional<Markup> runTableGrid(Workspace &w)
{
    TForm21 dialog(w.tableWindow() != nullptr, w.dialogParent());
    dialog.acceptCheck = [&] { return w.roomForInsertion(skeletonLength(skeletonPieces(w), dialog.fields())); };
    if (ui().exec(dialog) == QDialog::Accepted)
        writeTableSkeleton(w, dialog.fields());
    return std::nullopt;
}

void writeTableSkeleton(Workspace &w, const TableGridFields &g)
{
    HtmlDocument *b = w.activeDocument();
    if (!b)
        return;
    const SkeletonPieces p = skeletonPieces(w);
    if (!w.roomForInsertion(skeletonLength(p, g)))
        return;
    const ColorValue tag = w.settings().TAG;
    // Each step keeps the inside-tag rule of its command; the first refusal ends the loop.
    HtmlDocument::EditGroup group(*b);
    if (!g.noHeader) {
        if (!CheckNotInsideTag(w))
            return;
        b->WrapSelection(tag, p.table.opening, p.table.closing);
    }
    for (int r = 0; r < g.rows; ++r) {
        if (!CheckNotInsideTag(w))
            return;
        b->WrapSelection(tag, p.row.opening, p.row.closing);
        for (int c = 0; c < g.columns; ++c) {
            if (!CheckNotInsideTag(w))
                return;
            b->WrapSelection(tag, p.cell.opening, p.cell.closing);
            skipPast(*b, p.cell.closing);
            b->InsertAtCaret(tag, u"\r\n    "_s);
        }
        skipPast(*b, p.row.closing);
        b->InsertAtCaret(tag, u"\r\n"_s);
    }
}

std::optional<QString> runTableEdit(Workspace &w, const QString &tag)
{
    const QString name = startTagName(tag);
    TTableForm *open = w.tableWindow();
    std::unique_ptr<TTableForm> own;
    if (!open)
        own.reset(createTableWindow(w, w.dialogParent()));
    TTableForm &form = open ? *open : *own;

    // Shown once with the page of the tag; used once, the window goes, the open one too.
    // A failed read shows nothing more: an open window stays as it was.
    const auto make = [&form, &name, open](Workspace &ws) {
        form.hide();
        form.setEditMode(name);
        return DialogHandle<TTableForm>(&form, [&ws, open](TTableForm *) {
            if (open)
                ws.closeTableWindow();
        });
    };
    // Values the tag does not set keep what the window shows.
    if (name == u"TABLE"_s)
        return editWith<TTableForm, TableFields>(w, readTableTag(tag, form.tableFields()),
                                                 {{}, make});
    if (name == u"TR"_s)
        return editWith<TTableForm, RowFields>(w, readRowTag(tag, form.rowFields()),
                                               {{}, make});
    return editWith<TTableForm, CellFields>(w, readCellTag(tag, form.cellFields()),
                                            {{}, make});
}
