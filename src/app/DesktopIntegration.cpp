#include "DesktopIntegration.h"

#include <QApplication>
#include <QImageReader>
#include <QLibraryInfo>
#include <QLocale>
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

QPixmap readPng(const QString &path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon pngIcon(const QString &path)
{
    return QIcon(readPng(path));
}

QIcon applicationIcon()
{
    // Every top-level window hands all of its icon's sizes to the X server when it is made;
    // the launchers' large sizes come from the installed theme icons instead.
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64})
        icon.addPixmap(readPng(u":/desktop/brisko-editor-%1.png"_s.arg(size)));
    return icon;
}

void setUpApplication(QApplication &app)
{
    installQtTranslation(app);
    QApplication::setWindowIcon(applicationIcon());
    QGuiApplication::setDesktopFileName(u"brisko-editor"_s);
}

namespace {

bool namesNoLocale(const QString &value)
{
    return value.isEmpty() || value == u"C"_s || value == u"POSIX"_s
        || value.startsWith(u"C."_s);
}

} // namespace

bool environmentHasNoLocale(const std::function<QString(const char *)> &getVariable)
{
    const auto get = getVariable ? getVariable
                                 : [](const char *name) { return qEnvironmentVariable(name); };
    // The first of these that is set decides, as for the C library.
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = get(name);
        if (!value.isEmpty())
            return namesNoLocale(value);
    }
    return true;
}

void useCzechLocaleWhenNoneSet()
{
    if (!environmentHasNoLocale())
        return;
    // "C" settings say nothing the Czech locale would contradict; they would only hide it.
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LC_TIME", "LC_NUMERIC"}) {
        if (qEnvironmentVariableIsSet(name) && namesNoLocale(qEnvironmentVariable(name)))
            qunsetenv(name);
    }
    qputenv("LANG", "cs_CZ.UTF-8");
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
}
