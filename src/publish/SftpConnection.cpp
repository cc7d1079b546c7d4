#include "publish/SftpConnection.h"

#include "publish/UploadJournal.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "publish/LibSsh.h"

#include <fcntl.h>

using namespace Qt::StringLiterals;

namespace {

// One SFTP write; OpenSSH's server takes messages of up to 256 KB, and fewer, larger
// writes mean fewer waits for the server's answer.
constexpr qint64 SftpBlock = 128 * 1024;

QByteArray encoded(const QString &text)
{
    return text.toUtf8();
}

RemoteFile remoteFileOf(const sftp_attributes_struct &attributes)
{
    RemoteFile file;
    switch (attributes.type) {
    case SSH_FILEXFER_TYPE_DIRECTORY:
        file.type = u"dir"_s;
        break;
    case SSH_FILEXFER_TYPE_SYMLINK:
        file.type = u"link"_s;
        break;
    case SSH_FILEXFER_TYPE_REGULAR:
        file.type = u"file"_s;
        break;
    default:
        file.type = u"special"_s; // neither sent nor deleted
        break;
    }
    if (attributes.flags & SSH_FILEXFER_ATTR_SIZE)
        file.size = qint64(attributes.size);
    if (attributes.flags & SSH_FILEXFER_ATTR_ACMODTIME)
        file.modify = QDateTime::fromSecsSinceEpoch(attributes.mtime, Qt::UTC).toString(u"yyyyMMddHHmmss"_s);
    return file;
}

} // namespace

SftpConnection::SftpConnection() = default;

SftpConnection::~SftpConnection()
{
    close();
}

bool SftpConnection::fail(const QString &what)
{
    m_error = what;
    if (m_ssh) {
        const char *detail = libSsh().ssh_get_error(m_ssh);
        if (detail && *detail)
            m_error += u" ("_s + QString::fromUtf8(detail) + u')';
    }
    return false;
}

QString sftpStatusNote(int status, bool connected)
{
    switch (status) {
    case SSH_FX_NO_SUCH_FILE:
        return u" (neexistuje)"_s;
    case SSH_FX_PERMISSION_DENIED:
        return u" (přístup odepřen)"_s;
    case SSH_FX_FILE_ALREADY_EXISTS:
        return u" (už existuje)"_s;
    default:
        return connected ? QString() : u" (spojení ztraceno)"_s;
    }
}

bool SftpConnection::sftpFail(const QString &what, const QString &path)
{
    m_error = what + u": "_s + path;
    if (m_sftp)
        m_error += sftpStatusNote(libSsh().sftp_get_error(m_sftp), connected());
    return false;
}

bool SftpConnection::open(const Target &target)
{
    close();
    if (!loadLibSsh())
        return fail(u"Knihovnu libssh se nepodařilo načíst: SFTP není k dispozici (balíček libssh-4)"_s);
    m_ssh = libSsh().ssh_new();
    if (!m_ssh)
        return fail(u"Nelze vytvořit spojení SSH"_s);
    const QByteArray host = encoded(target.host), user = encoded(target.user);
    const QByteArray own = QFile::encodeName(target.ownKnownHosts);
    const QByteArray theirs = QFile::encodeName(target.userKnownHosts);
    const QByteArray sshDir = QFile::encodeName(target.sshDirectory);
    const unsigned int port = unsigned(target.port);
    const long timeout = target.timeoutSeconds;
    // Only what is set here counts: no ~/.ssh/config, no system-wide list, so a test
    // (and a user who set HOME elsewhere) sees exactly the files named.
    const bool noConfig = false;
    libSsh().ssh_options_set(m_ssh, SSH_OPTIONS_PROCESS_CONFIG, &noConfig);
    libSsh().ssh_options_set(m_ssh, SSH_OPTIONS_HOST, host.constData());
    libSsh().ssh_options_set(m_ssh, SSH_OPTIONS_PORT, &port);
    libSsh().ssh_options_set(m_ssh, SSH_OPTIONS_USER, user.constData());
    libSsh().ssh_options_set(m_ssh, SSH_OPTIONS_TIMEOUT, &timeout);
    libSsh().ssh_options_set(m_ssh, SSH_OPTIONS_SSH_DIR, sshDir.constData());
    libSsh().ssh_options_set(m_ssh, SSH_OPTIONS_KNOWNHOSTS, own.constData());
    libSsh().ssh_options_set(m_ssh, SSH_OPTIONS_GLOBAL_KNOWNHOSTS, theirs.constData());
    if (libSsh().ssh_connect(m_ssh) != SSH_OK)
        return fail(u"Nelze se spojit se serverem %1"_s.arg(target.host));
    return true;
}

