#include "TForm2.h"

#include "editor/SpellMarker.h"
#include "interaction/Interaction.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QMenu>
#include <QVBoxLayout>

#include "markup/GuardedFile.h"
#include "markup/SysUt.h"
#include "markup/TextFile.h"

using namespace Qt::StringLiterals;

TForm2::TForm2(DocumentHost &host, int slotIndex, QWidget *parent)
    : QWidget(parent)
    , SlotIndex(slotIndex)
    , m_host(host)
{
    setObjectName(u"TForm2"_s);
    RichEdit1 = new EditorBuffer(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichEdit1);
    setFocusProxy(RichEdit1);
    setWindowTitle(Untitled);
    connect(RichEdit1, &EditorBuffer::tagItemDropped, this,
            [this](const QString &item) { m_host.tagItemDropped(*this, item); });
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RichEdit1, &QWidget::customContextMenuRequested, this, &TForm2::showContextMenu);
}

void TForm2::showContextMenu(const QPoint &position)
{
    QMenu menu(this);
    menu.setObjectName(u"EditorContextMenu"_s);
    menu.addAction(u"Editovat tag .."_s, this, &TForm2::editCurrentTagFromMenu);
    QAction *style = menu.addAction(u"Vložit styl.."_s, this, &TForm2::insertStyle);
    style->setEnabled(!TagAtPosition(RichEdit1->GetText(), RichEdit1->SelStart()).isEmpty());
    menu.addSeparator();
    menu.addAction(u"Zpět"_s, RichEdit1, &EditorBuffer::Undo);
    menu.addSeparator();
    menu.addAction(u"Vyjmout"_s, RichEdit1, &EditorBuffer::CutToClipboard);
    menu.addAction(u"Kopírovat"_s, RichEdit1, &EditorBuffer::CopyToClipboard);
    menu.addAction(u"Vložit"_s, RichEdit1, &EditorBuffer::PasteFromClipboard);
    menu.addAction(u"Smazat"_s, RichEdit1, &EditorBuffer::ClearSelection);
    // A misspelt word under the mouse puts its suggestions first.
    if (SpellMarker *spelling = SpellMarker::of(*RichEdit1))
        spelling->addMenuItems(menu, position);
    menu.exec(RichEdit1->viewport()->mapToGlobal(position));
}

void TForm2::editCurrentTagFromMenu()
{
    RichEdit1->SelectTagAtCaret();
    m_host.editCurrentTag(*this);
}

void TForm2::insertStyle()
{
    // The quotes go in first, so the style lands between them.
    RichEdit1->WrapSelection(RichEdit1->keyOptions().tagColor, u" STYLE=\""_s, u"\""_s);
    if (const std::optional<QString> style = m_host.composeStyle(*this)) {
        QString text = *style;
        text.remove(u"\r\n"_s);
        RichEdit1->ReplaceSelection(text);
    }
}

void TForm2::setFileName(const QString &path)
{
    m_fileName = path;
    setWindowTitle(path == Untitled ? Untitled : QFileInfo(path).fileName());
    Q_EMIT captionChanged(windowTitle());
}

void TForm2::showLoadedText(const QString &path, const TextFileResult &file)
{
    setFileName(path);
    setBinary(file.binary);
    RichEdit1->loadText(file.text);
    RichEdit1->SetSelStart(0);
    m_encoding = file.encoding;
    m_encodingNote = file.encodingNote;
    m_lineEnding = file.lineEnding.value_or(m_lineEnding);
    m_declaredButKept.reset();
    offerToBreakLongLines(file.text);
    Q_EMIT encodingChanged();
}

QWidget *TForm2::noticeBar(const QString &name, const QString &text)
{
    if (auto *bar = findChild<QWidget *>(name, Qt::FindDirectChildrenOnly))
        return bar;
    auto *bar = new QWidget(this);
    bar->setObjectName(name);
    bar->setAutoFillBackground(true);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, QColor(0xff, 0xf3, 0xc4));
    palette.setColor(QPalette::WindowText, Qt::black);
    bar->setPalette(palette);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 3, 6, 3);
    auto *label = new QLabel(text, bar);
    label->setWordWrap(true);
    row->addWidget(label, 1);
    static_cast<QVBoxLayout *>(layout())->insertWidget(0, bar);
    return bar;
}

void TForm2::setBinary(bool binary)
{
    m_binary = binary;
    const QString name = u"BinaryFileBar"_s;
    if (binary) {
        noticeBar(name, u"Soubor není text (obsahuje binární data). Uložením by se jeho obsah "
                        u"změnil; před uložením se program zeptá."_s)->show();
    } else if (auto *bar = findChild<QWidget *>(name, Qt::FindDirectChildrenOnly)) {
        bar->hide();
    }
}

