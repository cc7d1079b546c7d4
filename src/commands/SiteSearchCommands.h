#pragma once

#include "dialogs/SiteSearchDialog.h"
#include "markup/SiteSearch.h"

#include <QHash>
#include <QStringList>

#include <optional>

class Workspace;

// The folders "Hledat v souborech..." offers, best first: the site's home folder (the one
// the site check and the upload use), the active page's folder, the user's home.
QStringList siteSearchFolders(Workspace &workspace);

// Asks what to find and where; last is what was asked the time before (an empty folder
// takes the first one offered). Nothing when the user cancels.
std::optional<SiteSearchFields> askSiteSearch(Workspace &workspace, SiteSearchFields last);

// The text of every open page that has a file, by the file's canonical path: the search
// reads those pages as the editor holds them.
QHash<QString, QString> openPageTexts(Workspace &workspace);

// What a replacement in the site's files did.
struct SiteReplaceOutcome
{
    int replaced = 0;
    QStringList changed;             // files written, pages changed in the editor
    QStringList inEditor;            // of those, the open pages (changed, not saved)
    QHash<QString, QString> problems; // files left as they were, and why
};

// Replaces every match in the chosen files of a search: an open page in its document, as
// one undo step, left unsaved; any other file through the program's save (its encoding and
// line breaks, the backup copy when the settings ask for it). A file or a page changed
// since the search is not touched.
SiteReplaceOutcome replaceInSite(Workspace &workspace, const QList<FileSearchResult> &results,
                                 const SearchPattern &pattern, const QString &replacement,
                                 const QStringList &chosen);

// "Nahradit vše...": shows what will change in which file, lets the user leave files out,
// then replaces. Nothing when the user cancels.
std::optional<SiteReplaceOutcome> askAndReplaceInSite(Workspace &workspace,
                                                      const QList<FileSearchResult> &results,
                                                      const SearchPattern &pattern);
