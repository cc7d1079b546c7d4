#pragma once

#include "markup/ColorValue.h"
#include "markup/Markup.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// What every element dialog shares with edit-current-tag (F7): a plain fields struct whose
// member initialisers are the dialog's defaults, a compose function that turns it into
// markup, and a read function that fills it back from a start tag.

// A value with the check box that switches its attribute on.
template<class T>
struct Toggled
{
    bool on = false;
    T value{};
    bool operator==(const Toggled &) const = default;
};

// The outcome of reading a start tag into a dialog's fields: the fields, the attributes
// no field took (word for word, trimmed), and the message that stops the edit when a
// value cannot be converted (empty when the read succeeded).
template<class F>
struct TagRead
{
    F fields{};
    QString leftovers;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// The attribute piece of a toggled field: nothing while its box is clear.
QString NumberAttrPiece(const QString &name, const Toggled<int> &field);
QString ColorAttrPiece(const QString &name, const Toggled<ColorValue> &field);

// The start tag that F7 edits in a selected text: from its "<" to the first ">" outside a
// value in double or single quotes. A selection of a whole element gives its leading start
// tag. Nothing when the text does not begin with "<" or no such ">" exists (an unclosed
// tag, or a value whose quote is not closed).
std::optional<QString> leadingStartTag(QStringView selected);

// The element name of a start tag, upper-cased: from after "<" to the first blank (tab, CR
// and LF included) or ">".
QString startTagName(QStringView tag);

// The edited start tag: the composed markup from its first "<" to its last ">", with the
// leftovers put back before that ">" behind one blank. Line breaks the dialog adds around
// its markup stay out, so repeated edits do not pile them up.
QString withLeftovers(QStringView composedOpening, QStringView leftovers);

// Reads the attributes of one start tag. An attribute is present only as itself: its
// name, outside quoted values, followed by "=" (or, for a flag, the bare word). Every read
// takes the attribute it read out of the working copy, so what stays are the leftovers.
class AttributeReader
{
public:
    enum class YesNo { Absent, Yes, No, Other };

    explicit AttributeReader(QStringView tag);

    // Whether the valued attribute (or, with flag, the bare word) is present.
    bool has(QStringView name, bool flag = false) const;

    // The value as written (its double or single quotes removed), taken out of the tag;
    // nothing when absent.
    std::optional<QString> text(QStringView name);
    // Puts the value into field when the attribute is present.
    void text(QStringView name, QString &field);
    // Blanks removed, read as a whole number: field on with the value. Anything else stops
    // the read with "Hodnota '<value>' není celé číslo.".
    void number(QStringView name, Toggled<int> &field);
    // A colour the editor can read switches field on; any other value stays among the
    // leftovers untouched, so confirming the dialog never turns it into black.
    void color(QStringView name, Toggled<ColorValue> &field);
    // The bare word: true (and taken out) when present.
    bool flag(QStringView name);
    // Blanks removed and compared without regard to case; with oneZero, "1" and "0" count
    // as yes and no.
    YesNo yesNo(QStringView name, bool oneZero = false);

    QString leftovers() const;
    QString error() const { return m_error; }

    // A valued attribute as it stands in the tag: its name, its value (quotes removed) and
    // where the value starts in the tag as given (after its opening quote).
    struct Located
    {
        QString name;
        QString value;
        qsizetype valueStart = -1;
    };
    // Every valued attribute of the tag in order, found by the same rules as the reads;
    // the tag is left as it is.
    QList<Located> valuedAttributes() const;

    template<class F>
    TagRead<F> result(F fields) const
    {
        return {std::move(fields), leftovers(), m_error};
    }

private:
    struct Span
    {
        qsizetype start = -1; // the blank before the name
        qsizetype end = -1;   // one past the value
        QString value;
        qsizetype valueStart = -1;
        QStringView name;
        bool hasValue = false;
    };
    // The attribute that begins at or after i (at a blank or the name), or nothing at the
    // tag's end; i moves past it.
    std::optional<Span> next(qsizetype &i) const;
    std::optional<Span> find(QStringView name, bool flag) const;

    QString m_tag;
    QString m_error;
};
