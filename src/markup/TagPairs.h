#pragma once

#include <QList>
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

// What a place in the page is, as the colouring sees it: markup, or the inside of a
// comment, a script or a style.
enum class TextState : quint8 { Markup, Comment, Script, Style };

// The state at the end of a stretch of text that begins in the given state. A view keeps it
// per line, so that a look at the text near the caret starts at a line known to be markup
// instead of at the top of the page.
TextState textStateAfter(QStringView stretch, TextState state);

// The insides of the SCRIPT and STYLE elements of a text, in order: from after the start
// tag's ">" up to its end tag's "</", or to the text's end when there is none. Elements
// in comments are none.
struct RawTextSpan
{
    qsizetype start = 0;
    qsizetype end = 0;
    bool script = false; // else style
};
QList<RawTextSpan> rawTextSpans(QStringView text);

// Whether pos lies in a comment or in the raw text of a script or style. markupFrom is a
// place at or before pos known to be markup: nothing before it is read.
bool inCommentOrRawText(QStringView text, qsizetype pos, qsizetype markupFrom = 0);

// The pair of the tag the caret stands in: from before its "<" to before its ">". Nothing
// when the caret is in no tag, in a comment, a script or a style, or the tag is void,
// closes itself ("<x/>") or has no partner. markupFrom as for inCommentOrRawText.
std::optional<TagPair> tagPairAt(QStringView text, qsizetype caret, qsizetype markupFrom = 0);

// The start or end tag the caret stands in when it is one that may have a partner (a tag
// tagPairAt would look for the pair of); its name as the text writes it.
struct PairableTag
{
    TagRange range;
    qsizetype nameStart = 0;
    qsizetype nameLength = 0;
    bool closing = false;
};
std::optional<PairableTag> pairableTagAt(QStringView text, qsizetype caret, qsizetype markupFrom = 0);
// Whether "</NAME" (any case, a longer name too) is written anywhere at or after from: when
// not, a start tag there has no end tag, whatever comments and scripts hold.
bool endTagTextFollows(QStringView text, qsizetype from, QStringView name);

// Where an empty element can go into the page to mark the caret's place for a browser: the
// caret itself when it stands in the body's text, else the start of the tag, comment,
// script or style it stands in; -1 when that is not in the body (the head, the doctype).
qsizetype caretMarkPlace(QStringView text, qsizetype caret);

// The end tag that typing the ">" just before caret completes: "</p>" after "<p>", in the
// case the name was written in. Empty for a void or self-closing tag, a ">" typed in a
// comment, script, style or attribute value, and when that end tag follows already.
QString endTagForTypedStart(QStringView text, qsizetype caret);

// What typing "</" (just before caret) completes: the name of the innermost element still
// open there and ">". Empty when every element before is closed.
QString endTagForTypedSlash(QStringView text, qsizetype caret);
