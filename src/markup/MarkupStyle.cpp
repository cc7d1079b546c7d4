#include "MarkupStyle.h"

#include "markup/SysUt.h"

#include <QList>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Elements HTML5 has a plain replacement for: the new element, and the style it carries.
struct ElementReplacement
{
    QStringView html4;
    QStringView html5;
    QStringView style;
};

// U stays: HTML5 kept it, and it underlines as before.
constexpr ElementReplacement ElementReplacements[] = {
    {u"CENTER", u"div", u"text-align: center"},
    {u"FONT", u"span", {}},
    {u"BASEFONT", u"span", {}},
    {u"STRIKE", u"s", {}},
    {u"TT", u"code", {}},
    {u"ACRONYM", u"abbr", {}},
    {u"BIG", u"span", u"font-size: larger"},
    {u"DIR", u"ul", {}},
    {u"NOBR", u"span", u"white-space: nowrap"},
    {u"PLAIN", u"pre", {}},
    {u"PLAINTEXT", u"pre", {}},
    {u"LISTING", u"pre", {}},
    {u"XMP", u"pre", {}},
};

constexpr QStringView ObsoleteWithoutReplacement[] = {
    u"APPLET", u"BGSOUND", u"BLINK", u"COMMENT", u"FRAME", u"FRAMESET", u"ILAYER",
    u"ISINDEX", u"KEYGEN", u"LAYER", u"MARQUEE", u"MULTICOL", u"NOEMBED", u"NOFRAMES",
    u"NOLAYER", u"PARAM", u"SPACER",
};

// Windows-1252 wrote these characters at 128..159, and HTML 4 pages refer to them by those
// numbers ("&#153;" for the trade mark), which HTML5 reads as control characters. The
// numbers without a character stay as they are.
constexpr QStringView C1References[32] = {
    u"&euro;", {}, u"&sbquo;", u"&fnof;", u"&bdquo;", u"&hellip;", u"&dagger;", u"&Dagger;",
    u"&circ;", u"&permil;", u"&Scaron;", u"&lsaquo;", u"&OElig;", {}, u"&Zcaron;", {},
    {}, u"&lsquo;", u"&rsquo;", u"&ldquo;", u"&rdquo;", u"&bull;", u"&ndash;", u"&mdash;",
    u"&tilde;", u"&trade;", u"&scaron;", u"&rsaquo;", u"&oelig;", {}, u"&zcaron;", u"&Yuml;",
};

// How an attribute HTML5 dropped turns into style.
enum class Convert {
    Property,     // the value, lower case, as the property's value
    Color,        // a colour; six hex digits get their "#"
    Length,       // "50%" stays, a number gets "px"
    Url,          // url('...')
    FontFamily,   // as written
    FontSize,     // 1..7 and +n/-n as CSS sizes
    Fixed,        // the property's text as it stands ("white-space: nowrap")
    KeptIfNumber, // stays an attribute when a whole number (HTML5 has it so), else a length
    ImageAlign,   // left/right float, the others align vertically
    TableAlign,   // left/right float, center by auto margins
    RuleAlign,    // a rule's auto margins
    TableBorder,  // the table's border and every cell's
    CellPadding,  // every cell's padding
    ImageBorder,  // 0 goes, else a solid border; a frame's NO or 0 hides its own
    HSpace,
    VSpace,
    Clear,
    Scrolling,    // a frame's scroll bars: "no" hides them, "yes" always shows them
    Rename,       // the same value under the property's name as an attribute
    LinkRelation, // REL=STYLE meant a style sheet
    Drop,         // says nothing HTML5 needs
};

struct AttributeRule
{
    QStringView elements; // blank-separated, upper case
    QStringView attribute;
    QStringView property;
    Convert convert;
};

