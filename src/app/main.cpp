#include "interaction/Interaction.h"
#include "app/SmallWindows.h"
#include "app/SingleInstance.h"
#include "app/StartUp.h"
#include "app/DesktopIntegration.h"
#include "app/TForm1.h"

#include <QApplication>
#include <QDir>

int main(int argc, char **argv)
{
    // The embedded browser needs these when the program runs as root or without a GPU.
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    useCzechLocaleWhenNoneSet();
    QApplication app(argc, argv);
    // Files on the command line go to the instance already running, when there is one.
    const CommandLine command = parseCommandLine(app.arguments(), QDir::currentPath());
    InstanceServer instance;
    if (const std::optional<int> done = startOrHandOver(command, instance))
        return *done;
    return runProgram(app, command.checkInstall);
}
