#include "ImageMarkup.h"

#include "markup/ElementContract.h"
#include "markup/SysUt.h"

using namespace Qt::StringLiterals;

Markup composeImage(const ImageFields &f)
{
    QString opening = u"<IMG "_s + QuotedAttrPiece(u"SRC="_s, f.src)
                      + AttrPiece(u"ALIGN="_s, f.align) + QuotedAttrPiece(u"ALT="_s, f.alt)
                      + QuotedAttrPiece(u"USEMAP="_s, f.useMap)
                      + NumberAttrPiece(u"WIDTH="_s, f.width) + NumberAttrPiece(u"HEIGHT="_s, f.height)
                      + NumberAttrPiece(u"VSPACE="_s, f.vspace)
                      + NumberAttrPiece(u"HSPACE="_s, f.hspace)
                      + NumberAttrPiece(u"BORDER="_s, f.border)
                      + QuotedAttrPiece(u"SRCSET="_s, composeSrcset(f.srcset))
                      + QuotedAttrPiece(u"SIZES="_s, f.sizes)
                      + (f.lazy ? u" LOADING=\"lazy\""_s : QString())
                      + QuotedAttrPiece(u"DECODING="_s, f.decoding);
    if (f.isMap)
        opening += u" ISMAP "_s;
    opening += u'>';
    if (!f.figure)
        return {opening, QString()};
    return {u"<FIGURE>\r\n"_s + opening + u"\r\n<FIGCAPTION>"_s + f.caption,
            u"</FIGCAPTION>\r\n</FIGURE>"_s};
}

TagRead<ImageFields> readImageTag(QStringView tag)
{
    AttributeReader reader(tag);
    ImageFields f;
    f.isMap = reader.flag(u"ISMAP");
    reader.text(u"SRC", f.src);
    reader.text(u"ALIGN", f.align);
    reader.text(u"USEMAP", f.useMap);
    reader.text(u"ALT", f.alt);
    reader.number(u"WIDTH", f.width);
    reader.number(u"HEIGHT", f.height);
    reader.number(u"VSPACE", f.vspace);
    reader.number(u"HSPACE", f.hspace);
    reader.number(u"BORDER", f.border);
    if (const std::optional<QString> srcset = reader.text(u"SRCSET"))
        f.srcset = parseSrcset(*srcset);
    reader.text(u"SIZES", f.sizes);
    if (reader.has(u"LOADING")) {
        AttributeReader probe(tag);
        if (probe.text(u"LOADING").value_or(QString()).compare(u"lazy"_s, Qt::CaseInsensitive) == 0)
            f.lazy = reader.text(u"LOADING").has_value();
    }
    reader.text(u"DECODING", f.decoding);
    return reader.result(f);
}

QStringList imageMapNames(QStringView text)
{
    QStringList names;
    qsizetype at = text.indexOf(u"<MAP", 0, Qt::CaseInsensitive);
    while (at >= 0) {
        const qsizetype after = at + 4;
        if (after < text.size() && IsBlank(text[after])) {
            const qsizetype end = text.indexOf(u'>', after);
            const QStringView tag = end < 0 ? text.sliced(at) : text.sliced(at, end - at + 1);
            const QString name = AttributeReader(tag).text(u"NAME").value_or(QString());
            if (!name.isEmpty())
                names.append(u'#' + name);
        }
        at = text.indexOf(u"<MAP", at + 1, Qt::CaseInsensitive);
    }
    return names;
}

std::optional<PixelSize> measureImage(const QString &fileName)
{
    const PixelSize size = ImageSize(fileName);
    if (size == PixelSize{})
        return std::nullopt;
    return size;
}
