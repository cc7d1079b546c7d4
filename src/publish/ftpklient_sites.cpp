// The sites the upload window remembers: the "Web" row, and the fields filled from a site.
#include "interaction/Interaction.h"
#include "publish/ftpklient.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

using namespace Qt::StringLiterals;

void TFTPForm::buildSiteRow(QWidget *half, QGridLayout *grid)
{
    grid->addWidget(new QLabel(u"Web"_s, half), 0, 0);
    auto *row = new QHBoxLayout;
    m_site = new QComboBox(half);
    m_site->setObjectName(u"SiteComboBox"_s);
    m_site->setToolTip(u"Uložené weby: výběr vyplní server, účet, adresáře a volby"_s);
    m_site->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    row->addWidget(m_site, 1);
    m_saveSite = new QPushButton(u"Uložit web"_s, half);
    m_saveSite->setObjectName(u"SaveSiteButton"_s);
    m_saveSite->setAutoDefault(false);
    row->addWidget(m_saveSite);
    m_deleteSite = new QPushButton(u"Smazat web"_s, half);
    m_deleteSite->setObjectName(u"DeleteSiteButton"_s);
    m_deleteSite->setAutoDefault(false);
    row->addWidget(m_deleteSite);
    grid->addLayout(row, 0, 1, 1, 3);
    reloadSites({});
    connect(m_site, &QComboBox::activated, this, &TFTPForm::SitePicked);
    connect(m_saveSite, &QPushButton::clicked, this, &TFTPForm::SaveSiteButtonClick);
    connect(m_deleteSite, &QPushButton::clicked, this, &TFTPForm::DeleteSiteButtonClick);
}

void TFTPForm::setSites(UploadSites sites)
{
    m_sites = std::move(sites);
    reloadSites({});
}

// The first entry, empty, is no site: the window as it always opened.
void TFTPForm::reloadSites(const QString &current)
{
    const QSignalBlocker quiet(m_site);
    m_site->clear();
    m_site->addItem(QString());
    const QList<UploadSite> sites = m_sites.load();
    for (const UploadSite &site : sites)
        m_site->addItem(site.name);
    m_site->setCurrentIndex(std::max(0, m_site->findText(current)));
    m_deleteSite->setEnabled(m_site->currentIndex() > 0);
}

UploadSite TFTPForm::siteFromFields() const
{
    UploadSite site;
    site.protocol = m_protocol->currentIndex();
    site.host = m_hostName->text().trimmed();
    site.port = m_port->text().trimmed();
    site.user = m_userName->text();
    site.keyFile = m_keyFile->text();
    site.remoteDirectory = m_hostDir->text();
    site.homeDirectory = m_homeDir;
    site.subdirectories = m_subdirectories->isChecked();
    site.passive = m_passive->isChecked();
    site.safe = m_safe->isChecked();
    site.changedOnly = m_changedOnly->isChecked();
    site.deleteOrphans = m_deleteOrphans->isChecked();
    site.skipBackups = m_skipBackups->isChecked();
    site.sessions = m_sessions->value();
    return site;
}

void TFTPForm::fillFields(const UploadSite &site)
{
    m_protocol->setCurrentIndex(site.protocol);
    m_hostName->setText(site.host);
    m_port->setText(site.port);
    m_userName->setText(site.user);
    m_keyFile->setText(site.keyFile);
    m_hostDir->setText(site.remoteDirectory);
    m_hostDirEntered.clear();
    if (!site.homeDirectory.isEmpty() && QDir(site.homeDirectory).exists())
        setHomeDirectory(site.homeDirectory);
    m_subdirectories->setChecked(site.subdirectories);
    m_passive->setChecked(site.passive);
    m_safe->setChecked(site.safe);
    m_changedOnly->setChecked(site.changedOnly);
    m_deleteOrphans->setChecked(site.deleteOrphans);
    m_skipBackups->setChecked(site.skipBackups);
    m_sessions->setValue(site.sessions);
}

void TFTPForm::SitePicked(int index)
{
    m_deleteSite->setEnabled(index > 0);
    m_siteHasPassword = false;
    m_passWord->setEchoMode(QLineEdit::Normal);
    if (index <= 0) {
        // No site: the window's own defaults.
        fillFields(UploadSite{});
        m_port->setText(u"ftp"_s);
        m_userName->setText(u"anonymous"_s);
        m_passWord->setText(u"anonymous@example.com"_s);
        setHomeDirectory(QDir::homePath());
        return;
    }
    const auto site = m_sites.find(m_site->itemText(index));
    if (!site)
        return;
    fillFields(*site);
    const auto password = m_passwords && m_passwords->available() ? m_passwords->read(site->account()) : std::nullopt;
    m_passWord->setText(password.value_or(QString()));
    if (password) {
        m_siteHasPassword = true;
        m_passWord->setEchoMode(QLineEdit::Password);
    }
}

void TFTPForm::SaveSiteButtonClick()
{
    const QString current = m_site->currentIndex() > 0 ? m_site->currentText() : m_hostName->text().trimmed();
    const auto name = ui().text(u"Uložit web"_s, u"Název webu:"_s, current);
    if (!name || name->trimmed().isEmpty())
        return;
    UploadSite site = siteFromFields();
    site.name = name->trimmed();
    if (!m_sites.save(site)) {
        showError(u"Web se nepodařilo uložit do souboru "_s + QDir::toNativeSeparators(m_sites.fileName()));
        return;
    }
    const QString password = m_passWord->text();
    if (m_passwords && m_passwords->available()) {
        if (password.isEmpty())
            m_passwords->remove(site.account());
        else if (!m_passwords->write(site.account(), password))
            appendLog(u"Heslo se nepodařilo uložit do úložiště hesel"_s);
    } else if (!password.isEmpty()) {
        appendLog(u"Úložiště hesel neběží: heslo se neukládá a bude se zadávat při každém nahrávání"_s);
    }
    reloadSites(site.name);
    appendLog(u"Web uložen: "_s + site.name);
}

void TFTPForm::DeleteSiteButtonClick()
{
    if (m_site->currentIndex() <= 0)
        return;
    const QString name = m_site->currentText();
    // Enter keeps the site.
    if (ui().chooseWithDefault(u"Smazat uložený web %1?"_s.arg(name), {u"Smazat"_s, u"Nemazat"_s}, 1) != 0)
        return;
    if (const auto site = m_sites.find(name); site && m_passwords && m_passwords->available())
        m_passwords->remove(site->account());
    m_sites.remove(name);
    reloadSites({});
    appendLog(u"Web smazán: "_s + name);
}

// A saved site whose password no keyring keeps: it is asked for now, and forgotten with
// the window. SFTP may log in with a key instead, so it asks nothing.
bool TFTPForm::askPasswordIfNeeded()
{
    if (m_site->currentIndex() <= 0 || !m_passWord->text().isEmpty() || sftpChosen())
        return true;
    const auto password = ui().secret(u"Heslo"_s, u"Heslo pro %1@%2:"_s.arg(m_userName->text(), m_hostName->text()));
    if (!password)
        return false;
    m_passWord->setEchoMode(QLineEdit::Password);
    m_passWord->setText(*password);
    return true;
}
