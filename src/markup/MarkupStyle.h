#pragma once

#include "markup/Markup.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// How the commands write markup. HTML 4 is what they compose: upper-case names, bare values
// and the presentational elements. HTML5 is the same markup rewritten by one table of
// replacements: lower-case names, quoted values, and CSS where HTML5 dropped an element or
// attribute that has a plain replacement.
enum class MarkupStyle { Html4, Html5 };

// The settings' words for the style: "HTML4" and "HTML5"; anything else reads as HTML 4.
QString markupStyleName(MarkupStyle style);
MarkupStyle markupStyleFromName(QStringView name);

// Every tag of a text composed in HTML 4 as HTML5 writes it. Comments, the doctype and
// processing instructions stay word for word, text between the tags too but for the
// references to Windows-1252's characters at 128..159 ("&#153;" becomes "&trade;"); an
// attribute the table does not know keeps its value, only its name goes to lower case.
QString toHtml5(QStringView html4);
// The opening and the closing part of an element as one text, so a table opened in one
// and its cells in the other share what the table's borders and padding say.
Markup toHtml5(const Markup &html4);
// Pieces that go into a page one after another (a table, its row, its cell) as one text.
QStringList toHtml5(const QStringList &pieces);
// The markup as the style writes it: unchanged for HTML 4.
Markup inStyle(MarkupStyle style, const Markup &html4);
QString inStyle(MarkupStyle style, QStringView html4);
QStringList inStyle(MarkupStyle style, const QStringList &pieces);

// A start tag written in HTML5 as the dialogs read HTML 4: the declarations of its style
// that the table turned an attribute into go back to that attribute (a cell's "width: 50%"
// is WIDTH="50%" again), so F7 shows them in the dialog's fields; the rest stays style.
QString html4Reading(QStringView tag);

// The style a start or end tag was written in: HTML5 when its element name has a lower-case
// letter, so a tag edited again keeps the case the user wrote it in.
MarkupStyle styleOfTag(QStringView tag);

// HTML5 dropped these elements without a replacement (MARQUEE, BLINK, frames, APPLET, and
// PARAM, whose object's plug-ins are gone too):
// the commands still write them, and the palette, the menu and the HTML check say
// "zastaralé". The name in upper case.
bool isObsoleteWithoutReplacement(QStringView upperName);
