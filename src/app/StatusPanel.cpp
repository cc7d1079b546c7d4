#include "app/StatusPanel.h"

#include <QPainter>

StatusPanel::StatusPanel(int minimumWidth, const QString &widestText, QWidget *parent)
    : QFrame(parent), m_minimumWidth(minimumWidth), m_widestText(widestText)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
}

void StatusPanel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    update(contentsRect());
}

void StatusPanel::setPixmap(const QPixmap &pixmap)
{
    m_pixmap = pixmap;
    update(contentsRect());
}

int StatusPanel::indent() const
{
    // As a framed label indents its text.
    return fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
}

QSize StatusPanel::sizeHint() const
{
    const int frame = 2 * frameWidth();
    // A few pixels to spare: eliding measures the text a little wider than its advance.
    const int width = fontMetrics().horizontalAdvance(m_widestText) + 2 * indent() + frame + 4;
    return {std::max(m_minimumWidth, width), fontMetrics().height() + frame};
}

QSize StatusPanel::minimumSizeHint() const
{
    return {m_minimumWidth, sizeHint().height()};
}

void StatusPanel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    if (!m_pixmap.isNull()) {
        const QSize size = m_pixmap.deviceIndependentSize().toSize();
        QRect target(QPoint(), size);
        target.moveCenter(contentsRect().center());
        painter.drawPixmap(target, m_pixmap);
        return;
    }
    const QRect area = contentsRect().adjusted(indent(), 0, -indent(), 0);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(m_text, Qt::ElideRight, area.width()));
}
