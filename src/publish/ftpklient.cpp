#include "publish/ftpklient.h"

#include "interaction/Interaction.h"
#include "markup/InstanceFiles.h"
#include "publish/CertificateTrust.h"
#include "publish/FtpClient.h"
#include "publish/ParallelUpload.h"
#include "publish/UploadJournal.h"
#include "publish/ftpklient_run.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString Failure = u"Chyba!"_s;

QString withSeparator(const QString &directory)
{
    return directory.endsWith(u'/') ? directory : directory + u'/';
}

// A list entry without its first "[" and first "]": a directory's bare name.
QString bareName(const QString &entry)
{
    QString name = entry;
    const qsizetype open = name.indexOf(u'[');
    if (open >= 0)
        name.remove(open, 1);
    const qsizetype close = name.indexOf(u']');
    if (close >= 0)
        name.remove(close, 1);
    return name;
}

} // namespace

// Failures of the requests inside stay in the log: the upload handles them itself.
class QuietScope
{
public:
    explicit QuietScope(TFTPForm &form) : m_form(form) { ++m_form.m_quiet; }
    ~QuietScope() { --m_form.m_quiet; }

private:
    TFTPForm &m_form;
};

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
            m_form.setBusy(false);
            if (m_form.m_closeRequested)
                QMetaObject::invokeMethod(&m_form, [form = &m_form] { form->QDialog::reject(); },
                                          Qt::QueuedConnection);
        }
    }

private:
    TFTPForm &m_form;
};

TFTPForm::TFTPForm(QWidget *parent) : QDialog(parent), m_ftp(new TFtpClient(this))
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
    m_checkSite = new QCheckBox(u"Před nahráním zkontrolovat web"_s, this);
    m_checkSite->setObjectName(u"CheckSiteBox"_s);
    m_checkSite->setChecked(true);
    m_checkSite->hide();
    layout->addWidget(m_checkSite);
    resize(760, 480);

    // The window's fixed session settings.
    m_ftp->setTimeout(15);
    m_ftp->setPort(u"ftp"_s);
    m_ftp->setBinary(true);
    m_ftp->setDisplayFlag(true);
    m_ftp->setPassive(false);
    m_ftp->setTls(false);
    m_trust = std::make_unique<CertificateTrust>();
    m_ftp->setCertificateCheck([this](const QSslCertificate &certificate, const QList<QSslError> &errors) {
        flushLog();
        return m_trust->accept(m_ftp->HostName(), m_ftp->ControlPort(), certificate, errors);
    });
    connectSession();
    // The log is drawn in batches: one repaint per line would cost more than the transfer
    // of a small file.
    m_logTimer.setSingleShot(true);
    m_logTimer.setInterval(100);
    connect(&m_logTimer, &QTimer::timeout, this, &TFTPForm::flushLog);

    setHomeDirectory(QDir::homePath());
}

TFTPForm::~TFTPForm() = default;

