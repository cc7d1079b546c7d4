#pragma once

#include <QDialog>
#include <QPushButton>
#include <QString>
#include <QStringList>

// A dialog's control by its name. A missing one ends the run at once: the dialog under
// test no longer has the control the user works with.
template<typename T>
T *control(QDialog &dialog, const QString &name)
{
    T *widget = dialog.findChild<T *>(name);
    if (!widget)
        qFatal("control %s missing", qPrintable(name));
    return widget;
}

// Clicks the dialog's button of that name, as the user would.
inline void press(QDialog &dialog, const QString &button)
{
    control<QPushButton>(dialog, button)->click();
}

// The element dialogs' "Vložit".
inline void pressInsert(QDialog &dialog)
{
    press(dialog, QStringLiteral("InsertButton"));
}

// The named input controls of a dialog that say nothing to a screen reader: neither a
// label (a buddy), nor a caption of their own, nor a name set for them. Parts of other
// controls (a combo box's line edit, a spin box's field) go unnamed and are not listed.
QStringList silentControls(QWidget &dialog);
