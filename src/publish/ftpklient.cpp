#include "publish/ftpklient.h"

#include "interaction/Interaction.h"
#include "publish/FtpClient.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
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

// Marks the window busy for one button's work: hourglass, buttons off, and a close asked
// for meanwhile is carried out when the work is over, never from inside a wait.
class BusyScope
{
public:
    explicit BusyScope(TFTPForm &form) : m_form(form)
    {
        if (m_form.m_busy++ == 0)
            m_form.setBusy(true);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyScope()
    {
        QApplication::restoreOverrideCursor();
        if (--m_form.m_busy == 0) {
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
    resize(760, 480);

    // The window's fixed session settings.
    m_ftp->setTimeout(15);
    m_ftp->setPort(u"ftp"_s);
    m_ftp->setBinary(true);
    m_ftp->setDisplayFlag(true);
    m_ftp->setPassive(false);
    connectSession();

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
    m_closeButton = new QPushButton(u"Zavřít"_s, half);
    m_closeButton->setObjectName(u"CloseButton"_s);
    m_closeButton->setAutoDefault(false);
    grid->addWidget(m_closeButton, 5, 0, 1, 2);

    connect(m_directoryButton, &QToolButton::clicked, this, &TFTPForm::DirectoryButtonClick);
    connect(m_fileList, &QListWidget::itemDoubleClicked, this, &TFTPForm::FileListBox1DblClick);
    connect(m_closeButton, &QPushButton::clicked, this, &TFTPForm::reject);
    connect(m_passive, &QCheckBox::toggled, m_ftp, &TFtpClient::setPassive);
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
            ui().showError(u"Error = "_s + QString::number(status) + u" ("_s + m_ftp->ErrorMessage() + u')');
    });
    connect(m_ftp, &TFtpClient::OnSessionClosed, this, [this](int error) {
        appendLog(u"Spojení ukončeno, error = "_s + QString::number(error));
    });
}

void TFTPForm::appendLog(const QString &line)
{
    m_log->appendPlainText(line);
}

QString TFTPForm::LogText() const
{
    return m_log->toPlainText();
}

void TFTPForm::check(bool succeeded)
{
    if (!succeeded)
        appendLog(Failure);
}

void TFTPForm::setBusy(bool busy)
{
    for (QWidget *w : {static_cast<QWidget *>(m_listButton), static_cast<QWidget *>(m_uploadButton),
                       static_cast<QWidget *>(m_connectButton), static_cast<QWidget *>(m_cdButton),
                       static_cast<QWidget *>(m_directoryButton)})
        w->setEnabled(!busy);
}

void TFTPForm::reject()
{
    if (m_busy > 0) {
        // Closing from inside a wait would pull the session from under it: stop the
        // transfer instead and close once the running work has unwound.
        m_closeRequested = true;
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
    m_log->clear();
    appendLog(u"Navazuje se spojení"_s);
    m_ftp->setHostName(m_hostName->text());
    m_ftp->setPort(m_port->text());
    check(m_ftp->OpenSync());
    m_ftp->setUserName(m_userName->text());
    check(m_ftp->UserSync());
    m_ftp->setPassWord(m_passWord->text());
    check(m_ftp->PassSync());
    check(m_ftp->PwdSync());
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
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QDir().mkpath(dir);
    return dir + u"/FTPDIR.TXT"_s;
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

void TFTPForm::UploadButtonClick()
{
    BusyScope busy(*this);
    const QString start = withSeparator(m_homeDir);
    m_walkPath = {QFileInfo(start).canonicalFilePath()};
    uploadDirectory(start);
    m_walkPath.clear();
}

void TFTPForm::uploadDirectory(const QString &directory)
{
    const int count = m_fileList->count();
    for (int index = 0; index < count; ++index) {
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
        setHomeDirectory(directory + name);
        m_ftp->setHostFileName(name);
        check(m_ftp->MkdSync());
        m_ftp->setHostDirName(name);
        check(m_ftp->CwdSync());
        m_walkPath << canonical;
        uploadDirectory(directory + name + u'/');
        m_walkPath.removeLast();
        m_ftp->setHostDirName(u".."_s);
        check(m_ftp->CwdSync());
        setHomeDirectory(directory);
    }
}

void TFTPForm::uploadFile(const QString &directory, const QString &entry)
{
    m_ftp->setHostFileName(entry);
    m_ftp->setLocalFileName(directory + entry);
    m_ftp->setBinary(true);
    check(m_ftp->TypeSetSync());
    check(m_ftp->PutSync());
}

void ShowUploadWindow(QWidget *parent)
{
    TFTPForm form(parent);
    ui().exec(form);
}