void TFTPForm::buildLeftHalf(QWidget *half)
{
    auto *grid = new QGridLayout(half);
    grid->addWidget(new QLabel(u"Domovský adresář"_s, half), 0, 0, 1, 2);
    m_directoryEdit = new QLineEdit(half);
    m_directoryEdit->setObjectName(u"DirectoryEdit1"_s);
    m_directoryEdit->setReadOnly(true);
    m_directoryButton = new QToolButton(half);
    m_directoryButton->setObjectName(u"DirectoryButton1"_s);
    m_directoryButton->setText(u"..."_s);
    grid->addWidget(m_directoryEdit, 1, 0);
    grid->addWidget(m_directoryButton, 1, 1);

    m_fileList = new QListWidget(half);
    m_fileList->setObjectName(u"FileListBox1"_s);
    m_fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QFont bold = m_fileList->font();
    bold.setBold(true);
    m_fileList->setFont(bold);
    grid->addWidget(m_fileList, 2, 0, 1, 2);

    m_subdirectories = new QCheckBox(u"Upload včetně podadresářů"_s, half);
    m_subdirectories->setObjectName(u"CheckBox1"_s);
    m_subdirectories->setChecked(true);
    grid->addWidget(m_subdirectories, 3, 0, 1, 2);
    m_passive = new QCheckBox(u"Pasivní režim"_s, half);
    m_passive->setObjectName(u"PassiveCheckBox"_s);
    m_passive->setChecked(false);
    grid->addWidget(m_passive, 4, 0, 1, 2);
    auto option = [&](int row, const QString &caption, const QString &name, bool checked, const QString &hint) {
        auto *box = new QCheckBox(caption, half);
        box->setObjectName(name);
        box->setChecked(checked);
        box->setToolTip(hint);
        grid->addWidget(box, row, 0, 1, 2);
        return box;
    };
    m_safe = option(5, u"Bezpečné nahrávání"_s, u"SafeCheckBox"_s, true,
                    u"Soubor se nahraje pod dočasným jménem a přejmenuje se až po úplném přenosu"_s);
    m_changedOnly = option(6, u"Jen změněné soubory"_s, u"ChangedOnlyCheckBox"_s, false,
                           u"Soubory beze změny od posledního nahrání se přeskočí"_s);
    m_dryRun = option(7, u"Zkušební běh"_s, u"DryRunCheckBox"_s, false,
                      u"Jen vypíše, co by se nahrálo"_s);
    m_tls = option(8, u"Šifrované spojení (FTPS)"_s, u"TlsCheckBox"_s, false,
                   u"Heslo i stránky putují po síti zašifrované (AUTH TLS)"_s);
    auto *sessionsRow = new QHBoxLayout;
    sessionsRow->addWidget(new QLabel(u"Souběžných přenosů"_s, half));
    m_sessions = new QSpinBox(half);
    m_sessions->setObjectName(u"SessionsSpinEdit"_s);
    m_sessions->setRange(1, 8);
    m_sessions->setValue(1);
    m_sessions->setToolTip(u"Kolik souborů se nahrává najednou, každý vlastním spojením"_s);
    sessionsRow->addWidget(m_sessions);
    grid->addLayout(sessionsRow, 9, 0, 1, 2);
    m_closeButton = new QPushButton(u"Zavřít"_s, half);
    m_closeButton->setObjectName(u"CloseButton"_s);
    m_closeButton->setAutoDefault(false);
    grid->addWidget(m_closeButton, 10, 0, 1, 2);

    connect(m_directoryButton, &QToolButton::clicked, this, &TFTPForm::DirectoryButtonClick);
    connect(m_fileList, &QListWidget::itemDoubleClicked, this, &TFTPForm::FileListBox1DblClick);
    connect(m_closeButton, &QPushButton::clicked, this, &TFTPForm::reject);
    connect(m_passive, &QCheckBox::toggled, m_ftp, &TFtpClient::setPassive);
    connect(m_tls, &QCheckBox::toggled, m_ftp, &TFtpClient::setTls);
}

