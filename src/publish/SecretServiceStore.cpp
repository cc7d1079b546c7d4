// The passwords of saved sites in the desktop's keyring, through libsecret.
#include "publish/PasswordStore.h"

#include <libsecret/secret.h>

using namespace Qt::StringLiterals;

namespace {

const SecretSchema *siteSchema()
{
    static const SecretSchema schema = {
        "cz.brisko.HtmlEditor.UploadSite",
        SECRET_SCHEMA_NONE,
        {{"account", SECRET_SCHEMA_ATTRIBUTE_STRING}, {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
        0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    return &schema;
}

class SecretServiceStore : public PasswordStore
{
public:
    bool available() override
    {
        if (!m_checked) {
            m_checked = true;
            // Without a session bus libsecret would try to start one, which on a machine
            // with no desktop can only fail slowly.
            if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
                GError *error = nullptr;
                SecretService *service = secret_service_get_sync(SECRET_SERVICE_NONE, nullptr, &error);
                m_available = service != nullptr;
                if (service)
                    g_object_unref(service);
                if (error)
                    g_error_free(error);
            }
        }
        return m_available;
    }

    std::optional<QString> read(const QString &account) override
    {
        if (!available())
            return std::nullopt;
        GError *error = nullptr;
        const QByteArray key = account.toUtf8();
        gchar *password = secret_password_lookup_sync(siteSchema(), nullptr, &error, "account", key.constData(), nullptr);
        if (error)
            g_error_free(error);
        if (!password)
            return std::nullopt;
        const QString result = QString::fromUtf8(password);
        secret_password_free(password);
        return result;
    }

    bool write(const QString &account, const QString &password) override
    {
        if (!available())
            return false;
        GError *error = nullptr;
        const QByteArray key = account.toUtf8(), secret = password.toUtf8();
        const QByteArray label = (u"Brisko HTML Editor: "_s + account).toUtf8();
        const bool stored = secret_password_store_sync(siteSchema(), SECRET_COLLECTION_DEFAULT, label.constData(),
                                                       secret.constData(), nullptr, &error, "account",
                                                       key.constData(), nullptr);
        if (error)
            g_error_free(error);
        return stored;
    }

    void remove(const QString &account) override
    {
        if (!available())
            return;
        GError *error = nullptr;
        const QByteArray key = account.toUtf8();
        secret_password_clear_sync(siteSchema(), nullptr, &error, "account", key.constData(), nullptr);
        if (error)
            g_error_free(error);
    }

private:
    bool m_checked = false;
    bool m_available = false;
};

} // namespace

std::unique_ptr<PasswordStore> desktopPasswordStore()
{
    return std::make_unique<SecretServiceStore>();
}
