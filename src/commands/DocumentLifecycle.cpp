#include "DocumentLifecycle.h"

#include "interaction/Interaction.h"
#include "app/ProgramDir.h"
#include "app/TForm1.h"
#include "commands/InsertTag.h"
#include "dialogs/TemplateManager.h"
#include "markup/TextFile.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTextDocument>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kOpenFilter =
    u"Html dokumenty (*.html;*.htm;*.htx;*.htt)|*.html;*.htm;*.htx;*.htt|Šablony (*.sab)|*.sab"_s;
const QString kInsertFileFilter =
    u"Html dokumenty (*.html;*.htm;*.htx;*.htt)|*.htm;*.htx;*.htt|Šablony (*.sab)|*.sab"_s;
const QString kSaveAsFilter = u"Html dokumenty (*.html)|*.html|Šablona (*.htt)|*.htt"_s;

// Moves the old file aside; returns the backup's name when it did, so a failed write can
// put the old file back.
QString makeBackup(const QString &fileName, const QString &extension)
{
    if (!QFileInfo(fileName).isFile())
        return {};
    const QString backup = backupFileName(fileName, extension);
    // An existing backup stays; rename on Linux would replace it.
    if (QFileInfo::exists(backup) || QFileInfo(backup).isSymLink())
        return {};
    return QFile::rename(fileName, backup) ? backup : QString();
}

LineEnding lineEndingOf(int fitip)
{
    return fitip == 1 ? LineEnding::Lf : fitip == 2 ? LineEnding::Cr : LineEnding::CrLf;
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

void printActiveDocument(TForm1 &w)
{
    TForm2 *doc = w.activeDocument();
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

void runTemplateManager(TForm1 &w)
{
    TemplateManager dialog(programDir() + u"SABLONY/"_s, &w);
    if (ui().exec(dialog) != QDialog::Accepted || dialog.chosenTemplate().isEmpty())
        return;
    TForm2 *doc = w.NewDocumentWindow();
    if (!doc)
        return;
    w.OpenFile(*doc, templatePath(programDir() + u"SABLONY/"_s, dialog.chosenTemplate()));
    // The template stays as it is: the first Save asks for the new page's name.
    doc->setFileName(TForm2::Untitled);
}

void closeAllDocuments(TForm1 &w)
{
    // Each modified document asks; Cancel keeps that one and the loop goes on.
    for (TForm2 *doc : w.documents()) {
        if (doc->CloseQuery())
            doc->closeConfirmed();
    }
}

} // namespace

QString backupFileName(const QString &fileName, const QString &extension)
{
    const qsizetype slash = fileName.lastIndexOf(u'/');
    const qsizetype dot = fileName.lastIndexOf(u'.');
    // Without a dot the backup would be named by the extension alone, in the folder.
    if (dot <= slash)
        return fileName + u'.' + extension;
    return fileName.left(dot + 1) + extension;
}

bool SaveDocument(TForm1 &window, TForm2 &document)
{
    if (document.isUntitled())
        return SaveDocumentAs(window, document);
    const TSettings &s = window.settings();
    const QString fileName = document.FileName();
    const QString text = document.RichEdit1->GetText();
    // A page whose META names another encoding than it is written in is asked about first.
    if (!document.settleEncodingForSave(text))
        return false;
    const QString backup = s.Backup ? makeBackup(fileName, s.BackupPrip) : QString();
    const QString error =
        writeTextFile(fileName, text, lineEndingOf(s.FITIP), document.encoding());
    if (!error.isEmpty()) {
        // The new file was not written: the old one goes back under its own name.
        if (!backup.isEmpty() && !QFileInfo::exists(fileName))
            QFile::rename(backup, fileName);
        ui().showError(u"Soubor %1 nelze uložit.\r\n%2"_s.arg(fileName, error));
        return false;
    }
    document.RichEdit1->SetModified(false);
    window.fileStored(fileName);
    return true;
}

bool SaveDocumentAs(TForm1 &window, TForm2 &document)
{
    QString name = ui().saveFileName(kSaveAsFilter, document.FileName());
    if (name.isEmpty())
        return false;
    if (!QFileInfo(name).fileName().contains(u'.'))
        name += u".html"_s;
    document.setFileName(name);
    return SaveDocument(window, document);
}

QPrinter &documentPrinter(TForm1 &window)
{
    auto *holder = window.findChild<PrinterHolder *>(u"DocumentPrinter"_s,
                                                     Qt::FindDirectChildrenOnly);
    if (!holder)
        holder = new PrinterHolder(&window);
    return holder->printer;
}

void printDocument(TForm2 &document, QPrinter &printer)
{
    // A copy keeps the colours of every range; the editor itself stays untouched.
    std::unique_ptr<QTextDocument> copy(document.RichEdit1->document()->clone());
    copy->setDefaultFont(document.RichEdit1->font());
    printer.setDocName(document.FileName());
    copy->print(&printer);
}

void insertFileAtSelection(TForm1 &window, const QString &path)
{
    EditorBuffer *b = window.activeBuffer();
    if (!b)
        return;
    // Decoded by the same rules as an opened page; it joins the document's encoding.
    const TextFileResult file = readDocumentFile(path);
    if (!file.ok) {
        ui().showError(u"Soubor %1 nelze otevřít.\r\n%2"_s.arg(path, file.error));
        return;
    }
    if (file.text.size() > EditorBuffer::MaxLength) {
        ui().showError(u"Soubor %1 je příliš velký: editor pojme nejvýše %2 znaků."_s.arg(
            path, QString::number(EditorBuffer::MaxLength)));
        return;
    }
    // The selected text stays, after the inserted one.
    b->SetSelLength(0);
    b->ReplaceSelection(file.text);
}

void installDocumentCommands(TForm1 &w)
{
    setInsertCommandHandler(93, [](TForm1 &window, InsertTexts &) {
        const QString path = ui().openFileName(kInsertFileFilter);
        if (!path.isEmpty())
            insertFileAtSelection(window, path);
    });
    auto on = [&w](const char *id, auto slot) {
        QObject::connect(w.action(QLatin1StringView(id)), &QAction::triggered, &w, slot);
    };
    on("FileNew", [&w] {
        if (w.NewDocumentWindow())
            InsertTag(w, 86);
    });
    on("FileNewFromTemplate", [&w] { runTemplateManager(w); });
    on("FileOpen", [&w] {
        const QString path = ui().openFileName(kOpenFilter);
        if (!path.isEmpty())
            w.openInNewWindow(path);
    });
    on("FileSave", [&w] {
        if (TForm2 *doc = w.activeDocument())
            SaveDocument(w, *doc);
    });
    on("FileSaveAs", [&w] {
        if (TForm2 *doc = w.activeDocument())
            SaveDocumentAs(w, *doc);
    });
    on("FilePrint", [&w] { printActiveDocument(w); });
    on("FilePrintSetup", [&w] {
        if (w.activeDocument())
            ui().printSetup(documentPrinter(w));
    });
    on("FileClose", [&w] {
        if (TForm2 *doc = w.activeDocument()) {
            if (doc->CloseQuery())
                doc->closeConfirmed();
        }
    });
    on("FileCloseAll", [&w] { closeAllDocuments(w); });
}
