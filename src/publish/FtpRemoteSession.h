#pragma once

#include "publish/FtpClient.h"
#include "publish/FtpListing.h"
#include "publish/RemoteSession.h"

class ParallelUpload;

// The upload engine's requests over an FTP (or FTPS) session the window logged in with:
// listings by MLSD where the server has it and by LIST otherwise, times by MLSD facts or
// MDTM, and the store stage over ParallelUpload.
class FtpRemoteSession : public RemoteSession
{
public:
    explicit FtpRemoteSession(TFtpClient &client);
    ~FtpRemoteSession() override;

    TFtpClient &client() { return m_client; }
    // How the extra sessions of a parallel upload check an untrusted certificate.
    void setCertificateCheck(TFtpClient::CertificateCheck check) { m_certificateCheck = std::move(check); }
    // A new upload: what the server can tell is asked again.
    void startUpload();

    QString protocol() const override { return {}; }
    QString hostName() const override { return m_client.HostName(); }
    QString port() const override { return m_client.Port(); }
    QString userName() const override { return m_client.UserName(); }
    bool connected() const override { return m_client.Connected(); }
    bool acceptsName(const QString &name) const override
    {
        return !name.contains(u'\r') && !name.contains(u'\n');
    }
    bool reconnect() override;
    bool stoppedByUser() const override { return m_client.Status() == TFtpClient::StoppedStatus; }
    void stopTransfer() override { m_client.StopTransfer(); }

    std::optional<QString> workingDirectory() override;
    bool changeDirectory(const QString &path) override;
    bool makeDirectory(const QString &path) override;
    bool removeFile(const QString &path) override;
    bool removeDirectory(const QString &path) override;
    qint64 fileSize(const QString &path) override;
    QString modificationStamp(const QString &path) override;
    QStringList modificationStamps(const QStringList &paths) override;
    std::optional<RemoteDirectory> listDirectory(const QString &path) override;
    bool listingShowsLinks() const override { return m_noMlsd; }
    std::optional<RemoteDirectory> listLinks(const QString &path) override;
    bool appendFile(const QString &local, const QString &remote, qint64 offset) override;
    bool rename(const QString &from, const QString &to) override;
    std::unique_ptr<StoreStage> storeStage(std::vector<StoreJob> jobs, const StoreOptions &options) override;
    void prepareStoreStage(const StoreOptions &options) override;
    void dropPreparedStoreStage() override;

private:
    TFtpClient &m_client;
    // Sessions logging in ahead of the store stage, and the options they were made for.
    std::unique_ptr<ParallelUpload> m_prepared;
    StoreOptions m_preparedOptions;
    TFtpClient::CertificateCheck m_certificateCheck;
    // The server answered MLSD as an unknown command: listings go by LIST.
    bool m_noMlsd = false;
    // The server understands "LIST -a" (vsftpd shows hidden files only so).
    bool m_listAll = true;
};
