#pragma once

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QSslError>
#include <QString>

#include <optional>

// Certificates the user chose to trust for one server (host and port), remembered by their
// SHA-256 fingerprint in the user's data folder. No widgets: the question goes through ui().
class CertificateTrust
{
public:
    // The default file lives in the user's data folder; tests may name their own.
    explicit CertificateTrust(QString path = defaultPath());

    static QString defaultPath();
    const QString &path() const { return m_path; }

    // The fingerprint remembered for the server, if any.
    std::optional<QByteArray> remembered(const QString &host, quint16 port) const;
    // Replaces what was remembered for the server; false when the file could not be written.
    bool remember(const QString &host, quint16 port, const QByteArray &sha256);

    static QByteArray fingerprint(const QSslCertificate &certificate);
    // "AB:CD:..." as certificate viewers show it.
    static QString fingerprintText(const QByteArray &sha256);

    // The question shown for a certificate the system does not trust; changed says the
    // server showed another one before.
    static QString questionText(const QString &host, quint16 port, const QSslCertificate &certificate,
                                const QList<QSslError> &errors, bool changed);

    // Decides whether the session may go on with this certificate: a remembered fingerprint
    // passes silently, anything else is asked through ui() and remembered when trusted.
    bool accept(const QString &host, quint16 port, const QSslCertificate &certificate,
                const QList<QSslError> &errors);

private:
    struct Entry
    {
        QString host;
        quint16 port = 0;
        QByteArray sha256;
    };
    QList<Entry> load() const;

    QString m_path;
};
