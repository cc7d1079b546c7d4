#include "DesktopIntegration.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::StringLiterals;

bool installQtTranslation(QCoreApplication &app, const QString &directory)
{
    const QString folder =
        directory.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : directory;
    auto *translator = new QTranslator(&app);
    if (!translator->load(u"qtbase_cs"_s, folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64, 128, 256})
        icon.addFile(u":/desktop/brisko-editor-%1.png"_s.arg(size), QSize(size, size));
    return icon;
}

void setUpApplication(QApplication &app)
{
    installQtTranslation(app);
    QApplication::setWindowIcon(applicationIcon());
    QGuiApplication::setDesktopFileName(u"brisko-editor"_s);
}
