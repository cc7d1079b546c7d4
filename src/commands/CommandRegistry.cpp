#include "commands/CommandRegistry.h"

#include "commands/ChosenInsertions.h"
#include "commands/DocumentLifecycle.h"
#include "commands/EditCurrentTag.h"
#include "commands/FindReplace.h"
#include "commands/InsertTag.h"
#include "commands/InsideTag.h"
#include "commands/ScriptCommands.h"
#include "commands/SiteCheckCommands.h"
#include "commands/StyleCommands.h"
#include "commands/TableCommands.h"
#include "commands/TextTransforms.h"
#include "commands/ToolCommands.h"
#include "commands/UserCommandActions.h"
#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "preview/WebBrowser.h"
#include "settings/TSettings.h"

using namespace Qt::StringLiterals;

void CommandRegistry::add(CommandId id, Command command)
{
    m_commands.insert(id.toString(), std::move(command));
}

bool CommandRegistry::run(CommandId id, Workspace &workspace, Interaction &interaction) const
{
    return run(id.toString(), workspace, interaction);
}

namespace {

// The commands ask through the installed seam; the given one answers for this run.
template<class Fn>
void runAnswering(Interaction &interaction, Fn fn)
{
    Interaction *previous = &ui() == &interaction ? nullptr : setInteraction(&interaction);
    fn();
    if (previous)
        setInteraction(previous);
}

} // namespace

bool CommandRegistry::run(const QString &id, Workspace &workspace, Interaction &interaction) const
{
    const auto it = m_commands.constFind(id);
    if (it == m_commands.cend())
        return false;
    runAnswering(interaction, [&] { it.value()(workspace, interaction); });
    return true;
}

void CommandRegistry::run(Insertion command, Workspace &workspace, Interaction &interaction,
                          const InsertArgs &args) const
{
    runAnswering(interaction, [&] { runInsertion(workspace, command, args); });
}

void runInsertion(Workspace &workspace, Insertion command, InsertArgs args)
{
    const int n = number(command);
    if (n >= number(Insertion::Table) && n <= number(Insertion::TableHeaderCell))
        args.markup = tableWindowMarkup(workspace, n);
    InsertTag(workspace, n, args);
}

void addSearchCommands(CommandRegistry &registry, FindReplaceCommands &search)
{
    registry.add(Cmd::SearchFind, [&search](Workspace &, Interaction &) { search.Find(); });
    registry.add(Cmd::SearchFindNext,
                 [&search](Workspace &, Interaction &) { search.FindNext(); });
    registry.add(Cmd::SearchReplace, [&search](Workspace &, Interaction &) { search.Replace(); });
}

