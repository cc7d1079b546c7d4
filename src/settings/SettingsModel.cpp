#include "SettingsModel.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

bool SettingsChange::touches(QStringView name) const
{
    if (!isStoredSettingKey(name))
        qFatal("no stored setting is named %s", qPrintable(name.toString()));
    if (name.endsWith(u'/') || name.endsWith(u'-'))
        return std::any_of(m_keys.begin(), m_keys.end(),
                           [name](const QString &key) { return key.startsWith(name); });
    return m_keys.contains(name);
}

SettingsModel::SettingsModel(QObject *parent)
    : QObject(parent)
{
}

void SettingsModel::load(SettingsStore &store)
{
    store.LoadSettings(m_values);
    m_announced = m_values;
    m_store = &store;
}

void SettingsModel::replace(const TSettings &values)
{
    m_values = values;
    announce();
}

void SettingsModel::announce()
{
    // Asked after every key the user types: most of the time nothing changed.
    if (m_values == m_announced)
        return;
    QStringList keys = changedSettingKeys(m_announced, m_values);
    if (keys.isEmpty())
        return;
    m_announced = m_values;
    // On disk before anyone acts on it.
    if (m_store)
        m_store->SaveIfChanged(m_values);
    Q_EMIT changed(SettingsChange(std::move(keys)));
}

void SettingsModel::announceAfterUserActions()
{
    if (m_afterUserAction)
        return;
    m_afterUserAction = new QTimer(this);
    m_afterUserAction->setSingleShot(true);
    m_afterUserAction->setInterval(0);
    connect(m_afterUserAction, &QTimer::timeout, this, &SettingsModel::announce);
    QCoreApplication::instance()->installEventFilter(this);
}

bool SettingsModel::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
    case QEvent::Close:
        if (!m_afterUserAction->isActive())
            m_afterUserAction->start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
