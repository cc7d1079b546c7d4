#include "LinkAndTextCommands.h"

#include "interaction/Interaction.h"
#include "app/TForm1.h"
#include "commands/InsertCommands.h"
#include "commands/InsertTag.h"
#include "dialogs/LinkDialogs.h"
#include "dialogs/SpecialChars.h"
#include "dialogs/TextDialogs.h"
#include "markup/SysUt.h"

#include <QAction>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

DocumentContext documentContext(TForm1 &window)
{
    DocumentContext context{window.settings(), std::nullopt};
    if (TForm2 *doc = window.activeDocument())
        context.documentFileName = doc->FileName();
    return context;
}

// Selects the tag around the caret and returns it; without one the selection stays.
QString selectTagAtCaret(EditorBuffer &buffer)
{
    const QString text = buffer.GetText();
    const int caret = buffer.SelStart();
    const QString tag = TagAtPosition(text, caret);
    if (!tag.isEmpty()) {
        buffer.SetSelStart(int(text.lastIndexOf(u'<', caret - 1)));
        buffer.SetSelLength(int(tag.size()));
    }
    return tag;
}

void runFontDialog(TForm1 &window, InsertTexts &texts)
{
    TMyFontDialog dialog(&window);
    if (ui().exec(dialog) == QDialog::Accepted)
        texts = {dialog.OpeningMarkup, dialog.ClosingMarkup};
}

// The link goes in the link colour at once, so nothing is left for the tag colour.
void runLinkDialog(TForm1 &window, InsertTexts &)
{
    TLinkForm dialog(documentContext(window), &window);
    if (ui().exec(dialog) != QDialog::Accepted)
        return;
    if (EditorBuffer *buffer = window.activeBuffer())
        buffer->WrapSelection(window.settings().LINK, dialog.OpeningMarkup, dialog.ClosingMarkup);
}

// Edits the comment at the caret, or writes a new one; an emptied memo deletes it.
void runCommentDialog(TForm1 &window, InsertTexts &)
{
    EditorBuffer *buffer = window.activeBuffer();
    TForm10 dialog(&window);
    const QString tag = selectTagAtCaret(*buffer);
    if (const std::optional<QString> comment = readComment(tag))
        dialog.setCommentText(*comment);
    if (ui().exec(dialog) != QDialog::Accepted)
        return;
    buffer = window.activeBuffer();
    if (!buffer)
        return;
    EditorBuffer::EditGroup group(*buffer);
    buffer->ClearSelection();
    if (!dialog.OpeningMarkup.isEmpty())
        buffer->InsertAtCaret(window.settings().TAG, dialog.OpeningMarkup);
}

void runMetaDialog(TForm1 &window, InsertTexts &texts)
{
    TWRKForm2 dialog(&window);
    if (ui().exec(dialog) != QDialog::Accepted)
        return;
    EditorBuffer *buffer = window.activeBuffer();
    if (!buffer)
        return;
    if (dialog.fields().beforeHead) {
        const qsizetype head = buffer->GetText().indexOf(u"</HEAD>"_s, 0, Qt::CaseInsensitive);
        if (head >= 0)
            buffer->SetSelStart(int(head));
        else
            buffer->SetSelLength(0);
    }
    texts = {dialog.OpeningMarkup, dialog.ClosingMarkup};
}

// The counter dialog runs before command 22, which only puts in what it composed.
QString &pendingCounterMarkup()
{
    static QString markup;
    return markup;
}

void runCounterMenu(TForm1 &window)
{
    if (!window.activeDocument())
        return;
    TCounterForm dialog(&window);
    if (ui().exec(dialog) != QDialog::Accepted)
        return;
    pendingCounterMarkup() = dialog.OpeningMarkup;
    InsertTag(window, 22);
    pendingCounterMarkup().clear();
}

void showSpecialCharacters(TForm1 &window)
{
    QAction *item = window.action(u"ToolSpecialChars"_s);
    TForm19 *chars = window.findChild<TForm19 *>();
    if (!chars) {
        chars = new TForm19(&window);
        QObject::connect(chars, &TForm19::entityChosen, &window, [&window, chars] {
            InsertSpecialCharacter(window, chars->Result);
        });
        QObject::connect(chars, &QObject::destroyed, item, [item] { item->setChecked(false); });
    }
    chars->show();
    chars->raise();
    chars->activateWindow();
    item->setChecked(true);
}

} // namespace

void installLinkAndTextDialogs(TForm1 &window)
{
    setInsertCommandHandler(8, runFontDialog);
    setInsertCommandHandler(20, runLinkDialog);
    setInsertCommandHandler(22, [](TForm1 &, InsertTexts &texts) {
        texts.opening = pendingCounterMarkup();
    });
    setInsertCommandHandler(25, runCommentDialog);
    setInsertCommandHandler(45, runMetaDialog);

    TForm1 *w = &window;
    QObject::connect(window.action(u"InsCounter"_s), &QAction::triggered, w,
                     [w] { runCounterMenu(*w); });
    QAction *chars = window.action(u"ToolSpecialChars"_s);
    chars->setCheckable(true);
    QObject::connect(chars, &QAction::triggered, w, [w] { showSpecialCharacters(*w); });
}
