#include "app/CommandBindings.h"

#include "app/ProgramDir.h"
#include "app/TForm1.h"
#include "commands/DocumentLifecycle.h"
#include "commands/InsertCommands.h"
#include "commands/LinkAndTextCommands.h"
#include "commands/ScriptCommands.h"
#include "commands/TextTransforms.h"
#include "interaction/Interaction.h"
#include "publish/ftpklient.h"
#include "settings/SettingsDialog.h"

#include <QAction>

using namespace Qt::StringLiterals;

namespace {

// Runs fn whenever the menu action with this id is triggered.
template<class Fn>
void onAction(TForm1 &window, const char *id, Fn fn)
{
    QObject::connect(window.action(QLatin1StringView(id)), &QAction::triggered, &window,
                     std::move(fn));
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
    onAction(window, "ToolUpload", [&window] { ShowUploadWindow(&window); });
    onAction(window, "ToolScripter", [&window] { runScripter(window, programDir() + u"data"_s); });
    onAction(window, "ToolChannels", [&window] { runChannelWizard(window); });
}

} // namespace

void installCommands(TForm1 &window)
{
    installDocumentCommands(window);
    bindSettingsCommand(window);
    installInsertCommands(window);
    installLinkAndTextDialogs(window);
    installTextTransformCommands(window);
    bindToolCommands(window);
}
