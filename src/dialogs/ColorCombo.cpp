#include "ColorCombo.h"

#include "interaction/Interaction.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ColorSwatch::ColorSwatch(const QColor &color, QWidget *parent)
    : QWidget(parent), m_color(color)
{
    setFixedSize(20, 20);
}

void ColorSwatch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect().adjusted(3, 3, -3, -3), m_color);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(3, 3, -4, -4));
    if (m_framed) {
        p.setPen(QPen(palette().color(QPalette::Text), 1));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void ColorSwatch::enterEvent(QEnterEvent *)
{
    m_framed = true;
    update();
}

void ColorSwatch::leaveEvent(QEvent *)
{
    m_framed = false;
    update();
}

void ColorSwatch::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT picked(m_color);
}

const std::array<QRgb, 16> ColorPalettePopup::Colors = {
    0xFFFFFF, 0x000000, 0xC0C0C0, 0x808080, //
    0xFF0000, 0x800000, 0xFFFF00, 0x808000, //
    0x00FF00, 0x008000, 0x00FFFF, 0x008080, //
    0x0000FF, 0x000080, 0xFF00FF, 0x800080,
};

ColorPalettePopup::ColorPalettePopup(QWidget *parent) : QFrame(parent, Qt::Popup)
{
    setObjectName(u"ColorPalette"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::Box);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(2);
    auto *grid = new QGridLayout;
    grid->setSpacing(0);
    for (int i = 0; i < int(Colors.size()); ++i) {
        auto *swatch = new ColorSwatch(QColor::fromRgb(Colors[i]), this);
        swatch->setObjectName(u"Swatch"_s + QString::number(i + 1));
        grid->addWidget(swatch, i / 4, i % 4);
        connect(swatch, &ColorSwatch::picked, this, &ColorPalettePopup::picked);
    }
    layout->addLayout(grid);
    auto *more = new QPushButton(u"&Další..."_s, this);
    more->setObjectName(u"MoreButton"_s);
    layout->addWidget(more);
    connect(more, &QPushButton::clicked, this, &ColorPalettePopup::moreRequested);
}

void ColorPalettePopup::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QFrame::keyPressEvent(event);
}

ColorCombo::ColorCombo(QWidget *parent) : QPushButton(parent)
{
    setIconSize(QSize(36, 12));
    // Enter on the picker belongs to the dialog's default button, not to the palette.
    setAutoDefault(false);
    updateIcon();
    connect(this, &QPushButton::clicked, this, &ColorCombo::showPalette);
}

void ColorCombo::setColor(const QColor &color)
{
    if (color.rgb() == m_color.rgb())
        return;
    m_color = color;
    updateIcon();
    Q_EMIT colorChanged(m_color);
}

void ColorCombo::showPalette()
{
    if (m_popup)
        return;
    m_popup = new ColorPalettePopup(this);
    connect(m_popup, &ColorPalettePopup::picked, this, [this](const QColor &c) {
        m_popup->close();
        setColor(c);
    });
    connect(m_popup, &ColorPalettePopup::moreRequested, this, &ColorCombo::pickMore);
    m_popup->move(mapToGlobal(rect().bottomLeft()));
    m_popup->show();
}

void ColorCombo::pickMore()
{
    if (m_popup)
        m_popup->close();
    if (const std::optional<QColor> chosen = ui().color(m_color))
        setColor(*chosen);
}

void ColorCombo::updateIcon()
{
    QPixmap swatch(iconSize());
    swatch.fill(m_color);
    QPainter p(&swatch);
    p.setPen(Qt::gray);
    p.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    p.end();
    setIcon(QIcon(swatch));
}
