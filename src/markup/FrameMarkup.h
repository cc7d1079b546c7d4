#pragma once

#include "markup/ElementContract.h"
#include "markup/Markup.h"

#include <QString>

// Frame sets, frames and inline frames, and the ready frame-set pages of the generator.

// The scroll-bar choice of frame sets and frames, in the order of its radio buttons.
enum class FrameScrolling { Auto, Yes, No };

// FRAMESET ("Soubor rámců"). COLS and ROWS are written as typed ("2", '30%,*').
struct FrameSetFields
{
    QString cols;
    QString rows;
    Toggled<int> spacing;
    bool border = true;
    FrameScrolling scrolling = FrameScrolling::Auto;
    bool operator==(const FrameSetFields &) const = default;
};

// The largest frame spacing the dialog offers.
inline constexpr int MaxFrameSpacing = 1000;

Markup composeFrameSet(const FrameSetFields &fields);
// COLS, ROWS, FRAMESPACING, SCROLLING and FRAMEBORDER. A spacing outside 0..1000 is left
// among the leftovers.
TagRead<FrameSetFields> readFrameSetTag(QStringView tag);

// FRAME ("Rámec") and, with the same fields, IFRAME ("Vložený rámec").
struct FrameFields
{
    QString src;
    QString name;
    QString align;
    Toggled<int> marginHeight;
    Toggled<int> marginWidth;
    FrameScrolling scrolling = FrameScrolling::Auto;
    bool border = true;
    bool operator==(const FrameFields &) const = default;
};

// '  <FRAME ' with two leading blanks; the border and scrolling pieces are always written.
Markup composeFrame(const FrameFields &fields);
// The same pieces in the same order after '  <IFRAME '; unlike a frame, an inline frame
// has content and always needs its end tag.
Markup composeInlineFrame(const FrameFields &fields);
// SRC, NAME, ALIGN, MARGINHEIGHT, MARGINWIDTH, SCROLLING and FRAMEBORDER; FRAME and
// IFRAME read alike.
TagRead<FrameFields> readFrameTag(QStringView tag);

// The number of ready layouts of the frame generator.
inline constexpr int FrameLayoutCount = 6;
// The whole page of layout 1..6, every line ending in CR LF; empty for another number.
QString frameLayoutPage(int layout);
