#include "SpecialChars.h"

#include <QGridLayout>
#include <QPushButton>

using namespace Qt::StringLiterals;

const QList<std::pair<QString, QString>> &TForm19::Entities()
{
    static const QList<std::pair<QString, QString>> entities = {
        {u"©"_s, u"&#169;"_s}, {u"®"_s, u"&#174;"_s}, {u"°"_s, u"&#176;"_s},
        {u"±"_s, u"&#177;"_s}, {u"·"_s, u"&#183;"_s}, {u"×"_s, u"&#215;"_s},
        {u"™"_s, u"&#153;"_s}, {u"\""_s, u"&quot;"_s}, {u"<"_s, u"&lt;"_s},
        {u">"_s, u"&gt;"_s},   {u"NBSP"_s, u"&nbsp;"_s},
    };
    return entities;
}

TForm19::TForm19(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(u"TForm19"_s);
    setWindowTitle(u"Speciální znaky"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *grid = new QGridLayout(this);
    grid->setSpacing(2);
    int i = 0;
    for (const auto &[caption, entity] : Entities()) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(u"SpeedButton"_s + QString::number(i + 1));
        button->setFocusPolicy(Qt::NoFocus);
        button->setMinimumWidth(caption.size() > 1 ? 48 : 28);
        grid->addWidget(button, i / 6, i % 6);
        connect(button, &QPushButton::clicked, this, [this, entity] {
            Result = entity;
            Q_EMIT entityChosen();
        });
        ++i;
    }
}