void TFTPForm::buildRightHalf(QWidget *half)
{
    auto *grid = new QGridLayout(half);
    auto field = [&](int row, const QString &caption, const QString &name, const QString &text,
                     const QString &hint) {
        grid->addWidget(new QLabel(caption, half), row, 0);
        auto *edit = new QLineEdit(text, half);
        edit->setObjectName(name);
        if (!hint.isEmpty())
            edit->setToolTip(hint);
        grid->addWidget(edit, row, 1, 1, 3);
        return edit;
    };
    m_hostName = field(0, u"Server"_s, u"HostNameEdit"_s, {}, u"Host where the file is located"_s);
    m_port = field(1, u"Port"_s, u"PortEdit"_s, u"ftp"_s, {});
    m_userName = field(2, u"Účet"_s, u"UserNameEdit"_s, u"anonymous"_s, u"User name used to log on the host"_s);
    m_passWord = field(3, u"Heslo"_s, u"PassWordEdit"_s, u"anonymous@example.com"_s,
                       u"Password used to validate user access"_s);
    m_hostDir = field(4, u"Adresář"_s, u"HostDirEdit"_s, {}, {});

    auto button = [&](int column, const QString &caption, const QString &name) {
        auto *b = new QPushButton(caption, half);
        b->setObjectName(name);
        b->setAutoDefault(false);
        grid->addWidget(b, 5, column);
        return b;
    };
    m_listButton = button(0, u"List"_s, u"ListButton"_s);
    m_uploadButton = button(1, u"Upload"_s, u"UploadButton"_s);
    m_connectButton = button(2, u"Připojit"_s, u"ConnectButton"_s);
    m_cdButton = button(3, u"CD"_s, u"CdButton"_s);

    m_log = new QPlainTextEdit(half);
    m_log->setObjectName(u"DisplayMemo"_s);
    m_log->setBackgroundRole(QPalette::Button);
    QPalette palette = m_log->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_log->setPalette(palette);
    m_log->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->addWidget(m_log, 6, 0, 1, 4);
    m_progress = new QProgressBar(half);
    m_progress->setObjectName(u"ProgressBar1"_s);
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_progress->setTextVisible(true);
    m_progress->setFormat(QString());
    grid->addWidget(m_progress, 7, 0, 1, 3);
    m_stopButton = new QPushButton(u"Zastavit"_s, half);
    m_stopButton->setObjectName(u"StopButton"_s);
    m_stopButton->setAutoDefault(false);
    m_stopButton->setEnabled(false);
    grid->addWidget(m_stopButton, 7, 3);
    connect(m_stopButton, &QPushButton::clicked, this, &TFTPForm::StopButtonClick);

    connect(m_listButton, &QPushButton::clicked, this, &TFTPForm::ListButtonClick);
    connect(m_uploadButton, &QPushButton::clicked, this, &TFTPForm::UploadButtonClick);
    connect(m_connectButton, &QPushButton::clicked, this, &TFTPForm::ConnectButtonClick);
    connect(m_cdButton, &QPushButton::clicked, this, &TFTPForm::CdButtonClick);
}

void TFTPForm::connectSession()
{
    connect(m_ftp, &TFtpClient::OnDisplay, this, &TFTPForm::appendLog);
    connect(m_ftp, &TFtpClient::OnRequestDone, this, [this](FtpRequest, int status) {
        if (status != 0)
            showRequestError(status);
    });
    connect(m_ftp, &TFtpClient::OnPassiveFallback, this, [this] { m_passive->setChecked(true); });
    connect(m_ftp, &TFtpClient::OnProgress, this, [this](qint64 bytes) { showProgress(bytes); });
    connect(m_ftp, &TFtpClient::OnSessionClosed, this, [this](int error) {
        appendLog(u"Spojení ukončeno, error = "_s + QString::number(error));
    });
}

void TFTPForm::showRequestError(int status)
{
    if (m_quiet > 0 || status == TFtpClient::StoppedStatus)
        return;
    const QString text = u"Error = "_s + QString::number(status) + u" ("_s + m_ftp->ErrorMessage() + u')';
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
    // A transfer the user stopped did not fail.
    if (!succeeded && !(m_run && m_run->stop && m_ftp->Status() == TFtpClient::StoppedStatus))
        appendLog(Failure);
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
        if (m_run)
            m_run->stop = true;
        m_ftp->Abort();
        return;
    }
    QDialog::reject();
}

// ---------------------------------------------------------------------------------------
// Local side

