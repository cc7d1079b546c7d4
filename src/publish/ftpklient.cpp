#include "publish/ftpklient.h"

#include "interaction/Interaction.h"
#include "markup/InstanceFiles.h"
#include "publish/CertificateTrust.h"
#include "publish/FtpClient.h"
#include "publish/SftpSession.h"
#include "publish/UploadEngine.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

// Marks the window busy for one button's work: hourglass, buttons off, and a close asked
// for meanwhile is carried out when the work is over, never from inside a wait.
class BusyScope
{
public:
    explicit BusyScope(TFTPForm &form) : m_form(form)
    {
        if (m_form.m_busy++ == 0) {
            m_form.m_shownErrors.clear();
            m_form.setBusy(true);
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyScope()
    {
        QApplication::restoreOverrideCursor();
        if (--m_form.m_busy == 0) {
            m_form.flushLog();
            m_form.drawPending();
            m_form.setBusy(false);
            if (m_form.m_closeRequested)
                QMetaObject::invokeMethod(&m_form, [form = &m_form] { form->QDialog::reject(); },
                                          Qt::QueuedConnection);
        }
    }

private:
    TFTPForm &m_form;
};

TFTPForm::TFTPForm(QWidget *parent)
    : QDialog(parent), m_ftp(new TFtpClient(this)), m_sftp(new SftpSession(this)),
      m_engine(new UploadEngine(*m_ftp, this)), m_passwords(desktopPasswordStore())
{
    setObjectName(u"FTPForm"_s);
    setWindowTitle(u"Upload"_s);
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(u"Splitter1"_s);
    auto *left = new QWidget(splitter);
    auto *right = new QWidget(splitter);
    buildLeftHalf(left);
    buildRightHalf(right);
    splitter->addWidget(left);
    splitter->addWidget(right);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    resize(760, 480);

    // The window's fixed session settings.
    m_ftp->setTimeout(15);
    m_ftp->setPort(u"ftp"_s);
    m_ftp->setBinary(true);
    m_ftp->setDisplayFlag(true);
    m_ftp->setPassive(false);
    m_ftp->setTls(false);
    m_trust = std::make_unique<CertificateTrust>();
    auto askTrust = [this](const QSslCertificate &certificate, const QList<QSslError> &errors) {
        flushLog();
        return m_trust->accept(m_ftp->HostName(), m_ftp->ControlPort(), certificate, errors);
    };
    m_ftp->setCertificateCheck(askTrust);
    m_engine->setCertificateCheck(askTrust);
    m_engine->setQuestion([this](const QString &text, const QStringList &buttons, int defaultButton) {
        flushLog();
        // The user's time over the question is not the server's silence.
        m_ftp->PauseTimeout();
        const int pick = ui().chooseWithDefault(text, buttons, defaultButton);
        m_ftp->ResumeTimeout();
        return pick;
    });
    m_sftp->setQuestion([this](const QString &text, const QStringList &buttons, int defaultButton) {
        flushLog();
        return ui().chooseWithDefault(text, buttons, defaultButton);
    });
    m_sftp->setPassphrasePrompt([this](const QString &keyFile) {
        flushLog();
        return ui().secret(u"Heslo ke klíči"_s, u"Heslo ke klíči %1:"_s.arg(QDir::toNativeSeparators(keyFile)));
    });
    connectSession();
    // The log and the progress bar are drawn in batches: one repaint per line, or per file,
    // would cost more than the transfer of a small file.
    m_logTimer.setSingleShot(true);
    m_logTimer.setInterval(100);
    connect(&m_logTimer, &QTimer::timeout, this, [this] {
        flushLog();
        drawPending();
    });

    setHomeDirectory(QDir::homePath());
}

TFTPForm::~TFTPForm() = default;

void TFTPForm::connectSession()
{
    connect(m_ftp, &TFtpClient::OnDisplay, this, &TFTPForm::appendLog);
    connect(m_ftp, &TFtpClient::OnRequestDone, this, [this](FtpRequest, int status) {
        if (status != 0)
            showRequestError(status);
    });
    connect(m_ftp, &TFtpClient::OnPassiveFallback, this, [this] { m_passive->setChecked(true); });
    connect(m_ftp, &TFtpClient::OnSessionClosed, this, [this](int error) {
        appendLog(u"Spojení ukončeno, error = "_s + QString::number(error));
    });
    connect(m_sftp, &SftpSession::logLine, this, &TFTPForm::appendLog);
    connect(m_engine, &UploadEngine::logLine, this, &TFTPForm::appendLog);
    connect(m_engine, &UploadEngine::directoryEntered, this, &TFTPForm::showWalkedDirectory);
    connect(m_engine, &UploadEngine::progress, this, &TFTPForm::showProgress);
    connect(m_engine, &UploadEngine::failure, this, &TFTPForm::showError);
}

void TFTPForm::showRequestError(int status)
{
    if (m_engine->quiet() || status == TFtpClient::StoppedStatus)
        return;
    showError(u"Error = "_s + QString::number(status) + u" ("_s + m_ftp->ErrorMessage() + u')');
}

void TFTPForm::showError(const QString &text)
{
    // A wrong password or a refused mode fails every file the same way: one box says it.
    if (m_busy > 0 && m_shownErrors.contains(text))
        return;
    m_shownErrors.insert(text);
    flushLog();
    // The box may stay open a long time; the server's silence meanwhile is not its fault.
    m_ftp->PauseTimeout();
    ui().showError(text);
    m_ftp->ResumeTimeout();
}

void TFTPForm::appendLog(const QString &line)
{
    m_pendingLog << line;
    if (!m_logTimer.isActive())
        m_logTimer.start();
}

void TFTPForm::flushLog() const
{
    if (m_pendingLog.isEmpty())
        return;
    m_log->appendPlainText(m_pendingLog.join(u'\n'));
    m_pendingLog.clear();
}

QString TFTPForm::LogText() const
{
    flushLog();
    return m_log->toPlainText();
}

void TFTPForm::check(bool succeeded)
{
    if (!succeeded)
        appendLog(uploadFailureText());
}

void TFTPForm::setBusy(bool busy)
{
    for (QWidget *w : {static_cast<QWidget *>(m_listButton), static_cast<QWidget *>(m_uploadButton),
                       static_cast<QWidget *>(m_connectButton), static_cast<QWidget *>(m_cdButton),
                       static_cast<QWidget *>(m_directoryButton)})
        w->setEnabled(!busy);
    m_stopButton->setEnabled(busy);
}

void TFTPForm::reject()
{
    if (m_busy > 0) {
        // Closing from inside a wait would pull the session from under it: stop the
        // transfer instead and close once the running work has unwound.
        m_closeRequested = true;
        m_engine->abandon();
        m_ftp->Abort();
        m_sftp->stopTransfer();
        return;
    }
    QDialog::reject();
}

// ---------------------------------------------------------------------------------------
// Local side

void TFTPForm::setHomeDirectory(const QString &directory)
{
    m_fileListPending = false;
    m_homeDir = withSeparator(QDir::fromNativeSeparators(directory));
    m_directoryEdit->setText(QDir::toNativeSeparators(m_homeDir));
    m_fileList->clear();
    const QStringList texts = UploadEngine::directoryEntries(m_homeDir);
    const QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
    for (const QString &text : texts) {
        auto *item = new QListWidgetItem(text, m_fileList);
        if (!text.startsWith(u'['))
            item->setIcon(fileIcon);
    }
}

QStringList TFTPForm::LocalEntries() const
{
    QStringList entries;
    for (int i = 0; i < m_fileList->count(); ++i)
        entries << m_fileList->item(i)->text();
    return entries;
}

void TFTPForm::DirectoryButtonClick()
{
    const QString chosen = ui().existingDirectory(u"Domovský adresář"_s, m_homeDir);
    if (!chosen.isEmpty())
        setHomeDirectory(chosen);
}

void TFTPForm::FileListBox1DblClick(QListWidgetItem *item)
{
    if (!item || m_busy > 0)
        return;
    const QString entry = item->text();
    if (entry == u"[.]"_s) {
        setHomeDirectory(QStorageInfo(m_homeDir).rootPath());
    } else if (entry == u"[..]"_s) {
        QDir parent(m_homeDir);
        parent.cdUp();
        setHomeDirectory(parent.absolutePath());
    } else if (entry.startsWith(u'[')) {
        const QString target = m_homeDir + bareName(entry);
        if (QFileInfo(target).isDir())
            setHomeDirectory(target);
    }
}

// ---------------------------------------------------------------------------------------
// Remote side

void TFTPForm::ConnectButtonClick()
{
    if (m_hostName->text().isEmpty())
        return;
    BusyScope busy(*this);
    // A live session to another server or account, or over the other FTP, is ended first:
    // logging in again over it would send the site, and its journal, to the old server.
    const QString target = fieldsTarget();
    if (m_ftp->Connected() && target != m_ftpTarget)
        m_ftp->Abort();
    m_pendingLog.clear();
    m_log->clear();
    appendLog(u"Navazuje se spojení"_s);
    if (!askPasswordIfNeeded())
        return;
    if (sftpChosen()) {
        connectSftp();
        return;
    }
    m_ftp->setHostName(m_hostName->text());
    m_ftp->setPort(m_port->text());
    // Still connected to the same server: it is logged in to again over the same line.
    const bool opened = m_ftp->Connected() || m_ftp->OpenSync();
    check(opened);
    if (opened)
        m_ftpTarget = target;
    m_ftp->setUserName(m_userName->text());
    const bool user = m_ftp->UserSync();
    check(user);
    // A server may let the account in without a password.
    const bool inWithoutPassword = user && m_ftp->StatusCode() == 230;
    m_ftp->setPassWord(m_passWord->text());
    const bool loggedIn = m_ftp->PassSync();
    check(loggedIn);
    // After a refused password the PWD could only be refused too: a second box for one fault.
    if (!loggedIn && !inWithoutPassword)
        return;
    const bool pwd = m_ftp->PwdSync();
    check(pwd);
    if (pwd)
        m_engine->setRemoteDirectory(TFtpClient::DirectoryOfReply(m_ftp->LastResponse()));
}

void TFTPForm::CdButtonClick()
{
    BusyScope busy(*this);
    enterHostDirectory();
}

bool TFTPForm::enterHostDirectory()
{
    bool entered = false;
    if (sftpChosen()) {
        entered = m_sftp->changeDirectory(m_hostDir->text());
    } else {
        m_ftp->setHostDirName(m_hostDir->text());
        entered = m_ftp->CwdSync();
        m_hostDir->setText(m_ftp->HostDirName());
    }
    check(entered);
    m_hostDirEntered = entered ? sessionDirectory() : QString();
    return entered;
}

QString TFTPForm::sessionDirectory()
{
    m_engine->setSession(sftpChosen() ? m_sftp : nullptr);
    return m_engine->session().workingDirectory().value_or(QString());
}

QString TFTPForm::ListingFilePath()
{
    return instanceCacheFile(u"FTPDIR.TXT"_s);
}

void TFTPForm::ListButtonClick()
{
    BusyScope busy(*this);
    const QString listing = ListingFilePath();
    QFile::remove(listing);
    if (sftpChosen()) {
        listSftp();
        return;
    }
    m_ftp->setHostFileName({});
    m_ftp->setLocalFileName(listing);
    check(m_ftp->NlstSync());
}

bool TFTPForm::sftpChosen() const
{
    return m_protocol->currentIndex() == SftpProtocol;
}

void TFTPForm::connectSftp()
{
    const SftpSession::Login login{m_hostName->text(), m_port->text(), m_userName->text(), m_passWord->text(),
                                   m_keyFile->text()};
    if (!m_sftp->open(login)) {
        check(false);
        showError(m_sftp->errorMessage());
        return;
    }
    m_sftpTarget = fieldsTarget();
    if (const auto directory = m_sftp->workingDirectory())
        m_engine->setRemoteDirectory(*directory);
}

QString TFTPForm::fieldsTarget() const
{
    return QStringList{QString::number(m_protocol->currentIndex()), m_hostName->text().trimmed(),
                       m_port->text().trimmed(), m_userName->text()}
        .join(u'\n');
}

// The names of the remote directory, into the listing file and the log, as NLST gives them.
void TFTPForm::listSftp()
{
    const auto listing = m_sftp->listDirectory(u"."_s);
    check(listing.has_value());
    if (!listing)
        return;
    QStringList names = listing->keys();
    names.sort(Qt::CaseInsensitive);
    QFile file(ListingFilePath());
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (file.open(QIODevice::WriteOnly))
        file.write((names.join(u"\r\n"_s) + u"\r\n"_s).toUtf8());
    for (const QString &name : std::as_const(names))
        appendLog(name);
}

void TFTPForm::setSiteCheck(SiteCheck check)
{
    m_siteCheck = std::move(check);
    m_checkSite->setVisible(bool(m_siteCheck));
}

void TFTPForm::UploadButtonClick()
{
    if (m_siteCheck && m_checkSite->isChecked() && !m_siteCheck(m_homeDir))
        return;
    BusyScope busy(*this);
    // A check another part of the program wants made first (the pages, say) may keep
    // the upload from starting.
    if (m_beforeUpload && !m_beforeUpload())
        return;
    const bool connected = sftpChosen() ? m_sftp->connected() : m_ftp->Connected();
    // The fields changed since "Připojit" (another saved site picked, FTPS chosen over a
    // plain session): the live session would take the site to the old server, or in clear.
    if (connected && fieldsTarget() != (sftpChosen() ? m_sftpTarget : m_ftpTarget)) {
        const QString text = u"Spojení je navázáno s jiným serverem, účtem nebo protokolem, než uvádí okno. "
                             u"Nejdřív stiskněte Připojit."_s;
        appendLog(text);
        showError(text);
        return;
    }
    // The site goes to the directory the field names, "CD" pressed or not: a saved site
    // picked, connected and uploaded would otherwise land in the login directory, and
    // with the deletion on, that directory's other contents would be its orphans. A
    // session that logged in again may stand where it did or back at the start: where it
    // stands is asked, not assumed.
    const bool wanted = connected && !m_hostDir->text().isEmpty();
    if (wanted && (m_hostDirEntered.isEmpty() || sessionDirectory() != m_hostDirEntered) && !enterHostDirectory()) {
        appendLog(u"Adresář %1 na serveru nelze otevřít, nic se nenahrává"_s.arg(m_hostDir->text()));
        return;
    }
    UploadEngine::Options options;
    options.home = m_homeDir;
    options.subdirectories = m_subdirectories->isChecked();
    options.safe = m_safe->isChecked();
    options.changedOnly = m_changedOnly->isChecked();
    options.dryRun = m_dryRun->isChecked();
    options.sessions = m_sessions->value();
    options.deleteOrphans = m_deleteOrphans->isChecked();
    options.skipBackups = m_skipBackups->isChecked();
    options.backupExtension = m_backupExtension;
    options.host = m_hostName->text();
    options.port = m_port->text();
    options.user = m_userName->text();
    m_engine->setSession(sftpChosen() ? m_sftp : nullptr);
    m_engine->run(options);
}

void TFTPForm::StopButtonClick()
{
    m_engine->stop();
}

void TFTPForm::showProgress(int permille, qint64 doneFiles, qint64 totalFiles, qint64 bytes, qint64 totalBytes)
{
    // A progress bar repaints itself at once for every new value: a thousand small files
    // would spend more time drawing than sending. The latest state goes with the log's
    // next batch, ten times a second at most, and the last one when the work is over.
    m_pendingProgress = ShownProgress{permille, doneFiles, totalFiles, bytes, totalBytes};
    if (!m_logTimer.isActive())
        m_logTimer.start();
}

// The walk passes through directories faster than anyone can read their lists: the
// directory shows at once, its list with the log's next batch.
void TFTPForm::showWalkedDirectory(const QString &directory)
{
    m_homeDir = withSeparator(QDir::fromNativeSeparators(directory));
    m_directoryEdit->setText(QDir::toNativeSeparators(m_homeDir));
    m_fileListPending = true;
    if (!m_logTimer.isActive())
        m_logTimer.start();
}

// What the log timer holds back: the latest progress and the walked directory's list.
void TFTPForm::drawPending()
{
    if (m_fileListPending)
        setHomeDirectory(m_homeDir);
    if (!m_pendingProgress)
        return;
    const ShownProgress shown = *std::exchange(m_pendingProgress, std::nullopt);
    m_progress->setValue(shown.permille);
    const QLocale czech(QLocale::Czech, QLocale::CzechRepublic);
    m_progress->setFormat(u"%1 / %2 souborů, %3 / %4"_s.arg(shown.doneFiles)
                              .arg(shown.totalFiles)
                              .arg(czech.formattedDataSize(shown.bytes, 2, QLocale::DataSizeTraditionalFormat),
                                   czech.formattedDataSize(shown.totalBytes, 2, QLocale::DataSizeTraditionalFormat)));
}

void ShowUploadWindow(QWidget *parent, const std::function<void(TFTPForm &)> &prepare)
{
    TFTPForm form(parent);
    if (prepare)
        prepare(form);
    ui().exec(form);
}
