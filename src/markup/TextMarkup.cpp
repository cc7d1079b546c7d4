#include "TextMarkup.h"

#include "markup/SysUt.h"

using namespace Qt::StringLiterals;

Markup composeFont(const FontFields &fields)
{
    QString opening = u"<FONT "_s + QuotedAttrPiece(u"FACE="_s, fields.face)
                      + QuotedAttrPiece(u"SIZE="_s, fields.sizeSign + fields.size);
    if (fields.color.on)
        opening += AttrPiece(u"COLOR=#"_s, ColorToHex(fields.color.value));
    return {opening + u'>', u"</FONT>"_s};
}

TagRead<FontFields> readFontTag(QStringView tag)
{
    AttributeReader reader(tag);
    FontFields fields;
    reader.text(u"FACE", fields.face);
    reader.color(u"COLOR", fields.color);
    const QString size = reader.text(u"SIZE").value_or(QString());
    if (size.startsWith(u'+') || size.startsWith(u'-')) {
        fields.sizeSign = size.first(1);
        fields.size = size.sliced(1);
    } else {
        fields.size = size;
    }
    return reader.result(fields);
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
    // The Open Graph names are properties, as the pages that read them expect.
    const bool property = fields.name.startsWith(u"og:"_s, Qt::CaseInsensitive);
    return {u"<META "_s + QuotedAttrPiece(property ? u"PROPERTY="_s : u"NAME="_s, fields.name)
                + QuotedAttrPiece(u"CONTENT="_s, fields.content)
                + QuotedAttrPiece(u"HTTP-EQUIV="_s, fields.httpEquiv) + u">\r\n"_s,
            QString()};
}

TagRead<MetaFields> readMetaTag(QStringView tag)
{
    AttributeReader reader(tag);
    MetaFields fields;
    fields.beforeHead = true;
    reader.text(u"NAME", fields.name);
    // An Open Graph property goes into the name field; any other property stays as it is.
    if (fields.name.isEmpty() && AttributeReader(tag).text(u"PROPERTY").value_or(QString())
                                     .startsWith(u"og:"_s, Qt::CaseInsensitive))
        reader.text(u"PROPERTY", fields.name);
    reader.text(u"CONTENT", fields.content);
    reader.text(u"HTTP-EQUIV", fields.httpEquiv);
    return reader.result(fields);
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
