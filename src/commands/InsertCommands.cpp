#include "InsertCommands.h"

#include "commands/DocumentLifecycle.h"
#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "markup/MarkupStyle.h"
#include "markup/PageMarkup.h"
#include "markup/SysUt.h"
#include "settings/TSettings.h"

#include <QColor>
#include <QLocale>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr FixedInsertText kFixed[] = {
    {1, u"<B>", u"</B>"},
    {2, u"<I>", u"</I>"},
    {3, u"<S>", u"</S>"},
    {4, u"<U>", u"</U>"},
    {5, u"<TT>", u"</TT>"},
    {6, u"<Q>", u"</Q>"},
    {7, u"<BLINK>", u"</BLINK>"},
    {9, u"<SUB>", u"</SUB>"},
    {10, u"<SUP>", u"</SUP>"},
    {11, u"<P>", u"</P>"},
    {12, u"<BR>", u""},
    {13, u"<CENTER>", u"</CENTER>"},
    {14, u"<BLOCKQUOTE>", u"</BLOCKQUOTE>"},
    {15, u"<PRE>", u"</PRE>"},
    {16, u"<NOBR>", u"</NOBR>"},
    {17, u"<WBR>", u""},
    // The DIV and UL commands break their lines with a single LF.
    {27, u"<DIV align = left>\n", u"\n</DIV>"},
    {28, u"<DIV align = center>\n", u"\n</DIV>"},
    {29, u"<DIV align = right>\n", u"\n</DIV>"},
    {30, u"<DIV align = justify>\n", u"\n</DIV>"},
    {31, u"<UL >\n", u"\n</UL>"},
    {33, u"<DL >", u"</DL>"},
    {34, u"<OL >", u"</OL>"},
    {35, u"<DT >", u"</DT>"},
    {36, u"<DD >", u"</DD>"},
    {37, u"<LI >", u"</LI>"},
    {38, u"<DIR >", u"</DIR>"},
    {39, u"<MENU >", u"</MENU>"},
    {50, u"<COMMENT>", u"</COMMENT>"},
    {51, u"<NOFRAMES>", u"</NOFRAMES>"},
    {54, u"<SPAN STYLE=\"\">", u"</SPAN>"},
    {55, u"<STYLE type=\"text/css\">\r\n", u"\r\n</STYLE>"},
    {57, u"<PLAIN>", u"</PLAIN>"},
    {63, u"<BUTTON>", u"</BUTTON>"},
    {69, u"<NOSCRIPT>", u"</NOSCRIPT>"},
    {70, u"<THEAD>", u"</THEAD>"},
    {71, u"<TBODY>", u"</TBODY>"},
    {72, u"<TFOOT>", u"</TFOOT>"},
    {76, u"<H1>", u"</H1>"},
    {77, u"<H2>", u"</H2>"},
    {78, u"<H3>", u"</H3>"},
    {79, u"<H4>", u"</H4>"},
    {80, u"<H5>", u"</H5>"},
    {81, u"<H6>", u"</H6>"},
    {87, u"<INS>", u"</INS>"},
    {88, u"<DEL>", u"</DEL>"},
    {89, u"<ACRONYM>", u"</ACRONYM>"},
    {90, u"<Q>", u"</Q>"},
    {91, u"<LEGEND>", u"</LEGEND>"},
    {94, u"<CAPTION>", u"</CAPTION>"},
    {96, u"&nbsp;", u""},
    {97, u"&copy;", u""},
    {98, u"&reg;", u""},
    {99, u"&#153;", u""},
    // The sections and phrases of today's pages wrap the selection like the pairs above.
    {101, u"<HEADER>\r\n", u"\r\n</HEADER>"},
    {102, u"<NAV>\r\n", u"\r\n</NAV>"},
    {103, u"<MAIN>\r\n", u"\r\n</MAIN>"},
    {104, u"<SECTION>\r\n", u"\r\n</SECTION>"},
    {105, u"<ARTICLE>\r\n", u"\r\n</ARTICLE>"},
    {106, u"<ASIDE>\r\n", u"\r\n</ASIDE>"},
    {107, u"<FOOTER>\r\n", u"\r\n</FOOTER>"},
    {108, u"<FIGURE>\r\n", u"\r\n<FIGCAPTION></FIGCAPTION>\r\n</FIGURE>"},
    {109, u"<DETAILS>\r\n<SUMMARY></SUMMARY>\r\n", u"\r\n</DETAILS>"},
    {110, u"<MARK>", u"</MARK>"},
    {112, u"<ABBR TITLE=\"\">", u"</ABBR>"},
    {113, u"<PRE><CODE>", u"</CODE></PRE>"},
};

std::function<QDateTime()> &insertClock()
{
    static std::function<QDateTime()> clock;
    return clock;
}

QDateTime now()
{
    return insertClock() ? insertClock()() : QDateTime::currentDateTime();
}

