#pragma once

#include <QKeyCombination>
#include <QKeySequence>

// User-command shortcuts are stored as a 16-bit number: the Windows virtual-key code in
// the low byte plus 8192 for Shift, 16384 for Ctrl and 32768 for Alt; 0 means none.
namespace KeyCode {

inline constexpr int Shift = 8192;
inline constexpr int Ctrl = 16384;
inline constexpr int Alt = 32768;

// The key of a stored code; an empty sequence for 0 or a key the table does not know.
QKeySequence toKeySequence(int code);
// The stored code of a key combination; 0 when its key has no virtual-key code.
int fromKeyCombination(QKeyCombination combination);
// The Qt key of a virtual-key code, Qt::Key_unknown when the table has none.
Qt::Key qtKey(int virtualKey);
// The virtual-key code of a Qt key, 0 when the table has none.
int virtualKey(Qt::Key key);

} // namespace KeyCode