namespace {

void addInsertion(CommandRegistry &r, CommandId id, Insertion command)
{
    r.add(id, [command](Workspace &w, Interaction &) { runInsertion(w, command); });
}

// Runs an operation on the active document; nothing without a document. The status bar
// shows where the caret ends: run from the menu or a button, no key is left to report it
// (the menu's hints emptied that panel meanwhile).
template<class Fn>
void addBufferCommand(CommandRegistry &r, CommandId id, Fn fn)
{
    r.add(id, [fn](Workspace &w, Interaction &) {
        if (HtmlDocument *d = w.activeDocument()) {
            fn(*d);
            w.reportCaret(*d);
        }
    });
}

void addDocumentCommands(CommandRegistry &r)
{
    // A new document starts with the new-page wizard.
    r.add(Cmd::FileNew, [](Workspace &w, Interaction &) {
        if (w.NewDocumentWindow())
            InsertTag(w, number(Insertion::NewPageWizard));
    });
    r.add(Cmd::FileOpen, [](Workspace &w, Interaction &) { openDocumentFile(w); });
    r.add(Cmd::FileSave, [](Workspace &w, Interaction &) {
        if (HtmlDocument *doc = w.activeDocument())
            SaveDocument(w, *doc);
    });
    r.add(Cmd::FileSaveAs, [](Workspace &w, Interaction &) {
        if (HtmlDocument *doc = w.activeDocument())
            SaveDocumentAs(w, *doc);
    });
    r.add(Cmd::FilePrint, [](Workspace &w, Interaction &) { printActiveDocument(w); });
    r.add(Cmd::FilePrintSetup, [](Workspace &w, Interaction &seam) {
        if (w.activeDocument())
            seam.printSetup(documentPrinter(w));
    });
    r.add(Cmd::FileClose, [](Workspace &w, Interaction &) { closeActiveDocument(w); });
    r.add(Cmd::FileCloseAll, [](Workspace &w, Interaction &) { closeAllDocuments(w); });
}

// Copy and Select all act on what the user sees: the preview page while it covers the
// documents.
void addShownCommand(CommandRegistry &r, CommandId id, bool copy)
{
    r.add(id, [copy](Workspace &w, Interaction &) {
        if (w.documentAreaCovered()) {
            if (WebBrowser *browser = w.documentAreaBrowser())
                copy ? browser->copySelection() : browser->selectAll();
        } else if (HtmlDocument *b = w.activeDocument()) {
            copy ? b->CopyToClipboard() : b->SelectAll();
        }
    });
}

void addEditCommands(CommandRegistry &r)
{
    addBufferCommand(r, Cmd::EditUndo, [](HtmlDocument &b) { b.Undo(); });
    addBufferCommand(r, Cmd::EditCut, [](HtmlDocument &b) { b.CutToClipboard(); });
    addShownCommand(r, Cmd::EditCopy, true);
    addShownCommand(r, Cmd::HidCopy, true);
    addBufferCommand(r, Cmd::EditPaste, [](HtmlDocument &b) { b.PasteFromClipboard(); });
    addBufferCommand(r, Cmd::HidPaste, [](HtmlDocument &b) { b.PasteFromClipboard(); });
    addBufferCommand(r, Cmd::EditDelete, [](HtmlDocument &b) { b.ClearSelection(); });
    addShownCommand(r, Cmd::EditSelectAll, false);
    addBufferCommand(r, Cmd::EditSelectTag, [](HtmlDocument &b) { selectWholeTagAtCaret(b); });
    addBufferCommand(r, Cmd::EditDeleteTag, [](HtmlDocument &b) { DeleteCurrentTag(b); });
    addBufferCommand(r, Cmd::EditGoToPairTag, [](HtmlDocument &b) { GoToPairTag(b); });
    const struct { CommandId id; TextTransform transform; } transforms[] = {
        {Cmd::EditUpper, &CzechUpperCase},         {Cmd::EditLower, &CzechLowerCase},
        {Cmd::EditStripTags, &StripTags},          {Cmd::EditRemoveSpaces, &RemoveSpacesOutsideTags},
        {Cmd::SearchSlashes, &SlashesInQuotes},
    };
    for (const auto &t : transforms) {
        const TextTransform f = t.transform;
        addBufferCommand(r, t.id, [f](HtmlDocument &b) { ApplyToSelectionOrWhole(b, f); });
    }
    r.add(Cmd::EditCurrentTag, [](Workspace &w, Interaction &) { EditCurrentTag(w); });
}

void addInsertCommands(CommandRegistry &r)
{
    // Menu items, in menu order; where two share a key the first keeps it (the menu decides).
    // "&Počítadlo" shows its dialog before the counter's insertion runs.
    const struct { CommandId id; Insertion command; } items[] = {
        {Cmd::EditInsertFile, Insertion::InsertFile}, {Cmd::InsNbsp, Insertion::Nbsp},
        {Cmd::InsCopyright, Insertion::Copyright},    {Cmd::InsRegistered, Insertion::Registered},
        {Cmd::InsTrademark, Insertion::Trademark},    {Cmd::InsH1, Insertion::Heading1},
        {Cmd::InsH2, Insertion::Heading2},            {Cmd::InsH3, Insertion::Heading3},
        {Cmd::InsH4, Insertion::Heading4},            {Cmd::InsH5, Insertion::Heading5},
        {Cmd::InsH6, Insertion::Heading6},            {Cmd::InsTagA, Insertion::Link},
        {Cmd::InsTagBlockquote, Insertion::Blockquote}, {Cmd::InsTagCenter, Insertion::Center},
        {Cmd::InsTagTd, Insertion::TableCell},        {Cmd::InsTagFont, Insertion::Font},
        {Cmd::InsTagHr, Insertion::HorizontalLine},   {Cmd::InsTagImg, Insertion::Image},
        {Cmd::InsTagTr, Insertion::TableRow},         {Cmd::InsTagTable, Insertion::Table},
        {Cmd::InsColor, Insertion::Color},            {Cmd::InsQvtLink, Insertion::HomePageLink},
        {Cmd::InsDate, Insertion::Date},              {Cmd::InsTime, Insertion::Time},
        {Cmd::InsLastEdit, Insertion::LastEdit},      {Cmd::HidBold, Insertion::Bold},
        {Cmd::HidImage, Insertion::Image},            {Cmd::HidSound, Insertion::Sound},
        {Cmd::HidItalic, Insertion::Italic},          {Cmd::HidLink, Insertion::Link},
        {Cmd::HidListItem, Insertion::ListItem},      {Cmd::HidFont, Insertion::Font},
        {Cmd::HidForm, Insertion::Form},              {Cmd::HidTT, Insertion::Teletype},
        {Cmd::HidUnderline, Insertion::Underline},    {Cmd::HidUL, Insertion::ListItem},
        {Cmd::ToolFrames, Insertion::FrameGenerator},
    };
    for (const auto &item : items)
        addInsertion(r, item.id, item.command);
    r.add(Cmd::InsCounter, [](Workspace &w, Interaction &) { runCounterMenu(w); });
    r.add(Cmd::OptTableWindow, [](Workspace &w, Interaction &) { w.toggleTableWindow(); });
}

void addToolCommands(CommandRegistry &r)
{
    r.add(Cmd::ToolUpload, [](Workspace &w, Interaction &) { ShowUploadWindowWithCheck(w); });
    r.add(Cmd::ToolSiteCheck, [](Workspace &w, Interaction &) { RunSiteCheck(w); });
    r.add(Cmd::ToolLinkAnalyzer, [](Workspace &w, Interaction &) { RunLinkAnalyzer(w); });
    // "Kontrola dokumentu" (F5) checks the page's links and files: the analyser, from the
    // keyboard (pressed, it did nothing at all).
    r.add(Cmd::ToolDocCheck, [](Workspace &w, Interaction &) { RunLinkAnalyzer(w); });
    r.add(Cmd::ToolDownloadTimes, [](Workspace &w, Interaction &) { RunDownloadTimes(w); });
    r.add(Cmd::ToolChannels, [](Workspace &w, Interaction &) { runChannelWizard(w); });
    r.add(Cmd::ToolStyleBuilder, [](Workspace &w, Interaction &) { RunStyleBuilder(w); });
    r.add(Cmd::ToolGradient, [](Workspace &w, Interaction &) { RunGradient(w); });
    for (int slot = 1; slot <= int(std::size(Cmd::UserCmd)); ++slot) {
        r.add(Cmd::UserCmd[slot - 1],
              [slot](Workspace &w, Interaction &) { RunUserCommand(w, slot); });
    }
    // Items that do nothing: they are in the menu as the program has always shown them.
    for (CommandId id : {Cmd::HelpUsage, Cmd::HelpSyntax, Cmd::HidTrimLeft})
        r.add(id, [](Workspace &, Interaction &) {});
}

} // namespace

void addWorkspaceCommands(CommandRegistry &registry)
{
    addDocumentCommands(registry);
    addEditCommands(registry);
    addInsertCommands(registry);
    addToolCommands(registry);
}