// The attributes HTML5 dropped and what writes the same now; one row per element group.
constexpr AttributeRule AttributeRules[] = {
    // Alignment
    {u"DIV P H1 H2 H3 H4 H5 H6 CAPTION THEAD TBODY TFOOT TR TD TH COL COLGROUP LEGEND",
     u"ALIGN", u"text-align", Convert::Property},
    {u"TABLE", u"ALIGN", {}, Convert::TableAlign},
    {u"IMG OBJECT EMBED IFRAME INPUT APPLET", u"ALIGN", {}, Convert::ImageAlign},
    {u"HR", u"ALIGN", {}, Convert::RuleAlign},
    {u"TD TH TR THEAD TBODY TFOOT COL COLGROUP", u"VALIGN", u"vertical-align", Convert::Property},
    // Colours and backgrounds
    {u"BODY TABLE TR TD TH", u"BGCOLOR", u"background-color", Convert::Color},
    {u"BODY TABLE TD TH", u"BACKGROUND", u"background-image", Convert::Url},
    {u"BODY", u"TEXT", u"color", Convert::Color},
    {u"BODY", u"BGPROPERTIES", u"background-attachment: fixed", Convert::Fixed},
    // Page margins
    {u"BODY", u"TOPMARGIN", u"margin-top", Convert::Length},
    {u"BODY", u"BOTTOMMARGIN", u"margin-bottom", Convert::Length},
    {u"BODY", u"LEFTMARGIN", u"margin-left", Convert::Length},
    {u"BODY", u"RIGHTMARGIN", u"margin-right", Convert::Length},
    {u"FONT BASEFONT HR", u"COLOR", u"color", Convert::Color},
    // Fonts
    {u"FONT BASEFONT", u"SIZE", u"font-size", Convert::FontSize},
    {u"FONT BASEFONT", u"FACE", u"font-family", Convert::FontFamily},
    // Sizes
    {u"TABLE TD TH TR COL COLGROUP HR PRE", u"WIDTH", u"width", Convert::Length},
    {u"TABLE TD TH TR", u"HEIGHT", u"height", Convert::Length},
    {u"IMG IFRAME EMBED OBJECT VIDEO CANVAS INPUT", u"WIDTH", u"width", Convert::KeptIfNumber},
    {u"IMG IFRAME EMBED OBJECT VIDEO CANVAS INPUT", u"HEIGHT", u"height", Convert::KeptIfNumber},
    {u"HR", u"SIZE", u"height", Convert::Length},
    {u"HR", u"NOSHADE", u"border-style: solid", Convert::Fixed},
    // Tables
    {u"TABLE", u"BORDER", {}, Convert::TableBorder},
    {u"TABLE", u"CELLSPACING", u"border-spacing", Convert::Length},
    {u"TABLE", u"CELLPADDING", {}, Convert::CellPadding},
    {u"TD TH", u"NOWRAP", u"white-space: nowrap", Convert::Fixed},
    // Images and objects
    {u"IMG OBJECT", u"BORDER", {}, Convert::ImageBorder},
    {u"IMG OBJECT APPLET", u"HSPACE", {}, Convert::HSpace},
    {u"IMG OBJECT APPLET", u"VSPACE", {}, Convert::VSpace},
    {u"IFRAME", u"FRAMEBORDER", {}, Convert::ImageBorder},
    {u"IFRAME", u"SCROLLING", u"overflow", Convert::Scrolling},
    // Text flow and lists
    {u"BR", u"CLEAR", u"clear", Convert::Clear},
    {u"UL", u"TYPE", u"list-style-type", Convert::Property},
    // Names HTML5 spells otherwise, and what it no longer needs
    {u"A", u"NAME", u"id", Convert::Rename},
    {u"LINK", u"SRC", u"href", Convert::Rename},
    {u"LINK", u"REL", {}, Convert::LinkRelation},
    {u"SCRIPT", u"LANGUAGE", {}, Convert::Drop},
    {u"AREA", u"NOHREF", {}, Convert::Drop},
};

struct Attribute
{
    QString name;
    QString value;
    bool hasValue = false;
};

struct Html4Tag
{
    bool closing = false;
    QString name; // as written
    QList<Attribute> attributes;
};

bool isHtmlBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f';
}

bool listed(QStringView list, QStringView upperName)
{
    for (const QStringView item : list.tokenize(u' ', Qt::SkipEmptyParts)) {
        if (item == upperName)
            return true;
    }
    return false;
}

