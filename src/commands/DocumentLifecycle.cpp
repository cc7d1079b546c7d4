#include "DocumentLifecycle.h"

#include "commands/Workspace.h"
#include "dialogs/TemplateManager.h"
#include "editor/Colorize.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "markup/TextFile.h"
#include "settings/TSettings.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPrinter>
#include <QTextDocument>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kOpenFilterText =
    u"Html dokumenty (*.html;*.htm;*.htx;*.htt)|*.html;*.htm;*.htx;*.htt|Šablony (*.sab)|*.sab"_s;
const QString kInsertFileFilterText =
    u"Html dokumenty (*.html;*.htm;*.htx;*.htt)|*.htm;*.htx;*.htt|Šablony (*.sab)|*.sab"_s;
const QString kSaveAsFilter = u"Html dokumenty (*.html)|*.html|Šablona (*.htt)|*.htt"_s;

// Copies the old file aside; returns the backup's name when it did, so a failed write can
// take the fresh copy away again. A copy, not a move: the page itself stays where it is,
// so a symbolic link keeps pointing at its file and the file keeps its permissions.
QString makeBackup(const QString &fileName, const QString &extension)
{
    if (!QFileInfo(fileName).isFile())
        return {};
    const QString backup = backupFileName(fileName, extension);
    // An existing backup stays.
    if (QFileInfo::exists(backup) || QFileInfo(backup).isSymLink())
        return {};
    return QFile::copy(fileName, backup) ? backup : QString();
}

// Owns the printer for as long as the frame lives, so the set-up dialog's choices stay
// for the next print.
class PrinterHolder : public QObject
{
public:
    explicit PrinterHolder(QObject *parent)
        : QObject(parent)
    {
        setObjectName(u"DocumentPrinter"_s);
    }
    QPrinter printer{QPrinter::HighResolution};
};

} // namespace

void printActiveDocument(Workspace &w)
{
    HtmlDocument *doc = w.activeDocument();
    if (!doc)
        return;
    QPrinter &printer = documentPrinter(w);
    if (!ui().print(printer))
        return;
    // The whole text goes out, whatever range or selection the dialog offered.
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    printDocument(*doc, printer);
}

void runTemplateManager(Workspace &w, const QString &templateDir)
{
    TemplateManager dialog(templateDir, w.dialogParent());
    if (ui().exec(dialog) != QDialog::Accepted || dialog.chosenTemplate().isEmpty())
        return;
    HtmlDocument *doc = w.NewDocumentWindow();
    if (!doc)
        return;
    // The program's own templates have an HTML5 twin; the user's own are opened as written.
    const QString twin = templatePath(templateDir + u"/HTML5"_s, dialog.chosenTemplate());
    const bool html5 = w.settings().markupStyle() == MarkupStyle::Html5 && QFileInfo::exists(twin);
    if (!w.OpenFile(*doc, html5 ? twin : templatePath(templateDir, dialog.chosenTemplate())))
        return;
    // The template stays as it is: the first Save asks for the new page's name.
    doc->setFileName(HtmlDocument::Untitled);
    // Coloured as any page opened, when the user wants pages coloured on opening.
    if (w.settings().Colorize)
        ColorizeDocument(*doc, w.settings(), [&w](const QString &text) { w.setStatusText(3, text); });
}

void closeAllDocuments(Workspace &w)
{
    // Each modified document asks; Cancel keeps that one and the loop goes on.
    for (HtmlDocument *doc : w.documents()) {
        if (doc->CloseQuery())
            doc->closeConfirmed();
    }
}

QString backupFileName(const QString &fileName, const QString &extension)
{
    const qsizetype slash = fileName.lastIndexOf(u'/');
    const qsizetype dot = fileName.lastIndexOf(u'.');
    // Without a dot the backup would be named by the extension alone, in the folder.
    if (dot <= slash)
        return fileName + u'.' + extension;
    return fileName.left(dot + 1) + extension;
}

QString saveTextFile(const TSettings &s, const QString &fileName, const QString &text,
                     FileEncoding encoding, LineEnding lineEnding)
{
    const QString backup = s.Backup ? makeBackup(fileName, s.BackupPrip) : QString();
    const QString error = writeTextFile(fileName, text, lineEnding, encoding);
    // The new file was not written and the old one is still there: the copy made for this
    // save goes.
    if (!error.isEmpty() && !backup.isEmpty())
        QFile::remove(backup);
    return error;
}

