#include "LogoAnimation.h"

#include "app/DesktopIntegration.h"
#include "commands/InsertCommands.h"
#include "commands/InsertTag.h"
#include "markup/SysUt.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

using namespace Qt::StringLiterals;

LogoAnimation::LogoAnimation(Workspace &workspace, QWidget *paintBox)
    : QObject(paintBox)
    , m_workspace(workspace)
    , m_paintBox(paintBox)
    , m_timer(new QTimer(this))
{
    setObjectName(u"LogoAnimation"_s);
    m_frames.resize(FrameCount);
    m_read.resize(FrameCount, false);
    m_timer->setInterval(IntervalMs);
    connect(m_timer, &QTimer::timeout, this, &LogoAnimation::tick);
    paintBox->installEventFilter(this);
}

QString LogoAnimation::frameName(int listIndex)
{
    return u"W"_s + QString::number(FrameCount - listIndex);
}

void LogoAnimation::loadFrames(const QString &prefix)
{
    // Reading all thirty at once would slow the start; one at a time, as the animation
    // comes to it, costs nothing anyone waits for.
    m_prefix = prefix;
    m_frames.fill(QPixmap());
    m_read.fill(false);
}

const QPixmap &LogoAnimation::frame(int listIndex) const
{
    if (!m_read[listIndex] && !m_prefix.isEmpty()) {
        m_frames[listIndex] = readPng(m_prefix + frameName(listIndex) + u".png"_s);
        m_read[listIndex] = true;
    }
    return m_frames[listIndex];
}

void LogoAnimation::start()
{
    m_timer->start();
}

void LogoAnimation::tick()
{
    m_shown = m_counter % FrameCount;
    m_counter = m_counter % FrameCount + 1;
    m_paintBox->update();
}

bool LogoAnimation::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_paintBox)
        return false;
    if (event->type() == QEvent::Paint) {
        if (m_shown >= 0 && !frame(m_shown).isNull()) {
            QPainter painter(m_paintBox);
            painter.drawPixmap(0, 0, frame(m_shown));
        }
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (mouse->modifiers() & Qt::ShiftModifier)
            InsertTag(m_workspace, 21);
        else
            ShellOpen(QString::fromUtf16(HomePageAddress));
        return true;
    }
    return false;
}
