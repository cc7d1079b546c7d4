#pragma once

#include <QHash>
#include <QString>

#include <memory>
#include <optional>

// Where the upload window keeps the passwords of saved sites: the desktop's keyring, never
// a file of the program's. A store that is not available keeps nothing, and the password
// is asked for at each upload.
class PasswordStore
{
public:
    virtual ~PasswordStore() = default;
    virtual bool available() = 0;
    // The password kept for the account ("sftp://user@host:port"), if any.
    virtual std::optional<QString> read(const QString &account) = 0;
    virtual bool write(const QString &account, const QString &password) = 0;
    virtual void remove(const QString &account) = 0;
};

// A store in memory only, for tests and for a desktop without a keyring.
class MemoryPasswordStore : public PasswordStore
{
public:
    explicit MemoryPasswordStore(bool available = true) : m_available(available) {}
    bool available() override { return m_available; }
    std::optional<QString> read(const QString &account) override
    {
        if (!m_available || !m_passwords.contains(account))
            return std::nullopt;
        return m_passwords.value(account);
    }
    bool write(const QString &account, const QString &password) override
    {
        if (m_available)
            m_passwords.insert(account, password);
        return m_available;
    }
    void remove(const QString &account) override { m_passwords.remove(account); }
    QHash<QString, QString> passwords() const { return m_passwords; }

private:
    bool m_available;
    QHash<QString, QString> m_passwords;
};

// The desktop's keyring through the Secret Service, when a session bus offers one; asked
// only on first use, so a window that saves no password never wakes it.
std::unique_ptr<PasswordStore> desktopPasswordStore();