// A tag from its "<" to before its ">", read as HTML reads it.
Html4Tag parseTag(QStringView inside)
{
    Html4Tag tag;
    qsizetype i = 1;
    if (i < inside.size() && inside[i] == u'/') {
        tag.closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < inside.size() && !isHtmlBlank(inside[i]) && inside[i] != u'/')
        ++i;
    tag.name = inside.sliced(nameStart, i - nameStart).toString();
    while (i < inside.size()) {
        while (i < inside.size() && (isHtmlBlank(inside[i]) || inside[i] == u'/'))
            ++i;
        const qsizetype attrStart = i;
        while (i < inside.size() && !isHtmlBlank(inside[i]) && inside[i] != u'=' && inside[i] != u'/')
            ++i;
        if (i == attrStart) {
            ++i; // a stray "=" without a name
            continue;
        }
        Attribute attribute{inside.sliced(attrStart, i - attrStart).toString(), {}, false};
        qsizetype j = i;
        while (j < inside.size() && isHtmlBlank(inside[j]))
            ++j;
        if (j < inside.size() && inside[j] == u'=') {
            ++j;
            while (j < inside.size() && isHtmlBlank(inside[j]))
                ++j;
            attribute.hasValue = true;
            if (j < inside.size() && (inside[j] == u'"' || inside[j] == u'\'')) {
                const QChar quote = inside[j];
                const qsizetype close = inside.indexOf(quote, j + 1);
                const qsizetype end = close < 0 ? inside.size() : close;
                attribute.value = inside.sliced(j + 1, end - j - 1).toString();
                j = close < 0 ? inside.size() : close + 1;
            } else {
                const qsizetype valueStart = j;
                while (j < inside.size() && !isHtmlBlank(inside[j]))
                    ++j;
                attribute.value = inside.sliced(valueStart, j - valueStart).toString();
            }
            i = j;
        }
        tag.attributes.append(attribute);
    }
    return tag;
}

bool isWholeNumber(QStringView value)
{
    return !value.isEmpty() && std::all_of(value.begin(), value.end(), [](QChar c) { return c.isDigit(); });
}

QString lengthValue(QStringView value)
{
    const QString v = value.trimmed().toString();
    return isWholeNumber(v) ? v + u"px"_s : v;
}

QString colorValue(QStringView value)
{
    const QString v = value.trimmed().toString();
    static const auto isHex = [](QChar c) { return c.isDigit() || QStringView(u"abcdefABCDEF").contains(c); };
    if (v.size() == 6 && std::all_of(v.begin(), v.end(), isHex))
        return u'#' + v;
    return v;
}

// HTML's seven font sizes, 3 being the normal one; "+1" and "-1" count from it.
QString fontSizeValue(QStringView value)
{
    static constexpr QStringView Sizes[] = {u"x-small", u"small", u"medium", u"large",
                                            u"x-large", u"xx-large", u"xxx-large"};
    const QString v = value.trimmed().toString();
    bool ok = false;
    int size = v.toInt(&ok);
    if (!ok)
        return v;
    if (v.startsWith(u'+') || v.startsWith(u'-'))
        size += 3;
    return Sizes[std::clamp(size, 1, 7) - 1].toString();
}

QString imageAlign(QStringView value)
{
    const QString v = value.trimmed().toString().toLower();
    if (v == u"left"_s || v == u"right"_s)
        return u"float: "_s + v;
    if (v == u"absmiddle"_s || v == u"center"_s)
        return u"vertical-align: middle"_s;
    if (v == u"absbottom"_s)
        return u"vertical-align: bottom"_s;
    if (v == u"texttop"_s)
        return u"vertical-align: text-top"_s;
    return u"vertical-align: "_s + v;
}

QString tableAlign(QStringView value)
{
    const QString v = value.trimmed().toString().toLower();
    if (v == u"center"_s)
        return u"margin-left: auto; margin-right: auto"_s;
    return u"float: "_s + v;
}

QString ruleAlign(QStringView value)
{
    const QString v = value.trimmed().toString().toLower();
    if (v == u"left"_s)
        return u"margin-left: 0; margin-right: auto"_s;
    if (v == u"right"_s)
        return u"margin-left: auto; margin-right: 0"_s;
    return u"margin-left: auto; margin-right: auto"_s;
}

