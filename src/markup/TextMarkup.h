#pragma once

#include "markup/ColorValue.h"
#include "markup/ElementContract.h"
#include "markup/Markup.h"

#include <QString>

#include <optional>

// Font fields ("Písmo.."): face, the size sign ("", "+", "-") and size, and the colour
// with its on-flag.
struct FontFields
{
    QString face;
    QString sizeSign;
    QString size;
    Toggled<ColorValue> color{false, 0xFFFFFF};
};

Markup composeFont(const FontFields &fields);
// FACE, COLOR and SIZE, in that order; a leading "+" or "-" of SIZE is its sign.
TagRead<FontFields> readFontTag(QStringView tag);

// The comment text of a tag such as '<!-- note -->' (' note '), or nothing when the tag
// is not a comment.
std::optional<QString> readComment(const QString &tag);
// '<!--' + text + '-->', or nothing for an empty text.
QString composeComment(const QString &text);

// META fields; beforeHead asks the caller to put the tag before the document's "</HEAD>".
struct MetaFields
{
    QString name;
    QString content;
    QString httpEquiv;
    bool beforeHead = false;
};

// An Open Graph name ("og:title" ...) is written as PROPERTY, any other as NAME.
Markup composeMeta(const MetaFields &fields);
// NAME (or an Open Graph PROPERTY), CONTENT and HTTP-EQUIV. The edit dialog shows "before the header" ticked, though
// an edited tag stays where it is.
TagRead<MetaFields> readMetaTag(QStringView tag);

// The host of the outside hit-counter service: its home page and its image script.
inline constexpr char16_t CounterServiceHost[] = u"counter.example.com";
QString counterHomePage();

// Counter fields ("Vložit počítadlo").
struct CounterFields
{
    QString digitSet;
    QString identifier;
    int digits = 5;
};

Markup composeCounter(const CounterFields &fields);