void TFTPForm::setHomeDirectory(const QString &directory)
{
    m_homeDir = withSeparator(QDir::fromNativeSeparators(directory));
    m_directoryEdit->setText(QDir::toNativeSeparators(m_homeDir));
    m_fileList->clear();
    const QFileInfoList entries =
        QDir(m_homeDir).entryInfoList(QDir::Dirs | QDir::Files, QDir::NoSort);
    QStringList texts;
    texts.reserve(entries.size());
    for (const QFileInfo &info : entries)
        texts << (info.isDir() ? u'[' + info.fileName() + u']' : info.fileName());
    std::sort(texts.begin(), texts.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
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
    m_pendingLog.clear();
    m_log->clear();
    appendLog(u"Navazuje se spojení"_s);
    m_ftp->setHostName(m_hostName->text());
    m_ftp->setPort(m_port->text());
    check(m_ftp->OpenSync());
    m_ftp->setUserName(m_userName->text());
    check(m_ftp->UserSync());
    m_ftp->setPassWord(m_passWord->text());
    check(m_ftp->PassSync());
    const bool pwd = m_ftp->PwdSync();
    check(pwd);
    if (pwd)
        m_lastRemoteDir = TFtpClient::DirectoryOfReply(m_ftp->LastResponse());
}

void TFTPForm::CdButtonClick()
{
    BusyScope busy(*this);
    m_ftp->setHostDirName(m_hostDir->text());
    check(m_ftp->CwdSync());
    m_hostDir->setText(m_ftp->HostDirName());
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
    m_ftp->setHostFileName({});
    m_ftp->setLocalFileName(listing);
    check(m_ftp->NlstSync());
}

namespace {

struct TreeSize
{
    qint64 files = 0;
    qint64 bytes = 0;
    qint64 directories = 0;
};

// The files the walk will meet below directory, counted the way the walk lists them.
void measureTree(const QString &directory, bool subdirectories, QStringList &walkPath, TreeSize &size)
{
    const QFileInfoList entries =
        QDir(directory).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo &info : entries) {
        if (!info.isDir()) {
            ++size.files;
            size.bytes += info.size();
            continue;
        }
        ++size.directories;
        const QString canonical = info.canonicalFilePath();
        if (!subdirectories || canonical.isEmpty() || walkPath.contains(canonical))
            continue;
        walkPath << canonical;
        measureTree(info.filePath(), subdirectories, walkPath, size);
        walkPath.removeLast();
    }
}

// A name no page of the site has; hidden, so a web server does not offer it meanwhile.
QString temporaryName()
{
    return u".brisko-"_s + QString::number(QRandomGenerator::global()->generate64(), 16) + u".part"_s;
}

QString joinRemote(const QString &directory, const QString &name)
{
    if (directory.isEmpty())
        return name;
    return directory.endsWith(u'/') ? directory + name : directory + u'/' + name;
}

} // namespace

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
    if (!startUploadRun())
        return;
    const QString start = m_run->startLocal;
    m_walkPath = {QFileInfo(start).canonicalFilePath()};
    if (m_sessions->value() > 1 && !m_run->dryRun && m_ftp->Connected() && !m_run->remoteStart.isEmpty())
        uploadInParallel();
    else
        uploadDirectory(start);
    m_walkPath.clear();
    finishUploadRun();
}

void TFTPForm::StopButtonClick()
{
    if (m_run && !m_run->stop) {
        m_run->stop = true;
        appendLog(u"Nahrávání se zastavuje"_s);
    }
    m_ftp->StopTransfer();
    if (m_parallel)
        m_parallel->stop();
}

