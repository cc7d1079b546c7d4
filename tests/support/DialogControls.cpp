#include "DialogControls.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

QStringList silentControls(QWidget &dialog)
{
    QStringList silent;
    for (QWidget *w : dialog.findChildren<QWidget *>()) {
        const bool input = qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w)
                        || qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QAbstractButton *>(w)
                        || qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QTextEdit *>(w);
        if (!input || w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        if (qobject_cast<QLineEdit *>(w) && (qobject_cast<QComboBox *>(w->parentWidget())
                                            || qobject_cast<QAbstractSpinBox *>(w->parentWidget())))
            continue;
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
        if (!iface || iface->text(QAccessible::Name).trimmed().isEmpty())
            silent << w->objectName();
    }
    return silent;
}