// What a table's own attributes give each of its cells.
struct TableContext
{
    QStringList cellStyle;
};

// The style an attribute stands for, in the order the attributes came; an empty result
// with keep set leaves the attribute as it is.
struct Converted
{
    QStringList declarations;
    bool keep = false;
    QString renamed; // the attribute's new name, when it only changes its name
    std::optional<QString> value; // the kept attribute's new value
};

Converted declared(const QString &declaration)
{
    Converted converted;
    converted.declarations.append(declaration);
    return converted;
}

Converted kept(const QString &renamed = {})
{
    Converted converted;
    converted.keep = true;
    converted.renamed = renamed;
    return converted;
}

Converted convertAttribute(const AttributeRule &rule, const Attribute &attribute, TableContext *table)
{
    const QString &v = attribute.value;
    const QString property = rule.property.toString();
    // ALIGN="" and the like say nothing; "text-align: " would be a broken rule.
    const bool takesTheValue = rule.convert == Convert::Property || rule.convert == Convert::Color
                               || rule.convert == Convert::Length || rule.convert == Convert::Url
                               || rule.convert == Convert::FontFamily || rule.convert == Convert::FontSize;
    if (takesTheValue && v.trimmed().isEmpty())
        return declared(QString());
    switch (rule.convert) {
    case Convert::Property: {
        const QString keyword = v.trimmed().toLower();
        // HTML's "middle" centres text; CSS calls that "center".
        return declared(property + u": "_s
                        + (keyword == u"middle"_s && property == u"text-align"_s ? u"center"_s : keyword));
    }
    case Convert::Color:
        return declared(property + u": "_s + colorValue(v));
    case Convert::Length:
        return declared(property + u": "_s + lengthValue(v));
    case Convert::Url:
        return declared(property + u": url('"_s + v.trimmed() + u"')"_s);
    case Convert::FontFamily:
        return declared(property + u": "_s + v.trimmed());
    case Convert::FontSize:
        return declared(property + u": "_s + fontSizeValue(v));
    case Convert::Fixed:
        return declared(property);
    case Convert::KeptIfNumber:
        if (isWholeNumber(v.trimmed()))
            return kept();
        return declared(property + u": "_s + lengthValue(v));
    case Convert::ImageAlign:
        return declared(imageAlign(v));
    case Convert::TableAlign:
        return declared(tableAlign(v));
    case Convert::RuleAlign:
        return declared(ruleAlign(v));
    case Convert::TableBorder: {
        const int width = v.trimmed().toInt();
        if (width <= 0 && attribute.hasValue)
            return {};
        // A bare BORDER is a border of one pixel; the cells get theirs as browsers drew them.
        if (table)
            table->cellStyle.append(u"border: 1px inset"_s);
        return declared(u"border: %1px outset"_s.arg(std::max(width, 1)));
    }
    case Convert::CellPadding:
        if (table)
            table->cellStyle.append(u"padding: "_s + lengthValue(v));
        return {};
    case Convert::ImageBorder: {
        if (rule.attribute == u"FRAMEBORDER") {
            // "YES" or 1 is the frame's own border, which needs no style; "NO" or 0 hides it.
            const QString b = v.trimmed().toLower();
            return declared(b == u"no"_s || b == u"0"_s ? u"border: 0"_s : QString());
        }
        const int width = v.trimmed().toInt();
        if (width <= 0)
            return declared(QString());
        return declared(u"border: %1px solid"_s.arg(width));
    }
    case Convert::HSpace:
        return declared(u"margin-left: %1; margin-right: %1"_s.arg(lengthValue(v)));
    case Convert::VSpace:
        return declared(u"margin-top: %1; margin-bottom: %1"_s.arg(lengthValue(v)));
    case Convert::Clear: {
        const QString c = v.trimmed().toLower();
        return declared(u"clear: "_s + (c == u"all"_s ? u"both"_s : c));
    }
    case Convert::Scrolling: {
        // "auto" is what every frame does by itself.
        const QString scrolling = v.trimmed().toLower();
        if (scrolling == u"no"_s)
            return declared(property + u": hidden"_s);
        if (scrolling == u"yes"_s)
            return declared(property + u": scroll"_s);
        return {};
    }
    case Convert::Rename:
        return kept(property);
    case Convert::LinkRelation: {
        Converted converted = kept();
        if (v.trimmed().compare(u"STYLE"_s, Qt::CaseInsensitive) == 0)
            converted.value = u"stylesheet"_s;
        return converted;
    }
    case Convert::Drop:
        return {};
    }
    return kept();
}

