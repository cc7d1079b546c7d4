#include "interaction/Interaction.h"
#include "app/StartUpWindow.h"
#include "app/SingleInstance.h"
#include "app/StartUp.h"
#include "app/DesktopIntegration.h"
#include "app/TForm1.h"

#include <QApplication>
#include <QDir>
#include <QScopeGuard>

#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <thread>

#include <unistd.h>

namespace {

// The preview renders pages that may load remote scripts, so the browser keeps its sandbox.
// Chromium refuses to start sandboxed as root; only then is it switched off, and said once.
void prepareBrowserFlags()
{
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.isEmpty())
        flags = "--disable-gpu";
    if (geteuid() == 0 && !flags.contains("--no-sandbox")) {
        flags += " --no-sandbox";
        std::fputs("brisko-editor: running as root, the preview runs without the browser "
                   "sandbox\n",
                   stderr);
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    // A browser that draws without the graphics card needs no OpenGL in Qt to show its
    // pictures; loading it (a software OpenGL with its shader compiler) took most of the
    // first preview. Settings of the user's own stay.
    if (flags.contains("--disable-gpu")) {
        if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
            qputenv("QT_XCB_GL_INTEGRATION", "none");
        if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
            qputenv("QT_QUICK_BACKEND", "software");
    }
}

} // namespace

int main(int argc, char **argv)
{
    // Before the first text is drawn, fontconfig reads its configuration and the font
    // caches; on another core that is done while Qt connects to the display.
    std::thread fonts([] { FcInit(); });
    auto fontsRead = qScopeGuard([&fonts] {
        if (fonts.joinable())
            fonts.join();
    });
    prepareBrowserFlags();
    useCzechLocaleWhenNoneSet();
    QApplication app(argc, argv);
    // Files on the command line go to the instance already running, when there is one.
    const CommandLine command = parseCommandLine(app.arguments(), QDir::currentPath());
    InstanceServer instance;
    if (const std::optional<int> done = startOrHandOver(command, instance))
        return *done;
    // Qt must find the configuration read, or it reads one of its own.
    fonts.join();
    return runProgram(app, command.checkInstall, !startReopensSession(command, instance));
}
