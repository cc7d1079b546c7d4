#pragma once

#include "publish/ParallelUpload.h"

#include <QDialog>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class CertificateTrust;

class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QProgressBar;
class QSpinBox;
class ParallelUpload;
class QPushButton;
class QToolButton;
class TFtpClient;
enum class FtpRequest;

// The upload window: publishes a local directory tree to an FTP server through its own
// session, and lists the remote directory. Every opening starts from the defaults.
class TFTPForm : public QDialog
{
    Q_OBJECT

public:
    explicit TFTPForm(QWidget *parent = nullptr);
    ~TFTPForm() override;

    TFtpClient &FtpClient1() { return *m_ftp; }
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

    // Asked when "Upload" is pressed while "Před nahráním zkontrolovat web" is ticked; false
    // leaves the upload undone. The box shows only once a check is set.
    using SiteCheck = std::function<bool(const QString &homeDirectory)>;
    void setSiteCheck(SiteCheck check);

private:
    void buildLeftHalf(QWidget *half);
    void buildRightHalf(QWidget *half);
    void connectSession();
    void appendLog(const QString &line);
    void check(bool succeeded);
    void flushLog() const;
    void showRequestError(int status);
    void uploadDirectory(const QString &directory);
    void uploadInParallel();
    ParallelUpload::Settings parallelSettings();
    QStringList makeRemoteDirectories(const QStringList &directories);
    void enterDirectory(const QString &directory, const QString &name, const QString &canonical);
    bool leaveDirectory(const QString &directory);
    void uploadFile(const QString &directory, const QString &entry);
    bool storePlain(const QString &entry, const QString &local);
    bool storeSafely(const QString &directory, const QString &entry, const QString &local);
    void removeTemporary(const QString &directory, const QString &name);
    void cleanUpLeftTemporaries();
    bool startUploadRun();
    void finishUploadRun();
    QString remotePathOf(const QString &localDirectory) const;
    QString relativeToStart(const QString &localPath) const;
    void fileDone(qint64 bytes);
    void showProgress(qint64 currentBytes);
    void setBusy(bool busy);

    TFtpClient *m_ftp = nullptr;
    QString m_homeDir;
    QStringList m_walkPath; // canonical directories the upload is inside, against link loops
    int m_busy = 0;
    bool m_closeRequested = false;
    int m_quiet = 0;              // housekeeping requests whose failure needs no box
    QSet<QString> m_shownErrors;  // boxes already shown during the running operation
    mutable QStringList m_pendingLog;
    QTimer m_logTimer;
    QString m_lastRemoteDir;      // the remote directory the last PWD named
    struct UploadRun;
    std::unique_ptr<UploadRun> m_run;

    QLineEdit *m_directoryEdit = nullptr;
    QToolButton *m_directoryButton = nullptr;
    QListWidget *m_fileList = nullptr;
    QCheckBox *m_subdirectories = nullptr;
    QCheckBox *m_passive = nullptr;
    QCheckBox *m_safe = nullptr;
    QCheckBox *m_changedOnly = nullptr;
    QCheckBox *m_dryRun = nullptr;
    QCheckBox *m_tls = nullptr;
    QSpinBox *m_sessions = nullptr;
    ParallelUpload *m_parallel = nullptr; // the running parallel upload, if any
    std::unique_ptr<CertificateTrust> m_trust;
    QPushButton *m_closeButton = nullptr;
    QLineEdit *m_hostName = nullptr;
    QLineEdit *m_port = nullptr;
    QLineEdit *m_userName = nullptr;
    QLineEdit *m_passWord = nullptr;
    QLineEdit *m_hostDir = nullptr;
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
    friend class QuietScope;
};

// Menu "Nástroje" → "Distribuce na WWW server": opens the upload window modally and
// destroys it when it closes; prepare, when given, sets the window up before it shows.
void ShowUploadWindow(QWidget *parent, const std::function<void(TFTPForm &)> &prepare = {});