const AttributeRule *ruleFor(QStringView upperElement, QStringView upperAttribute)
{
    for (const AttributeRule &rule : AttributeRules) {
        if (rule.attribute == upperAttribute && listed(rule.elements, upperElement))
            return &rule;
    }
    return nullptr;
}

QString joinedStyle(QStringList declarations, const QString &written)
{
    declarations.removeAll(QString());
    QString style = declarations.join(u"; "_s);
    const QString own = written.trimmed();
    if (!own.isEmpty())
        style += (style.isEmpty() ? QString() : u"; "_s) + own;
    return style;
}

QString writeTag(const Html4Tag &tag, QList<TableContext> &tables)
{
    const QString upper = tag.name.toUpper();
    QString name = tag.name.toLower();
    QStringList declarations;
    for (const ElementReplacement &r : ElementReplacements) {
        if (r.html4 == upper) {
            name = r.html5.toString();
            if (!r.style.isEmpty())
                declarations.append(r.style.toString());
        }
    }
    if (tag.closing) {
        if (upper == u"TABLE"_s && !tables.isEmpty())
            tables.removeLast();
        return u"</"_s + name + u'>';
    }
    TableContext *table = nullptr;
    if (upper == u"TABLE"_s) {
        tables.append(TableContext{});
        table = &tables.last();
    } else if ((upper == u"TD"_s || upper == u"TH"_s) && !tables.isEmpty()) {
        declarations.append(tables.last().cellStyle);
    }
    QString attributes;
    QString ownStyle;
    bool styleWritten = false; // an empty STYLE="" waits for the user's style
    bool hasAlt = false;
    for (const Attribute &attribute : tag.attributes) {
        const QString attributeUpper = attribute.name.toUpper();
        if (attributeUpper == u"STYLE"_s) {
            ownStyle = attribute.value;
            styleWritten = true;
            continue;
        }
        Converted converted = kept();
        if (const AttributeRule *rule = ruleFor(upper, attributeUpper))
            converted = convertAttribute(*rule, attribute, table);
        declarations.append(converted.declarations);
        if (!converted.keep)
            continue;
        attributes += u' ' + (converted.renamed.isEmpty() ? attribute.name.toLower() : converted.renamed);
        if (attribute.hasValue)
            attributes += u'=' + QuotedValue(converted.value.value_or(attribute.value));
        if (attributeUpper == u"ALT"_s)
            hasAlt = true;
    }
    // HTML5 wants a text for every picture; an empty one says it is decoration.
    if (upper == u"IMG"_s && !hasAlt)
        attributes += u" alt=\"\""_s;
    const QString style = joinedStyle(declarations, ownStyle);
    if (!style.isEmpty() || styleWritten)
        attributes += u" style="_s + QuotedValue(style);
    return u'<' + name + attributes + u'>';
}

// The end of the tag that starts at from ("<"): the ">" outside quoted values, or -1.
qsizetype html4TagEnd(QStringView text, qsizetype from)
{
    QChar quote;
    bool inValue = false; // quotes count only where a value starts, after "="
    for (qsizetype i = from + 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'>') {
            return i;
        } else if ((c == u'"' || c == u'\'') && inValue) {
            quote = c;
        }
        if (quote.isNull())
            inValue = c == u'=' || (inValue && isHtmlBlank(c));
    }
    return -1;
}

// Text between tags with its numeric references into 128..159 named as HTML5 knows them.
void appendText(QString &out, QStringView text)
{
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype amp = text.indexOf(u"&#", i);
        if (amp < 0) {
            out += text.sliced(i);
            return;
        }
        out += text.sliced(i, amp - i);
        const qsizetype semicolon = text.indexOf(u';', amp);
        bool ok = false;
        const int number = semicolon < 0 ? 0 : text.sliced(amp + 2, semicolon - amp - 2).toInt(&ok);
        if (ok && number >= 128 && number <= 159 && !C1References[number - 128].isEmpty()) {
            out += C1References[number - 128];
            i = semicolon + 1;
        } else {
            out += u'&';
            i = amp + 1;
        }
    }
}

