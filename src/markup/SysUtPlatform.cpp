#include "markup/SysUt.h"


#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

class DesktopShell final : public Shell
{
public:
    void openUrl(const QUrl &url) override { QDesktopServices::openUrl(url); }
    void startDetached(const QString &program, const QStringList &arguments,
                       const QString &workingDirectory) override
    {
        QProcess::startDetached(program, arguments, workingDirectory);
    }
};

// No DDE exists here. Browsers of the Netscape family hand an address given on their
// command line to the instance already running, which is what the conversation asked.
class CommandLineBrowserTransport final : public DdeTransport
{
public:
    void converse(const QString &serverProgram, const QList<DdeRequest> &requests) override
    {
        static const QString openSuffix = u",,0xFFFFFFFF,0x3,,,"_s;
        for (const DdeRequest &request : requests) {
            if (request.topic != u"WWW_OpenURL" || !request.item.endsWith(openSuffix))
                continue; // activation: the browser raises itself when it gets the address
            const QString url = request.item.chopped(openSuffix.size());
            if (serverProgram.isEmpty())
                ShellOpen(url);
            else
                shell().startDetached(serverProgram, {url}, {});
        }
    }
};

class SettingsRegistry final : public RegistryReader
{
public:
    QString readString(RegistryRoot root, const QString &keyPath,
                       const QString &valueName) override
    {
        // The browser component the program checks at start is the embedded engine.
        if (root == RegistryRoot::LocalMachine
            && keyPath.compare(u"SOFTWARE\\Microsoft\\Internet Explorer"_s, Qt::CaseInsensitive) == 0
            && valueName.compare(u"Version"_s, Qt::CaseInsensitive) == 0)
            return browserComponentVersion();
#ifdef Q_OS_WIN
        const QString rootName = root == RegistryRoot::LocalMachine ? u"HKEY_LOCAL_MACHINE"_s
                                                                    : u"HKEY_CURRENT_USER"_s;
        // A private QSettings object leaves every other registry access as it was.
        QSettings key(rootName + u'\\' + keyPath, QSettings::NativeFormat);
        return key.value(valueName).toString();
#else
        return {};
#endif
    }
};

DesktopShell desktopShell;
CommandLineBrowserTransport browserTransport;
SettingsRegistry settingsRegistry;
Shell *installedShell = nullptr;
DdeTransport *installedTransport = nullptr;

} // namespace

Shell &shell()
{
    return installedShell ? *installedShell : desktopShell;
}

void setShell(Shell *s)
{
    installedShell = s;
}

DdeTransport &ddeTransport()
{
    return installedTransport ? *installedTransport : browserTransport;
}

void setDdeTransport(DdeTransport *transport)
{
    installedTransport = transport;
}

RegistryReader &registryReader()
{
    return settingsRegistry;
}

void ShellOpen(const QString &fileOrUrl)
{
    // An address names its scheme; a one-letter "scheme" is a Windows drive letter.
    const QUrl asUrl(fileOrUrl, QUrl::TolerantMode);
    if (asUrl.isValid() && asUrl.scheme().size() > 1)
        shell().openUrl(asUrl);
    else
        shell().openUrl(QUrl::fromLocalFile(fileOrUrl));
}

void ShellRun(const QString &file, const QString &parameters, const QString &directory,
              int showMode)
{
    Q_UNUSED(showMode);
    const QFileInfo info(file);
    const bool program = (info.isFile() && info.isExecutable())
                         || (!file.contains(u'/') && !QStandardPaths::findExecutable(file).isEmpty());
    if (!program) {
        // Documents open with their associated program, as the Windows shell would.
        ShellOpen(file);
        return;
    }
    const QStringList arguments = parameters.isEmpty() ? QStringList() : QStringList{parameters};
    shell().startDetached(file, arguments, directory);
}

QList<DdeRequest> DdeOpenUrlRequests(const QString &url)
{
    constexpr int timeoutMs = 10000;
    return {
        {u"Netscape"_s, u"WWW_Activate"_s, u"0xFFFFFFFF"_s, timeoutMs},
        {u"Netscape"_s, u"WWW_OpenURL"_s, url + u",,0xFFFFFFFF,0x3,,,"_s, timeoutMs},
    };
}

void DdeOpenUrl(const QString &url, const QString &browserProgram)
{
    ddeTransport().converse(browserProgram, DdeOpenUrlRequests(url));
}

QString ReadRegistryString(RegistryRoot root, const QString &keyPath, const QString &valueName)
{
    return registryReader().readString(root, keyPath, valueName);
}

QString browserComponentVersion()
{
    // Compiled in when the build is configured: asking the engine would load it at start.
    return QStringLiteral(BRISKO_BROWSER_ENGINE_VERSION);
}
