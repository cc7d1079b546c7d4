#pragma once

#include "tools/SiteCheck.h"

#include <QString>
#include <QStringList>

class SiteCheckWindow;
class TFTPForm;
class Workspace;

// "Kontrola webu...": asks for the site's folder (the one checked or uploaded last is
// offered) and checks it in the report window.
void RunSiteCheck(Workspace &workspace);

// The report window of the frame, made on first use and wired to the workspace: a double
// click opens the page, the case fix mends pages, marked entry pages are remembered.
SiteCheckWindow &siteCheckWindow(Workspace &workspace);

// The options of a check of home with the entry pages the user marked.
SiteCheckOptions siteCheckOptions(Workspace &workspace, const QString &home);

// Opens the page in the editor (the window that shows it, or a new one) and puts the caret
// at line and column (both from 1). False when the page could not be opened.
bool openPageAt(Workspace &workspace, const QString &path, int line, int column);

// What "Opravit velikost písmen" did.
struct CaseFixOutcome
{
    int fixed = 0;          // references rewritten
    QStringList saved;      // pages written (with their backup)
    QStringList editedOnly; // open pages with unsaved changes: mended in the editor only
    QStringList problems;   // why a reference or a page was left alone
};

// Rewrites each case mismatch to the names on disk, in the page's own encoding; never
// renames a file. An open page gets one undo step and, when it had no unsaved changes, the
// normal save with its backup; a page that is not open is read, mended and saved the same
// way. A reference whose text changed since the check is left alone.
CaseFixOutcome fixCaseMismatches(Workspace &workspace, const QString &home,
                                 const QList<SiteFinding> &findings);

// "Distribuce na WWW server" with "Před nahráním zkontrolovat web": the upload window whose
// "Upload" checks the site first. Broken references or case mismatches ask "Nahrát i tak" /
// "Zobrazit zprávu" / "Zrušit"; the report closes the upload window and opens the report.
void ShowUploadWindowWithCheck(Workspace &workspace);

// The check the upload window asks before it uploads home; true to go on. showReport is
// set when the user asked to see the report instead.
bool checkSiteBeforeUpload(Workspace &workspace, const QString &home, SiteReport &report,
                           bool &showReport);
