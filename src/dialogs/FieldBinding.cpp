#include "FieldBinding.h"

#include "dialogs/RadioGroup.h"
#include "markup/MediaMarkup.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {

[[noreturn]] void unsuitable(const QWidget *control, const char *what)
{
    qFatal("control %s holds no %s", control ? qPrintable(control->objectName()) : "(none)",
           what);
}

} // namespace

const ControlAccess<QString> crLfText{
    [](const QWidget *control) { return controlText(control).replace(u'\n', u"\r\n"_s); },
    [](QWidget *control, const QString &text) {
        auto *memo = qobject_cast<QPlainTextEdit *>(control);
        if (!memo)
            unsuitable(control, "lines");
        memo->setPlainText(QString(text).replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n'));
    }};

QWidget *namedControl(const QWidget &root, const QString &name)
{
    QWidget *control = root.findChild<QWidget *>(name);
    if (!control)
        qFatal("control %s missing in %s", qPrintable(name), qPrintable(root.objectName()));
    return control;
}

QString controlText(const QWidget *control)
{
    if (auto *combo = qobject_cast<const QComboBox *>(control))
        return combo->currentText();
    if (auto *edit = qobject_cast<const QLineEdit *>(control))
        return edit->text();
    if (auto *memo = qobject_cast<const QPlainTextEdit *>(control))
        return memo->toPlainText();
    unsuitable(control, "text");
}

void setControlText(QWidget *control, const QString &text)
{
    if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->setEditText(text);
    else if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setText(text);
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(control))
        memo->setPlainText(memoLines(text).join(u'\n')); // one line of the memo per line
    else
        unsuitable(control, "text");
}

bool controlFlag(const QWidget *control)
{
    if (auto *box = qobject_cast<const QAbstractButton *>(control))
        return box->isChecked();
    if (auto *group = qobject_cast<const RadioGroup *>(control))
        return group->itemIndex() == 0;
    unsuitable(control, "flag");
}

void setControlFlag(QWidget *control, bool on)
{
    auto *box = qobject_cast<QAbstractButton *>(control);
    QButtonGroup *group = box ? box->group() : nullptr;
    if (box && !on && group && group->exclusive()
        && (group->checkedButton() == box || !group->checkedButton())) {
        // One of a set of radio buttons is cleared by choosing another one.
        for (QAbstractButton *other : group->buttons()) {
            if (other != box) {
                other->setChecked(true);
                break;
            }
        }
    } else if (box)
        box->setChecked(on);
    else if (auto *group = qobject_cast<RadioGroup *>(control))
        group->setItemIndex(on ? 0 : 1);
    else
        unsuitable(control, "flag");
}

int controlNumber(const QWidget *control)
{
    if (auto *spin = qobject_cast<const QSpinBox *>(control))
        return spin->value();
    if (auto *group = qobject_cast<const RadioGroup *>(control))
        return group->itemIndex();
    // Colour pickers show their colour through the property "color".
    if (const QVariant color = control ? control->property("color") : QVariant(); color.isValid())
        return toColorValue(color.value<QColor>());
    unsuitable(control, "number");
}

void setControlNumber(QWidget *control, int number)
{
    if (auto *spin = qobject_cast<QSpinBox *>(control))
        spin->setValue(number);
    else if (auto *group = qobject_cast<RadioGroup *>(control))
        group->setItemIndex(number);
    else if (control && control->property("color").isValid())
        control->setProperty("color", toQColor(number));
    else
        unsuitable(control, "number");
}

std::optional<QString> controlChoice(const QWidget *control)
{
    auto *list = qobject_cast<const QListWidget *>(control);
    if (!list)
        unsuitable(control, "choice");
    const QListWidgetItem *item = list->currentItem();
    if (!item || !item->isSelected())
        return std::nullopt;
    return item->data(Qt::UserRole).toString();
}

void setControlChoice(QWidget *control, const std::optional<QString> &line)
{
    auto *list = qobject_cast<QListWidget *>(control);
    if (!list)
        unsuitable(control, "choice");
    int row = -1;
    for (int i = 0; line && i < list->count(); ++i) {
        if (list->item(i)->data(Qt::UserRole).toString() == *line) {
            row = i;
            break;
        }
    }
    list->setCurrentRow(row);
}
