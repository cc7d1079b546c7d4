#include "app/CommandBindings.h"

#include "app/PreviewBindings.h"
#include "app/ProgramDir.h"
#include "app/TForm1.h"
#include "app/TagPalette.h"
#include "app/UserCommandMenu.h"
#include "app/UserTagsWindow.h"
#include "commands/DocumentLifecycle.h"
#include "commands/EditCurrentTag.h"
#include "commands/ElementTable.h"
#include "commands/FindReplace.h"
#include "commands/ChosenInsertions.h"
#include "commands/InsertCommands.h"
#include "commands/InsertTag.h"
#include "commands/ScriptCommands.h"
#include "commands/SiteCheckCommands.h"
#include "commands/StyleCommands.h"
#include "commands/TextTransforms.h"
#include "dialogs/SpecialChars.h"
#include "commands/ToolCommands.h"
#include "interaction/Interaction.h"
#include "markup/SysUt.h"
#include "publish/ftpklient.h"
#include "dialogs/SettingsDialog.h"
#include "dialogs/TableDialogs.h"

#include <QAction>
#include <QTabWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// Runs fn whenever the menu action with this id is triggered.
template<class Fn>
void onAction(TForm1 &window, const char *id, Fn fn)
{
    QObject::connect(window.action(QLatin1StringView(id)), &QAction::triggered, &window,
                     std::move(fn));
}

struct Trigger
{
    const char *id;
    int command;
};

// Menu items, in menu order; where two share a key the first keeps it (the menu decides).
// "&Počítadlo" is not here: it shows its dialog before command 22 runs.
constexpr Trigger kMenuTriggers[] = {
    {"EditInsertFile", 93},
    {"InsNbsp", 96},          {"InsCopyright", 97},  {"InsRegistered", 98},
    {"InsTrademark", 99},     {"InsH1", 76},         {"InsH2", 77},
    {"InsH3", 78},            {"InsH4", 79},         {"InsH5", 80},
    {"InsH6", 81},            {"InsTagA", 20},       {"InsTagBlockquote", 14},
    {"InsTagCenter", 13},     {"InsTagTd", 43},      {"InsTagFont", 8},
    {"InsTagHr", 47},         {"InsTagImg", 40},     {"InsTagTr", 42},
    {"InsTagTable", 41},      {"InsColor", 26},      {"InsQvtLink", 21},
    {"InsDate", 73},          {"InsTime", 74},
    {"InsLastEdit", 75},      {"HidBold", 1},        {"HidImage", 40},
    {"HidSound", 48},         {"HidItalic", 2},      {"HidLink", 20},
    {"HidListItem", 37},      {"HidFont", 8},        {"HidForm", 62},
    {"HidTT", 5},             {"HidUnderline", 4},   {"HidUL", 37},
};

constexpr Trigger kToolbarTriggers[] = {
    {"CommentButton", 25},
    {"ColorButton", 26},
    {"WizardButton", 86},
};

void bindInsertCommands(TForm1 &window)
{
    installTagPalette(window);
    for (const Trigger &t : kMenuTriggers) {
        const int command = t.command;
        onAction(window, t.id, [&window, command] { insertFromFrame(window, command); });
    }
    for (const Trigger &t : kToolbarTriggers) {
        if (QToolButton *button = window.toolButton(QLatin1StringView(t.id))) {
            const int command = t.command;
            QObject::connect(button, &QToolButton::clicked, &window,
                             [&window, command] { insertFromFrame(window, command); });
        }
    }
    onAction(window, "InsCounter", [&window] { runCounterMenu(window.workspace()); });
}

void bindDocumentCommands(TForm1 &window)
{
    onAction(window, "FileNew", [&window] {
        if (window.workspace().NewDocumentWindow())
            InsertTag(window.workspace(), 86);
    });
    onAction(window, "FileNewFromTemplate",
             [&window] { runTemplateManager(window.workspace(), programDir() + u"SABLONY/"_s); });
    onAction(window, "FileOpen", [&window] { openDocumentFile(window.workspace()); });
    onAction(window, "FileSave", [&window] {
        if (HtmlDocument *doc = window.workspace().activeDocument())
            SaveDocument(window.workspace(), *doc);
    });
    onAction(window, "FileSaveAs", [&window] {
        if (HtmlDocument *doc = window.workspace().activeDocument())
            SaveDocumentAs(window.workspace(), *doc);
    });
    onAction(window, "FilePrint", [&window] { printActiveDocument(window.workspace()); });
    onAction(window, "FilePrintSetup", [&window] {
        if (window.workspace().activeDocument())
            ui().printSetup(documentPrinter(window.workspace()));
    });
    onAction(window, "FileClose", [&window] { closeActiveDocument(window.workspace()); });
    onAction(window, "FileCloseAll", [&window] { closeAllDocuments(window.workspace()); });
}

