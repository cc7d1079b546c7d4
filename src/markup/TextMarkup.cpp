#include "TextMarkup.h"

#include "markup/SysUt.h"

using namespace Qt::StringLiterals;

Markup composeFont(const FontFields &fields)
{
    QString opening = u"<FONT "_s + QuotedAttrPiece(u"FACE="_s, fields.face)
                      + QuotedAttrPiece(u"SIZE="_s, fields.sizeSign + fields.size);
    if (fields.colorOn)
        opening += AttrPiece(u"COLOR=#"_s, ColorToHex(fields.color));
    return {opening + u'>', u"</FONT>"_s};
}

FontFields readFontTag(QString &tag)
{
    FontFields fields;
    fields.face = ReadAttribute(tag, u"FACE", true);
    const QString size = ReadAttribute(tag, u"SIZE", true);
    if (size.startsWith(u'+') || size.startsWith(u'-')) {
        fields.sizeSign = size.first(1);
        fields.size = size.sliced(1);
    } else {
        fields.size = size;
    }
    const QString color = ReadAttribute(tag, u"COLOR", true);
    if (!color.isEmpty()) {
        fields.colorOn = true;
        fields.color = HtmlColorToColor(color);
    }
    return fields;
}

std::optional<QString> readComment(const QString &tag)
{
    if (tag.isEmpty())
        return std::nullopt;
    const QString inside = TrimBlanks(QStringView(tag).sliced(1));
    if (!inside.startsWith(u"!--"_s))
        return std::nullopt;
    QString text = inside.sliced(3);
    if (text.endsWith(u'>'))
        text.chop(1);
    if (text.endsWith(u"--"_s))
        text.chop(2);
    return text;
}

QString composeComment(const QString &text)
{
    return text.isEmpty() ? QString() : u"<!--"_s + text + u"-->"_s;
}

Markup composeMeta(const MetaFields &fields)
{
    return {u"<META "_s + QuotedAttrPiece(u"NAME="_s, fields.name)
                + QuotedAttrPiece(u"CONTENT="_s, fields.content)
                + QuotedAttrPiece(u"HTTP-EQUIV="_s, fields.httpEquiv) + u">\r\n"_s,
            QString()};
}

MetaFields readMetaTag(QString &tag)
{
    MetaFields fields;
    fields.beforeHead = true;
    fields.name = ReadAttribute(tag, u"NAME", true);
    fields.content = ReadAttribute(tag, u"CONTENT", true);
    fields.httpEquiv = ReadAttribute(tag, u"HTTP-EQUIV", true);
    return fields;
}

QString counterHomePage()
{
    return u"http://"_s + QString::fromUtf16(CounterServiceHost) + u"/counter/"_s;
}

Markup composeCounter(const CounterFields &fields)
{
    const QString host = QString::fromUtf16(CounterServiceHost);
    return {u"<a href=\""_s + counterHomePage() + u"\"><img src=\"http://"_s + host
                + u"/bin/counter.gif/link="_s + fields.identifier + u"&width="_s
                + QString::number(fields.digits) + u"&set="_s + fields.digitSet
                + u"\" border=0></a>"_s,
            QString()};
}