SftpConnection::HostKey SftpConnection::hostKey()
{
    HostKey key;
    ssh_key server = nullptr;
    if (libSsh().ssh_get_server_publickey(m_ssh, &server) != SSH_OK) {
        fail(u"Server neposlal svůj klíč"_s);
        return key;
    }
    unsigned char *hash = nullptr;
    size_t length = 0;
    if (libSsh().ssh_get_publickey_hash(server, SSH_PUBLICKEY_HASH_SHA256, &hash, &length) == 0) {
        key.sha256 = QByteArray(reinterpret_cast<const char *>(hash), qsizetype(length));
        // As ssh prints it: base64 without the padding.
        key.fingerprint = u"SHA256:"_s
                          + QString::fromLatin1(key.sha256.toBase64(QByteArray::OmitTrailingEquals));
        libSsh().ssh_clean_pubkey_hash(&hash);
    }
    key.type = QString::fromLatin1(libSsh().ssh_key_type_to_char(libSsh().ssh_key_type(server)));
    libSsh().ssh_key_free(server);
    switch (libSsh().ssh_session_is_known_server(m_ssh)) {
    case SSH_KNOWN_HOSTS_OK:
        key.state = HostKeyState::Known;
        break;
    // A key of another type for a known server is as suspicious as a changed one.
    case SSH_KNOWN_HOSTS_CHANGED:
    case SSH_KNOWN_HOSTS_OTHER:
        key.state = HostKeyState::Changed;
        break;
    case SSH_KNOWN_HOSTS_NOT_FOUND:
    case SSH_KNOWN_HOSTS_UNKNOWN:
        key.state = HostKeyState::Unknown;
        break;
    default:
        fail(u"Seznam známých serverů nelze přečíst"_s);
        key.state = HostKeyState::Failed;
        break;
    }
    return key;
}

bool SftpConnection::trustHostKey()
{
    char *path = nullptr;
    libSsh().ssh_options_get(m_ssh, SSH_OPTIONS_KNOWNHOSTS, &path);
    if (path) {
        QDir().mkpath(QFileInfo(QFile::decodeName(path)).absolutePath());
        libSsh().ssh_string_free_char(path);
    }
    if (libSsh().ssh_session_update_known_hosts(m_ssh) != SSH_OK)
        return fail(u"Klíč serveru se nepodařilo uložit"_s);
    return true;
}

bool SftpConnection::authenticateAgent()
{
    if (qEnvironmentVariableIsEmpty("SSH_AUTH_SOCK"))
        return false;
    return libSsh().ssh_userauth_agent(m_ssh, nullptr) == SSH_AUTH_SUCCESS;
}

bool SftpConnection::authenticateDefaultKeys()
{
    return libSsh().ssh_userauth_publickey_auto(m_ssh, nullptr, nullptr) == SSH_AUTH_SUCCESS;
}

SftpConnection::Auth SftpConnection::authenticateKeyFile(const QString &path, const QString &passphrase)
{
    if (!QFileInfo(path).isReadable()) {
        fail(u"Soubor klíče nelze přečíst: "_s + path);
        return Auth::Failed;
    }
    ssh_key key = nullptr;
    const QByteArray secret = encoded(passphrase);
    const int imported = libSsh().ssh_pki_import_privkey_file(QFile::encodeName(path).constData(),
                                                      passphrase.isEmpty() ? nullptr : secret.constData(),
                                                      nullptr, nullptr, &key);
    if (imported != SSH_OK) {
        // An encrypted key without its passphrase, or with a wrong one.
        fail(u"Klíč nelze otevřít: "_s + path);
        return Auth::NeedsPassphrase;
    }
    const int result = libSsh().ssh_userauth_publickey(m_ssh, nullptr, key);
    libSsh().ssh_key_free(key);
    return result == SSH_AUTH_SUCCESS ? Auth::Success : Auth::Denied;
}

