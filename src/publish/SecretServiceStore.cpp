// The passwords of saved sites in the desktop's keyring, through libsecret. The library is
// loaded on first use: a program that never saves a password neither needs it nor loads
// GLib's I/O library with it.
#include "publish/PasswordStore.h"

#include <QLibrary>

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

// The few functions of libsecret (and of the GLib it brings) the store calls.
struct SecretApi
{
    decltype(&secret_service_get_sync) serviceGet = nullptr;
    decltype(&secret_password_lookup_sync) lookup = nullptr;
    decltype(&secret_password_store_sync) store = nullptr;
    decltype(&secret_password_clear_sync) clear = nullptr;
    decltype(&secret_password_free) free = nullptr;
    decltype(&g_object_unref) unref = nullptr;
    decltype(&g_error_free) errorFree = nullptr;

    bool load(QLibrary &library)
    {
        library.setFileNameAndVersion(u"secret-1"_s, 0);
        if (!library.load())
            return false;
        auto get = [&library](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
            return function != nullptr;
        };
        return get(serviceGet, "secret_service_get_sync") && get(lookup, "secret_password_lookup_sync")
               && get(store, "secret_password_store_sync") && get(clear, "secret_password_clear_sync")
               && get(free, "secret_password_free") && get(unref, "g_object_unref") && get(errorFree, "g_error_free");
    }
};

class SecretServiceStore : public PasswordStore
{
public:
    bool available() override
    {
        if (!m_checked) {
            m_checked = true;
            // Without a session bus libsecret would try to start one, which on a machine
            // with no desktop can only fail slowly.
            if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") && m_api.load(m_library)) {
                GError *error = nullptr;
                SecretService *service = m_api.serviceGet(SECRET_SERVICE_NONE, nullptr, &error);
                m_available = service != nullptr;
                if (service)
                    m_api.unref(service);
                if (error)
                    m_api.errorFree(error);
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
        gchar *password = m_api.lookup(siteSchema(), nullptr, &error, "account", key.constData(), nullptr);
        if (error)
            m_api.errorFree(error);
        if (!password)
            return std::nullopt;
        const QString result = QString::fromUtf8(password);
        m_api.free(password);
        return result;
    }

    bool write(const QString &account, const QString &password) override
    {
        if (!available())
            return false;
        GError *error = nullptr;
        const QByteArray key = account.toUtf8(), secret = password.toUtf8();
        const QByteArray label = (u"Brisko HTML Editor: "_s + account).toUtf8();
        const bool stored = m_api.store(siteSchema(), SECRET_COLLECTION_DEFAULT, label.constData(),
                                                       secret.constData(), nullptr, &error, "account",
                                                       key.constData(), nullptr);
        if (error)
            m_api.errorFree(error);
        return stored;
    }

    void remove(const QString &account) override
    {
        if (!available())
            return;
        GError *error = nullptr;
        const QByteArray key = account.toUtf8();
        m_api.clear(siteSchema(), nullptr, &error, "account", key.constData(), nullptr);
        if (error)
            m_api.errorFree(error);
    }

private:
    QLibrary m_library;
    SecretApi m_api;
    bool m_checked = false;
    bool m_available = false;
};

} // namespace

std::unique_ptr<PasswordStore> desktopPasswordStore()
{
    return std::make_unique<SecretServiceStore>();
}
