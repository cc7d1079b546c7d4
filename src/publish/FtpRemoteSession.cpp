// The upload engine's requests over FTP.
#include "publish/FtpRemoteSession.h"

#include "publish/ParallelUpload.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

bool isPlainRemoteName(const QString &name)
{
    return !name.isEmpty() && name != u"."_s && name != u".."_s && !name.contains(u'/') && !name.contains(u'\\')
           && !name.contains(QChar(0));
}

void FtpRemoteSession::startUpload()
{
    // What the server can tell: MLSD, or LIST and MDTM.
    if (m_client.Connected() && !m_client.FeaturesKnown())
        m_client.FeatSync();
    m_noMlsd = false;
    m_listAll = true;
}

bool FtpRemoteSession::reconnect()
{
    return m_client.OpenSync() && m_client.UserSync() && (m_client.StatusCode() == 230 || m_client.PassSync());
}

std::optional<QString> FtpRemoteSession::workingDirectory()
{
    if (!m_client.PwdSync())
        return std::nullopt;
    return TFtpClient::DirectoryOfReply(m_client.LastResponse());
}

bool FtpRemoteSession::changeDirectory(const QString &path)
{
    m_client.setHostDirName(path);
    return m_client.CwdSync();
}

bool FtpRemoteSession::makeDirectory(const QString &path)
{
    m_client.setHostFileName(path);
    return m_client.MkdSync();
}

bool FtpRemoteSession::removeFile(const QString &path)
{
    m_client.setHostFileName(path);
    return m_client.DeleSync();
}

bool FtpRemoteSession::removeDirectory(const QString &path)
{
    m_client.setHostFileName(path);
    return m_client.RmdSync();
}

qint64 FtpRemoteSession::fileSize(const QString &path)
{
    if (!m_client.BinaryInEffect()) {
        m_client.setBinary(true); // servers give no SIZE in ASCII mode
        m_client.TypeSetSync();
    }
    m_client.setHostFileName(path);
    return m_client.SizeSync() ? m_client.ReplySize() : -1;
}

QString FtpRemoteSession::modificationStamp(const QString &path)
{
    if (!m_client.HasFeature(u"MDTM"_s))
        return {};
    m_client.setHostFileName(path);
    return m_client.MdtmSync() ? m_client.ReplyStamp() : QString();
}

// Servers without MLSD give a file's time only through MDTM: a folder's worth goes in
// one round trip, in batches that keep what waits in the buffers small.
QStringList FtpRemoteSession::modificationStamps(const QStringList &paths)
{
    QStringList stamps;
    if (!m_client.HasFeature(u"MDTM"_s)) {
        stamps.resize(paths.size());
        return stamps;
    }
    constexpr qsizetype Batch = 128;
    for (qsizetype from = 0; from < paths.size(); from += Batch) {
        const auto answered = m_client.MdtmAllSync(paths.mid(from, Batch));
        if (!answered)
            break;
        stamps << *answered;
    }
    stamps.resize(paths.size()); // a lost session names no more times
    return stamps;
}

std::optional<RemoteDirectory> FtpRemoteSession::listDirectory(const QString &path)
{
    // A server whose FEAT names no MLST has none: LIST at once, no refused MLSD first.
    const bool mlsd = !m_noMlsd && (!m_client.FeaturesKnown() || m_client.HasFeature(u"MLST"_s));
    if (mlsd) {
        m_client.setHostFileName(path);
        if (m_client.MlsdSync())
            return parseMlsdListing(m_client.ListingData());
        // 500, 502: the command is unknown (vsftpd); 550 and the like say something of
        // the directory, and LIST would fail too.
        const int status = m_client.Status();
        if (!m_client.Connected() || (status != 500 && status != 502 && status != 504))
            return std::nullopt;
        m_noMlsd = true;
    }
    return listLinks(path);
}

std::optional<RemoteDirectory> FtpRemoteSession::listLinks(const QString &path)
{
    // vsftpd leaves hidden files out of LIST unless asked with "-a"; a directory that
    // seems empty then is no orphan. pyftpdlib takes "-a" for a part of the name and
    // lists hidden files anyway; a listing with "-a" that does not show the directory
    // itself (".") was not understood.
    if (m_listAll) {
        m_client.setHostFileName(path.isEmpty() ? u"-a"_s : u"-a "_s + path);
        if (m_client.ListSync()) {
            const QByteArray data = m_client.ListingData();
            static const QRegularExpression self(u"\\s\\.\\r?$"_s, QRegularExpression::MultilineOption);
            if (self.match(QString::fromUtf8(data)).hasMatch())
                return parseListListing(data);
        }
        if (!m_client.Connected())
            return std::nullopt;
        m_listAll = false;
    }
    m_client.setHostFileName(path);
    if (!m_client.ListSync())
        return std::nullopt;
    return parseListListing(m_client.ListingData());
}

