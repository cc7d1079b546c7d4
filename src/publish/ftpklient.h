#pragma once

#include "publish/PasswordStore.h"
#include "publish/UploadSites.h"

#include <QDialog>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class CertificateTrust;

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QProgressBar;
class QSpinBox;
class UploadEngine;
class QPushButton;
class QToolButton;
class TFtpClient;
class SftpSession;
enum class FtpRequest;

// The upload window: publishes a local directory tree to a server over FTP, FTPS or SFTP
// through its own session (the upload itself is UploadEngine's), and lists the remote
// directory. Every opening starts from the defaults.
class TFTPForm : public QDialog
{
    Q_OBJECT

public:
    explicit TFTPForm(QWidget *parent = nullptr);
    ~TFTPForm() override;

    TFtpClient &FtpClient1() { return *m_ftp; }
    SftpSession &SftpClient() { return *m_sftp; }
    // The choices of "Protokol", in their order.
    enum Protocol { FtpProtocol, FtpsProtocol, SftpProtocol };
    // The shown local directory, always with a trailing separator.
    QString HomeDirectory() const { return m_homeDir; }
    void setHomeDirectory(const QString &directory);
    QStringList LocalEntries() const;
    QString LogText() const;

    // Where "List" leaves the remote listing; replaced by every listing.
    static QString ListingFilePath();

    void ConnectButtonClick();
    void CdButtonClick();
    void ListButtonClick();
    void UploadButtonClick();
    void DirectoryButtonClick();
    void FileListBox1DblClick(QListWidgetItem *item);
    // "Zastavit": the running transfer is cut cleanly and the upload ends after it.
    void StopButtonClick();

    void reject() override;

    // "Web": the saved sites. "Uložit web" asks for a name and saves the fields (the
    // password only to the keyring); picking a site fills them; "Smazat web" removes it.
    void SaveSiteButtonClick();
    void DeleteSiteButtonClick();
    void SitePicked(int index);
    // Where the sites and their passwords are kept (tests give their own).
    void setSites(UploadSites sites);
    void setPasswordStore(std::shared_ptr<PasswordStore> store) { m_passwords = std::move(store); }

    // Called when "Upload" is pressed, before anything goes up; false keeps the upload
    // from starting. None by default.
    void setBeforeUpload(std::function<bool()> check) { m_beforeUpload = std::move(check); }

    // Asked when "Upload" is pressed while "Před nahráním zkontrolovat web" is ticked; false
    // leaves the upload undone. The box shows only once a check is set.
    using SiteCheck = std::function<bool(const QString &homeDirectory)>;
    void setSiteCheck(SiteCheck check);
    // The extension the editor's backups get (the settings' one); "bak" by default.
    void setBackupExtension(const QString &extension) { m_backupExtension = extension; }

private:
    void buildLeftHalf(QWidget *half);
    void buildRightHalf(QWidget *half);
    void connectSession();
    void appendLog(const QString &line);
    void check(bool succeeded);
    void flushLog() const;
    void showRequestError(int status);
    void showError(const QString &text);
    void showProgress(int permille, qint64 doneFiles, qint64 totalFiles, qint64 bytes, qint64 totalBytes);
    void drawPending();
    void showWalkedDirectory(const QString &directory);
    void setBusy(bool busy);
    void protocolChanged(int index);
    bool sftpChosen() const;
    void connectSftp();
    void listSftp();
    void buildSiteRow(QWidget *half, class QGridLayout *grid);
    void reloadSites(const QString &current);
    UploadSite siteFromFields() const;
    void fillFields(const UploadSite &site);
    bool askPasswordIfNeeded();
    bool enterHostDirectory();
    QString sessionDirectory();
    QString fieldsTarget() const;

    TFtpClient *m_ftp = nullptr;
    SftpSession *m_sftp = nullptr;
    UploadEngine *m_engine = nullptr;
    std::function<bool()> m_beforeUpload;
    QString m_homeDir;
    int m_busy = 0;
    bool m_closeRequested = false;
    QSet<QString> m_shownErrors;  // boxes already shown during the running operation
    mutable QStringList m_pendingLog;
    struct ShownProgress
    {
        int permille = 0;
        qint64 doneFiles = 0, totalFiles = 0, bytes = 0, totalBytes = 0;
    };
    std::optional<ShownProgress> m_pendingProgress;
    bool m_fileListPending = false; // the list still shows a directory the walk has left
    QTimer m_logTimer;

    QLineEdit *m_directoryEdit = nullptr;
    QToolButton *m_directoryButton = nullptr;
    QListWidget *m_fileList = nullptr;
    QCheckBox *m_subdirectories = nullptr;
    QCheckBox *m_passive = nullptr;
    QCheckBox *m_safe = nullptr;
    QCheckBox *m_changedOnly = nullptr;
    QCheckBox *m_dryRun = nullptr;
    QCheckBox *m_deleteOrphans = nullptr;
    QCheckBox *m_skipBackups = nullptr;
    QString m_backupExtension = QStringLiteral("bak");
    QSpinBox *m_sessions = nullptr;
    std::unique_ptr<CertificateTrust> m_trust;
    QPushButton *m_closeButton = nullptr;
    QLineEdit *m_hostName = nullptr;
    QLineEdit *m_port = nullptr;
    QLineEdit *m_userName = nullptr;
    QLineEdit *m_passWord = nullptr;
    QLineEdit *m_hostDir = nullptr;
    // Protocol, server, port and account the sessions were opened for, as fieldsTarget() gives them.
    QString m_ftpTarget;
    QString m_sftpTarget;
    QString m_hostDirEntered; // where the directory m_hostDir names led the session, if it did
    QLineEdit *m_keyFile = nullptr;
    QComboBox *m_protocol = nullptr;
    QComboBox *m_site = nullptr;
    QPushButton *m_saveSite = nullptr;
    QPushButton *m_deleteSite = nullptr;
    UploadSites m_sites;
    std::shared_ptr<PasswordStore> m_passwords;
    bool m_siteHasPassword = false; // the password field holds the keyring's password
    QPushButton *m_listButton = nullptr;
    QPushButton *m_uploadButton = nullptr;
    QPushButton *m_connectButton = nullptr;
    QPushButton *m_cdButton = nullptr;
    QPlainTextEdit *m_log = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_stopButton = nullptr;
    QCheckBox *m_checkSite = nullptr;
    SiteCheck m_siteCheck;

    friend class BusyScope;
};

// Menu "Nástroje" → "Distribuce na WWW server": opens the upload window modally and
// destroys it when it closes; prepare, when given, sets the window up before it shows.
void ShowUploadWindow(QWidget *parent, const std::function<void(TFTPForm &)> &prepare = {});
