#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>

class QTimer;
class QWidget;
class Workspace;

// The animated logo in the palette's corner: thirty 40 x 40 frames drawn one after the
// other every 50 ms. Shift+click writes the link to the product's home page into the
// document; a plain click opens the home page in the browser.
class LogoAnimation : public QObject
{
    Q_OBJECT

public:
    static constexpr int FrameCount = 30;
    static constexpr int IntervalMs = 50;

    // Draws on paintBox and owns itself through it.
    LogoAnimation(Workspace &workspace, QWidget *paintBox);

    // The resource name of the frame at a list position: the list holds "W30" first and
    // "W1" last.
    static QString frameName(int listIndex);
    // Takes the frames from the resources under prefix, each read when first needed; a
    // missing frame stays empty and is not drawn.
    void loadFrames(const QString &prefix = QStringLiteral(":/logo/"));
    void start();
    // One step of the timer: shows the frame at (counter mod 30) and moves the counter on.
    void tick();

    int counter() const { return m_counter; }
    // The list position shown by the last step, -1 before the first.
    int shownIndex() const { return m_shown; }
    const QPixmap &frame(int listIndex) const;
    QTimer *timer() const { return m_timer; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Workspace &m_workspace;
    QWidget *m_paintBox;
    QTimer *m_timer;
    QString m_prefix;
    mutable QList<QPixmap> m_frames;
    mutable QList<bool> m_read;
    int m_counter = 1;
    int m_shown = -1;
};