void bindEditCommands(TForm1 &window)
{
    auto onBuffer = [&window](const char *id, auto command) {
        onAction(window, id, [&window, command] {
            if (HtmlDocument *b = window.workspace().activeDocument())
                command(*b);
        });
    };
    auto transform = [&onBuffer](const char *id, TextTransform f) {
        onBuffer(id, [f](HtmlDocument &b) { ApplyToSelectionOrWhole(b, f); });
    };
    onBuffer("EditSelectTag", [](HtmlDocument &b) { b.SelectTagAtCaret(); });
    onBuffer("EditDeleteTag", [](HtmlDocument &b) { DeleteCurrentTag(b); });
    transform("EditUpper", &CzechUpperCase);
    transform("EditLower", &CzechLowerCase);
    transform("EditStripTags", &StripTags);
    transform("EditRemoveSpaces", &RemoveSpacesOutsideTags);
    transform("SearchSlashes", &SlashesInQuotes);
    onAction(window, "EditCurrentTag", [&window] { EditCurrentTag(window.workspace()); });

    auto *search = new FindReplaceCommands(window.workspace(), &window);
    QObject::connect(window.action(u"SearchFind"_s), &QAction::triggered, search,
                     &FindReplaceCommands::Find);
    QObject::connect(window.action(u"SearchFindNext"_s), &QAction::triggered, search,
                     &FindReplaceCommands::FindNext);
    QObject::connect(search, &FindReplaceCommands::findNextAvailable,
                     window.action(u"SearchFindNext"_s), &QAction::setEnabled);
    QObject::connect(window.action(u"SearchReplace"_s), &QAction::triggered, search,
                     &FindReplaceCommands::Replace);
}

// The special-characters window stays beside the documents, one at a time; its check
// mark in the menu follows it.
void showSpecialCharacters(TForm1 &window)
{
    QAction *item = window.action(u"ToolSpecialChars"_s);
    TForm19 *chars = window.findChild<TForm19 *>();
    if (!chars) {
        chars = new TForm19(&window);
        placeToolWindow(*chars);
        QObject::connect(chars, &TForm19::entityChosen, &window, [&window, chars] {
            InsertSpecialCharacter(window.workspace(), chars->Result);
        });
        QObject::connect(chars, &QObject::destroyed, item, [item] { item->setChecked(false); });
    }
    chars->show();
    chars->raise();
    chars->activateWindow();
    item->setChecked(true);
}

// F6 opens and closes the table window; the palette's "Tabulky" tab brings an open one
// forward and gives it the keyboard.
void bindTableWindow(TForm1 &window)
{
    QAction *item = window.action(u"OptTableWindow"_s);
    item->setCheckable(true);
    // The action flips its own mark first; toggling sets it from the window again.
    QObject::connect(item, &QAction::triggered, &window, [&window] { window.toggleTableWindow(); });
    QObject::connect(window.PageControl2, &QTabWidget::currentChanged, &window,
                     [&window](int index) {
                         TTableForm *table = window.workspace().tableWindow();
                         if (table && window.PageControl2->tabText(index) == u"Tabulky"_s) {
                             // Brought to the front with the keyboard, not only shown there.
                             table->raise();
                             table->activateWindow();
                         }
                     });
}

void bindSettingsCommand(TForm1 &window)
{
    onAction(window, "OptSettings", [&window] {
        TSettingsForm dialog(window.settings(), &window);
        const bool confirmed = ui().exec(dialog) == QDialog::Accepted;
        // Restored defaults are in the record even after "Zpět", so they are applied too.
        if (confirmed || dialog.defaultsRestored())
            window.ApplySettings();
    });
}

// The tools of the "Nástroje" menu and its "Speciální nástroje" submenu.
void bindToolCommands(TForm1 &window)
{
    onAction(window, "ToolUpload", [&window] { ShowUploadWindowWithCheck(window.workspace()); });
    onAction(window, "ToolSiteCheck", [&window] { RunSiteCheck(window.workspace()); });
    QAction *chars = window.action(u"ToolSpecialChars"_s);
    chars->setCheckable(true);
    onAction(window, "ToolSpecialChars", [&window] { showSpecialCharacters(window); });
    onAction(window, "ToolLinkAnalyzer", [&window] { RunLinkAnalyzer(window.workspace()); });
    onAction(window, "ToolDownloadTimes", [&window] { RunDownloadTimes(window.workspace()); });
    onAction(window, "ToolScripter",
             [&window] { runScripter(window.workspace(), programDir() + u"data"_s); });
    onAction(window, "ToolChannels", [&window] { runChannelWizard(window.workspace()); });
    onAction(window, "ToolStyleBuilder", [&window] { RunStyleBuilder(window.workspace()); });
    onAction(window, "ToolGradient", [&window] { RunGradient(window.workspace()); });
    onAction(window, "ToolFrames", [&window] { insertFromFrame(window, 95); });
}

} // namespace

void installCommands(TForm1 &window)
{
    setComponentListPath([] { return programDir() + u"data/activex.dat"_s; });
    bindDocumentCommands(window);
    bindSettingsCommand(window);
    bindInsertCommands(window);
    bindEditCommands(window);
    bindToolCommands(window);
    bindPreviewCommands(window);
    bindTableWindow(window);
    bindUserTags(window);
    bindUserCommands(window.mainMenu(), window.workspace());
}