bool TFTPForm::startUploadRun()
{
    auto run = std::make_unique<UploadRun>();
    run->startLocal = withSeparator(m_homeDir);
    run->safe = m_safe->isChecked();
    run->changedOnly = m_changedOnly->isChecked();
    run->dryRun = m_dryRun->isChecked();
    TreeSize size;
    QStringList walk{QFileInfo(run->startLocal).canonicalFilePath()};
    measureTree(run->startLocal, m_subdirectories->isChecked(), walk, size);
    if (size.files == 0 && size.directories == 0)
        return false; // an empty home directory uploads nothing and logs nothing
    run->totalFiles = size.files;
    run->totalBytes = size.bytes;
    m_run = std::move(run);
    if (m_ftp->Connected()) {
        // Where the upload starts: the key of its journal, and the way back for cleaning up.
        QuietScope quiet(*this);
        if (m_ftp->PwdSync())
            m_lastRemoteDir = TFtpClient::DirectoryOfReply(m_ftp->LastResponse());
    }
    m_run->remoteStart = m_lastRemoteDir;
    if (m_run->changedOnly) {
        auto pick = [](const QString &session, const QLineEdit *field) {
            return session.isEmpty() ? field->text() : session;
        };
        m_run->journal.load(UploadJournal::pathFor(pick(m_ftp->HostName(), m_hostName),
                                                   pick(m_ftp->Port(), m_port),
                                                   pick(m_ftp->UserName(), m_userName), m_run->remoteStart));
    }
    if (m_run->dryRun)
        appendLog(u"Zkušební běh: nic se nenahrává"_s);
    showProgress(0);
    return true;
}

void TFTPForm::finishUploadRun()
{
    if (!m_run->dryRun)
        cleanUpLeftTemporaries();
    if (m_run->changedOnly && !m_run->dryRun && !m_run->journal.save())
        appendLog(u"Deník nahrávání se nepodařilo uložit: "_s + m_run->journal.path());
    if (m_run->stop)
        appendLog(u"Nahrávání zastaveno"_s);
    if (m_run->dryRun)
        appendLog(u"Zkušební běh: nahrálo by se %1 souborů, přeskočeno %2"_s.arg(m_run->stored).arg(m_run->skipped));
    else
        appendLog(u"Nahráno %1 souborů, přeskočeno %2, chyb %3"_s.arg(m_run->stored).arg(m_run->skipped).arg(m_run->failed));
    m_run.reset();
}

QString TFTPForm::relativeToStart(const QString &localPath) const
{
    return QDir(m_run->startLocal).relativeFilePath(localPath);
}

QString TFTPForm::remotePathOf(const QString &localDirectory) const
{
    if (m_run->remoteStart.isEmpty())
        return {};
    const QString relative = relativeToStart(localDirectory);
    return relative == u"."_s ? m_run->remoteStart : joinRemote(m_run->remoteStart, relative);
}

void TFTPForm::showProgress(qint64 currentBytes)
{
    if (!m_run)
        return;
    UploadRun &run = *m_run;
    const qint64 bytes = std::min(run.doneBytes + currentBytes, run.totalBytes);
    const int value = run.totalBytes > 0 ? int(bytes * 1000 / run.totalBytes)
                      : run.totalFiles > 0 ? int(run.doneFiles * 1000 / run.totalFiles)
                                           : 1000;
    // Redrawn only when it shows something new, and during a file at most every 100 ms:
    // drawing the bar for every block would cost more time than sending the block.
    if (currentBytes != 0 && (value == run.lastShown || (run.shown.isValid() && run.shown.elapsed() < 100)))
        return;
    run.lastShown = value;
    run.shown.start();
    m_progress->setValue(value);
    const QLocale czech(QLocale::Czech, QLocale::CzechRepublic);
    m_progress->setFormat(u"%1 / %2 souborů, %3 / %4"_s.arg(run.doneFiles)
                              .arg(run.totalFiles)
                              .arg(czech.formattedDataSize(bytes, 2, QLocale::DataSizeTraditionalFormat),
                                   czech.formattedDataSize(run.totalBytes, 2, QLocale::DataSizeTraditionalFormat)));
}

void TFTPForm::fileDone(qint64 bytes)
{
    ++m_run->doneFiles;
    m_run->doneBytes += bytes;
    showProgress(0);
}

