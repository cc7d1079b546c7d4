#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// What a message of the HTML check is about.
enum class HtmlMessageKind {
    Error,
    Warning,
    Proprietary,   // an element or attribute no standard has, such as MARQUEE or BGSOUND
    Accessibility,
};

// One finding of the HTML check, at a 1-based line and column of the page (a tab counts as
// one column, CR LF as one line break, a character beyond the Basic Multilingual Plane as
// two columns, as the editor counts them).
struct HtmlMessage
{
    HtmlMessageKind kind = HtmlMessageKind::Warning;
    int line = 0;
    int column = 0;
    QString text;
    QString key; // HTML Tidy's name of the message ("MISSING_ENDTAG_FOR")
    bool operator==(const HtmlMessage &) const = default;
};

// "Chyba", "Varování", "Nestandardní", "Přístupnost".
QString htmlMessageKindName(HtmlMessageKind kind);

// "Varování 12:5 chybí koncová značka </b>", the line of a message list.
QString describeHtmlMessage(const HtmlMessage &message);

// Checks the page's markup with HTML Tidy, in memory, and lists its errors and warnings in
// the order of the page. The page's doctype decides between the rules of HTML 4 and HTML5.
// The common messages read in Czech, the others as Tidy writes them. Nothing is written
// anywhere and the text is not changed.
QList<HtmlMessage> checkHtml(QStringView page);
