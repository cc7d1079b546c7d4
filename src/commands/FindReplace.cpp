#include "FindReplace.h"

#include "interaction/Interaction.h"
#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "dialogs/FindDialogs.h"
#include "markup/SysUt.h"

#include <QAction>

using namespace Qt::StringLiterals;

QList<int> OccurrencesFrom(const HtmlDocument &buffer, int offset, const QString &needle,
                           bool ignoreCase)
{
    QList<int> starts;
    if (needle.isEmpty())
        return starts;
    offset = std::clamp(offset, 0, buffer.textLength());
    QString text = buffer.textRange(offset, buffer.textLength() - offset);
    QString key = needle;
    if (ignoreCase) {
        text = CzechUpperCase(text);
        key = CzechUpperCase(key);
    }
    for (qsizetype i = text.indexOf(key); i >= 0; i = text.indexOf(key, i + key.size()))
        starts.append(offset + int(i));
    return starts;
}

namespace {

// One occurrence at a time, the user asked before each. A replacement that would not fit
// in the editor is refused with the message and ends the run; those the user took before
// it stay.
void replaceOneByOne(HtmlDocument &buffer, SearchState &state)
{
    const int length = int(state.replaceText.size());
    const QString question =
        u"Nahradit "_s + state.replaceText + u" za "_s + state.replacement + u" ?"_s;
    bool replacedBefore = false;
    for (;;) {
        const int at =
            buffer.findForward(state.replacePosition, state.replaceText, state.replaceIgnoresCase);
        if (at < 0)
            return;
        buffer.SetSelStart(at);
        buffer.SetSelLength(length);
        if (state.replaceAsks) {
            const auto answer = ui().ask(question, Interaction::Buttons::YesNoCancel);
            if (answer == Interaction::Answer::Cancel)
                return;
            if (answer == Interaction::Answer::No) {
                state.replacePosition = at + length;
                continue;
            }
        }
        const int before = buffer.textLength();
        if (!fitsInDocument(before - length + HtmlDocument::lengthOnceIn(state.replacement))) {
            ui().showError(doesNotFitMessage());
            return;
        }
        if (replacedBefore)
            buffer.replaceSelectionJoiningUndo(state.replacement);
        else
            buffer.ReplaceSelection(state.replacement);
        replacedBefore = true;
        state.replacePosition = at + length + (buffer.textLength() - before);
    }
}

} // namespace

void RunReplace(HtmlDocument &buffer, SearchState &state)
{
    if (state.replaceText.isEmpty())
        return;
    if (state.replaceAsks) {
        replaceOneByOne(buffer, state);
        return;
    }
    // Without questions the result is one left-to-right pass over the text as it was, so
    // all occurrences are found at once and replaced in one edit.
    const QList<int> starts = OccurrencesFrom(buffer, state.replacePosition, state.replaceText,
                                              state.replaceIgnoresCase);
    if (starts.isEmpty())
        return;
    const int length = int(state.replaceText.size());
    const int grown = int(state.replacement.size()) - length;
    // Replacements cut at the editor's limit would leave some occurrences replaced, some
    // cut and some not, without a word: the whole run is refused, the page unchanged.
    if (!buffer.replaceOccurrences(starts, length, state.replacement)) {
        if (!buffer.isReadOnly())
            ui().showError(doesNotFitMessage());
        return;
    }
    const int lastStart = starts.last() + grown * int(starts.size() - 1);
    state.replacePosition = lastStart + int(state.replacement.size());
    buffer.SetSelStart(state.replacePosition);
}

FindReplaceCommands::FindReplaceCommands(Workspace &workspace, QObject *parent)
    : QObject(parent)
    , m_workspace(workspace)
{
    setObjectName(u"FindReplaceCommands"_s);
}

void FindReplaceCommands::Find()
{
    HtmlDocument *buffer = m_workspace.activeDocument();
    if (!buffer)
        return;
    TMyFindDialog dialog(m_workspace.dialogParent());
    // The options open in their defaults each time; only the text carries over.
    dialog.setRequest({state.findText, false, true});
    if (ui().exec(dialog) != QDialog::Accepted)
        return;
    const FindRequest request = dialog.request();
    // From the caret the search starts after the selection: the occurrence found last is
    // still selected, and finding it once more would stop the search on the spot.
    state.findPosition = request.fromStart ? 0 : buffer->SelStart() + buffer->SelLength();
    state.findDocument = buffer;
    state.findText = request.text;
    state.findIgnoresCase = !request.matchCase;
    Q_EMIT findNextAvailable(true);
    FindNext();
}

void FindReplaceCommands::FindNext()
{
    HtmlDocument *buffer = m_workspace.activeDocument();
    if (!buffer)
        return;
    // "Najít další" in another window than the last search's goes on from the caret there:
    // the place the search reached belongs to the other page.
    if (state.findDocument.data() != buffer) {
        state.findDocument = buffer;
        state.findPosition = buffer->SelStart() + buffer->SelLength();
    }
    // Before the first search there is nothing to find, which reads as any failed search.
    const int at = state.findText.isEmpty()
                       ? -1
                       : buffer->findForward(state.findPosition, state.findText,
                                             state.findIgnoresCase);
    if (at < 0) {
        ui().showInfo(u"Hledaný text nenalezen !"_s);
        Q_EMIT findNextAvailable(false);
        return;
    }
    const int length = int(state.findText.size());
    buffer->SetSelStart(at);
    buffer->SetSelLength(length);
    state.findPosition = at + length;
    m_workspace.reportCaret(*buffer);
}

void FindReplaceCommands::Replace()
{
    HtmlDocument *buffer = m_workspace.activeDocument();
    if (!buffer)
        return;
    TMyReplaceDialog dialog(m_workspace.dialogParent());
    dialog.setRequest(
        {state.replaceText, state.replacement, !state.replaceIgnoresCase, true, state.replaceAsks});
    if (ui().exec(dialog) != QDialog::Accepted)
        return;
    const ReplaceRequest request = dialog.request();
    state.replacePosition = request.fromStart ? 0 : buffer->SelStart();
    state.replaceText = request.text;
    state.replacement = request.replacement;
    state.replaceIgnoresCase = !request.matchCase;
    state.replaceAsks = request.ask;
    RunReplace(*buffer, state);
    m_workspace.reportCaret(*buffer);
    ui().showInfo(u"Zaměňování bylo ukončeno!"_s);
}
