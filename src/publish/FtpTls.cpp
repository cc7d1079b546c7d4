// The TLS half of TFtpClient's control connection: AUTH TLS, the certificate check, PBSZ
// and PROT; the data connections take its parameters (FtpDataChannel).
#include "publish/FtpClient.h"

#include <QCryptographicHash>
#include <QSslCipher>
#include <QSslConfiguration>
#include <QSslSocket>

using namespace Qt::StringLiterals;

namespace {

QSslConfiguration controlConfiguration()
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    // Servers that demand the data connections resume the control connection's session
    // find the session kept.
    configuration.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    return configuration;
}

} // namespace

void TFtpClient::authStep()
{
    if (m_statusCode != 234) {
        // The user asked for encryption: no USER and no PASS may follow in clear text.
        refuseSession(u"Server odmítl šifrované spojení (AUTH TLS): "_s + m_lastResponse);
        return;
    }
    m_step = nullptr;
    m_control->setSslConfiguration(controlConfiguration());
    m_control->setPeerVerifyName(m_hostName);
    m_control->startClientEncryption();
}

// The session cannot go on as the user asked: it is closed, and the Open fails with text.
void TFtpClient::refuseSession(const QString &text)
{
    Q_EMIT OnDisplay(text);
    const int code = m_statusCode != 0 ? m_statusCode : 500;
    closeControl();
    setState(FtpState::InternalReady);
    failWith(code, text);
}

void TFtpClient::onControlSslErrors(const QList<QSslError> &errors)
{
    if (!m_control)
        return;
    const QSslCertificate certificate = m_control->peerCertificate();
    bool accepted = false;
    if (m_certificateCheck) {
        // The user's time over the question is not the server's silence.
        PauseTimeout();
        accepted = m_certificateCheck(certificate, errors);
        ResumeTimeout();
    }
    if (!m_control)
        return;
    if (accepted) {
        m_control->ignoreSslErrors(errors);
        return;
    }
    // The socket drops the connection when this returns; the Open fails with this text.
    m_tlsRefused = true;
    m_errorMessage = u"Certifikát serveru nebyl přijat, spojení se ukončuje"_s;
    Q_EMIT OnDisplay(m_errorMessage);
}

void TFtpClient::onControlEncrypted()
{
    m_encrypted = true;
    m_serverCertificate = m_control->peerCertificate();
    touch();
    // Only public facts go to the log: the protocol, the cipher and the fingerprint.
    const QSslCipher cipher = m_control->sessionCipher();
    Q_EMIT OnDisplay(u"Šifrované spojení: "_s + cipher.protocolString() + u", "_s + cipher.name()
                     + u", otisk SHA-256 "_s
                     + QString::fromLatin1(m_serverCertificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper()));
    m_protSent = false;
    executeCommand(FtpRequest::Open, u"PBSZ 0"_s, {200}, &TFtpClient::securityStep);
}

void TFtpClient::securityStep()
{
    if (m_statusCode != 200) {
        // Without PROT P the data would cross the network in clear text.
        refuseSession(u"Server odmítl šifrování dat: "_s + m_lastResponse);
        return;
    }
    if (!m_protSent) {
        m_protSent = true;
        executeCommand(FtpRequest::Open, u"PROT P"_s, {200}, &TFtpClient::securityStep);
        return;
    }
    sessionReady();
}
