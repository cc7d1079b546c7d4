#pragma once

#include "publish/RemoteSession.h"
#include "publish/SftpConnection.h"

#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>


// The upload window's SFTP session: one SSH connection whose blocking requests run in a
// worker thread while the window's events keep flowing. It keeps a current directory of
// its own, as SFTP has none. Host keys are checked as ssh does: the user's known_hosts is
// read, what the user trusts here goes to the program's own list, and a changed key is
// refused.
class SftpSession : public QObject, public RemoteSession
{
    Q_OBJECT

public:
    struct Login
    {
        QString host;
        QString port; // empty: 22
        QString user;
        QString password;
        QString keyFile;
    };

    explicit SftpSession(QObject *parent = nullptr);
    ~SftpSession() override;

    // The program's own list of trusted keys, and the user's list that is only read.
    // By default in the program's data folder and in ~/.ssh.
    void setKnownHostsFiles(const QString &own, const QString &user);
    // Asks the user: the text, the buttons, the one Enter presses; the index of the
    // button pressed. Without one, nothing unknown is trusted.
    using Question = std::function<int(const QString &, const QStringList &, int)>;
    void setQuestion(Question question) { m_ask = std::move(question); }
    // Asks for the passphrase of a key file; nothing when the user cancels.
    using PassphrasePrompt = std::function<std::optional<QString>(const QString &keyFile)>;
    void setPassphrasePrompt(PassphrasePrompt prompt) { m_passphrasePrompt = std::move(prompt); }

    // Connects, checks the server's key and logs in; false with errorMessage() when not.
    bool open(const Login &login);
    void close();
    QString errorMessage() const { return m_error; }

    QString protocol() const override { return QStringLiteral("sftp"); }
    QString hostName() const override { return m_credentials.host; }
    QString port() const override { return QString::number(m_credentials.port); }
    QString userName() const override { return m_credentials.user; }
    bool connected() const override { return m_connected; }
    bool reconnect() override;
    bool stoppedByUser() const override { return m_stopped; }
    void stopTransfer() override { m_stop = true; }

    std::optional<QString> workingDirectory() override;
    bool changeDirectory(const QString &path) override;
    bool makeDirectory(const QString &path) override;
    bool removeFile(const QString &path) override;
    bool removeDirectory(const QString &path) override;
    qint64 fileSize(const QString &path) override;
    QString modificationStamp(const QString &path) override;
    std::optional<RemoteDirectory> listDirectory(const QString &path) override;
    bool listingShowsLinks() const override { return true; }
    std::optional<RemoteDirectory> listLinks(const QString &path) override { return listDirectory(path); }
    bool appendFile(const QString &local, const QString &remote, qint64 offset) override;
    bool rename(const QString &from, const QString &to) override;
    std::unique_ptr<StoreStage> storeStage(std::vector<StoreJob> jobs, const StoreOptions &options) override;

Q_SIGNALS:
    void logLine(const QString &line);

private:
    template <class Result>
    Result call(const std::function<Result(SftpConnection &)> &work);
    bool checkHostKey();
    bool authenticate();
    bool failed(const QString &text);
    bool requestDone(bool succeeded);
    QString absolute(const QString &path) const;

    SftpCredentials m_credentials;
    Question m_ask;
    PassphrasePrompt m_passphrasePrompt;
    QString m_cwd;
    QString m_error;
    bool m_connected = false;
    bool m_stopped = false;
    std::atomic<bool> m_stop = false;
    // Used in m_thread only while it runs.
    std::unique_ptr<SftpConnection> m_connection;
    QThread m_thread;
    QObject *m_context = nullptr; // lives in m_thread: the requests run in its events
};