bool startsTag(QStringView text, qsizetype at)
{
    const qsizetype next = at + 1 < text.size() && text[at + 1] == u'/' ? at + 2 : at + 1;
    return next < text.size() && text[next].isLetter();
}

// The attribute a declaration of an element's style came from, when the rule can say so:
// "width: 50%" of a cell is WIDTH=50%. Empty when the declaration stays style.
std::optional<Attribute> attributeOfDeclaration(QStringView upperElement, QStringView property,
                                                QStringView value)
{
    for (const AttributeRule &rule : AttributeRules) {
        if (!listed(rule.elements, upperElement))
            continue;
        switch (rule.convert) {
        case Convert::Property:
        case Convert::Color:
        case Convert::FontFamily:
            if (rule.property == property)
                return Attribute{rule.attribute.toString(), value.toString(), true};
            break;
        case Convert::Length:
        case Convert::KeptIfNumber:
            if (rule.property == property) {
                QString v = value.toString();
                if (v.endsWith(u"px"_s) && isWholeNumber(QStringView(v).chopped(2)))
                    v.chop(2);
                return Attribute{rule.attribute.toString(), v, true};
            }
            break;
        case Convert::Url:
            if (rule.property == property && value.startsWith(u"url('") && value.endsWith(u"')"))
                return Attribute{rule.attribute.toString(), value.sliced(5, value.size() - 7).toString(), true};
            break;
        case Convert::Fixed:
            // BGPROPERTIES always had its one value; the others are bare words.
            if (rule.property == (property.toString() + u": "_s + value.toString()))
                return rule.attribute == u"BGPROPERTIES" ? Attribute{rule.attribute.toString(), u"FIXED"_s, true}
                                                          : Attribute{rule.attribute.toString(), {}, false};
            break;
        default:
            break;
        }
    }
    return std::nullopt;
}

} // namespace

QString markupStyleName(MarkupStyle style)
{
    return style == MarkupStyle::Html5 ? u"HTML5"_s : u"HTML4"_s;
}

MarkupStyle markupStyleFromName(QStringView name)
{
    return name.trimmed().compare(u"HTML5", Qt::CaseInsensitive) == 0 ? MarkupStyle::Html5
                                                                        : MarkupStyle::Html4;
}

QString toHtml5(QStringView html4)
{
    QString out;
    out.reserve(html4.size() + html4.size() / 8);
    QList<TableContext> tables;
    qsizetype i = 0;
    while (i < html4.size()) {
        const qsizetype lt = html4.indexOf(u'<', i);
        if (lt < 0) {
            appendText(out, html4.sliced(i));
            break;
        }
        appendText(out, html4.sliced(i, lt - i));
        if (html4.sliced(lt).startsWith(u"<!--")) {
            const qsizetype close = html4.indexOf(u"-->", lt + 4);
            const qsizetype end = close < 0 ? html4.size() : close + 3;
            out += html4.sliced(lt, end - lt);
            i = end;
            continue;
        }
        const qsizetype gt = startsTag(html4, lt) ? html4TagEnd(html4, lt) : -1;
        if (gt < 0) {
            // A doctype, a processing instruction or a lone "<" stays as it is.
            const bool declaration = lt + 1 < html4.size() && (html4[lt + 1] == u'!' || html4[lt + 1] == u'?');
            const qsizetype close = declaration ? html4.indexOf(u'>', lt) : -1;
            const qsizetype end = close < 0 ? lt + 1 : close + 1;
            out += html4.sliced(lt, end - lt);
            i = end;
            continue;
        }
        const Html4Tag tag = parseTag(html4.sliced(lt, gt - lt));
        out += writeTag(tag, tables);
        i = gt + 1;
        // Scripts and styles are not markup: "a < b" in them stays.
        const QString upper = tag.name.toUpper();
        if (!tag.closing && (upper == u"SCRIPT"_s || upper == u"STYLE"_s)) {
            const qsizetype close = html4.indexOf(u"</"_s + upper, i, Qt::CaseInsensitive);
            const qsizetype end = close < 0 ? html4.size() : close;
            out += html4.sliced(i, end - i);
            i = end;
        }
    }
    return out;
}

