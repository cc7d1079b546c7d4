#include "PageMarkup.h"

#include "markup/SysUt.h"

using namespace Qt::StringLiterals;

Markup composeBody(const BodyFields &f)
{
    QString opening = u"<BODY "_s + ColorAttrPiece(u"BGCOLOR="_s, f.bgColor)
                      + ColorAttrPiece(u"TEXT="_s, f.text)
                      + ColorAttrPiece(u"LINK="_s, f.link)
                      + ColorAttrPiece(u"ALINK="_s, f.aLink)
                      + ColorAttrPiece(u"VLINK="_s, f.vLink)
                      + NumberAttrPiece(u"TOPMARGIN="_s, f.topMargin)
                      + NumberAttrPiece(u"BOTTOMMARGIN="_s, f.bottomMargin)
                      + NumberAttrPiece(u"RIGHTMARGIN="_s, f.rightMargin)
                      + NumberAttrPiece(u"LEFTMARGIN="_s, f.leftMargin)
                      + QuotedAttrPiece(u"BACKGROUND="_s, f.background);
    if (f.fixedBackground)
        opening += u" BGPROPERTIES=FIXED"_s;
    return {opening + u'>', u"</BODY>"_s};
}

TagRead<BodyFields> readBodyTag(QStringView tag)
{
    AttributeReader reader(tag);
    BodyFields f;
    reader.color(u"BGCOLOR", f.bgColor);
    reader.color(u"TEXT", f.text);
    reader.color(u"LINK", f.link);
    reader.color(u"ALINK", f.aLink);
    reader.color(u"VLINK", f.vLink);
    reader.number(u"TOPMARGIN", f.topMargin);
    reader.number(u"BOTTOMMARGIN", f.bottomMargin);
    reader.number(u"RIGHTMARGIN", f.rightMargin);
    reader.number(u"LEFTMARGIN", f.leftMargin);
    if (reader.text(u"BGPROPERTIES"))
        f.fixedBackground = true;
    reader.text(u"BACKGROUND", f.background);
    return reader.result(f);
}

QStringList documentTypes(MarkupStyle style)
{
    QStringList types;
    if (style == MarkupStyle::Html5)
        types.append(u"<!DOCTYPE html>"_s);
    types << u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Strict//EN\">"_s
          << u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Draft//EN\">"_s
          << u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">"_s
          << u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">"_s
          << u"<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML 2.0//EN\">"_s;
    return types;
}
