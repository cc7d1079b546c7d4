#include "commands/SiteCheckCommands.h"

#include "commands/DocumentLifecycle.h"
#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "markup/CodePages.h"
#include "markup/GuardedFile.h"
#include "markup/SiteSearch.h"
#include "markup/TextEncoding.h"
#include "publish/ftpklient.h"
#include "settings/TSettings.h"
#include "tools/SiteCheckProgress.h"
#include "tools/SiteCheckWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

namespace {

QStringList entryPagesOf(const TSettings &settings)
{
    return settings.SiteEntryPages.split(u'|', Qt::SkipEmptyParts);
}

void bringToFront(Workspace &workspace, HtmlDocument &doc)
{
    workspace.activateDocument(doc);
    if (QWidget *frame = workspace.dialogParent()) {
        frame->window()->raise();
        frame->window()->activateWindow();
    }
}

// The report window already made: a child of the dialog parent, or without a parent a
// window of its own.
SiteCheckWindow *shownSiteReport(QWidget *parent)
{
    if (parent)
        return parent->findChild<SiteCheckWindow *>(QString(), Qt::FindDirectChildrenOnly);
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        if (auto *report = qobject_cast<SiteCheckWindow *>(w))
            return report;
    }
    return nullptr;
}

} // namespace

SiteCheckOptions siteCheckOptions(Workspace &workspace, const QString &home)
{
    return {home, entryPagesOf(workspace.settings()), workspace.settings().BackupPrip};
}

SiteCheckWindow &siteCheckWindow(Workspace &workspace)
{
    QWidget *parent = workspace.dialogParent();
    if (SiteCheckWindow *existing = shownSiteReport(parent))
        return *existing;
    auto *window = new SiteCheckWindow(parent);
    placeToolWindow(*window);
    QObject::connect(window, &SiteCheckWindow::openRequested, window,
                     [&workspace](const QString &path, int line, int column) {
                         openPageAt(workspace, path, line, column);
                     });
    QObject::connect(window, &SiteCheckWindow::entryPagesMarked, window,
                     [&workspace](const QStringList &paths) {
                         QStringList pages = entryPagesOf(workspace.settings());
                         for (const QString &p : paths) {
                             if (!pages.contains(p))
                                 pages << p;
                         }
                         workspace.settings().SiteEntryPages = pages.join(u'|');
                     });
    QObject::connect(window, &SiteCheckWindow::fixCaseRequested, window,
                     [&workspace, window](const QList<SiteFinding> &findings, const QString &home) {
                         const CaseFixOutcome outcome = fixCaseMismatches(workspace, home, findings);
                         QString text = u"Opravených odkazů: %1."_s.arg(outcome.fixed);
                         // The pages written on the disk are named: the editor's undo
                         // does not reach them.
                         if (!outcome.saved.isEmpty())
                             text += u"\r\nUložené stránky: "_s + outcome.saved.join(u", "_s);
                         if (!outcome.editedOnly.isEmpty())
                             text += u"\r\nStránky s neuloženými změnami byly opraveny jen v editoru: "_s
                                     + outcome.editedOnly.join(u", "_s);
                         for (const QString &problem : outcome.problems)
                             text += u"\r\n"_s + problem;
                         ui().showInfo(text);
                         window->startCheck(window->options());
                     });
    return *window;
}

void RunSiteCheck(Workspace &workspace)
{
    TSettings &settings = workspace.settings();
    const QString start = settings.SiteDir.isEmpty() ? QDir::homePath() : settings.SiteDir;
    const QString home = ui().existingDirectory(u"Kontrola webu"_s, start);
    if (home.isEmpty())
        return;
    settings.SiteDir = home;
    SiteCheckWindow &window = siteCheckWindow(workspace);
    window.show();
    window.raise();
    window.startCheck(siteCheckOptions(workspace, home));
}