Markup toHtml5(const Markup &html4)
{
    // A marker no markup holds keeps the two parts apart through the one conversion.
    static const QString Between = QString(QChar(0xFDD0));
    const QString joined = toHtml5(QString(html4.opening + Between + html4.closing));
    const qsizetype at = joined.indexOf(Between);
    if (at < 0)
        return {toHtml5(html4.opening), toHtml5(html4.closing)};
    return {joined.first(at), joined.sliced(at + 1)};
}

QStringList toHtml5(const QStringList &pieces)
{
    static const QString Between = QString(QChar(0xFDD0));
    const QStringList html5 = toHtml5(pieces.join(Between)).split(Between);
    if (html5.size() == pieces.size())
        return html5;
    QStringList apart;
    for (const QString &piece : pieces)
        apart.append(toHtml5(piece));
    return apart;
}

Markup inStyle(MarkupStyle style, const Markup &html4)
{
    return style == MarkupStyle::Html5 ? toHtml5(html4) : html4;
}

QString inStyle(MarkupStyle style, QStringView html4)
{
    return style == MarkupStyle::Html5 ? toHtml5(html4) : html4.toString();
}

QStringList inStyle(MarkupStyle style, const QStringList &pieces)
{
    return style == MarkupStyle::Html5 ? toHtml5(pieces) : pieces;
}

QString html4Reading(QStringView tag)
{
    const qsizetype end = tag.endsWith(u'>') ? tag.size() - 1 : tag.size();
    if (!tag.startsWith(u'<') || !startsTag(tag, 0))
        return tag.toString();
    Html4Tag parsed = parseTag(tag.first(end));
    if (parsed.closing)
        return tag.toString();
    const QString upper = parsed.name.toUpper();
    const auto has = [&parsed](QStringView name) {
        return std::any_of(parsed.attributes.cbegin(), parsed.attributes.cend(), [name](const Attribute &a) {
            return a.name.compare(name, Qt::CaseInsensitive) == 0;
        });
    };
    QString out = u'<' + parsed.name;
    QStringList recovered;
    for (const Attribute &attribute : parsed.attributes) {
        if (attribute.name.compare(u"STYLE"_s, Qt::CaseInsensitive) != 0) {
            out += u' ' + attribute.name + (attribute.hasValue ? u'=' + QuotedValue(attribute.value) : QString());
            continue;
        }
        QStringList kept;
        for (const QString &declaration : attribute.value.split(u';', Qt::SkipEmptyParts)) {
            const qsizetype colon = declaration.indexOf(u':');
            const QString property = declaration.left(colon).trimmed().toLower();
            const QString value = declaration.mid(colon + 1).trimmed();
            const std::optional<Attribute> back =
                colon < 0 ? std::nullopt : attributeOfDeclaration(upper, property, value);
            if (back && !has(back->name)) {
                recovered << u' ' + back->name + (back->hasValue ? u'=' + QuotedValue(back->value) : QString());
            } else {
                kept << declaration.trimmed();
            }
        }
        if (!kept.isEmpty())
            out += u" style="_s + QuotedValue(kept.join(u"; "_s));
    }
    return out + recovered.join(QString()) + u'>';
}

MarkupStyle styleOfTag(QStringView tag)
{
    qsizetype i = tag.startsWith(u'<') ? 1 : 0;
    if (i < tag.size() && tag[i] == u'/')
        ++i;
    for (; i < tag.size() && tag[i].isLetterOrNumber(); ++i) {
        if (tag[i].isLower())
            return MarkupStyle::Html5;
    }
    return MarkupStyle::Html4;
}

bool isObsoleteWithoutReplacement(QStringView upperName)
{
    return std::find(std::begin(ObsoleteWithoutReplacement), std::end(ObsoleteWithoutReplacement), upperName)
           != std::end(ObsoleteWithoutReplacement);
}
