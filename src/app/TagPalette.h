#pragma once

#include "commands/CommandIds.h"

#include <QList>
#include <QString>

class QComboBox;
class QToolButton;
class QWidget;
class TForm1;

// Fills the twelve pages of the tag palette with their buttons, adds the DIV bar and the
// anchor list, and connects them to the insertion commands.
void installTagPalette(TForm1 &window);

// The palette button with this caption on the page of that tab ("Text", "Odkazy" ...).
QToolButton *paletteButton(TForm1 &window, const QString &tab, const QString &caption);
// The anchor list on "Odkazy" and the vertical bar of the four DIV buttons.
QComboBox *anchorList(TForm1 &window);
QWidget *divBar(TForm1 &window);

// The names of the anchors of a page ('<A NAME=...>'), as the page writes them, in document order,
// duplicates kept; only "<A " with a blank counts.
QStringList anchorNames(const QString &text);
// Refills the anchor list from the active document (double-click on the list).
void rebuildAnchorList(TForm1 &window);

// Hides the pop-up attribute lists of "BR", "P" and "UL".
void HideAttributeLists(TForm1 &window);
// Runs an insertion command with what the frame holds for it: the anchor name of the
// palette's list for the anchor and the link to it, the table window's markup for the
// table's tags.
void insertFromFrame(TForm1 &window, Insertion command);

// A button of the palette and the insertion it runs.
struct PaletteEntry
{
    QString tab;
    QString caption;
    Insertion command;
};
// Every button of the palette with the insertions it runs ("TR&&TD" runs two), the DIV
// bar's four included; the "DIV" button itself only shows the bar.
QList<PaletteEntry> paletteEntries();