bool openPageAt(Workspace &workspace, const QString &path, int line, int column)
{
    HtmlDocument *doc = workspace.documentOf(path);
    if (!doc) {
        doc = workspace.openInNewWindow(path);
        if (!doc || doc->isUntitled())
            return false;
    }
    workspace.setDocumentAreaCovered(false);
    HtmlDocument &buffer = *doc;
    const int lineStart = buffer.LineStart(std::max(line, 1) - 1);
    const int lineEnd = line < buffer.lineCount() ? buffer.LineStart(line) - 2 : buffer.textLength();
    buffer.SetSelStart(std::min(lineStart + std::max(column, 1) - 1, std::max(lineEnd, lineStart)));
    buffer.SetSelLength(0);
    buffer.centerCaret();
    bringToFront(workspace, *doc);
    const QPair<int, int> caret = buffer.CaretLineColumn();
    workspace.setStatusText(3, QString::number(caret.first) + u':' + QString::number(caret.second));
    return true;
}

namespace {

// The findings of one page, last first, so each rewrite leaves the earlier offsets alone.
using PageFindings = std::map<QString, QList<SiteFinding>>;

PageFindings byPage(const QList<SiteFinding> &findings)
{
    PageFindings pages;
    for (const SiteFinding &f : findings) {
        if (f.kind == SiteFindingKind::CaseMismatch && f.offset >= 0 && !f.fixed.isEmpty())
            pages[f.page] << f;
    }
    for (auto &[page, list] : pages) {
        std::sort(list.begin(), list.end(),
                  [](const SiteFinding &a, const SiteFinding &b) { return a.offset > b.offset; });
    }
    return pages;
}

QString changedMessage(const SiteFinding &f)
{
    return u"Odkaz „%1“ na stránce %2 se od kontroly změnil a nebyl opraven."_s.arg(f.reference, f.page);
}

void fixOpenPage(Workspace &workspace, HtmlDocument &doc, const QList<SiteFinding> &findings,
                 CaseFixOutcome &outcome)
{
    HtmlDocument &buffer = doc;
    const bool hadChanges = buffer.IsModified();
    QList<SiteFinding> valid;
    for (const SiteFinding &f : findings) {
        if (buffer.textRange(int(f.offset), int(f.reference.size())) == f.reference)
            valid << f;
        else
            outcome.problems << changedMessage(f);
    }
    if (valid.isEmpty())
        return;
    {
        HtmlDocument::EditGroup group(buffer);
        for (const SiteFinding &f : valid) {
            buffer.SetSelStart(int(f.offset));
            buffer.SetSelLength(int(f.reference.size()));
            buffer.ReplaceSelection(f.fixed);
        }
    }
    outcome.fixed += int(valid.size());
    if (hadChanges) {
        outcome.editedOnly << valid.first().page;
        return;
    }
    if (SaveDocument(workspace, doc))
        outcome.saved << valid.first().page;
}

// Whether the page is a link to a file outside the site: a fix there would change a file
// the user never asked about.
bool leadsOutOfSite(const QString &path, const QString &home)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    QString root = QFileInfo(home).canonicalFilePath();
    if (target.isEmpty() || root.isEmpty())
        return true;
    if (!root.endsWith(u'/'))
        root += u'/';
    return !target.startsWith(root);
}

void fixClosedPage(Workspace &workspace, const QString &home, const QString &path,
                   const QList<SiteFinding> &findings, CaseFixOutcome &outcome)
{
    if (leadsOutOfSite(path, home)) {
        outcome.problems << u"Stránka %1 je odkaz na soubor mimo web a nebyla změněna."_s.arg(path);
        return;
    }
    if (isWriteProtected(path)) {
        outcome.problems << writeProtectedMessage(path);
        return;
    }
    const SitePageText page = readSitePage(path);
    if (!page.ok) {
        outcome.problems << u"Stránku %1 nelze přečíst: %2"_s.arg(path, page.error);
        return;
    }
    // A file that is no text is never written back: its bytes would change.
    if (page.binary) {
        outcome.problems << u"Stránka %1 není text (obsahuje binární data) a nebyla změněna."_s.arg(path);
        return;
    }
    QList<MatchReplacement> changes; // left to right, as the findings come last first
    for (const SiteFinding &f : findings) {
        if (QStringView(page.text).mid(f.offset, f.reference.size()) != f.reference) {
            outcome.problems << changedMessage(f);
            continue;
        }
        changes.prepend({f.offset, f.reference.size(), f.fixed});
    }
    if (changes.isEmpty())
        return;
    // Made in the file's own text, so a page that mixes its line breaks keeps them all.
    const GuardedRead read = readGuardedFile(path);
    const std::optional<QString> ownText = read.ok() ? decodeText(read.bytes, page.encoding.encoding) : std::nullopt;
    const RewrittenText rewritten = ownText && normalizeLineBreaks(*ownText) == page.text
                                        ? rewrittenKeepingLineBreaks(*ownText, changes, page.lineEnding)
                                        : RewrittenText{appliedChanges(page.text, changes), page.lineEnding};
    const QString error =
        saveTextFile(workspace.settings(), path, rewritten.text, page.encoding, rewritten.lineEnding);
    if (!error.isEmpty()) {
        outcome.problems << u"Soubor %1 nelze uložit.\r\n%2"_s.arg(path, error);
        return;
    }
    outcome.fixed += int(changes.size());
    outcome.saved << findings.first().page;
    workspace.fileStored(path);
}

} // namespace