void TForm2::offerToBreakLongLines(QStringView text)
{
    const QString name = u"LongLineBar"_s;
    const qsizetype longest = longestLineLength(text);
    if (longest <= EditorBuffer::SteadyCaretLineLength) {
        if (auto *bar = findChild<QWidget *>(name, Qt::FindDirectChildrenOnly))
            bar->hide();
        return;
    }
    // The editor lays a line out whole at every key typed into it: on a line of hundreds of
    // thousands of characters that takes seconds. Breaking it between the attributes of its
    // tags changes nothing a browser shows; the user decides.
    QWidget *bar = noticeBar(name, u"Řádek dlouhý %1 znaků: psaní v něm je pomalé."_s.arg(longest));
    if (!bar->findChild<QPushButton *>()) {
        auto *button = new QPushButton(u"Zalomit dlouhé řádky"_s, bar);
        button->setObjectName(u"BreakLongLinesButton"_s);
        button->setToolTip(u"Zalomí dlouhé řádky mezi atributy značek, jedním krokem zpět. "
                           u"Zobrazení stránky se tím nezmění."_s);
        bar->layout()->addWidget(button);
        connect(button, &QPushButton::clicked, this, &TForm2::breakLongLines);
    }
    bar->show();
}

void TForm2::breakLongLines()
{
    const QList<int> breaks = longLineBreaks(RichEdit1->GetText(), LongLineBreakLength);
    if (breaks.isEmpty()) {
        ui().showInfo(u"Dlouhé řádky nelze zalomit, aniž by se změnilo zobrazení stránky: "
                      u"mezi atributy jejích značek nejsou mezery."_s);
        return;
    }
    if (!RichEdit1->replaceOccurrences(breaks, 1, u"\r\n"_s)) {
        ui().showError(doesNotFitMessage());
        return;
    }
    findChild<QWidget *>(u"LongLineBar"_s, Qt::FindDirectChildrenOnly)->hide();
}

bool TForm2::confirmBinarySave()
{
    if (!m_binary)
        return true;
    const QString question =
        u"Soubor %1 není text, obsahuje binární data. Uložením se jeho obsah změní (obrázek "
        u"nebo program by se tím zničil). Přesto uložit?"_s.arg(m_fileName);
    if (ui().chooseWithDefault(question, {u"Uložit"_s, u"Neukládat"_s}, 1) != 0)
        return false;
    setBinary(false); // asked once; from now on the file is what the user saved
    return true;
}

void TForm2::setLineEnding(LineEnding ending)
{
    m_lineEnding = ending;
    Q_EMIT encodingChanged();
}

void TForm2::convertLineEnding(LineEnding ending)
{
    if (ending == m_lineEnding)
        return;
    m_lineEnding = ending;
    // The file on disk keeps its old line breaks until the next save.
    RichEdit1->SetModified(true);
    Q_EMIT encodingChanged();
}

QString TForm2::encodingCaption() const
{
    QString caption = encodingName(m_encoding.encoding);
    if (m_encoding.encoding == TextEncoding::Utf8 && m_encoding.byteOrderMark)
        caption += u" (BOM)"_s;
    if (!m_encodingNote.isEmpty())
        caption += u" – "_s + m_encodingNote;
    return caption;
}

bool TForm2::reopenInEncoding(TextEncoding encoding)
{
    // Reading again would throw the user's edits away.
    if (isUntitled() || RichEdit1->IsModified())
        return false;
    const TextFileResult file = readDocumentFile(m_fileName, encoding);
    if (!file.ok) {
        ui().showError(readFailureMessage(m_fileName, file));
        return false;
    }
    showLoadedText(m_fileName, file);
    return true;
}

void TForm2::convertToEncoding(TextEncoding encoding)
{
    if (encoding == m_encoding.encoding)
        return;
    m_encoding = {encoding, false};
    m_encodingNote.clear();
    m_declaredButKept.reset();
    // The file on disk is still in the old encoding until the next save.
    RichEdit1->SetModified(true);
    Q_EMIT encodingChanged();
}

bool TForm2::settleEncodingForSave(QStringView text)
{
    const std::optional<TextEncoding> declared = encodingForCharset(declaredCharset(text));
    if (!declared || *declared == m_encoding.encoding || m_declaredButKept == declared)
        return true;
    const QString declaredName = encodingName(*declared);
    const QString currentName = encodingName(m_encoding.encoding);
    const QString question =
        u"Dokument deklaruje kódování %1, ale bude uložen v kódování %2. V kterém kódování "
        u"jej uložit?"_s.arg(declaredName, currentName);
    switch (ui().choose(question, {u"Deklarované: %1"_s.arg(declaredName),
                                   u"Současné: %1"_s.arg(currentName), u"Neukládat"_s})) {
    case 0:
        m_encoding = {*declared, false};
        m_encodingNote.clear();
        Q_EMIT encodingChanged();
        return true;
    case 1:
        m_declaredButKept = declared;
        return true;
    default:
        return false;
    }
}

bool TForm2::CloseQuery()
{
    if (!RichEdit1->IsModified())
        return true;
    const QString question = u"Uložit změny do %1?"_s.arg(m_fileName);
    switch (ui().ask(question, Interaction::Buttons::YesNoCancel)) {
    case Interaction::Answer::Cancel:
        return false;
    case Interaction::Answer::Yes:
        // A save that failed or was cancelled keeps the window, so the text is not lost.
        return m_host.saveDocument(*this);
    case Interaction::Answer::No:
        return true;
    }
    return true;
}

void TForm2::closeConfirmed()
{
    m_closeConfirmed = true;
    if (parentWidget())
        parentWidget()->close(); // the MDI frame around the document
    else
        close();
}

void TForm2::closeEvent(QCloseEvent *event)
{
    if (m_closeConfirmed || CloseQuery())
        event->accept();
    else
        event->ignore();
}
