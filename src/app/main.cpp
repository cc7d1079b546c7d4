#include "interaction/Interaction.h"
#include "app/SmallWindows.h"
#include "app/StartUp.h"
#include "app/TForm1.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // The embedded browser needs these when the program runs as root or without a GPU.
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    QApplication app(argc, argv);
    return runProgram(app);
}
