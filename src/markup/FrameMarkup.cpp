#include "FrameMarkup.h"

#include "markup/SysUt.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

QString borderPiece(bool border)
{
    return border ? u" FRAMEBORDER=YES"_s : u" FRAMEBORDER=NO"_s;
}

QString scrollingPiece(FrameScrolling scrolling)
{
    switch (scrolling) {
    case FrameScrolling::Yes:
        return u" SCROLLING=YES"_s;
    case FrameScrolling::No:
        return u" SCROLLING=NO"_s;
    case FrameScrolling::Auto:
        break;
    }
    return u" SCROLLING=AUTO"_s;
}

// A present SCROLLING other than yes or no means "automatic"; FRAMEBORDER other than yes
// means no border. Absent attributes keep the defaults.
void readScrolling(AttributeReader &reader, FrameScrolling &scrolling)
{
    switch (reader.yesNo(u"SCROLLING")) {
    case AttributeReader::YesNo::Absent:
        return;
    case AttributeReader::YesNo::Yes:
        scrolling = FrameScrolling::Yes;
        return;
    case AttributeReader::YesNo::No:
        scrolling = FrameScrolling::No;
        return;
    case AttributeReader::YesNo::Other:
        scrolling = FrameScrolling::Auto;
        return;
    }
}

void readBorder(AttributeReader &reader, bool &border)
{
    const AttributeReader::YesNo value = reader.yesNo(u"FRAMEBORDER", true);
    if (value != AttributeReader::YesNo::Absent)
        border = value == AttributeReader::YesNo::Yes;
}

QString frameAttributes(const FrameFields &f)
{
    return QuotedAttrPiece(u"SRC="_s, f.src) + QuotedAttrPiece(u"ALIGN="_s, f.align)
           + QuotedAttrPiece(u"NAME="_s, f.name)
           + NumberAttrPiece(u"MARGINHEIGHT="_s, f.marginHeight)
           + NumberAttrPiece(u"MARGINWIDTH="_s, f.marginWidth)
           + borderPiece(f.border) + scrollingPiece(f.scrolling) + u">\r\n"_s;
}

// The lines between the page's head and "</HTML>" for each layout.
QStringList layoutBody(int layout)
{
    const QString menu = u"    <FRAME SRC=\"\" NAME=\"_menu\"  NORESIZE SCROLLING=NO>"_s;
    const QString main = u"    <FRAME SRC=\"\" NAME=\"_main\"  SCROLLING=YES>"_s;
    const QString end = u"  </FRAMESET>"_s;
    switch (layout) {
    case 1:
        return {u"  <FRAMESET COLS=\"180,*\" >"_s, menu, main, end};
    case 2:
        return {u"  <FRAMESET COLS=\"*,180\" >"_s, menu, main, end};
    case 3:
        return {u"  <FRAMESET ROWS=\"20%,*\" >"_s, menu, main, end};
    case 4:
        return {u"  <FRAMESET ROWS=\"*,180\" >"_s, menu, main, end};
    case 5:
        return {u"  <FRAMESET COLS=\"180,*\" >"_s,
                u"    <FRAME SRC=\"\" NAME=\"_leftmenu\"  NORESIZE SCROLLING=NO>"_s,
                u"     <FRAMESET ROWS=\"180,*\">"_s,
                u"        <FRAME SRC=\"\" NAME=\"_topmenu\"  NORESIZE SCROLLING=NO>"_s,
                u"        <FRAME SRC=\"\" NAME=\"_main\"  SCROLLING=YES>"_s,
                u"     </FRAMESET>"_s,
                end};
    case 6:
        return {u"  <FRAMESET COLS=\"180,*\" >"_s,
                u"    <FRAMESET ROWS=\"180,*\">"_s,
                u"       <FRAME SRC=\"\" NAME=\"_logo\"  NORESIZE SCROLLING=NO>"_s,
                u"       <FRAME SRC=\"\" NAME=\"_menu\"  NORESIZE SCROLLING=NO>"_s,
                u"    </FRAMESET>"_s,
                u"       <FRAME SRC=\"\" NAME=\"_main\"   SCROLLING=yes>"_s,
                end};
    default:
        return {};
    }
}

} // namespace

Markup composeFrameSet(const FrameSetFields &f)
{
    return {u"<FRAMESET "_s + QuotedAttrPiece(u"COLS="_s, f.cols)
                + QuotedAttrPiece(u"ROWS="_s, f.rows)
                + NumberAttrPiece(u"FRAMESPACING="_s, f.spacing)
                + borderPiece(f.border) + scrollingPiece(f.scrolling) + u">\r\n"_s,
            u"\r\n</FRAMESET>"_s};
}

TagRead<FrameSetFields> readFrameSetTag(QStringView tag)
{
    AttributeReader reader(tag);
    FrameSetFields f;
    reader.text(u"COLS", f.cols);
    reader.text(u"ROWS", f.rows);
    // A spacing the dialog cannot show stays word for word among the leftovers, so that
    // confirming the dialog does not change it.
    AttributeReader probe = reader;
    Toggled<int> spacing;
    probe.number(u"FRAMESPACING", spacing);
    const bool shown = !spacing.on || (spacing.value >= 0 && spacing.value <= MaxFrameSpacing);
    if (!probe.error().isEmpty() || shown)
        reader.number(u"FRAMESPACING", f.spacing);
    readScrolling(reader, f.scrolling);
    readBorder(reader, f.border);
    return reader.result(f);
}

Markup composeFrame(const FrameFields &fields)
{
    return {u"  <FRAME "_s + frameAttributes(fields), QString()};
}

Markup composeInlineFrame(const FrameFields &fields)
{
    return {u"  <IFRAME "_s + frameAttributes(fields), u"</IFRAME>"_s};
}

TagRead<FrameFields> readFrameTag(QStringView tag)
{
    AttributeReader reader(tag);
    FrameFields f;
    reader.text(u"SRC", f.src);
    reader.text(u"NAME", f.name);
    reader.text(u"ALIGN", f.align);
    reader.number(u"MARGINHEIGHT", f.marginHeight);
    reader.number(u"MARGINWIDTH", f.marginWidth);
    readScrolling(reader, f.scrolling);
    readBorder(reader, f.border);
    return reader.result(f);
}

QString frameLayoutPage(int layout)
{
    const QStringList body = layoutBody(layout);
    if (body.isEmpty())
        return QString();
    QStringList lines{u"<HTML>"_s, u"<HEAD>"_s, u"<TITLE></TITLE>"_s, u"</HEAD>"_s};
    lines << body << u"</HTML>"_s;
    return lines.join(u"\r\n"_s) + u"\r\n"_s;
}
