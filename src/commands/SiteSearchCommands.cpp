#include "commands/SiteSearchCommands.h"

#include "commands/DocumentLifecycle.h"
#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "settings/TSettings.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString changedSinceSearchNote()
{
    return u"změněno od hledání, nepřepsáno"_s;
}

// Replaces in an open page as one undo step; the page stays unsaved, as any edit leaves it.
void replaceInOpenPage(HtmlDocument &doc, const FileSearchResult &searched, const SearchPattern &pattern,
                       const QString &replacement, SiteReplaceOutcome &outcome)
{
    const QString text = doc.GetText();
    if (textFingerprint(text) != searched.fingerprint) {
        outcome.problems.insert(searched.path, changedSinceSearchNote());
        return;
    }
    if (doc.isReadOnly()) {
        outcome.problems.insert(searched.path, u"stránku nyní nelze upravovat"_s);
        return;
    }
    const QList<MatchReplacement> changes = matchReplacements(text, pattern, replacement);
    qsizetype length = text.size();
    for (const MatchReplacement &c : changes)
        length += c.text.size() - c.length;
    if (!fitsInDocument(length)) {
        outcome.problems.insert(searched.path, doesNotFitMessage());
        return;
    }
    if (changes.isEmpty())
        return;
    const int caret = doc.SelStart();
    {
        HtmlDocument::EditGroup group(doc);
        // Last first, so the offsets of the earlier ones still hold.
        for (auto c = changes.crbegin(); c != changes.crend(); ++c) {
            doc.SetSelStart(int(c->offset));
            doc.SetSelLength(int(c->length));
            doc.ReplaceSelection(c->text);
        }
        doc.SetSelStart(std::min(caret, doc.textLength()));
        doc.SetSelLength(0);
    }
    outcome.replaced += int(changes.size());
    outcome.changed << searched.path;
    outcome.inEditor << searched.path;
}

} // namespace

QStringList siteSearchFolders(Workspace &workspace)
{
    QStringList folders;
    const QString site = workspace.settings().SiteDir;
    if (!site.isEmpty() && QFileInfo(site).isDir())
        folders << QDir::cleanPath(site);
    const QString page = activeDocumentFolder(workspace);
    if (!page.isEmpty())
        folders << page;
    folders << QDir::homePath();
    folders.removeDuplicates();
    return folders;
}

std::optional<SiteSearchFields> askSiteSearch(Workspace &workspace, SiteSearchFields last)
{
    TSiteSearchDialog dialog(workspace.dialogParent());
    const QStringList folders = siteSearchFolders(workspace);
    if (last.folder.isEmpty())
        last.folder = QDir::toNativeSeparators(folders.value(0));
    // The selection of the active page is what the user most likely looks for.
    if (const HtmlDocument *doc = workspace.activeDocument()) {
        const QString selected = doc->textRange(doc->SelStart(), doc->SelLength());
        if (!selected.isEmpty() && !selected.contains(u'\n'))
            last.text = selected;
    }
    dialog.offerFolders(folders);
    dialog.setFields(last);
    if (ui().exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.fields();
}

QHash<QString, QString> openPageTexts(Workspace &workspace)
{
    QHash<QString, QString> texts;
    for (HtmlDocument *doc : workspace.documents()) {
        if (doc->isUntitled())
            continue;
        const QString canonical = QFileInfo(doc->FileName()).canonicalFilePath();
        if (!canonical.isEmpty())
            texts.insert(canonical, doc->GetText());
    }
    return texts;
}

SiteReplaceOutcome replaceInSite(Workspace &workspace, const QList<FileSearchResult> &results,
                                 const SearchPattern &pattern, const QString &replacement,
                                 const QStringList &chosen)
{
    SiteReplaceOutcome outcome;
    const TSettings &settings = workspace.settings();
    const SiteTextWriter save = [&settings](const QString &path, const QString &text,
                                            FileEncoding encoding, LineEnding ending) {
        return saveTextFile(settings, path, text, encoding, ending);
    };
    for (const FileSearchResult &r : results) {
        if (r.matches.isEmpty() || !r.skipped.isEmpty() || !chosen.contains(r.path))
            continue;
        if (HtmlDocument *doc = workspace.documentOf(r.path)) {
            replaceInOpenPage(*doc, r, pattern, replacement, outcome);
            continue;
        }
        const FileReplaceResult written = replaceInFile(r, pattern, replacement, save);
        if (!written.error.isEmpty()) {
            outcome.problems.insert(r.path, written.changedSinceSearch ? changedSinceSearchNote() : written.error);
            continue;
        }
        if (written.replaced > 0) {
            outcome.replaced += written.replaced;
            outcome.changed << r.path;
        }
    }
    return outcome;
}

std::optional<SiteReplaceOutcome> askAndReplaceInSite(Workspace &workspace,
                                                      const QList<FileSearchResult> &results,
                                                      const SearchPattern &pattern)
{
    TReplaceInFilesDialog dialog(results, pattern, workspace.dialogParent());
    if (ui().exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    return replaceInSite(workspace, results, pattern, dialog.replacement(), dialog.chosenFiles());
}
