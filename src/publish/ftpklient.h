#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
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

    void reject() override;

private:
    void buildLeftHalf(QWidget *half);
    void buildRightHalf(QWidget *half);
    void connectSession();
    void appendLog(const QString &line);
    void check(bool succeeded);
    void uploadDirectory(const QString &directory);
    void uploadFile(const QString &directory, const QString &entry);
    void setBusy(bool busy);

    TFtpClient *m_ftp = nullptr;
    QString m_homeDir;
    QStringList m_walkPath; // canonical directories the upload is inside, against link loops
    int m_busy = 0;
    bool m_closeRequested = false;

    QLineEdit *m_directoryEdit = nullptr;
    QToolButton *m_directoryButton = nullptr;
    QListWidget *m_fileList = nullptr;
    QCheckBox *m_subdirectories = nullptr;
    QCheckBox *m_passive = nullptr;
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

    friend class BusyScope;
};

// Menu "Nástroje" → "Distribuce na WWW server": opens the upload window modally and
// destroys it when it closes.
void ShowUploadWindow(QWidget *parent);
