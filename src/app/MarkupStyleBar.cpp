#include "app/MarkupStyleBar.h"

#include "markup/MarkupStyle.h"
#include "settings/SettingsModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

MarkupStyleBar::MarkupStyleBar(SettingsModel &settings, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
{
    setObjectName(u"MarkupStyleBar"_s);
    setFocusPolicy(Qt::NoFocus);
    // The colours of the document windows' notice bars.
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xff, 0xf3, 0xc4));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);

    auto *label = new QLabel(u"Psát nové stránky v HTML5 a UTF-8?"_s, this);
    label->setToolTip(u"Příkazy pak píší malá písmena, styly místo zastaralých značek a nové "
                      u"stránky v kódování UTF-8. Změnit to lze v Možnosti - Nastavení."_s);
    m_yes = new QPushButton(u"Ano"_s, this);
    m_yes->setObjectName(u"MarkupStyleYes"_s);
    m_no = new QPushButton(u"Ne"_s, this);
    m_no->setObjectName(u"MarkupStyleNo"_s);
    for (QPushButton *button : {m_yes, m_no}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
    }
    connect(m_yes, &QPushButton::clicked, this, [this] { answer(true); });
    connect(m_no, &QPushButton::clicked, this, [this] { answer(false); });

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(6, 3, 6, 3);
    row->addWidget(label);
    row->addWidget(m_yes);
    row->addWidget(m_no);
    row->addStretch(1);
}

void MarkupStyleBar::answer(bool html5)
{
    m_settings.set(&TSettings::MarkupStyle, markupStyleName(html5 ? MarkupStyle::Html5 : MarkupStyle::Html4));
    dismiss();
    Q_EMIT answered();
}

void MarkupStyleBar::dismiss()
{
    hide();
    deleteLater();
}
