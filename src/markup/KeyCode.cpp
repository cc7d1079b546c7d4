#include "KeyCode.h"

#include <utility>

namespace KeyCode {

namespace {

struct Row
{
    int virtualKey;
    Qt::Key key;
};

// The keys a shortcut can use. Letters, digits and function keys follow in ranges below.
constexpr Row kTable[] = {
    {0x08, Qt::Key_Backspace}, {0x09, Qt::Key_Tab},      {0x0D, Qt::Key_Return},
    {0x13, Qt::Key_Pause},     {0x1B, Qt::Key_Escape},   {0x20, Qt::Key_Space},
    {0x21, Qt::Key_PageUp},    {0x22, Qt::Key_PageDown}, {0x23, Qt::Key_End},
    {0x24, Qt::Key_Home},      {0x25, Qt::Key_Left},     {0x26, Qt::Key_Up},
    {0x27, Qt::Key_Right},     {0x28, Qt::Key_Down},     {0x2D, Qt::Key_Insert},
    {0x2E, Qt::Key_Delete},    {0x6A, Qt::Key_multiply}, {0x6B, Qt::Key_Plus},
    {0x6D, Qt::Key_Minus},     {0x6F, Qt::Key_Slash},    {0xBA, Qt::Key_Semicolon},
    {0xBB, Qt::Key_Equal},     {0xBC, Qt::Key_Comma},    {0xBE, Qt::Key_Period},
    {0xC0, Qt::Key_QuoteLeft}, {0xDB, Qt::Key_BracketLeft}, {0xDC, Qt::Key_Backslash},
    {0xDD, Qt::Key_BracketRight}, {0xDE, Qt::Key_Apostrophe},
};

} // namespace

Qt::Key qtKey(int vk)
{
    if (vk >= 0x41 && vk <= 0x5A)
        return Qt::Key(Qt::Key_A + (vk - 0x41));
    if (vk >= 0x30 && vk <= 0x39)
        return Qt::Key(Qt::Key_0 + (vk - 0x30));
    if (vk >= 0x70 && vk <= 0x87)
        return Qt::Key(Qt::Key_F1 + (vk - 0x70));
    for (const Row &row : kTable)
        if (row.virtualKey == vk)
            return row.key;
    return Qt::Key_unknown;
}

int virtualKey(Qt::Key key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 0x41 + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return 0x30 + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + (key - Qt::Key_F1);
    if (key == Qt::Key_Enter)
        return 0x0D;
    if (key == Qt::Key_Backtab)
        return 0x09;
    for (const Row &row : kTable)
        if (row.key == key)
            return row.virtualKey;
    return 0;
}

QKeySequence toKeySequence(int code)
{
    const Qt::Key key = qtKey(code & 0xFF);
    if (code <= 0 || key == Qt::Key_unknown)
        return {};
    Qt::KeyboardModifiers modifiers;
    if (code & Shift)
        modifiers |= Qt::ShiftModifier;
    if (code & Ctrl)
        modifiers |= Qt::ControlModifier;
    if (code & Alt)
        modifiers |= Qt::AltModifier;
    return QKeySequence(QKeyCombination(modifiers, key));
}

int fromKeyCombination(QKeyCombination combination)
{
    const int vk = virtualKey(combination.key());
    if (vk == 0)
        return 0;
    const Qt::KeyboardModifiers m = combination.keyboardModifiers();
    return vk + (m & Qt::ShiftModifier ? Shift : 0) + (m & Qt::ControlModifier ? Ctrl : 0)
           + (m & Qt::AltModifier ? Alt : 0);
}

} // namespace KeyCode