bool SftpConnection::authenticatePassword(const QString &password)
{
    return libSsh().ssh_userauth_password(m_ssh, nullptr, encoded(password).constData()) == SSH_AUTH_SUCCESS;
}

bool SftpConnection::startSftp()
{
    m_sftp = libSsh().sftp_new(m_ssh);
    if (!m_sftp)
        return fail(u"Server nenabízí SFTP"_s);
    if (libSsh().sftp_init(m_sftp) != SSH_OK) {
        libSsh().sftp_free(m_sftp);
        m_sftp = nullptr;
        return fail(u"Server nenabízí SFTP"_s);
    }
    return true;
}

bool SftpConnection::connected() const
{
    return m_ssh && libSsh().ssh_is_connected(m_ssh) && m_sftp;
}

void SftpConnection::close()
{
    if (m_sftp)
        libSsh().sftp_free(m_sftp);
    m_sftp = nullptr;
    if (m_ssh) {
        if (libSsh().ssh_is_connected(m_ssh))
            libSsh().ssh_disconnect(m_ssh);
        libSsh().ssh_free(m_ssh);
    }
    m_ssh = nullptr;
}

std::optional<QString> SftpConnection::canonical(const QString &path)
{
    char *resolved = libSsh().sftp_canonicalize_path(m_sftp, encoded(path).constData());
    if (!resolved) {
        sftpFail(u"Adresář nelze otevřít"_s, path);
        return std::nullopt;
    }
    const QString result = QString::fromUtf8(resolved);
    libSsh().ssh_string_free_char(resolved);
    return result;
}

bool SftpConnection::makeDirectory(const QString &path)
{
    return libSsh().sftp_mkdir(m_sftp, encoded(path).constData(), 0755) == 0 || sftpFail(u"Adresář nelze vytvořit"_s, path);
}

bool SftpConnection::removeFile(const QString &path)
{
    return libSsh().sftp_unlink(m_sftp, encoded(path).constData()) == 0 || sftpFail(u"Soubor nelze smazat"_s, path);
}

bool SftpConnection::removeDirectory(const QString &path)
{
    return libSsh().sftp_rmdir(m_sftp, encoded(path).constData()) == 0 || sftpFail(u"Adresář nelze smazat"_s, path);
}

std::optional<RemoteFile> SftpConnection::info(const QString &path)
{
    sftp_attributes attributes = libSsh().sftp_lstat(m_sftp, encoded(path).constData());
    if (!attributes) {
        sftpFail(u"Soubor nelze najít"_s, path);
        return std::nullopt;
    }
    const RemoteFile file = remoteFileOf(*attributes);
    libSsh().sftp_attributes_free(attributes);
    return file;
}

std::optional<RemoteDirectory> SftpConnection::list(const QString &path)
{
    sftp_dir directory = libSsh().sftp_opendir(m_sftp, encoded(path).constData());
    if (!directory) {
        sftpFail(u"Adresář nelze vypsat"_s, path);
        return std::nullopt;
    }
    RemoteDirectory entries;
    // The server's readdir describes each entry itself, so a link shows as a link.
    while (sftp_attributes attributes = libSsh().sftp_readdir(m_sftp, directory)) {
        const QString name = QString::fromUtf8(attributes->name);
        const RemoteFile file = remoteFileOf(*attributes);
        libSsh().sftp_attributes_free(attributes);
        if (isPlainRemoteName(name) && file.type != u"special"_s)
            entries.insert(name, file);
    }
    const bool whole = libSsh().sftp_dir_eof(directory);
    libSsh().sftp_closedir(directory);
    if (!whole) {
        sftpFail(u"Adresář nelze vypsat"_s, path);
        return std::nullopt;
    }
    return entries;
}