bool SaveDocument(Workspace &window, HtmlDocument &document)
{
    if (document.isUntitled())
        return SaveDocumentAs(window, document);
    const TSettings &s = window.settings();
    const QString fileName = document.FileName();
    // Another program's changes would be overwritten without a word.
    if (document.changedOnDisk()
        && ui().chooseWithDefault(
               u"Soubor %1 byl mezitím změněn jiným programem. Uložením se tyto změny ztratí. Přesto uložit?"_s
                   .arg(fileName),
               {u"Uložit"_s, u"Zrušit"_s}, 1)
               != 0)
        return false;
    const QString text = document.GetText();
    // A page whose META names another encoding than it is written in is asked about first.
    if (!document.settleEncodingForSave(text) || !document.confirmBinarySave())
        return false;
    const QString error = saveTextFile(s, fileName, text, document.encoding(), document.lineEnding());
    if (!error.isEmpty()) {
        ui().showError(u"Soubor %1 nelze uložit.\r\n%2"_s.arg(fileName, error));
        return false;
    }
    document.SetModified(false);
    document.noteDiskState();
    window.fileStored(fileName);
    return true;
}

bool SaveDocumentAs(Workspace &window, HtmlDocument &document)
{
    QString name = ui().saveFileName(kSaveAsFilter, document.FileName());
    if (name.isEmpty())
        return false;
    const bool completed = !QFileInfo(name).fileName().contains(u'.');
    if (completed)
        name += u".html"_s;
    // Two windows of one file would each save over the other's text; the other window's
    // page would also be replaced under it.
    if (const HtmlDocument *open = window.documentOf(name); open && open != &document) {
        ui().showError(u"Soubor %1 je otevřen v jiném okně. Uložte stránku pod jiným jménem, nebo "
                       u"nejdřív zavřete to okno."_s.arg(name));
        return false;
    }
    // The dialog asked about overwriting the name without its extension; the file that is
    // really written may exist as well.
    if (completed) {
        const QFileInfo target(name);
        if ((target.exists() || target.isSymLink()) && name != document.FileName()
            && ui().chooseWithDefault(u"Soubor %1 již existuje. Přepsat?"_s.arg(name),
                                      {u"Přepsat"_s, u"Zrušit"_s}, 1)
                   != 0)
            return false;
    }
    const QString previous = document.FileName();
    document.setFileName(name);
    if (SaveDocument(window, document))
        return true;
    // Nothing was written under the new name: the page keeps the name it had.
    document.setFileName(previous);
    return false;
}

QPrinter &documentPrinter(Workspace &window)
{
    // Without a frame the program itself keeps the printer.
    QObject *owner = window.dialogParent();
    if (!owner)
        owner = QCoreApplication::instance();
    auto *holder = owner->findChild<PrinterHolder *>(u"DocumentPrinter"_s,
                                                     Qt::FindDirectChildrenOnly);
    if (!holder)
        holder = new PrinterHolder(owner);
    return holder->printer;
}

void printDocument(HtmlDocument &document, QPrinter &printer)
{
    // A copy keeps the colours of every range; the editor itself stays untouched.
    std::unique_ptr<QTextDocument> copy(document.textDocument()->clone());
    copy->setDefaultFont(document.editorFont());
    printer.setDocName(document.FileName());
    copy->print(&printer);
}

void insertFileAtSelection(Workspace &window, const QString &path)
{
    HtmlDocument *b = window.activeDocument();
    if (!b)
        return;
    // Decoded by the same rules as an opened page; it joins the document's encoding.
    const TextFileResult file = readDocumentFile(path);
    if (!file.ok) {
        ui().showError(readFailureMessage(path, file));
        return;
    }
    if (!fitsInDocument(qint64(b->textLength()) + file.text.size())) {
        ui().showError(doesNotFitMessage());
        return;
    }
    // The selected text stays, after the inserted one.
    b->SetSelLength(0);
    b->ReplaceSelection(file.text);
}

QString openFilter()
{
    return kOpenFilterText;
}

QString insertFileFilter()
{
    return kInsertFileFilterText;
}

QString activeDocumentFolder(Workspace &w)
{
    const HtmlDocument *doc = w.activeDocument();
    if (!doc || !QFileInfo(doc->FileName()).isAbsolute())
        return {};
    return QFileInfo(doc->FileName()).absolutePath();
}

void openDocumentFile(Workspace &w)
{
    // The dialog starts in the active document's folder; without one, where the user was.
    const QString path = ui().openFileName(kOpenFilterText, activeDocumentFolder(w));
    if (!path.isEmpty())
        w.openInNewWindow(path);
}

void closeActiveDocument(Workspace &w)
{
    if (HtmlDocument *doc = w.activeDocument()) {
        if (doc->CloseQuery())
            doc->closeConfirmed();
    }
}
