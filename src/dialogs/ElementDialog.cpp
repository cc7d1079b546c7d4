#include "ElementDialog.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ElementDialog::ElementDialog(const QString &title, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    m_form = new QFormLayout;
    m_form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    layout->addLayout(m_form);
    layout->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_insert = new QPushButton(u"Vložit"_s, this);
    m_insert->setObjectName(u"InsertButton"_s);
    m_insert->setDefault(true);
    m_back = new QPushButton(u"Zpět"_s, this);
    m_back->setObjectName(u"BackButton"_s);
    buttons->addWidget(m_insert);
    buttons->addWidget(m_back);
    layout->addLayout(buttons);
    connect(m_insert, &QPushButton::clicked, this, &ElementDialog::insertClicked);
    connect(m_back, &QPushButton::clicked, this, &QDialog::reject);
}

void ElementDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    QWidget *focused = focusWidget();
    if (focused && focused != m_insert && focused != m_back)
        return; // the dialog chose its field itself
    // The buttons were made before the fields: walk the chain past them to the first field.
    for (QWidget *w = m_back->nextInFocusChain(); w && w != m_insert; w = w->nextInFocusChain()) {
        if (w != m_back && isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus)
            && w->isEnabled() && w->isVisibleTo(this)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

QLabel *ElementDialog::addRow(const QString &label, QWidget *field)
{
    auto *caption = new QLabel(label, this);
    caption->setBuddy(field);
    m_form->addRow(caption, field);
    return caption;
}

namespace {

// A label names one control for a screen reader; the other controls of a row it heads
// (a caption-less check box, a second field) are given the label's text as their name.
void nameUnlabelledControls(QLayout *fields, const QString &name)
{
    for (int i = 0; i < fields->count(); ++i) {
        QLayoutItem *item = fields->itemAt(i);
        if (QLayout *inner = item->layout())
            nameUnlabelledControls(inner, name);
        QWidget *w = item->widget();
        if (!w || !w->accessibleName().isEmpty())
            continue;
        auto *button = qobject_cast<QAbstractButton *>(w);
        if ((button && button->text().isEmpty()) || qobject_cast<QComboBox *>(w)
            || qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractSpinBox *>(w))
            w->setAccessibleName(name);
    }
}

} // namespace

QLabel *ElementDialog::addRow(const QString &label, QLayout *fields)
{
    auto *caption = new QLabel(label, this);
    m_form->addRow(caption, fields);
    QString name = label;
    name.remove(u'&');
    if (name.endsWith(u':'))
        name.chop(1);
    nameUnlabelledControls(fields, name.trimmed());
    return caption;
}

void ElementDialog::addWideRow(QWidget *field)
{
    m_form->addRow(field);
}

void ElementDialog::insertClicked()
{
    const Markup markup = composed();
    OpeningMarkup = markup.opening;
    ClosingMarkup = markup.closing;
    accept();
}

QComboBox *editableCombo(const QString &objectName, const QStringList &items, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(objectName);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    // The list only suggests: a value keeps the case it was typed or read in, so "post"
    // is not turned into the item "POST" on Enter or when the field loses the focus.
    combo->completer()->setCaseSensitivity(Qt::CaseSensitive);
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
    return combo;
}