bool SftpConnection::rename(const QString &from, const QString &to)
{
    const QByteArray source = encoded(from), target = encoded(to);
    if (libSsh().sftp_rename(m_sftp, source.constData(), target.constData()) == 0)
        return true;
    // libssh 0.10 renames with the protocol's plain RENAME, which OpenSSH refuses over an
    // existing file. The old file steps aside under a temporary name, so it is never lost:
    // it comes back when the new one cannot take its place.
    const auto existing = info(to);
    if (!existing || existing->type != u"file"_s)
        return sftpFail(u"Soubor nelze přejmenovat"_s, from);
    const qsizetype slash = to.lastIndexOf(u'/');
    const QByteArray aside = encoded(to.left(slash + 1) + UploadJournal::temporaryName());
    if (libSsh().sftp_rename(m_sftp, target.constData(), aside.constData()) != 0)
        return sftpFail(u"Soubor nelze přejmenovat"_s, to);
    if (libSsh().sftp_rename(m_sftp, source.constData(), target.constData()) != 0) {
        sftpFail(u"Soubor nelze přejmenovat"_s, from);
        libSsh().sftp_rename(m_sftp, aside.constData(), target.constData());
        return false;
    }
    libSsh().sftp_unlink(m_sftp, aside.constData());
    return true;
}

SftpConnection::Sent SftpConnection::send(const QString &local, const QString &remote, qint64 offset,
                                          QCryptographicHash *hash, std::atomic<qint64> &inFlight,
                                          const std::atomic<bool> &stop)
{
    QFile source(local);
    if (!source.open(QIODevice::ReadOnly) || (offset > 0 && !source.seek(offset))) {
        m_error = u"Soubor nelze přečíst: "_s + local;
        return Sent::Failed;
    }
    const int flags = offset > 0 ? O_WRONLY : O_WRONLY | O_CREAT | O_TRUNC;
    sftp_file file = libSsh().sftp_open(m_sftp, encoded(remote).constData(), flags, 0644);
    if (!file) {
        sftpFail(u"Soubor nelze vytvořit"_s, remote);
        return Sent::Failed;
    }
    if (offset > 0 && libSsh().sftp_seek64(file, quint64(offset)) != 0) {
        libSsh().sftp_close(file);
        sftpFail(u"Soubor nelze doplnit"_s, remote);
        return Sent::Failed;
    }
    QByteArray block(SftpBlock, Qt::Uninitialized);
    Sent result = Sent::Done;
    while (true) {
        if (stop.load()) {
            result = Sent::Stopped;
            break;
        }
        const qint64 read = source.read(block.data(), block.size());
        if (read < 0) {
            m_error = u"Soubor nelze přečíst: "_s + local;
            result = Sent::Failed;
            break;
        }
        if (read == 0)
            break;
        if (libSsh().sftp_write(file, block.constData(), size_t(read)) != read) {
            sftpFail(u"Zápis na server selhal"_s, remote);
            result = Sent::Failed;
            break;
        }
        if (hash)
            hash->addData(QByteArrayView(block.constData(), read));
        inFlight += read;
    }
    // The server reports a failed write at the latest when the file is closed.
    if (libSsh().sftp_close(file) != 0 && result == Sent::Done) {
        sftpFail(u"Zápis na server selhal"_s, remote);
        result = Sent::Failed;
    }
    return result;
}

bool logInQuietly(SftpConnection &connection, const SftpCredentials &credentials)
{
    const SftpConnection::Target target{credentials.host,          credentials.port,
                                        credentials.user,          credentials.ownKnownHosts,
                                        credentials.userKnownHosts, credentials.sshDirectory,
                                        credentials.timeoutSeconds};
    if (!connection.open(target))
        return false;
    if (connection.hostKey().sha256 != credentials.hostKeySha256) {
        connection.close();
        return false;
    }
    bool in = connection.authenticateAgent();
    if (!in && !credentials.keyFile.isEmpty())
        in = connection.authenticateKeyFile(credentials.keyFile, credentials.passphrase)
             == SftpConnection::Auth::Success;
    if (!in && credentials.keyFile.isEmpty())
        in = connection.authenticateDefaultKeys();
    if (!in && !credentials.password.isEmpty())
        in = connection.authenticatePassword(credentials.password);
    return in && connection.startSftp();
}
