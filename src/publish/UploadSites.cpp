#include "publish/UploadSites.h"

#include "settings/TSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const char *const ProtocolNames[] = {"ftp", "ftps", "sftp"};

QString defaultSitesPath()
{
    const QString settings = SettingsStore().fileName();
    if (settings.endsWith(u".ini"_s, Qt::CaseInsensitive))
        return QFileInfo(settings).absolutePath() + u"/BriskoHTMLEditor3.5-sites.ini"_s;
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + u"/sites.ini"_s;
}

// Group names carry no slash or other INI syntax: the site's name is a value.
QString groupOf(int index)
{
    return u"Site"_s + QString::number(index).rightJustified(3, u'0');
}

} // namespace

QString UploadSite::account() const
{
    const int index = std::clamp(protocol, 0, 2);
    return QString::fromLatin1(ProtocolNames[index]) + u"://"_s + user + u'@' + host.trimmed().toLower() + u':'
           + port.trimmed();
}

UploadSites::UploadSites() : m_iniPath(defaultSitesPath()) {}

UploadSites::UploadSites(QString iniPath) : m_iniPath(std::move(iniPath)) {}

QList<UploadSite> UploadSites::load() const
{
    QSettings ini(m_iniPath, QSettings::IniFormat);
    QList<UploadSite> sites;
    const QStringList groups = ini.childGroups();
    for (const QString &group : groups) {
        ini.beginGroup(group);
        UploadSite site;
        site.name = ini.value(u"Name"_s).toString();
        site.protocol = std::clamp(ini.value(u"Protocol"_s, 0).toInt(), 0, 2);
        site.host = ini.value(u"Server"_s).toString();
        site.port = ini.value(u"Port"_s).toString();
        site.user = ini.value(u"User"_s).toString();
        site.keyFile = ini.value(u"KeyFile"_s).toString();
        site.remoteDirectory = ini.value(u"RemoteDirectory"_s).toString();
        site.homeDirectory = ini.value(u"HomeDirectory"_s).toString();
        site.subdirectories = ini.value(u"Subdirectories"_s, true).toBool();
        site.passive = ini.value(u"Passive"_s, false).toBool();
        site.safe = ini.value(u"Safe"_s, true).toBool();
        site.changedOnly = ini.value(u"ChangedOnly"_s, false).toBool();
        site.deleteOrphans = ini.value(u"DeleteOrphans"_s, false).toBool();
        site.skipBackups = ini.value(u"SkipBackups"_s, true).toBool();
        site.sessions = std::clamp(ini.value(u"Sessions"_s, 1).toInt(), 1, 8);
        ini.endGroup();
        if (!site.name.trimmed().isEmpty())
            sites << site;
    }
    std::sort(sites.begin(), sites.end(), [](const UploadSite &a, const UploadSite &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return sites;
}

std::optional<UploadSite> UploadSites::find(const QString &name) const
{
    const QList<UploadSite> sites = load();
    const auto it = std::find_if(sites.begin(), sites.end(), [&](const UploadSite &s) { return s.name == name; });
    return it == sites.end() ? std::nullopt : std::optional<UploadSite>(*it);
}

bool UploadSites::save(const UploadSite &site) const
{
    QList<UploadSite> sites = load();
    sites.erase(std::remove_if(sites.begin(), sites.end(), [&](const UploadSite &s) { return s.name == site.name; }),
                sites.end());
    sites << site;
    return writeAll(sites);
}

bool UploadSites::remove(const QString &name) const
{
    QList<UploadSite> sites = load();
    const auto kept = std::remove_if(sites.begin(), sites.end(), [&](const UploadSite &s) { return s.name == name; });
    if (kept == sites.end())
        return false;
    sites.erase(kept, sites.end());
    return writeAll(sites);
}

bool UploadSites::writeAll(const QList<UploadSite> &sites) const
{
    QDir().mkpath(QFileInfo(m_iniPath).absolutePath());
    QSettings ini(m_iniPath, QSettings::IniFormat);
    ini.clear();
    for (int i = 0; i < sites.size(); ++i) {
        const UploadSite &s = sites[i];
        ini.beginGroup(groupOf(i));
        ini.setValue(u"Name"_s, s.name);
        ini.setValue(u"Protocol"_s, s.protocol);
        ini.setValue(u"Server"_s, s.host);
        ini.setValue(u"Port"_s, s.port);
        ini.setValue(u"User"_s, s.user);
        ini.setValue(u"KeyFile"_s, s.keyFile);
        ini.setValue(u"RemoteDirectory"_s, s.remoteDirectory);
        ini.setValue(u"HomeDirectory"_s, s.homeDirectory);
        ini.setValue(u"Subdirectories"_s, s.subdirectories);
        ini.setValue(u"Passive"_s, s.passive);
        ini.setValue(u"Safe"_s, s.safe);
        ini.setValue(u"ChangedOnly"_s, s.changedOnly);
        ini.setValue(u"DeleteOrphans"_s, s.deleteOrphans);
        ini.setValue(u"SkipBackups"_s, s.skipBackups);
        ini.setValue(u"Sessions"_s, s.sessions);
        ini.endGroup();
    }
    ini.sync();
    return ini.status() == QSettings::NoError;
}
