#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Start and end tags of the same element, found around the caret as a reader of the page
// would: comments, the insides of SCRIPT and STYLE and quoted attribute values are not
// markup. Elements of the same name nest; HTML's optional end tags are not guessed, so a
// start tag without its end tag has no pair. Offsets are positions in the text as given.

// A tag from its "<" up to and including its ">".
struct TagRange
{
    qsizetype start = 0;
    qsizetype length = 0;
    bool operator==(const TagRange &) const = default;
};

struct TagPair
{
    TagRange start; // the start tag
    TagRange end;   // its end tag
    bool operator==(const TagPair &) const = default;
};

// Elements written without an end tag (BR, IMG, INPUT ...); the name in any case.
bool isVoidElement(QStringView name);

// Whether pos lies in a comment or in the raw text of a script or style.
bool inCommentOrRawText(QStringView text, qsizetype pos);

// The pair of the tag the caret stands in: from before its "<" to before its ">". Nothing
// when the caret is in no tag, in a comment, a script or a style, or the tag is void,
// closes itself ("<x/>") or has no partner.
std::optional<TagPair> tagPairAt(QStringView text, qsizetype caret);

// The end tag that typing the ">" just before caret completes: "</p>" after "<p>", in the
// case the name was written in. Empty for a void or self-closing tag, a ">" typed in a
// comment, script, style or attribute value, and when that end tag follows already.
QString endTagForTypedStart(QStringView text, qsizetype caret);

// What typing "</" (just before caret) completes: the name of the innermost element still
// open there and ">". Empty when every element before is closed.
QString endTagForTypedSlash(QStringView text, qsizetype caret);
