#include "publish/SftpSession.h"

#include "publish/SftpConnection.h"
#include "publish/SftpUpload.h"

#include <QDir>
#include <QEventLoop>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

SftpSession::SftpSession(QObject *parent)
    : QObject(parent), m_connection(std::make_unique<SftpConnection>()), m_context(new QObject)
{
    const QString home = QDir::homePath();
    m_credentials.ownKnownHosts =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/known_hosts"_s;
    m_credentials.userKnownHosts = home + u"/.ssh/known_hosts"_s;
    m_credentials.sshDirectory = home + u"/.ssh"_s;
    m_thread.setObjectName(u"sftp"_s);
    m_context->moveToThread(&m_thread);
    m_thread.start();
}

SftpSession::~SftpSession()
{
    // No event loop here: the window around may be half destroyed. The thread ends after
    // the request it runs, and the connection is closed once nothing else uses it.
    m_stop = true;
    m_thread.quit();
    m_thread.wait();
    m_connection->close();
    delete m_context;
}

void SftpSession::setKnownHostsFiles(const QString &own, const QString &user)
{
    m_credentials.ownKnownHosts = own;
    m_credentials.userKnownHosts = user;
}

// Runs work on the connection in the worker thread; the window's events flow meanwhile.
template <class Result>
Result SftpSession::call(const std::function<Result(SftpConnection &)> &work)
{
    std::optional<Result> result;
    QEventLoop loop;
    SftpConnection *connection = m_connection.get();
    QMetaObject::invokeMethod(
        m_context,
        [&result, &loop, &work, connection] {
            result.emplace(work(*connection));
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    loop.exec();
    return std::move(*result);
}

bool SftpSession::failed(const QString &text)
{
    m_error = text;
    Q_EMIT logLine(text);
    return false;
}

// After a request: its failure goes to the log, and a lost connection is noted.
bool SftpSession::requestDone(bool succeeded)
{
    if (succeeded)
        return true;
    const QString error = call<QString>([](SftpConnection &c) { return c.error(); });
    const bool alive = call<bool>([](SftpConnection &c) { return c.connected(); });
    if (!alive && m_connected) {
        m_connected = false;
        Q_EMIT logLine(u"Spojení ukončeno"_s);
    }
    return failed(error);
}

bool SftpSession::open(const Login &login)
{
    close();
    m_error.clear();
    m_credentials.host = login.host.trimmed();
    bool numeric = false;
    const int port = login.port.trimmed().toInt(&numeric);
    m_credentials.port = numeric && port > 0 && port < 65536 ? port : 22;
    m_credentials.user = login.user;
    m_credentials.password = login.password;
    m_credentials.keyFile = login.keyFile;
    m_credentials.passphrase.clear();
    const SftpConnection::Target target{m_credentials.host,          m_credentials.port,
                                        m_credentials.user,          m_credentials.ownKnownHosts,
                                        m_credentials.userKnownHosts, m_credentials.sshDirectory,
                                        m_credentials.timeoutSeconds};
    Q_EMIT logLine(u"Spojení SSH s %1, port %2"_s.arg(m_credentials.host).arg(m_credentials.port));
    if (!call<bool>([&target](SftpConnection &c) { return c.open(target); }))
        return requestDone(false);
    if (!checkHostKey() || !authenticate()) {
        close();
        return false;
    }
    if (!call<bool>([](SftpConnection &c) { return c.startSftp(); }))
        return requestDone(false);
    m_connected = true;
    const auto home = call<std::optional<QString>>([](SftpConnection &c) { return c.canonical(u"."_s); });
    m_cwd = home.value_or(u"/"_s);
    Q_EMIT logLine(u"Přihlášen jako %1, adresář %2"_s.arg(m_credentials.user, m_cwd));
    return true;
}

bool SftpSession::checkHostKey()
{
    const SftpConnection::HostKey key = call<SftpConnection::HostKey>([](SftpConnection &c) { return c.hostKey(); });
    m_credentials.hostKeySha256 = key.sha256;
    const QString server = m_credentials.port == 22 ? m_credentials.host
                                                    : u"[%1]:%2"_s.arg(m_credentials.host).arg(m_credentials.port);
    switch (key.state) {
    case SftpConnection::HostKeyState::Known:
        return true;
    case SftpConnection::HostKeyState::Changed:
        return failed(u"Klíč serveru %1 se změnil! Buď server dostal nový klíč, nebo se za něj někdo vydává. "
                      u"Spojení bylo odmítnuto.\nNový klíč: %2 %3\nPokud správce serveru klíč opravdu změnil, "
                      u"odstraňte starý klíč ze seznamu známých serverů (%4 nebo %5)."_s
                          .arg(server, key.type, key.fingerprint, m_credentials.userKnownHosts,
                               m_credentials.ownKnownHosts));
    case SftpConnection::HostKeyState::Unknown:
        break;
    case SftpConnection::HostKeyState::Failed:
        return requestDone(false);
    }
    const QString text = u"Server %1 není mezi známými servery a jeho pravost nelze ověřit.\n"
                         u"Typ klíče: %2\nOtisk klíče: %3\n\nDůvěřovat tomuto klíči a spojit se?"_s.arg(
                             server, key.type, key.fingerprint);
    // Enter cancels: trust is never the default.
    const int pick = m_ask ? m_ask(text, {u"Důvěřovat"_s, u"Zrušit"_s}, 1) : 1;
    if (pick != 0)
        return failed(u"Spojení zrušeno: klíč serveru nebyl přijat"_s);
    if (!call<bool>([](SftpConnection &c) { return c.trustHostKey(); }))
        return requestDone(false);
    Q_EMIT logLine(u"Klíč serveru uložen mezi známé: "_s + key.fingerprint);
    return true;
}

// In the order ssh tries them: the agent's keys, the key file (or the default keys),
// then the password.
bool SftpSession::authenticate()
{
    if (call<bool>([](SftpConnection &c) { return c.authenticateAgent(); }))
        return true;
    const QString keyFile = m_credentials.keyFile;
    if (!keyFile.isEmpty()) {
        QString passphrase;
        for (int attempt = 0; attempt < 4; ++attempt) {
            const auto auth = call<SftpConnection::Auth>(
                [&](SftpConnection &c) { return c.authenticateKeyFile(keyFile, passphrase); });
            if (auth == SftpConnection::Auth::Success) {
                m_credentials.passphrase = passphrase;
                return true;
            }
            if (auth != SftpConnection::Auth::NeedsPassphrase)
                break;
            const auto given = m_passphrasePrompt ? m_passphrasePrompt(keyFile) : std::nullopt;
            if (!given)
                break;
            passphrase = *given;
        }
    } else if (call<bool>([](SftpConnection &c) { return c.authenticateDefaultKeys(); })) {
        return true;
    }
    const QString password = m_credentials.password;
    if (!password.isEmpty() && call<bool>([&password](SftpConnection &c) { return c.authenticatePassword(password); }))
        return true;
    return failed(u"Přihlášení se nezdařilo: server nepřijal heslo ani klíč uživatele %1"_s.arg(m_credentials.user));
}

void SftpSession::close()
{
    m_stop = false;
    call<bool>([](SftpConnection &c) {
        c.close();
        return true;
    });
    m_connected = false;
}

bool SftpSession::reconnect()
{
    const SftpCredentials credentials = m_credentials;
    m_connected = call<bool>([&credentials](SftpConnection &c) { return logInQuietly(c, credentials); });
    return m_connected || requestDone(false);
}

QString SftpSession::absolute(const QString &path) const
{
    if (path.startsWith(u'/'))
        return path;
    if (path.isEmpty() || path == u"."_s)
        return m_cwd;
    return m_cwd.endsWith(u'/') ? m_cwd + path : m_cwd + u'/' + path;
}

std::optional<QString> SftpSession::workingDirectory()
{
    if (!m_connected)
        return std::nullopt;
    return m_cwd;
}

bool SftpSession::changeDirectory(const QString &path)
{
    if (!m_connected)
        return failed(u"Není spojení se serverem"_s);
    const QString target = absolute(path);
    const auto resolved = call<std::optional<QString>>([&target](SftpConnection &c) -> std::optional<QString> {
        const auto where = c.canonical(target);
        // The path must name a directory, not a file or a link to nowhere.
        const auto what = where ? c.info(*where) : std::nullopt;
        if (!what || what->type != u"dir"_s)
            return std::nullopt;
        return where;
    });
    if (!resolved)
        return requestDone(false);
    m_cwd = *resolved;
    return true;
}

bool SftpSession::makeDirectory(const QString &path)
{
    const QString target = absolute(path);
    return m_connected && requestDone(call<bool>([&target](SftpConnection &c) { return c.makeDirectory(target); }));
}

bool SftpSession::removeFile(const QString &path)
{
    const QString target = absolute(path);
    return m_connected && requestDone(call<bool>([&target](SftpConnection &c) { return c.removeFile(target); }));
}

bool SftpSession::removeDirectory(const QString &path)
{
    const QString target = absolute(path);
    return m_connected && requestDone(call<bool>([&target](SftpConnection &c) { return c.removeDirectory(target); }));
}

qint64 SftpSession::fileSize(const QString &path)
{
    if (!m_connected)
        return -1;
    const QString target = absolute(path);
    const auto file = call<std::optional<RemoteFile>>([&target](SftpConnection &c) { return c.info(target); });
    if (!file)
        requestDone(false);
    return file && file->type == u"file"_s ? file->size : -1;
}

QString SftpSession::modificationStamp(const QString &path)
{
    if (!m_connected)
        return {};
    const QString target = absolute(path);
    const auto file = call<std::optional<RemoteFile>>([&target](SftpConnection &c) { return c.info(target); });
    return file ? file->modify : QString();
}

std::optional<RemoteDirectory> SftpSession::listDirectory(const QString &path)
{
    if (!m_connected)
        return std::nullopt;
    const QString target = absolute(path);
    auto listing = call<std::optional<RemoteDirectory>>([&target](SftpConnection &c) { return c.list(target); });
    if (!listing)
        requestDone(false);
    return listing;
}

bool SftpSession::appendFile(const QString &local, const QString &remote, qint64 offset)
{
    if (!m_connected)
        return false;
    const QString target = absolute(remote);
    m_stop = false;
    const auto sent = call<SftpConnection::Sent>([&](SftpConnection &c) {
        std::atomic<qint64> bytes = 0;
        return c.send(local, target, offset, nullptr, bytes, m_stop);
    });
    m_stopped = sent == SftpConnection::Sent::Stopped;
    return sent == SftpConnection::Sent::Done || requestDone(false);
}

bool SftpSession::rename(const QString &from, const QString &to)
{
    const QString source = absolute(from), target = absolute(to);
    return m_connected && requestDone(call<bool>([&](SftpConnection &c) { return c.rename(source, target); }));
}

std::unique_ptr<StoreStage> SftpSession::storeStage(std::vector<StoreJob> jobs, const StoreOptions &options)
{
    SftpUpload::Setup setup;
    setup.credentials = m_credentials;
    setup.safe = options.safe;
    setup.directory = options.directory.isEmpty() ? m_cwd : options.directory;
    if (m_connected)
        setup.borrowed = m_connection.get();
    setup.sessions = std::max(1, options.sessions);
    auto stage = std::make_unique<SftpUpload>(std::move(setup), std::move(jobs));
    // A session lost during the stage is noticed by the next request.
    return stage;
}
