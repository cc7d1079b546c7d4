#include "interaction/Interaction.h"
#include "app/SmallWindows.h"
#include "app/StartUp.h"
#include "app/TForm1.h"

#include <QApplication>

#include <cstdio>

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
}

} // namespace

int main(int argc, char **argv)
{
    prepareBrowserFlags();
    QApplication app(argc, argv);
    // No documents are taken from the command line; the one option checks an installation.
    const bool checkInstall = app.arguments().contains(QLatin1StringView("--check-install"));
    return runProgram(app, checkInstall);
}
