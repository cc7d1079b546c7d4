#pragma once

#include "commands/InsertTag.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

class TForm1;

// The markup of a command that only sets two fixed texts; nullptr for any other number.
struct FixedInsertText
{
    int command;
    const char16_t *opening;
    const char16_t *closing;
};
const FixedInsertText *fixedInsertText(int command);
// Every fixed-text command, in number order.
QList<int> fixedInsertCommands();

// The link to the product's home page (command 21) and what a plain click on the logo opens.
inline constexpr char16_t HomePageAddress[] = u"http://www.qvt.cz/brisko/";
inline constexpr char16_t LogoPictureAddress[] = u"http://www.qvt.cz/brisko/brisko.gif";

// Commands 73 and 74 read the clock through this, so tests can fix it; unset means now.
void setInsertClock(std::function<QDateTime()> clock);
// "dddd, d.mmmmm yyyy" and "hh:nn:ss" with the names of the default locale.
QString formatInsertDate(const QDate &date);
QString formatInsertTime(const QTime &time);

// The page skeleton of command 85, as the new-page wizard leaves it.
struct PageSkeleton
{
    QString docType;
    QString title = QStringLiteral("Bez titulku");
    QString bodyStart = QStringLiteral("<BODY >");
    QString bodyEnd = QStringLiteral("</BODY>");
};
// The new-page wizard, once it exists: shown by command 86; nullopt when left without OK.
void setNewPageWizard(std::function<std::optional<PageSkeleton>(TForm1 &)> wizard);
// Puts the skeleton in at the caret of the active document, caret on the empty body line.
void InsertPageSkeleton(TForm1 &window, const PageSkeleton &page);

// The table window, once it exists: the markup of its compose-table (41), row (42), cell
// (43) and header-cell (44) operations; nullopt while the window is closed.
void setTableWindowMarkup(std::function<std::optional<InsertTexts>(TForm1 &, int command)> markup);

// The text of the tag tree's selected node; nullopt when none is selected.
void setTagTreeSelection(std::function<std::optional<QString>(TForm1 &)> selection);

// Entry points of the special-characters window (command 58) and the user-tags window
// (command 59): they hand over what the user picked and the command inserts it.
void InsertSpecialCharacter(TForm1 &window, const QString &text);
void InsertUserTag(TForm1 &window, const QString &opening, const QString &closing);

// Moves the caret of the active document just before the first "</HEAD>" (any case); with
// none, only collapses the selection. For the META dialog's "before the header" choice.
void MoveCaretBeforeHeadEnd(TForm1 &window);

// Builds the tag palette, registers the commands' steps and binds every insertion menu
// item, toolbar button and shortcut.
void installInsertCommands(TForm1 &window);
