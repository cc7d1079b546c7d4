#include "InsertTag.h"

#include "interaction/Interaction.h"
#include "app/TForm1.h"

#include <QHash>
#include <QListWidget>

using namespace Qt::StringLiterals;

namespace {

QHash<int, InsertCommandHandler> &handlers()
{
    static QHash<int, InsertCommandHandler> table;
    return table;
}

bool isExempt(int command)
{
    return command == 25 || command == 26 || command == 58 || command == 92;
}

} // namespace

void setInsertCommandHandler(int command, InsertCommandHandler handler)
{
    handlers().insert(command, std::move(handler));
}

bool caretInsideTag(TForm1 &window)
{
    EditorBuffer *b = window.activeBuffer();
    if (!b)
        return false;
    // Only the text around the caret is read, so the check costs the same in a long page.
    const int caret = b->SelStart();
    const int lt = b->lastIndexBefore(caret, u'<');
    if (lt < 0 || b->lastIndexBefore(caret, u'>') > lt)
        return false;
    const int gt = b->firstIndexFrom(caret, u'>');
    if (gt < 0)
        return false;
    const int nextLt = b->firstIndexFrom(caret, u'<');
    return nextLt < 0 || gt < nextLt;
}

bool CheckNotInsideTag(TForm1 &window)
{
    if (!window.settings().InsideTagCheck)
        return true;
    if (!caretInsideTag(window))
        return true;
    ui().showError(u"Nelze vkladat tag uvnitř tagu!"_s);
    return false;
}

void HideAttributeLists(TForm1 &window)
{
    window.ListBox1->hide();
    window.ListBox2->hide();
    window.ListBox3->hide();
}

void InsertTag(TForm1 &window, int command)
{
    TForm2 *doc = window.activeDocument();
    if (!doc)
        return;
    if (!isExempt(command) && !CheckNotInsideTag(window))
        return;
    InsertTexts texts;
    const auto handler = handlers().constFind(command);
    if (handler != handlers().constEnd() && command >= 1 && command <= 100)
        (*handler)(window, texts);
    // The command's step may have closed the document (a dialog can do anything).
    doc = window.activeDocument();
    if (!doc)
        return;
    if (!texts.opening.isEmpty() || !texts.closing.isEmpty())
        doc->RichEdit1->WrapSelection(window.settings().TAG, texts.opening, texts.closing);
    doc->RichEdit1->setFocus();
}