bool FtpRemoteSession::appendFile(const QString &local, const QString &remote, qint64 offset)
{
    m_client.setAppendOffset(offset);
    m_client.setHostFileName(remote);
    m_client.setLocalFileName(local);
    const bool appended = m_client.PutSync();
    m_client.setAppendOffset(0);
    return appended;
}

bool FtpRemoteSession::rename(const QString &from, const QString &to)
{
    m_client.setHostFileName(from);
    return m_client.RenameSync(to);
}

namespace {

// ParallelUpload as the engine's store stage.
class FtpStoreStage : public StoreStage
{
public:
    explicit FtpStoreStage(std::unique_ptr<ParallelUpload> upload) : m_upload(std::move(upload))
    {
        ParallelUpload *u = m_upload.get();
        connect(u, &ParallelUpload::fileLog, this, &StoreStage::fileLog);
        connect(u, &ParallelUpload::fileDone, this, &StoreStage::fileDone);
        connect(u, &ParallelUpload::keptForResume, this, &StoreStage::keptForResume);
        connect(u, &ParallelUpload::progress, this, &StoreStage::progress);
        connect(u, &ParallelUpload::failure, this, &StoreStage::failure);
        connect(u, &ParallelUpload::stampsLearned, this, &StoreStage::stampsLearned);
    }
    void run() override { m_upload->run(); }
    void stop() override { m_upload->stop(); }
    bool stopped() const override { return m_upload->stopped(); }
    QStringList leftBehind() const override { return m_upload->leftBehind(); }

private:
    std::unique_ptr<ParallelUpload> m_upload;
};

} // namespace

namespace {

// The extra sessions of a store stage log in as the window's session did.
ParallelUpload::Settings ftpStageSettings(const TFtpClient &client, const TFtpClient::CertificateCheck &check,
                                          bool noMlsd, const RemoteSession::StoreOptions &options)
{
    ParallelUpload::Settings settings;
    settings.host = client.HostName();
    settings.port = client.Port();
    settings.user = client.UserName();
    settings.password = client.PassWord();
    // The extra sessions always go passive: with several sessions asking the server to
    // connect back at once, pyftpdlib left PORT commands unanswered until the time-out.
    settings.passive = true;
    settings.tls = client.Tls();
    settings.safe = options.safe;
    // What went up is recorded whichever way it went, so the next "Jen změněné" upload
    // knows it.
    settings.hashSent = true;
    settings.timeoutMs = client.TimeoutMs();
    settings.certificateCheck = check;
    settings.directory = options.directory;
    // Sessions of their own learn the stored files' times as this session would after
    // them, once the server's features are known (a server without MLSD answers MDTM).
    if (options.sessions > 1 && client.FeaturesKnown()) {
        settings.stampsByMlsd = !noMlsd && client.HasFeature(u"MLST"_s);
        settings.stampsByMdtm = client.HasFeature(u"MDTM"_s);
    }
    return settings;
}

} // namespace

FtpRemoteSession::FtpRemoteSession(TFtpClient &client) : m_client(client) {}

FtpRemoteSession::~FtpRemoteSession() = default;

void FtpRemoteSession::prepareStoreStage(const StoreOptions &options)
{
    m_prepared.reset();
    if (options.sessions <= 1)
        return;
    m_preparedOptions = options;
    m_prepared = std::make_unique<ParallelUpload>(ftpStageSettings(m_client, m_certificateCheck, m_noMlsd, options),
                                                  std::vector<StoreJob>{}, options.sessions);
    m_prepared->begin();
}

void FtpRemoteSession::dropPreparedStoreStage()
{
    m_prepared.reset();
}

std::unique_ptr<StoreStage> FtpRemoteSession::storeStage(std::vector<StoreJob> jobs, const StoreOptions &options)
{
    std::unique_ptr<ParallelUpload> upload = std::exchange(m_prepared, nullptr);
    const StoreOptions &p = m_preparedOptions;
    if (upload && (options.sessions != p.sessions || options.safe != p.safe || options.directory != p.directory))
        upload.reset(); // made for another stage: its sessions end
    auto settings = [&] { return ftpStageSettings(m_client, m_certificateCheck, m_noMlsd, options); };
    if (upload)
        upload->setJobs(std::move(jobs));
    else if (options.sessions > 1)
        upload = std::make_unique<ParallelUpload>(settings(), std::move(jobs), options.sessions);
    else
        upload = std::make_unique<ParallelUpload>(settings(), std::move(jobs), m_client);
    return std::make_unique<FtpStoreStage>(std::move(upload));
}
