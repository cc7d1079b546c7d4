#pragma once

#include "markup/ElementContract.h"
#include "markup/Markup.h"

#include <QString>

// Address composer fields ("Odkaz"): scheme, server, file, anchor and the optional login.
struct AddressFields
{
    QString scheme = QStringLiteral("HTTP://");
    QString server;
    QString file;
    QString anchor;
    QString userName;
    QString password;
};

// Scheme, login ("user:password@" when a user name is given), server, separator and
// file, "#" and anchor. The separator is "\" or "/" as the markup settings want.
QString ComposedAddress(const AddressFields &fields, const QString &separator);

// Link fields ("Vložit odkaz").
struct LinkFields
{
    QString href;
    QString target;
};

Markup composeLink(const LinkFields &fields);
// HREF and TARGET.
TagRead<LinkFields> readLinkTag(QStringView tag);
// An A with a NAME attribute is an anchor, not a link: edit-current-tag leaves it alone.
bool isAnchorTag(QStringView tag);

// The "URL" value of the "[InternetShortcut]" section of an internet shortcut file, as it
// stands; empty when the file, the section or the key is missing.
QString readInternetShortcut(const QString &path);