QString homePageLink()
{
    return u"<A HREF=\""_s + QString::fromUtf16(HomePageAddress) + u"\" ><IMG SRC=\""_s
           + QString::fromUtf16(LogoPictureAddress)
           + u"\" BORDER=0 VSPACE=0 HSPACE=0 HEIGHT=33 WIDTH=80></A>"_s;
}

// Anchors and links to them go in at once in the link colour.
void insertAnchorLink(Workspace &w, const QString &opening)
{
    const Markup link = writtenMarkup(w, Markup{opening, u"</A>"_s});
    w.activeDocument()->WrapSelection(w.settings().LINK, link.opening, link.closing);
}

// While the table window is open it composes the markup; otherwise the fixed texts.
Markup tableMarkup(int command, const std::optional<Markup> &fromWindow)
{
    switch (command) {
    case 41:
        return fromWindow.value_or(Markup{u"<TABLE>\r\n"_s, u"\r\n</TABLE>"_s});
    case 42:
        if (fromWindow)
            return {u"  "_s + fromWindow->opening + u"\r\n    "_s, u"\r\n  "_s + fromWindow->closing};
        return {u"  <TR>\r\n    "_s, u"\r\n  </TR>"_s};
    case 43:
        return fromWindow.value_or(Markup{u"<TD>"_s, u"</TD>"_s});
    default:
        return fromWindow.value_or(Markup{u"<TH>"_s, u"</TH>"_s});
    }
}

std::optional<Markup> promptMarkup(int command)
{
    switch (command) {
    case 26:
        if (const auto c = ui().color(QColor(Qt::black)))
            return Markup{u"#"_s + ColorToHex(toColorValue(*c)), {}};
        break;
    case 56:
        if (const QString path = ui().openFileName(u"Style Sheets (*.css)|*.css"_s); !path.isEmpty())
            return Markup{u"<LINK REL=STYLE TYPE=\"text/css\" SRC=\""_s + path + u"\">"_s, {}};
        break;
    }
    return std::nullopt;
}

// The tag-tree node's text up to its first comma goes before the selection, the rest after.
Markup treeNodeMarkup(const QString &node)
{
    const qsizetype comma = node.indexOf(u',');
    if (comma < 0)
        return {QString(), node};
    return {node.left(comma), node.mid(comma + 1)};
}

} // namespace

Markup writtenMarkup(Workspace &workspace, const Markup &html4)
{
    return inStyle(workspace.settings().markupStyle(), html4);
}

QString writtenMarkup(Workspace &workspace, QStringView html4)
{
    return inStyle(workspace.settings().markupStyle(), html4);
}

QStringList writtenMarkup(Workspace &workspace, const QStringList &pieces)
{
    return inStyle(workspace.settings().markupStyle(), pieces);
}

const FixedInsertText *fixedInsertText(int command)
{
    const auto it = std::find_if(std::begin(kFixed), std::end(kFixed),
                                 [command](const FixedInsertText &f) { return f.command == command; });
    return it == std::end(kFixed) ? nullptr : it;
}

void setInsertClock(std::function<QDateTime()> clock)
{
    insertClock() = std::move(clock);
}

QString formatInsertDate(const QDate &date)
{
    // The full month name is the plain (nominative) one of the regional settings, and there
    // is no space between the day's dot and it.
    const QLocale locale;
    return locale.dayName(date.dayOfWeek(), QLocale::LongFormat) + u", "_s
        + QString::number(date.day()) + u"."_s
        + locale.standaloneMonthName(date.month(), QLocale::LongFormat) + u" "_s
        + QString::number(date.year()).rightJustified(4, u'0');
}

QString formatInsertTime(const QTime &time)
{
    return time.toString(u"HH:mm:ss"_s);
}

namespace {

// A page of today: UTF-8 (HTML5 expects it, and the page can hold any character), the
// language for screen readers and hyphenation, and the viewport for phones.
void insertHtml5Skeleton(Workspace &workspace, HtmlDocument &b, const PageSkeleton &page)
{
    const TSettings &settings = workspace.settings();
    const ColorValue tag = settings.TAG;
    // A page that has no file yet is written as it declares itself; an open file keeps its
    // encoding, and saving it asks which one to use.
    if (b.isUntitled())
        b.convertToEncoding(TextEncoding::Utf8);
    HtmlDocument::EditGroup group(b);
    const QString docType = page.docType.isEmpty() ? documentTypes(MarkupStyle::Html5).first() : page.docType;
    b.InsertAtCaret(tag, docType + u"\r\n"_s);
    const QString lang = page.lang.trimmed();
    b.InsertAtCaret(tag, lang.isEmpty() ? u"<html>\r\n"_s : u"<html lang=\""_s + lang + u"\">\r\n"_s);
    b.InsertAtCaret(tag, u"<head>\r\n"_s);
    b.InsertAtCaret(tag, u"    <meta charset=\"utf-8\">\r\n"_s);
    b.InsertAtCaret(tag, u"    <meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\r\n"_s);
    b.InsertAtCaret(tag, u"    <meta name=\"generator\" content=\"Brisko HTML Editor 3.52 final\">\r\n"_s);
    b.InsertAtCaret(tag, u"    <title>"_s);
    b.InsertAtCaret(settings.TEXT, page.title);
    b.InsertAtCaret(tag, u"</title>\r\n"_s);
    b.InsertAtCaret(tag, u"</head>\r\n"_s);
    const Markup body = toHtml5(Markup{page.bodyStart, page.bodyEnd});
    b.InsertAtCaret(tag, body.opening + u"\r\n\r\n"_s);
    b.WrapSelection(tag, QString(), u"\r\n\r\n"_s + body.closing + u"\r\n</html>"_s);
}

} // namespace

