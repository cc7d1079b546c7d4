#include "FileCommands.h"

#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "editor/HtmlDocument.h"
#include "markup/FileReferences.h"
#include "markup/MarkupStyle.h"
#include "markup/SysUt.h"
#include "settings/TSettings.h"

#include <QFileInfo>

namespace {

void focusEditor(Workspace &workspace)
{
    if (HtmlDocument *buffer = workspace.activeDocument())
        workspace.focusDocument(*buffer);
}

} // namespace

QString fileReference(Workspace &workspace, const QString &filePath)
{
    const HtmlDocument *doc = workspace.activeDocument();
    if (!doc)
        return {};
    return DocumentRelativePath(filePath, doc->FileName(), workspace.settings().pathOptions());
}

void InsertFileAsLink(Workspace &workspace, const QString &filePath)
{
    HtmlDocument *buffer = workspace.activeDocument();
    if (!buffer)
        return;
    const QString reference = fileReference(workspace, filePath);
    const int start = buffer->SelStart();
    buffer->SetSelLength(0);
    buffer->ReplaceSelection(reference);
    buffer->SetSelStart(start);
    buffer->SetSelLength(int(reference.size()));
    const Markup link = fileLinkMarkup(reference);
    buffer->WrapSelection(workspace.settings().LINK, link.opening, link.closing);
    focusEditor(workspace);
}

void InsertFileAsTag(Workspace &workspace, const QString &filePath)
{
    HtmlDocument *buffer = workspace.activeDocument();
    if (!buffer)
        return;
    const MarkupStyle style = workspace.settings().markupStyle();
    const Markup markup = inStyle(style, fileTagMarkup(fileReference(workspace, filePath), filePath, style));
    buffer->WrapSelection(workspace.settings().TAG, markup.opening, markup.closing);
    focusEditor(workspace);
}

void InsertFileName(Workspace &workspace, const QString &filePath, bool relative)
{
    HtmlDocument *buffer = workspace.activeDocument();
    if (!buffer)
        return;
    const QString text =
        relative ? fileReference(workspace, filePath) : QFileInfo(filePath).fileName();
    const bool inTag = !TagAtPosition(buffer->GetText(), buffer->SelStart()).isEmpty();
    const TSettings &settings = workspace.settings();
    buffer->InsertAtCaret(inTag ? settings.TAG : settings.TEXT, text);
    focusEditor(workspace);
}
