#pragma once

#include <QColor>
#include <QFrame>
#include <QPointer>
#include <QPushButton>

#include <array>

// One swatch of the colour palette; framed while the mouse is over it, and releasing the
// mouse button on it picks its colour.
class ColorSwatch : public QWidget
{
    Q_OBJECT

public:
    ColorSwatch(const QColor &color, QWidget *parent);
    QColor color() const { return m_color; }

Q_SIGNALS:
    void picked(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QColor m_color;
    bool m_framed = false;
};

// The borderless palette under a colour combo: sixteen swatches ("Swatch1" ... "Swatch16",
// row by row) and "&Další..." ("MoreButton"). Esc or a click outside closes it unchanged.
class ColorPalettePopup : public QFrame
{
    Q_OBJECT

public:
    static const std::array<QRgb, 16> Colors;

    explicit ColorPalettePopup(QWidget *parent);

Q_SIGNALS:
    void picked(const QColor &color);
    void moreRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// The colour picker of the element dialogs: a button showing its colour (white at
// start) that opens the palette just below itself.
class ColorCombo : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor)

public:
    explicit ColorCombo(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    // Reports colorChanged only when the colour really changes.
    void setColor(const QColor &color);
    // The open palette ("ColorPalette"), or nullptr while it is closed.
    ColorPalettePopup *popup() const { return m_popup; }
    void showPalette();

Q_SIGNALS:
    void colorChanged(const QColor &color);

private:
    void updateIcon();
    void pickMore();

    QColor m_color = Qt::white;
    QPointer<ColorPalettePopup> m_popup;
};