void InsertPageSkeleton(Workspace &workspace, const PageSkeleton &page)
{
    HtmlDocument *b = workspace.activeDocument();
    if (!b)
        return;
    if (workspace.settings().markupStyle() == MarkupStyle::Html5) {
        insertHtml5Skeleton(workspace, *b, page);
        return;
    }
    const TSettings &settings = workspace.settings();
    const ColorValue tag = settings.TAG;
    HtmlDocument::EditGroup group(*b);
    if (!page.docType.isEmpty())
        b->InsertAtCaret(tag, page.docType + u"\r\n"_s);
    b->InsertAtCaret(tag, u"<HTML>\r\n"_s);
    b->InsertAtCaret(tag, u"<HEAD>\r\n"_s);
    b->InsertAtCaret(tag, u"    <META NAME=\"Generator\" CONTENT=\"Brisko HTML Editor 3.52 final\">\r\n"_s);
    if (settings.MetaCz)
        b->InsertAtCaret(tag, u"    <META HTTP-EQUIV=\"Content-Type\" "
                              u"CONTENT=\"text/html; charset=windows-1250\">\r\n"_s);
    b->InsertAtCaret(tag, u"    <TITLE>"_s);
    b->InsertAtCaret(settings.TEXT, page.title);
    b->InsertAtCaret(tag, u"</TITLE>\r\n"_s);
    b->InsertAtCaret(tag, u"</HEAD>\r\n"_s);
    b->InsertAtCaret(tag, page.bodyStart + u"\r\n\r\n"_s);
    b->WrapSelection(tag, QString(), u"\r\n\r\n"_s + page.bodyEnd + u"\r\n</HTML>"_s);
}

void MoveCaretBeforeHeadEnd(Workspace &workspace)
{
    HtmlDocument *b = workspace.activeDocument();
    if (!b)
        return;
    const qsizetype head = b->GetText().indexOf(u"</HEAD>"_s, 0, Qt::CaseInsensitive);
    if (head >= 0)
        b->SetSelStart(int(head));
    else
        b->SetSelLength(0);
}

std::optional<Markup> insertionMarkup(Workspace &w, int command, const InsertArgs &args)
{
    if (const FixedInsertText *f = fixedInsertText(command))
        return Markup{QString::fromUtf16(f->opening), QString::fromUtf16(f->closing)};
    HtmlDocument *b = w.activeDocument();
    switch (command) {
    case 32:
        return Markup{u"<UL "_s + args.item + u">\n"_s, u"\n</UL>"_s};
    case 21:
        return Markup{homePageLink(), {}};
    case 22:
        return Markup{args.item, {}};
    case 23:
        insertAnchorLink(w, u"<A"_s + QuotedAttrPiece(u"NAME="_s, args.item) + u">"_s);
        return std::nullopt;
    case 24:
        insertAnchorLink(w, u"<A"_s + QuotedAttrPiece(u"HREF="_s, u"#"_s + args.item) + u">"_s);
        return std::nullopt;
    case 41:
    case 42:
    case 43:
    case 44:
        return tableMarkup(command, args.markup);
    case 26:
    case 56:
        return promptMarkup(command);
    case 58:
        if (!args.item.isEmpty())
            b->InsertAtCaret(w.settings().TEXT, writtenMarkup(w, args.item));
        return std::nullopt;
    case 59:
        return args.markup;
    case 73:
        return Markup{formatInsertDate(now().date()), {}};
    case 74:
        return Markup{formatInsertTime(now().time()), {}};
    case 111:
        // Today, as the machine reads a date: a time with an empty DATETIME is no time.
        return Markup{u"<TIME DATETIME=\""_s + now().date().toString(Qt::ISODate) + u"\">"_s,
                      u"</TIME>"_s};
    case 75:
        b->InsertAtCaret(w.settings().SCRIPT,
                         writtenMarkup(w, u"<SCRIPT LANGUAGE=\"JavaScript\" >\r\n"
                                          u"document.write(document.lastModified)\r\n</SCRIPT>"_s));
        return std::nullopt;
    case 85:
        InsertPageSkeleton(w, args.page.value_or(PageSkeleton{}));
        return std::nullopt;
    case 92:
        if (args.item.isEmpty())
            return std::nullopt;
        return treeNodeMarkup(args.item);
    case 93:
        if (const QString path = ui().openFileName(insertFileFilter()); !path.isEmpty())
            insertFileAtSelection(w, path);
        return std::nullopt;
    }
    return std::nullopt;
}