void TFTPForm::uploadDirectory(const QString &directory)
{
    const int count = m_fileList->count();
    for (int index = 0; index < count && !m_run->stop; ++index) {
        if (index >= m_fileList->count())
            break; // the directory lost entries while the walk was below it
        const QString entry = m_fileList->item(index)->text();
        const QString name = bareName(entry);
        if (name == u"."_s || name == u".."_s)
            continue;
        const QFileInfo info(directory + name);
        if (!info.isDir()) {
            uploadFile(directory, entry);
            continue;
        }
        if (!m_subdirectories->isChecked())
            continue;
        // A link back to a directory the walk is already in would never end.
        const QString canonical = info.canonicalFilePath();
        if (canonical.isEmpty() || m_walkPath.contains(canonical))
            continue;
        enterDirectory(directory, name, canonical);
        setHomeDirectory(directory);
    }
}

void TFTPForm::enterDirectory(const QString &directory, const QString &name, const QString &canonical)
{
    const QString inner = directory + name + u'/';
    setHomeDirectory(directory + name);
    if (!m_run->dryRun) {
        // A directory the journal knows was made by an earlier upload: asking for it again
        // would only raise the "exists" box on every run.
        if (!m_run->changedOnly || !m_run->journal.knowsDirectory(relativeToStart(inner))) {
            m_ftp->setHostFileName(name);
            check(m_ftp->MkdSync());
        }
        m_ftp->setHostDirName(name);
        const bool entered = m_ftp->CwdSync();
        check(entered);
        if (!entered) {
            // Its files never go to the parent, and no "CWD .." climbs above the target.
            TreeSize size;
            QStringList walk = m_walkPath;
            walk << canonical;
            measureTree(inner, true, walk, size);
            appendLog(u"Adresář %1 nelze otevřít, přeskakuje se (%2 souborů)"_s.arg(relativeToStart(inner)).arg(size.files));
            m_run->failed += int(size.files);
            m_run->doneFiles += size.files;
            m_run->doneBytes += size.bytes;
            showProgress(0);
            return;
        }
    }
    m_walkPath << canonical;
    uploadDirectory(inner);
    m_walkPath.removeLast();
    if (!m_run->dryRun && !leaveDirectory(directory)) {
        appendLog(u"Návrat do nadřazeného adresáře se nezdařil, nahrávání končí"_s);
        m_run->stop = true;
    }
}

bool TFTPForm::leaveDirectory(const QString &directory)
{
    m_ftp->setHostDirName(u".."_s);
    const bool up = m_ftp->CwdSync();
    check(up);
    if (up || !m_ftp->Connected())
        return true; // a lost session refuses everything; nothing can land anywhere
    // Not knowing where the session stands, nothing more may be stored before it is back.
    const QString parent = remotePathOf(directory);
    if (parent.isEmpty())
        return false;
    m_ftp->setHostDirName(parent);
    const bool back = m_ftp->CwdSync();
    check(back);
    return back;
}

void TFTPForm::uploadFile(const QString &directory, const QString &entry)
{
    const QString local = directory + entry;
    const QString relative = relativeToStart(local);
    const QFileInfo info(local);
    UploadJournal::Entry state{info.size(), info.lastModified().toMSecsSinceEpoch(), {}};
    if (m_run->changedOnly && m_run->journal.isUnchanged(relative, local)) {
        appendLog(u"Přeskočeno (beze změny): "_s + relative);
        ++m_run->skipped;
        fileDone(info.size());
        return;
    }
    if (m_run->dryRun) {
        appendLog(u"Nahrálo by se: "_s + relative);
        ++m_run->stored;
        fileDone(info.size());
        return;
    }
    // The journal records the content that actually left, hashed as it is sent.
    QCryptographicHash sent(QCryptographicHash::Sha256);
    if (m_run->changedOnly)
        m_ftp->setSentDataHash(&sent);
    m_ftp->setBinary(true);
    check(m_ftp->TypeSetSync());
    const bool stored = m_run->safe ? storeSafely(directory, entry, local) : storePlain(entry, local);
    m_ftp->setSentDataHash(nullptr);
    if (stored) {
        appendLog(u"Nahráno: "_s + relative);
        ++m_run->stored;
        if (m_run->changedOnly) {
            state.sha256 = sent.result();
            m_run->journal.record(relative, state);
        }
    } else if (m_run->stop) {
        // Stopped by the user while it went up: not a failure of the server's.
        appendLog(u"Zastaveno: "_s + relative);
        m_run->journal.forget(relative);
    } else {
        appendLog(u"Nenahráno: "_s + relative);
        ++m_run->failed;
        m_run->journal.forget(relative);
    }
    if (!m_run->stop) // a stopped file is not done: the bar shows how far the upload got
        fileDone(info.size());
}

