#include "markup/ElementContract.h"

#include "markup/SysUt.h"

using namespace Qt::StringLiterals;

namespace {

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// One past the element name of a start tag.
qsizetype nameEnd(QStringView tag)
{
    qsizetype i = tag.startsWith(u'<') ? 1 : 0;
    while (i < tag.size() && !IsBlank(tag[i]) && tag[i] != u'>')
        ++i;
    return i;
}

bool isQuote(QChar c)
{
    return c == u'"' || c == u'\'';
}

} // namespace

QString NumberAttrPiece(const QString &name, const Toggled<int> &field)
{
    return NumberAttrPiece(name, field.value, field.on);
}

QString ColorAttrPiece(const QString &name, const Toggled<ColorValue> &field)
{
    return ColorAttrPiece(name, field.value, field.on);
}

std::optional<QString> leadingStartTag(QStringView selected)
{
    if (!selected.startsWith(u'<'))
        return std::nullopt;
    // A value may be quoted either way; a quote counts only where a value starts, so the
    // apostrophe of an unquoted value (TITLE=don't) does not hide the tag's end.
    QChar quote;
    bool valueStarts = false;
    for (qsizetype i = 1; i < selected.size(); ++i) {
        const QChar c = selected[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'>')
            return selected.first(i + 1).toString();
        if (valueStarts && isQuote(c))
            quote = c;
        else
            valueStarts = c == u'=' || (valueStarts && IsBlank(c));
    }
    return std::nullopt;
}

QString startTagName(QStringView tag)
{
    const qsizetype start = tag.startsWith(u'<') ? 1 : 0;
    return AsciiUpperCase(tag.sliced(start, nameEnd(tag) - start));
}

QString withLeftovers(QStringView composedOpening, QStringView leftovers)
{
    const qsizetype first = composedOpening.indexOf(u'<');
    const qsizetype last = composedOpening.lastIndexOf(u'>');
    if (first < 0 || last < first)
        return composedOpening.toString();
    QString tag = composedOpening.sliced(first, last - first + 1).toString();
    const QString rest = TrimBlanks(leftovers);
    if (!rest.isEmpty())
        tag.insert(tag.size() - 1, u' ' + rest);
    return tag;
}

AttributeReader::AttributeReader(QStringView tag)
    : m_tag(tag.toString())
{
}

std::optional<AttributeReader::Span> AttributeReader::next(qsizetype &i) const
{
    const QStringView tag(m_tag);
    const qsizetype size = tag.size();
    while (i < size) {
        const qsizetype start = i;
        while (i < size && IsBlank(tag[i]))
            ++i;
        if (i >= size || tag[i] == u'>')
            break;
        // The name runs to a blank, "=" or ">"; a quote inside it is skipped whole, so no
        // word inside a quoted value is ever taken for a name.
        const qsizetype nameStart = i;
        while (i < size && !IsBlank(tag[i]) && tag[i] != u'=' && tag[i] != u'>') {
            if (isQuote(tag[i])) {
                const qsizetype close = tag.indexOf(tag[i], i + 1);
                i = close < 0 ? size : close;
            }
            ++i;
        }
        i = std::min(i, size);
        qsizetype j = i;
        while (j < size && IsBlank(tag[j]))
            ++j;
        Span span;
        span.start = start;
        span.name = tag.sliced(nameStart, i - nameStart);
        if (j < size && tag[j] == u'=') {
            ++j;
            while (j < size && IsBlank(tag[j]))
                ++j;
            qsizetype valueStart = j;
            if (j < size && isQuote(tag[j])) {
                const qsizetype close = tag.indexOf(tag[j], j + 1);
                const qsizetype valueEnd = close < 0 ? size : close;
                span.value = tag.sliced(j + 1, valueEnd - j - 1).toString();
                span.valueStart = j + 1;
                j = close < 0 ? size : close + 1;
            } else {
                while (j < size && !IsBlank(tag[j]) && tag[j] != u'>')
                    ++j;
                span.value = tag.sliced(valueStart, j - valueStart).toString();
                span.valueStart = valueStart;
            }
            span.hasValue = true;
            i = j;
        }
        span.end = i;
        if (i == start)
            ++i;
        return span;
    }
    return std::nullopt;
}

std::optional<AttributeReader::Span> AttributeReader::find(QStringView name, bool flag) const
{
    qsizetype i = nameEnd(m_tag);
    while (std::optional<Span> span = next(i)) {
        if (sameName(span->name, name) && span->hasValue != flag)
            return span;
    }
    return std::nullopt;
}

QList<AttributeReader::Located> AttributeReader::valuedAttributes() const
{
    QList<Located> found;
    qsizetype i = nameEnd(m_tag);
    while (std::optional<Span> span = next(i)) {
        if (span->hasValue)
            found.append({span->name.toString(), span->value, span->valueStart});
    }
    return found;
}

bool AttributeReader::has(QStringView name, bool flag) const
{
    return find(name, flag).has_value();
}

std::optional<QString> AttributeReader::text(QStringView name)
{
    const std::optional<Span> span = find(name, false);
    if (!span)
        return std::nullopt;
    m_tag.remove(span->start, span->end - span->start);
    return span->value;
}

void AttributeReader::text(QStringView name, QString &field)
{
    if (const std::optional<QString> value = text(name))
        field = *value;
}

void AttributeReader::number(QStringView name, Toggled<int> &field)
{
    const std::optional<QString> value = text(name);
    if (!value)
        return;
    bool ok = false;
    const int number = RemoveSpaces(*value).toInt(&ok);
    if (!ok) {
        if (m_error.isEmpty())
            m_error = u"Hodnota '%1' není celé číslo."_s.arg(*value);
        return;
    }
    field = {true, number};
}

void AttributeReader::color(QStringView name, Toggled<ColorValue> &field)
{
    const std::optional<Span> span = find(name, false);
    if (!span || !IsHtmlColor(span->value))
        return;
    m_tag.remove(span->start, span->end - span->start);
    field = {true, HtmlColorToColor(span->value)};
}

bool AttributeReader::flag(QStringView name)
{
    const std::optional<Span> span = find(name, true);
    if (!span)
        return false;
    m_tag.remove(span->start, span->end - span->start);
    return true;
}

AttributeReader::YesNo AttributeReader::yesNo(QStringView name, bool oneZero)
{
    const std::optional<QString> value = text(name);
    if (!value)
        return YesNo::Absent;
    const QString v = AsciiUpperCase(RemoveSpaces(*value));
    if (v == u"YES"_s || (oneZero && v == u"1"_s))
        return YesNo::Yes;
    if (v == u"NO"_s || (oneZero && v == u"0"_s))
        return YesNo::No;
    return YesNo::Other;
}

QString AttributeReader::leftovers() const
{
    QStringView rest = QStringView(m_tag).sliced(nameEnd(m_tag));
    if (rest.endsWith(u'>'))
        rest.chop(1);
    return TrimBlanks(rest);
}
