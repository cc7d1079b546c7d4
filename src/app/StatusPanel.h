#pragma once

#include <QFrame>
#include <QPixmap>
#include <QString>

// One panel of the main window's status bar. Its text changes with nearly every key (the
// page's size, the caret's line and column). A QLabel asks the status bar for a new layout
// at each change, and the status bar then repaints itself whole, every panel included; this
// panel keeps the size it was given room for and repaints only itself. Text wider than the
// panel ends in an ellipsis.
class StatusPanel : public QFrame
{
public:
    // widestText: the longest text the panel is meant to show in full.
    StatusPanel(int minimumWidth, const QString &widestText, QWidget *parent);

    QString text() const { return m_text; }
    void setText(const QString &text);
    // Shown in the middle, instead of the text.
    void setPixmap(const QPixmap &pixmap);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int indent() const;

    QString m_text;
    QPixmap m_pixmap;
    int m_minimumWidth;
    QString m_widestText;
};
