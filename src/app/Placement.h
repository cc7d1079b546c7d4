#pragma once

#include <QList>
#include <QRect>

// Where a stored window rectangle goes on the screens there are now. A rectangle that
// shows enough of itself on some screen stays as it is; one that is off every screen (a
// monitor was removed, the resolution shrank) moves onto the nearest screen, made smaller
// when it does not fit there.
QRect placeOnScreens(const QRect &stored, const QList<QRect> &screens);

// The available areas of the screens connected now.
QList<QRect> availableScreenAreas();
