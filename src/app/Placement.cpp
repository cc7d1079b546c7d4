#include "Placement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <limits>

namespace {

// The part of a window that must be visible for the user to reach its title bar.
constexpr int MinVisibleWidth = 64;
constexpr int MinVisibleHeight = 32;

bool showsEnough(const QRect &window, const QRect &screen)
{
    const QRect part = window.intersected(screen);
    return part.width() >= std::min(MinVisibleWidth, window.width())
        && part.height() >= std::min(MinVisibleHeight, window.height());
}

// How far a rectangle lies from a screen: 0 when they overlap.
qint64 distance(const QRect &window, const QRect &screen)
{
    const qint64 dx = std::max({screen.left() - window.right(), window.left() - screen.right(), 0});
    const qint64 dy = std::max({screen.top() - window.bottom(), window.top() - screen.bottom(), 0});
    return dx * dx + dy * dy;
}

} // namespace

QRect placeOnScreens(const QRect &stored, const QList<QRect> &screens)
{
    if (screens.isEmpty() || !stored.isValid())
        return stored;
    for (const QRect &screen : screens) {
        if (showsEnough(stored, screen))
            return stored;
    }
    const QRect *nearest = &screens.first();
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QRect &screen : screens) {
        const qint64 d = distance(stored, screen);
        if (d < best) {
            best = d;
            nearest = &screen;
        }
    }
    QRect placed(stored.topLeft(), stored.size().boundedTo(nearest->size()));
    placed.moveLeft(std::clamp(placed.left(), nearest->left(), nearest->right() - placed.width() + 1));
    placed.moveTop(std::clamp(placed.top(), nearest->top(), nearest->bottom() - placed.height() + 1));
    return placed;
}

QList<QRect> availableScreenAreas()
{
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}
