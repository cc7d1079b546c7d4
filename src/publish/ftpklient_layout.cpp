// The upload window's controls and how they are laid out; what they do is in ftpklient.cpp.
#include "publish/FtpClient.h"
#include "publish/ftpklient.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

using namespace Qt::StringLiterals;

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
    m_deleteOrphans = option(10, u"Smazat na serveru soubory, které doma nejsou"_s, u"DeleteOrphansCheckBox"_s, false,
                             u"Po nahrání se vypíše, co na serveru přebývá, a po potvrzení se to smaže"_s);
    auto *sessionsRow = new QHBoxLayout;
    sessionsRow->addWidget(new QLabel(u"Souběžných přenosů"_s, half));
    m_sessions = new QSpinBox(half);
    m_sessions->setObjectName(u"SessionsSpinEdit"_s);
    m_sessions->setRange(1, 8);
    m_sessions->setValue(1);
    m_sessions->setToolTip(u"Kolik souborů se nahrává najednou, každý vlastním spojením"_s);
    sessionsRow->addWidget(m_sessions);
    grid->addLayout(sessionsRow, 9, 0, 1, 2);
    // Shown only where the program hands the window a site check (see setSiteCheck).
    m_skipBackups = option(11, u"Nenahrávat zálohy"_s, u"SkipBackupsCheckBox"_s, true,
                           u"Zálohy stránek, dočasné soubory a kopie pro obnovu, které dělá editor, zůstanou doma"_s);
    m_checkSite = option(12, u"Před nahráním zkontrolovat web"_s, u"CheckSiteBox"_s, true,
                         u"Před nahráním se zkontrolují odkazy všech stránek"_s);
    m_checkSite->hide();
    m_closeButton = new QPushButton(u"Zavřít"_s, half);
    m_closeButton->setObjectName(u"CloseButton"_s);
    m_closeButton->setAutoDefault(false);
    grid->addWidget(m_closeButton, 13, 0, 1, 2);

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
    buildSiteRow(half, grid);
    grid->addWidget(new QLabel(u"Protokol"_s, half), 1, 0);
    m_protocol = new QComboBox(half);
    m_protocol->setObjectName(u"ProtocolComboBox"_s);
    m_protocol->addItems({u"FTP"_s, u"FTPS"_s, u"SFTP (SSH)"_s});
    m_protocol->setToolTip(u"FTPS a SFTP posílají heslo i stránky po síti zašifrované"_s);
    grid->addWidget(m_protocol, 1, 1, 1, 3);
    m_hostName = field(2, u"Server"_s, u"HostNameEdit"_s, {}, u"Host where the file is located"_s);
    m_port = field(3, u"Port"_s, u"PortEdit"_s, u"ftp"_s, {});
    m_userName = field(4, u"Účet"_s, u"UserNameEdit"_s, u"anonymous"_s, u"User name used to log on the host"_s);
    m_passWord = field(5, u"Heslo"_s, u"PassWordEdit"_s, u"anonymous@example.com"_s,
                       u"Password used to validate user access"_s);
    m_keyFile = field(6, u"Klíč SSH"_s, u"KeyFileEdit"_s, {},
                      u"Soubor se soukromým klíčem; prázdné: klíče z agenta a z ~/.ssh"_s);
    m_keyFile->setEnabled(false);
    m_hostDir = field(7, u"Adresář"_s, u"HostDirEdit"_s, {}, {});
    connect(m_hostDir, &QLineEdit::textEdited, this, [this] { m_hostDirEntered.clear(); });
    connect(m_protocol, &QComboBox::currentIndexChanged, this, &TFTPForm::protocolChanged);

    auto button = [&](int column, const QString &caption, const QString &name) {
        auto *b = new QPushButton(caption, half);
        b->setObjectName(name);
        b->setAutoDefault(false);
        grid->addWidget(b, 8, column);
        return b;
    };
    m_listButton = button(0, u"List"_s, u"ListButton"_s);
    m_uploadButton = button(1, u"Upload"_s, u"UploadButton"_s);
    m_connectButton = button(2, u"Připojit"_s, u"ConnectButton"_s);
    m_cdButton = button(3, u"CD"_s, u"CdButton"_s);

    m_log = new QPlainTextEdit(half);
    m_log->setObjectName(u"DisplayMemo"_s);
    // What the session said: read and copied, never typed over (Ctrl+A and a key wiped it).
    m_log->setReadOnly(true);
    m_log->setBackgroundRole(QPalette::Button);
    QPalette palette = m_log->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_log->setPalette(palette);
    m_log->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->addWidget(m_log, 9, 0, 1, 4);
    m_progress = new QProgressBar(half);
    m_progress->setObjectName(u"ProgressBar1"_s);
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_progress->setTextVisible(true);
    m_progress->setFormat(QString());
    grid->addWidget(m_progress, 10, 0, 1, 3);
    m_stopButton = new QPushButton(u"Zastavit"_s, half);
    m_stopButton->setObjectName(u"StopButton"_s);
    m_stopButton->setAutoDefault(false);
    m_stopButton->setEnabled(false);
    grid->addWidget(m_stopButton, 10, 3);
    connect(m_stopButton, &QPushButton::clicked, this, &TFTPForm::StopButtonClick);

    connect(m_listButton, &QPushButton::clicked, this, &TFTPForm::ListButtonClick);
    connect(m_uploadButton, &QPushButton::clicked, this, &TFTPForm::UploadButtonClick);
    connect(m_connectButton, &QPushButton::clicked, this, &TFTPForm::ConnectButtonClick);
    connect(m_cdButton, &QPushButton::clicked, this, &TFTPForm::CdButtonClick);
}

void TFTPForm::protocolChanged(int index)
{
    const bool sftp = index == SftpProtocol;
    m_hostDirEntered.clear(); // the other protocol's session stands elsewhere
    m_ftp->setTls(index == FtpsProtocol);
    m_passive->setEnabled(!sftp);
    m_keyFile->setEnabled(sftp);
    // The port follows the choice while it holds a protocol's own port; one the user
    // typed stays whatever the protocol.
    const QString port = m_port->text().trimmed();
    if (port == u"ftp"_s || port == u"21"_s || port == u"22"_s)
        m_port->setText(sftp ? u"22"_s : u"21"_s);
}