bool TFTPForm::storePlain(const QString &entry, const QString &local)
{
    m_ftp->setHostFileName(entry);
    m_ftp->setLocalFileName(local);
    const bool stored = m_ftp->PutSync();
    check(stored);
    return stored;
}

// The file goes up under a temporary name and takes its own name only once the server has
// confirmed all of it, so a visitor never gets half a page.
bool TFTPForm::storeSafely(const QString &directory, const QString &entry, const QString &local)
{
    const QString temporary = temporaryName();
    m_ftp->setHostFileName(temporary);
    m_ftp->setLocalFileName(local);
    if (!m_ftp->PutSync()) {
        check(false);
        if (m_ftp->TransferAccepted())
            removeTemporary(directory, temporary);
        return false;
    }
    bool renamed = false;
    {
        QuietScope quiet(*this);
        renamed = m_ftp->RenFromSync();
        if (renamed) {
            m_ftp->setHostFileName(entry);
            renamed = m_ftp->RenToSync();
        }
    }
    if (renamed)
        return true;
    if (!m_ftp->Connected()) {
        removeTemporary(directory, temporary);
        check(false);
        return false;
    }
    appendLog(u"Server nepřejmenoval dočasný soubor, "_s + entry + u" se ukládá přímo"_s);
    removeTemporary(directory, temporary);
    return storePlain(entry, local);
}

void TFTPForm::removeTemporary(const QString &directory, const QString &name)
{
    if (m_ftp->Connected()) {
        QuietScope quiet(*this);
        m_ftp->setHostFileName(name);
        if (m_ftp->DeleSync())
            return;
        if (m_ftp->Connected()) {
            appendLog(u"Dočasný soubor se nepodařilo smazat: "_s + joinRemote(remotePathOf(directory), name));
            return;
        }
    }
    // The session is gone: the file is deleted over a new one when the walk is over.
    const QString remote = remotePathOf(directory);
    if (remote.isEmpty())
        appendLog(u"Dočasný soubor zůstal na serveru: "_s + name);
    else
        m_run->leftTemporaries << joinRemote(remote, name);
}

void TFTPForm::cleanUpLeftTemporaries()
{
    if (m_run->leftTemporaries.isEmpty() || m_closeRequested)
        return;
    QuietScope quiet(*this);
    if (!m_ftp->Connected()) {
        appendLog(u"Nové spojení kvůli smazání dočasných souborů"_s);
        const bool loggedIn = m_ftp->OpenSync() && m_ftp->UserSync()
                              && (m_ftp->StatusCode() == 230 || m_ftp->PassSync());
        if (!loggedIn) {
            appendLog(u"Dočasné soubory zůstaly na serveru: "_s + m_run->leftTemporaries.join(u", "_s));
            return;
        }
    }
    for (const QString &path : std::as_const(m_run->leftTemporaries)) {
        m_ftp->setHostFileName(path);
        if (!m_ftp->DeleSync())
            appendLog(u"Dočasný soubor se nepodařilo smazat: "_s + path);
    }
    // Back where the upload started, as the user left the session.
    m_ftp->setHostDirName(m_run->remoteStart);
    m_ftp->CwdSync();
}

void ShowUploadWindow(QWidget *parent, const std::function<void(TFTPForm &)> &prepare)
{
    TFTPForm form(parent);
    if (prepare)
        prepare(form);
    ui().exec(form);
}
