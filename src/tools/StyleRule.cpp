#include "tools/StyleRule.h"

#include "markup/InstanceFiles.h"
#include "markup/SysUt.h"
#include "markup/TextFile.h"

#include <QDir>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

const std::array<QString, 13> &styleTextLabels()
{
    static const std::array<QString, 13> labels{
        u"text-transform"_s, u"vertical-align "_s, u"text-align "_s, u"text-indent "_s,
        u"line-height"_s, u"text-decoration"_s, u"font-family "_s, u"font-style"_s,
        u"font-variant"_s, u"font-weight"_s, u"font-size"_s, u"background-repeat"_s,
        u"background-position"_s};
    return labels;
}

const std::array<QString, 12> &stylePlacementLabels()
{
    static const std::array<QString, 12> labels{
        u"margin-top"_s, u"margin-bottom"_s, u"margin-right"_s, u"margin-left"_s,
        u"padding-left"_s, u"padding-right"_s, u"padding-bottom"_s, u"padding-top"_s,
        u"height"_s, u"width"_s, u"clear"_s, u"float"_s};
    return labels;
}

const std::array<QString, 4> &styleEdgeLabels()
{
    static const std::array<QString, 4> labels{u"border-top"_s, u"border-bottom"_s,
                                               u"border-right"_s, u"border-left"_s};
    return labels;
}

const std::array<QString, 3> &styleClassificationLabels()
{
    static const std::array<QString, 3> labels{u"display"_s, u"white-space"_s,
                                               u"list-style-type"_s};
    return labels;
}

namespace {

void plain(QString &out, const QString &label, const QString &value)
{
    if (!value.isEmpty())
        out += label + u':' + value + u";\r\n"_s;
}

void color(QString &out, const QString &label, const Toggled<ColorValue> &value)
{
    if (value.on)
        out += label + u":#"_s + ColorToHex(value.value) + u";\r\n"_s;
}

} // namespace

QString composeDeclarations(const StyleFields &f)
{
    QString out;
    for (size_t i = 0; i < f.text.size(); ++i)
        plain(out, styleTextLabels()[i], f.text[i]);
    color(out, u"color"_s, f.color);
    color(out, u"background-color"_s, f.backgroundColor);
    for (size_t i = 0; i < f.placement.size(); ++i)
        plain(out, stylePlacementLabels()[i], f.placement[i]);
    for (size_t i = 0; i < f.edges.size(); ++i) {
        const StyleFields::Edge &e = f.edges[i];
        const QString hex = e.color.on ? u'#' + ColorToHex(e.color.value) : QString();
        // Empty parts keep their separating blanks.
        if (!e.width.isEmpty() || !e.style.isEmpty() || !hex.isEmpty())
            out += styleEdgeLabels()[i] + u':' + e.width + u' ' + e.style + u' ' + hex
                   + u";\r\n"_s;
    }
    plain(out, u"border-width"_s, f.borderWidth);
    plain(out, u"border-style"_s, f.borderStyleLower);
    plain(out, u"border-style"_s, f.borderStyleRight);
    for (size_t i = 0; i < f.classification.size(); ++i)
        plain(out, styleClassificationLabels()[i], f.classification[i]);
    return out;
}

QString styleSampleElement(const QString &selector, const QString &sampleText)
{
    const QString s = TrimBlanks(selector);
    const qsizetype dot = s.indexOf(u'.');
    const QString t = dot < 0 ? QString() : s.left(dot);
    QString extra;
    if (t == u"A"_s || s == u"A"_s)
        extra = u" HREF=\"\""_s;
    else if (t == u"IMG"_s || s == u"IMG"_s)
        extra = u" SRC=\"\""_s;
    if (dot < 0)
        return u'<' + s + u' ' + extra + u'>' + sampleText + u"</"_s + s + u'>';
    if (dot == 0)
        return u"<SPAN CLASS=\""_s + s.mid(1) + u"\">"_s + sampleText + u"</SPAN>"_s;
    return u'<' + t + u' ' + extra + u" CLASS=\""_s + s.mid(dot + 1) + u"\">"_s + sampleText
           + u"</"_s + t + u'>';
}

QString styleSamplePage(const QString &selector, const QString &declarations,
                        const QString &sampleText)
{
    return u"<HTML><HEAD><TITLE>Pokusný dokument</TITLE></HEAD><STYLE>\r\n"_s + selector
           + u'{' + declarations + u'}' + u"\r\n</STYLE><BODY>"_s
           + styleSampleElement(selector, sampleText) + u"</BODY></HTML>"_s;
}

QString composeStyleRule(const QString &selector, const QString &declarations)
{
    return selector + u"\r\n{"_s + declarations + u"}"_s + u"\r\n"_s;
}

QString writeStyleSample(const QString &page)
{
    const QString path = instanceCacheFile(u"style-sample.html"_s);
    if (path.isEmpty())
        return {};
    return writeTextFile(path, page, LineEnding::CrLf).isEmpty() ? path : QString();
}
