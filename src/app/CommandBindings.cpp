#include "app/CommandBindings.h"

#include "app/PreviewBindings.h"
#include "app/ProgramDir.h"
#include "app/TForm1.h"
#include "app/TagPalette.h"
#include "app/UserCommandMenu.h"
#include "app/UserTagsWindow.h"
#include "app/PaletteBar.h"
#include "commands/ChosenInsertions.h"
#include "commands/DocumentLifecycle.h"
#include "commands/ElementTable.h"
#include "commands/FindReplace.h"
#include "commands/InsertTag.h"
#include "commands/ScriptCommands.h"
#include "dialogs/SettingsDialog.h"
#include "dialogs/SpecialChars.h"
#include "dialogs/TableDialogs.h"
#include "interaction/Interaction.h"

#include <QAction>
#include <QTabWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// Registers a command of the frame that needs neither the workspace nor the seam given.
template<class Fn>
void addFrameCommand(TForm1 &window, CommandId id, Fn fn)
{
    window.commands().add(id, [fn](Workspace &, Interaction &) { fn(); });
}

// The command toolbar's own insertion buttons.
void bindToolbarInsertions(TForm1 &window)
{
    const struct { const char *button; Insertion command; } buttons[] = {
        {"CommentButton", Insertion::Comment},
        {"ColorButton", Insertion::Color},
        {"WizardButton", Insertion::NewPageWizard},
    };
    for (const auto &b : buttons) {
        if (QToolButton *button = window.toolButton(QLatin1StringView(b.button))) {
            const Insertion command = b.command;
            QObject::connect(button, &QToolButton::clicked, &window,
                             [&window, command] { insertFromFrame(window, command); });
        }
    }
}

void bindDocumentCommands(TForm1 &window)
{
    DocumentManager &w = window.workspace();
    addFrameCommand(window, Cmd::FileNewFromTemplate,
        [&w] { runTemplateManager(w, programDir() + u"SABLONY/"_s); });
    addFrameCommand(window, Cmd::ToolScripter, [&w] { runScripter(w, programDir() + u"data"_s); });
}

void bindSearchCommands(TForm1 &window)
{
    auto *search = new FindReplaceCommands(window.workspace(), &window);
    addSearchCommands(window.commands(), *search);
    QObject::connect(search, &FindReplaceCommands::findNextAvailable,
                     window.action(Cmd::SearchFindNext), &QAction::setEnabled);
}

// The special-characters window stays beside the documents, one at a time; its check
// mark in the menu follows it.
void showSpecialCharacters(TForm1 &window)
{
    QAction *item = window.action(Cmd::ToolSpecialChars);
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
    // The action flips its own mark first; toggling sets it from the window again.
    window.action(Cmd::OptTableWindow)->setCheckable(true);
    QTabWidget *tabs = window.palette().tabs();
    QObject::connect(tabs, &QTabWidget::currentChanged, tabs,
                     [&window, tabs](int index) {
                         TTableForm *table = window.workspace().tableWindow();
                         if (table && tabs->tabText(index) == u"Tabulky"_s) {
                             // Brought to the front with the keyboard, not only shown there.
                             table->raise();
                             table->activateWindow();
                         }
                     });
}

void bindSettingsCommand(TForm1 &window)
{
    addFrameCommand(window, Cmd::OptSettings, [&window] {
        TSettingsForm dialog(window.settings(), &window);
        ui().exec(dialog);
        // Restored defaults count even after "Zpět".
        if (const std::optional<TSettings> chosen = dialog.chosenSettings())
            window.settingsModel().replace(*chosen);
    });
}

// The special-characters window keeps its check mark in the menu.
void bindToolCommands(TForm1 &window)
{
    window.action(Cmd::ToolSpecialChars)->setCheckable(true);
    addFrameCommand(window, Cmd::ToolSpecialChars, [&window] { showSpecialCharacters(window); });
}

} // namespace

void installCommands(TForm1 &window)
{
    setComponentListPath([] { return programDir() + u"data/activex.dat"_s; });
    bindDocumentCommands(window);
    bindSettingsCommand(window);
    installTagPalette(window);
    bindToolbarInsertions(window);
    bindSearchCommands(window);
    bindToolCommands(window);
    bindPreviewCommands(window);
    bindTableWindow(window);
    bindUserTags(window);
    bindUserCommands(window.mainMenu(), window.commands(), window.workspace());
}
