#pragma once

#include "markup/TextEncoding.h"
#include "markup/TextFile.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class QThread;

// The check of a whole site before it goes up: every page under a home directory, read in
// its own encoding, and every reference in it resolved as a Unix web server would (letter
// case significant). Widget-free, so it runs on a worker thread and in tests as tables.

// What a finding is about, in the order the report shows its tables.
enum class SiteFindingKind {
    Broken,       // the file (or the anchor) is not there
    CaseMismatch, // found only when letter case is ignored: works on Windows, not on a server
    Outside,      // leaves the home directory: above its root, "file:", a drive, "\"
    External,     // another machine: listed, never fetched
    Orphan,       // a file no page refers to
};

struct SiteFinding
{
    SiteFindingKind kind = SiteFindingKind::Broken;
    QString page;          // the page (for an orphan, the file), relative to the home directory
    int line = 0;          // 1-based; 0 when the finding has no place in a page
    int column = 0;
    qsizetype offset = -1; // of the reference in the page's text as read (CR LF line breaks)
    QString reference;     // as written in the page
    QString detail;        // why, in Czech; for a case mismatch the name on disk
    QString fixed;         // a case mismatch written as the names on disk are
    friend bool operator==(const SiteFinding &, const SiteFinding &) = default;
};

// A page with everything that loads with it: its images, scripts, frames (with their own
// loads) and style sheets (with theirs), each file counted once.
struct PageWeight
{
    QString page;
    qint64 bytes = 0;
    int files = 0; // the page itself included
};

struct SiteReport
{
    QString home; // the checked directory, with a trailing "/"
    int pages = 0;
    int files = 0; // every file under the home directory, pages included
    bool stopped = false;
    QList<SiteFinding> findings; // by kind, then page, then place
    QList<PageWeight> weights;   // heaviest first
    QList<SiteFinding> findingsOf(SiteFindingKind kind) const;
    // Broken references and case mismatches: what breaks on the server.
    int faultCount() const;
};

struct SiteCheckOptions
{
    QString home;
    // Pages the user enters the site by (absolute, or relative to the home directory);
    // never orphans. index.htm and index.html of the root never are.
    QStringList entryPages;
    // The extension of the editor's backups (the settings' "bak"): those files, like the
    // editor's unfinished and recovery copies, are no part of the site (isEditorOwnFile).
    QString backupExtension = {};
};

// Whether the file is a page the check reads: .htm, .html, .shtml, .php, .asp and the
// file panel's page types (.htx, .htt, .sab), compared without regard to case.
bool isSitePage(const QString &fileName);
// Whether the file is a style sheet, whose url(...) are checked as well.
bool isStyleSheet(const QString &fileName);

// The one place where the check reads a page or a style sheet: the program's page reader,
// in the encoding the file is found to be in.
struct SitePageText
{
    bool ok = false;
    QString text; // CR LF line breaks
    FileEncoding encoding;
    QString error;
    LineEnding lineEnding = LineEnding::CrLf; // written back as read
    bool binary = false;
};
SitePageText readSitePage(const QString &path);

// Checks the site. progress(done, total) is called after each page read; returning false
// stops the check, and the report says so.
//
// Folders are walked as the upload walks them: hidden entries left out, linked folders
// entered unless they lead back into a folder above them (a loop). A folder that cannot be
// read is a broken finding of its own ("Adresář nelze přečíst"), and a reference to a name
// that is no file (a pipe, a device, a link loop) says what the name is. A page's
// <BASE HREF> is where its relative references are read from: a folder of the site is
// followed, another machine makes them external.
SiteReport checkSite(const SiteCheckOptions &options,
                     const std::function<bool(int done, int total)> &progress = {});

// Runs checkSite on a worker thread, so the editor keeps working; progress and the end
// arrive as signals on the thread that made it.
class SiteCheckRunner : public QObject
{
    Q_OBJECT

public:
    explicit SiteCheckRunner(SiteCheckOptions options, QObject *parent = nullptr);
    // Stops a running check and waits for its thread.
    ~SiteCheckRunner() override;

    void start();
    // "Zastavit": the check ends after the page it is reading.
    void stop() { m_stop = true; }
    bool isRunning() const;
    // Valid after finished.
    const SiteReport &report() const { return m_report; }

Q_SIGNALS:
    void progressed(int done, int total);
    void finished();

private:
    SiteCheckOptions m_options;
    SiteReport m_report;
    QThread *m_thread = nullptr;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_lastShown{-1};
};
