#include "markup/MediaMarkup.h"

#include "markup/SysUt.h"
#include "markup/TextFile.h"

using namespace Qt::StringLiterals;

QStringList memoLines(QStringView text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = normalizeLineBreaks(text).split(u"\r\n"_s);
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

Markup composeHr(const HrFields &fields)
{
    return {u"<HR "_s + ColorAttrPiece(u"COLOR="_s, fields.color)
                + AttrPiece(u"SIZE="_s, fields.size) + AttrPiece(u"WIDTH="_s, fields.width)
                + (fields.shade ? QString() : u" NOSHADE"_s) + u'>',
            QString()};
}

TagRead<HrFields> readHrTag(QStringView tag)
{
    AttributeReader reader(tag);
    HrFields fields;
    reader.color(u"COLOR", fields.color);
    reader.text(u"SIZE", fields.size);
    reader.text(u"WIDTH", fields.width);
    if (reader.flag(u"NOSHADE"))
        fields.shade = false;
    return reader.result(fields);
}

Markup composeSound(const SoundFields &fields)
{
    return {u"<BGSOUND"_s + QuotedAttrPiece(u"SRC="_s, fields.src)
                + QuotedAttrPiece(u"LOOP="_s, fields.loop) + u'>',
            QString()};
}

TagRead<SoundFields> readSoundTag(QStringView tag)
{
    AttributeReader reader(tag);
    SoundFields fields;
    reader.text(u"SRC", fields.src);
    reader.text(u"LOOP", fields.loop);
    return reader.result(fields);
}

Markup composeEmbed(const EmbedFields &fields)
{
    QString opening = u"<EMBED"_s + QuotedAttrPiece(u"SRC="_s, fields.src)
                      + QuotedAttrPiece(u"PALETTE="_s, fields.palette)
                      + NumberAttrPiece(u"HEIGHT="_s, fields.height)
                      + NumberAttrPiece(u"WIDTH="_s, fields.width);
    for (const QString &line : memoLines(fields.parameters))
        opening += u' ' + line;
    return {opening + u'>', QString()};
}

TagRead<EmbedFields> readEmbedTag(QStringView tag)
{
    AttributeReader reader(tag);
    EmbedFields fields;
    reader.text(u"SRC", fields.src);
    reader.text(u"PALETTE", fields.palette);
    reader.number(u"HEIGHT", fields.height);
    reader.number(u"WIDTH", fields.width);
    return reader.result(fields);
}

Markup composeMarquee(const MarqueeFields &fields)
{
    return {u"<MARQUEE "_s + QuotedAttrPiece(u"BEHAVIOR="_s, fields.behavior)
                + QuotedAttrPiece(u"DIRECTION="_s, fields.direction)
                + QuotedAttrPiece(u"LOOP="_s, fields.loop)
                + ColorAttrPiece(u"BGCOLOR="_s, fields.bgColor)
                + NumberAttrPiece(u"SCROLLDELAY="_s, fields.scrollDelay.value,
                                  fields.scrollDelay.on)
                + NumberAttrPiece(u"SCROLLAMOUNT="_s, fields.scrollAmount.value,
                                  fields.scrollAmount.on)
                + u'>',
            u"</MARQUEE>"_s};
}

TagRead<MarqueeFields> readMarqueeTag(QStringView tag)
{
    AttributeReader reader(tag);
    MarqueeFields fields;
    reader.text(u"BEHAVIOR", fields.behavior);
    reader.text(u"DIRECTION", fields.direction);
    reader.text(u"LOOP", fields.loop);
    reader.color(u"BGCOLOR", fields.bgColor);
    reader.number(u"SCROLLDELAY", fields.scrollDelay);
    reader.number(u"SCROLLAMOUNT", fields.scrollAmount);
    return reader.result(fields);
}

Markup composeScript(const ScriptFields &fields)
{
    return {u"<SCRIPT "_s + QuotedAttrPiece(u"LANGUAGE="_s, fields.language)
                + QuotedAttrPiece(u"TITLE="_s, fields.title)
                + QuotedAttrPiece(u"EVENT="_s, fields.event)
                + QuotedAttrPiece(u"FOR="_s, fields.forObject) + u">\r\n"_s,
            u"\r\n</SCRIPT>"_s};
}

TagRead<ScriptFields> readScriptTag(QStringView tag)
{
    AttributeReader reader(tag);
    ScriptFields fields;
    reader.text(u"TITLE", fields.title);
    reader.text(u"LANGUAGE", fields.language);
    reader.text(u"FOR", fields.forObject);
    reader.text(u"EVENT", fields.event);
    return reader.result(fields);
}

QString componentName(QStringView line)
{
    const qsizetype comma = line.indexOf(u',');
    return comma < 0 ? QString() : line.first(comma).toString();
}

QString componentClassId(QStringView line)
{
    return line.sliced(line.indexOf(u',') + 1).toString();
}

std::optional<QStringList> readComponentList(const QString &path)
{
    const TextFileResult file = readTextFile(path);
    if (!file.ok)
        return std::nullopt;
    return memoLines(file.text);
}

Markup composeActiveX(const ActiveXFields &fields)
{
    if (!fields.component)
        return {};
    return {u"<OBJECT ID=\""_s + componentName(*fields.component) + u"\" CLASSID=\""_s
                + componentClassId(*fields.component) + u"\" HEIGHT="_s
                + QString::number(fields.height) + u" WIDTH="_s + QString::number(fields.width)
                + u">\r\n"_s,
            u"\r\n</OBJECT>"_s};
}

Markup composeApplet(const AppletFields &fields)
{
    return {u"<APPLET "_s + QuotedAttrPiece(u"CODE="_s, fields.code)
                + QuotedAttrPiece(u"CODEBASE="_s, fields.codebase)
                + QuotedAttrPiece(u"ALIGN="_s, fields.align)
                + NumberAttrPiece(u"TABINDEX="_s, fields.tabIndex)
                + NumberAttrPiece(u"MAXLENGTH="_s, fields.maxLength)
                + u'>',
            u"\r\n</APPLET>"_s};
}

TagRead<AppletFields> readAppletTag(QStringView tag)
{
    AttributeReader reader(tag);
    AppletFields fields;
    reader.number(u"TABINDEX", fields.tabIndex);
    reader.number(u"MAXLENGTH", fields.maxLength);
    reader.text(u"CODE", fields.code);
    reader.text(u"CODEBASE", fields.codebase);
    reader.text(u"ALIGN", fields.align);
    return reader.result(fields);
}

Markup composeParam(const ParamFields &fields)
{
    return {u"<PARAM"_s + QuotedAttrPiece(u"NAME="_s, fields.name)
                + QuotedAttrPiece(u"VALUE="_s, fields.value) + u'>',
            QString()};
}

TagRead<ParamFields> readParamTag(QStringView tag)
{
    AttributeReader reader(tag);
    ParamFields fields;
    reader.text(u"NAME", fields.name);
    reader.text(u"VALUE", fields.value);
    return reader.result(fields);
}
