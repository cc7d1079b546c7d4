#include "publish/CertificateTrust.h"

#include "interaction/Interaction.h"
#include "markup/GuardedFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

CertificateTrust::CertificateTrust(QString path) : m_path(std::move(path)) {}

QString CertificateTrust::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/trusted-certificates.txt"_s;
}

QList<CertificateTrust::Entry> CertificateTrust::load() const
{
    QList<Entry> entries;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    // One server a line: host, port and the fingerprint in hexadecimal, separated by tabs.
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().trimmed().split('\t');
        if (fields.size() != 3)
            continue;
        bool ok = false;
        const uint port = fields[1].toUInt(&ok);
        const QByteArray sha256 = QByteArray::fromHex(fields[2]);
        if (!ok || port == 0 || port > 65535 || sha256.size() != 32)
            continue;
        entries.append({QString::fromUtf8(fields[0]), quint16(port), sha256});
    }
    return entries;
}

std::optional<QByteArray> CertificateTrust::remembered(const QString &host, quint16 port) const
{
    for (const Entry &entry : load()) {
        if (entry.port == port && entry.host.compare(host, Qt::CaseInsensitive) == 0)
            return entry.sha256;
    }
    return std::nullopt;
}

bool CertificateTrust::remember(const QString &host, quint16 port, const QByteArray &sha256)
{
    QList<Entry> entries = load();
    entries.removeIf([&](const Entry &e) { return e.port == port && e.host.compare(host, Qt::CaseInsensitive) == 0; });
    entries.append({host, port, sha256});
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QByteArray text;
    for (const Entry &e : std::as_const(entries))
        text += e.host.toUtf8() + '\t' + QByteArray::number(e.port) + '\t' + e.sha256.toHex() + '\n';
    return commitFile(m_path, text).isEmpty();
}

QByteArray CertificateTrust::fingerprint(const QSslCertificate &certificate)
{
    return certificate.digest(QCryptographicHash::Sha256);
}

QString CertificateTrust::fingerprintText(const QByteArray &sha256)
{
    return QString::fromLatin1(sha256.toHex(':').toUpper());
}

QString CertificateTrust::questionText(const QString &host, quint16 port, const QSslCertificate &certificate,
                                       const QList<QSslError> &errors, bool changed)
{
    QString text = changed
        ? u"Certifikát serveru %1:%2 se změnil od chvíle, kdy jste mu důvěřovali.\n"
          u"Může jít o výměnu certifikátu, ale také o podvržený server."_s.arg(host).arg(port)
        : u"Certifikát serveru %1:%2 není důvěryhodný."_s.arg(host).arg(port);
    QStringList reasons;
    for (const QSslError &error : errors)
        reasons << error.errorString();
    reasons.removeDuplicates();
    if (!reasons.isEmpty())
        text += u"\n\nDůvod: "_s + reasons.join(u"; "_s);
    const QString subject = certificate.subjectInfo(QSslCertificate::CommonName).join(u", "_s);
    if (!subject.isEmpty())
        text += u"\nVydán pro: "_s + subject;
    text += u"\nOtisk SHA-256: "_s + fingerprintText(fingerprint(certificate));
    text += u"\n\nDůvěřovat tomuto certifikátu pro tento server?"_s;
    return text;
}

bool CertificateTrust::accept(const QString &host, quint16 port, const QSslCertificate &certificate,
                              const QList<QSslError> &errors)
{
    if (certificate.isNull())
        return false;
    const QByteArray sha256 = fingerprint(certificate);
    const std::optional<QByteArray> known = remembered(host, port);
    if (known && *known == sha256)
        return true;
    // Enter must not trust a certificate nobody looked at: "Zrušit" is the default.
    const int pick = ui().chooseWithDefault(questionText(host, port, certificate, errors, known.has_value()),
                                            {u"Důvěřovat"_s, u"Zrušit"_s}, 1);
    if (pick != 0)
        return false;
    remember(host, port, sha256);
    return true;
}
