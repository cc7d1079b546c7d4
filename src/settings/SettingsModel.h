#pragma once

#include "settings/TSettings.h"

#include <QObject>
#include <QStringList>

#include <algorithm>
#include <initializer_list>
#include <type_traits>

// The names of the stored values that changed together ("User/Tab", "User/File-2").
class SettingsChange
{
public:
    SettingsChange() = default;
    explicit SettingsChange(QStringList keys) : m_keys(std::move(keys)) {}

    const QStringList &keys() const { return m_keys; }
    bool isEmpty() const { return m_keys.isEmpty(); }
    // Whether the named value changed. A name ending in "/" or "-" stands for every value
    // whose name starts with it: "PlugIns/" for the user commands, "User/File-" for the
    // recent files. A name the store does not keep stops the program: it is a typing error
    // in the caller.
    bool touches(QStringView name) const;

private:
    QStringList m_keys;
};

// The program's settings as the parts of the program share them. Callers replace values
// (the whole record, or one field); the model works out which stored values changed and
// announces them in one signal, and writes them to its store at once, so a crash or a
// kill loses none. A part that shows a setting follows it (see follow()); nothing pushes
// every setting to everyone.
class SettingsModel : public QObject
{
    Q_OBJECT

public:
    explicit SettingsModel(QObject *parent = nullptr);

    const TSettings &values() const { return m_values; }
    // The record itself, for the few that change fields in place (the workspace's commands,
    // the user-command list); announce() tells the others afterwards.
    TSettings &writableValues() { return m_values; }

    // Reads the values from the store; from then on every change is written to it. The
    // store must outlive the model's last change.
    void load(SettingsStore &store);

    void replace(const TSettings &values);
    template<class T>
    void set(T TSettings::*member, const std::type_identity_t<T> &value)
    {
        m_values.*member = value;
        announce();
    }
    // Announces what changed since the last announcement, if anything did.
    void announce();
    // Those who change values in place do it on something the user did (a click, a key, a
    // dialog's button): from now on, soon after each such event of the application, what
    // changed is announced, and so written, before a crash or a kill could lose it.
    void announceAfterUserActions();

    // Calls apply now and after every change that touches one of the names (as
    // SettingsChange::touches reads them), for as long as the receiver lives.
    template<class Fn>
    void follow(const QObject *receiver, std::initializer_list<QStringView> names, Fn apply)
    {
        QStringList watched;
        for (QStringView name : names)
            watched.append(name.toString());
        connect(this, &SettingsModel::changed, receiver,
                [watched, apply](const SettingsChange &change) {
                    const auto touched = [&change](const QString &n) { return change.touches(n); };
                    if (std::any_of(watched.begin(), watched.end(), touched))
                        apply();
                });
        apply();
    }

Q_SIGNALS:
    void changed(const SettingsChange &change);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class QTimer *m_afterUserAction = nullptr;
    TSettings m_values;
    TSettings m_announced; // as last announced (or loaded)
    SettingsStore *m_store = nullptr;
};
