#include "Completion.h"

#include "markup/TagPairs.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool isAttributeNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u':' || c == u'_';
}

bool isBlankInTag(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f';
}

// Where the attributes of every element are kept; no element is called so.
const QString GlobalKey = QStringLiteral(" GLOBAL");

QStringList startingWith(const QStringList &names, QStringView prefix)
{
    QStringList found;
    for (const QString &name : names) {
        if (name.startsWith(prefix, Qt::CaseInsensitive))
            found.append(name);
    }
    return found;
}

// Where a value that starts at from ends before the caret: its closing quote, or the blank
// after an unquoted one; -1 or the caret when it goes on up to the caret.
qsizetype valueEndBefore(QStringView text, qsizetype from, qsizetype caret, QChar quote)
{
    if (!quote.isNull())
        return text.first(caret).indexOf(quote, from);
    qsizetype i = from;
    while (i < caret && !isBlankInTag(text[i]))
        ++i;
    return i;
}

// Inside a start tag, from after its name up to the caret: an attribute being named, or a
// value being written.
CompletionContext insideTag(QStringView text, qsizetype from, qsizetype caret, const QString &element)
{
    CompletionContext context;
    context.element = element;
    QString attribute;
    qsizetype i = from;
    while (i < caret) {
        while (i < caret && isBlankInTag(text[i]))
            ++i;
        const qsizetype nameStart = i;
        while (i < caret && isAttributeNameChar(text[i]))
            ++i;
        if (i == caret) {
            context.kind = CompletionKind::Attribute;
            context.prefixStart = nameStart;
            context.prefix = text.sliced(nameStart, caret - nameStart).toString();
            return context;
        }
        attribute = text.sliced(nameStart, i - nameStart).toString();
        while (i < caret && isBlankInTag(text[i]))
            ++i;
        if (i == caret || text[i] != u'=') {
            if (i < caret && !isAttributeNameChar(text[i]))
                ++i; // a character no name has: "/" and the like
            continue;
        }
        ++i;
        while (i < caret && isBlankInTag(text[i]))
            ++i;
        const QChar quote = i < caret && (text[i] == u'"' || text[i] == u'\'') ? text[i] : QChar();
        const qsizetype valueStart = quote.isNull() ? i : i + 1;
        const qsizetype valueEnd = valueEndBefore(text, valueStart, caret, quote);
        if (valueEnd < 0 || valueEnd == caret) {
            context.kind = CompletionKind::Value;
            context.attribute = attribute;
            context.prefixStart = valueStart;
            context.prefix = text.sliced(valueStart, caret - valueStart).toString();
            return context;
        }
        i = quote.isNull() ? valueEnd : valueEnd + 1;
    }
    context.kind = CompletionKind::Attribute;
    context.prefixStart = caret;
    return context;
}

} // namespace

CompletionContext completionContextAt(QStringView text, qsizetype caret)
{
    if (caret <= 0 || caret > text.size())
        return {};
    const qsizetype lt = text.lastIndexOf(u'<', caret - 1);
    if (lt < 0 || text.sliced(lt, caret - lt).contains(u'>'))
        return {};
    if (text.sliced(lt).startsWith(u"<!") || text.sliced(lt).startsWith(u"<?") || inCommentOrRawText(text, lt))
        return {};
    qsizetype nameStart = lt + 1;
    const bool closing = nameStart < caret && text[nameStart] == u'/';
    if (closing)
        ++nameStart;
    qsizetype i = nameStart;
    while (i < caret && isAttributeNameChar(text[i]))
        ++i;
    CompletionContext context;
    if (i == caret) {
        context.kind = CompletionKind::Element;
        context.prefixStart = nameStart;
        context.prefix = text.sliced(nameStart, caret - nameStart).toString();
        return context;
    }
    if (closing || i == nameStart || !isBlankInTag(text[i]))
        return {};
    return insideTag(text, i, caret, text.sliced(nameStart, i - nameStart).toString());
}

TagVocabulary TagVocabulary::fromTree(const QList<TreeFileNode> &nodes)
{
    TagVocabulary vocabulary;
    QString element, attribute;
    for (const TreeFileNode &node : nodes) {
        const QString text = node.text.trimmed();
        if (node.depth == 0) {
            // "<A>,</A>": the element's name between its "<" and ">". A top-level line that
            // is no tag holds the attributes every element has.
            const qsizetype close = text.indexOf(u'>');
            element = text.startsWith(u'<') && close > 1 ? text.sliced(1, close - 1).trimmed() : GlobalKey;
            if (element != GlobalKey && !vocabulary.m_byName.contains(element.toUpper())) {
                vocabulary.m_elements.append(element);
                vocabulary.m_byName.insert(element.toUpper(), {});
            }
        } else if (node.depth == 1 && !element.isEmpty()) {
            // "HREF=\",\"" and "CHECKED,": the attribute's name before its "=" or ",".
            const auto nameEnd = std::find_if(text.cbegin(), text.cend(),
                                              [](QChar c) { return c == u'=' || c == u','; });
            attribute = QStringView(text.cbegin(), nameEnd).trimmed().toString();
            if (!attribute.isEmpty())
                vocabulary.m_byName[element.toUpper()].attributes.append(attribute);
        } else if (node.depth == 2 && !element.isEmpty() && !attribute.isEmpty()) {
            vocabulary.m_byName[element.toUpper()].values[attribute.toUpper()].append(text);
        }
    }
    return vocabulary;
}

QStringList TagVocabulary::elements(QStringView prefix) const
{
    return startingWith(m_elements, prefix);
}

QStringList TagVocabulary::attributes(QStringView element, QStringView prefix) const
{
    const auto found = m_byName.constFind(element.toString().toUpper());
    if (found == m_byName.constEnd())
        return {};
    return startingWith(found->attributes + m_byName.value(GlobalKey).attributes, prefix);
}

QStringList TagVocabulary::values(QStringView element, QStringView attribute, QStringView prefix) const
{
    const QString key = attribute.toString().toUpper();
    const auto own = m_byName.value(element.toString().toUpper()).values.constFind(key);
    if (own != m_byName.value(element.toString().toUpper()).values.constEnd())
        return startingWith(*own, prefix);
    return startingWith(m_byName.value(GlobalKey).values.value(key), prefix);
}

QStringList TagVocabulary::offered(const CompletionContext &context) const
{
    switch (context.kind) {
    case CompletionKind::Element:
        return elements(context.prefix);
    case CompletionKind::Attribute:
        return attributes(context.element, context.prefix);
    case CompletionKind::Value:
        return values(context.element, context.attribute, context.prefix);
    case CompletionKind::None:
        break;
    }
    return {};
}
