#pragma once

#include <QList>
#include <QString>

#include <optional>

// One site the upload window remembers: where and how it uploads. Never its password,
// which only the desktop's keyring may keep.
struct UploadSite
{
    QString name;
    int protocol = 0; // TFTPForm::Protocol
    QString host, port, user, keyFile, remoteDirectory, homeDirectory;
    bool subdirectories = true;
    bool passive = false;
    bool safe = true;
    bool changedOnly = false;
    bool deleteOrphans = false;
    bool skipBackups = true;
    int sessions = 1;
    friend bool operator==(const UploadSite &, const UploadSite &) = default;

    // How the keyring names the account: "sftp://user@host:port".
    QString account() const;
};

// The saved sites, in an INI file of their own beside the settings: a site is saved and
// removed whole, and the list is read in the order the sites were named.
class UploadSites
{
public:
    // The user's own file (beside the settings' INI file).
    UploadSites();
    explicit UploadSites(QString iniPath);

    QList<UploadSite> load() const;
    std::optional<UploadSite> find(const QString &name) const;
    // A site of the same name is replaced.
    bool save(const UploadSite &site) const;
    bool remove(const QString &name) const;
    QString fileName() const { return m_iniPath; }

private:
    bool writeAll(const QList<UploadSite> &sites) const;

    QString m_iniPath;
};