CaseFixOutcome fixCaseMismatches(Workspace &workspace, const QString &home,
                                 const QList<SiteFinding> &findings)
{
    CaseFixOutcome outcome;
    QString root = QDir::fromNativeSeparators(home);
    if (!root.endsWith(u'/'))
        root += u'/';
    for (const auto &[page, list] : byPage(findings)) {
        const QString path = root + page;
        if (HtmlDocument *doc = workspace.documentOf(path))
            fixOpenPage(workspace, *doc, list, outcome);
        else
            fixClosedPage(workspace, root, path, list, outcome);
    }
    return outcome;
}

bool checkSiteBeforeUpload(Workspace &workspace, const QString &home, SiteReport &report,
                           bool &showReport)
{
    showReport = false;
    workspace.settings().SiteDir = home;
    // Over the upload window when it asks, so it is the one the user sees and answers.
    QWidget *parent = QApplication::activeModalWidget();
    SiteCheckProgress progress(siteCheckOptions(workspace, home),
                               parent ? parent : workspace.dialogParent());
    if (ui().exec(progress) != QDialog::Accepted)
        return false;
    report = progress.report();
    const int broken = int(report.findingsOf(SiteFindingKind::Broken).size());
    const int recased = int(report.findingsOf(SiteFindingKind::CaseMismatch).size());
    if (broken + recased == 0)
        return true;
    // Enter shows the report: a site with known faults goes up only when asked for.
    const int answer = ui().chooseWithDefault(
        u"Kontrola webu našla chyby, které na serveru nebudou fungovat.\r\n"
        u"Nefunkční odkazy: %1\r\nChybná velikost písmen: %2"_s.arg(broken).arg(recased),
        {u"Nahrát i tak"_s, u"Zobrazit zprávu"_s, u"Zrušit"_s}, 1);
    if (answer == 0)
        return true;
    showReport = answer == 1;
    return false;
}

void ShowUploadWindowWithCheck(Workspace &workspace)
{
    SiteReport report;
    bool showReport = false;
    QString checkedHome;
    ShowUploadWindow(workspace.dialogParent(), [&](TFTPForm &form) {
        form.setBackupExtension(workspace.settings().BackupPrip);
        auto *box = form.findChild<QCheckBox *>(u"CheckSiteBox"_s);
        form.setSiteCheck([&](const QString &home) {
            checkedHome = home;
            const bool go = checkSiteBeforeUpload(workspace, home, report, showReport);
            // The report is read beside the editor, so the upload window makes way for it.
            if (showReport)
                QMetaObject::invokeMethod(&form, &QDialog::reject, Qt::QueuedConnection);
            return go;
        });
        if (box) {
            box->setChecked(workspace.settings().SiteCheckBeforeUpload);
            QObject::connect(box, &QCheckBox::toggled, &form,
                             [&workspace](bool on) { workspace.settings().SiteCheckBeforeUpload = on; });
        }
    });
    if (!showReport)
        return;
    SiteCheckWindow &window = siteCheckWindow(workspace);
    window.showReport(report, siteCheckOptions(workspace, checkedHome));
    window.show();
    window.raise();
}
