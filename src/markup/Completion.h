#pragma once

#include "markup/TreeFile.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

// What the list of completions offers at the caret: after "<" the elements, inside a start
// tag the element's attributes, inside an attribute's value the values it may take.
enum class CompletionKind { None, Element, Attribute, Value };

struct CompletionContext
{
    CompletionKind kind = CompletionKind::None;
    QString element;         // the tag's element, for attributes and values
    QString attribute;       // the attribute, for values
    qsizetype prefixStart = 0; // where the typed part that the list filters by begins
    QString prefix;
    bool operator==(const CompletionContext &) const = default;
};

// Nothing in comments, scripts and styles, in end tags' names but the first word, and
// between tags.
CompletionContext completionContextAt(QStringView text, qsizetype caret);

// The names a tag tree holds: its top-level "<NAME>,</NAME>" lines are elements, their
// "NAME=..." children attributes, and an attribute's own children the values it takes.
class TagVocabulary
{
public:
    static TagVocabulary fromTree(const QList<TreeFileNode> &nodes);

    // Names that begin with prefix, ignoring case, in the tree's order.
    QStringList elements(QStringView prefix) const;
    QStringList attributes(QStringView element, QStringView prefix) const;
    QStringList values(QStringView element, QStringView attribute, QStringView prefix) const;
    // The list for a context, from the caret's completion context.
    QStringList offered(const CompletionContext &context) const;

private:
    struct Element
    {
        QStringList attributes;
        QHash<QString, QStringList> values; // by upper-case attribute name
    };
    QStringList m_elements;                 // as the tree writes them
    QHash<QString, Element> m_byName;       // by upper-case element name
};
