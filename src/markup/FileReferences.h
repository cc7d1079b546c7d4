#pragma once

#include "markup/Markup.h"
#include "markup/MarkupStyle.h"

#include <QString>
#include <QStringList>

// What the file panel writes about a file and how it treats files on disk, free of
// widgets so the rules are tested as tables.

// How a file opens on a double click.
enum class FileOpenKind {
    Page,     // a page or template: into the editor
    UserTags, // a ".tag" file: into the user-tags window
    Shell,    // anything else: its associated program
};
FileOpenKind fileOpenKind(const QString &path);

// The element that suits the file's type around the reference (between double quotes):
// images as IMG SRC, pages and downloads as a link, sounds as BGSOUND, video as
// IMG DYNSRC, anything else as EMBED. The extension is compared in upper case.
// For an HTML5 page a video or sound a browser plays (MP4, WebM, Ogg, MP3 ...) is a VIDEO
// or AUDIO with its controls instead, and one it does not play (AVI, MIDI ...) a link to
// it; the markup is still in the house style.
Markup fileTagMarkup(const QString &reference, const QString &filePath,
                     MarkupStyle style = MarkupStyle::Html4);
// The link that "Vložit jako odkaz" wraps around the inserted reference.
Markup fileLinkMarkup(const QString &reference);

// The question asked before a file is deleted; it ends in a blank.
QString deleteFileQuestion(const QString &path);

// Where a file goes when the user enters a new name: a name without a directory stays in
// the given directory, a relative path is taken from it. Empty for an empty name.
QString renameTarget(const QString &directory, const QString &enteredName);
// Moves the file unless something already has the target name; a change of letter case
// alone is allowed. Same name: nothing to do, true.
bool renameWithoutReplacing(const QString &from, const QString &to);
// The path with its file name in Czech lower or upper case, in the same directory.
QString caseChangedPath(const QString &path, bool upper);
// Re-cases every file's name; files whose new name is taken keep theirs. The paths that
// could not be renamed are returned.
QStringList changeFileNameCase(const QStringList &paths, bool upper);

// Whether the file is one the editor itself leaves in a folder of pages, no part of the site:
// - a backup: its extension is the backup extension of the settings ("bak" as shipped),
//   compared without regard to case; an extension of the site's own pages, style sheets or
//   scripts never makes a backup of them;
// - a copy the editor was writing when it ended before putting it in place: the page's
//   name and six letters or digits ("index.html.AbCdEf");
// - a recovery copy or its lock ("<session>-<document>.rec", "<session>.lock").
// fileName may carry a folder; only its last part counts.
bool isEditorOwnFile(const QString &fileName, const QString &backupExtension);
