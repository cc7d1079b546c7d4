#pragma once

#include "markup/Markup.h"

#include <QString>

#include <optional>

// The page skeleton of command 85, as the new-page wizard leaves it.
struct PageSkeleton
{
    QString docType;
    QString title = QStringLiteral("Bez titulku");
    QString bodyStart = QStringLiteral("<BODY >");
    QString bodyEnd = QStringLiteral("</BODY>");
    // Written only into an HTML5 page; empty leaves LANG out.
    QString lang = QStringLiteral("cs");
};

// What the user chose before an insertion command ran; the command only applies it.
struct InsertArgs
{
    // A pop-up list's attributes (18, 19, 32), the anchor name (23, 24), the character's
    // entity (58), the tag-tree node (92), the counter's markup (22).
    QString item;
    // Markup composed elsewhere: by the table window while it is open (41-44), or the
    // user tag (59).
    std::optional<Markup> markup;
    // The page skeleton (85); the default one when not given.
    std::optional<PageSkeleton> page;

    static InsertArgs withItem(QString item)
    {
        InsertArgs args;
        args.item = std::move(item);
        return args;
    }
    static InsertArgs withMarkup(Markup markup)
    {
        InsertArgs args;
        args.markup = std::move(markup);
        return args;
    }
    static InsertArgs withPage(PageSkeleton page)
    {
        InsertArgs args;
        args.page = std::move(page);
        return args;
    }
};
