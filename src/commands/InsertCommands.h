#pragma once

#include "commands/InsertArgs.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class Workspace;

// The markup of a command that only sets two fixed texts; nullptr for any other number.
struct FixedInsertText
{
    int command;
    const char16_t *opening;
    const char16_t *closing;
};
const FixedInsertText *fixedInsertText(int command);

// What the commands write, in the markup style the settings ask for. Every insertion
// command, palette button and element dialog passes its markup through here, so one
// setting decides for all of them; what the user wrote (user tags, files) does not.
Markup writtenMarkup(Workspace &workspace, const Markup &html4);
QString writtenMarkup(Workspace &workspace, QStringView html4);
QStringList writtenMarkup(Workspace &workspace, const QStringList &pieces);

// The step of an insertion command that no element dialog serves: the markup for the
// common wrap, or nothing when the command inserted its text itself or was cancelled.
std::optional<Markup> insertionMarkup(Workspace &workspace, int command, const InsertArgs &args);

// The link to the product's home page (command 21) and what a plain click on the logo opens.
inline constexpr char16_t HomePageAddress[] = u"http://www.qvt.cz/brisko/";
inline constexpr char16_t LogoPictureAddress[] = u"http://www.qvt.cz/brisko/brisko.gif";

// Commands 73 and 74 read the clock through this, so tests can fix it; unset means now.
void setInsertClock(std::function<QDateTime()> clock);
// "dddd, d.mmmmm yyyy" and "hh:nn:ss" with the names of the default locale.
QString formatInsertDate(const QDate &date);
QString formatInsertTime(const QTime &time);

// Puts the skeleton in at the caret of the active document, caret on the empty body line.
// In HTML5 the head declares UTF-8, and a document that has no file yet is written so.
void InsertPageSkeleton(Workspace &workspace, const PageSkeleton &page);

// Moves the caret of the active document just before the first "</HEAD>" (any case); with
// none, only collapses the selection. For the META dialog's "before the header" choice.
void MoveCaretBeforeHeadEnd(Workspace &workspace);
