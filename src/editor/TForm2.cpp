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

TForm2::TForm2(HtmlDocument &document, DocumentHost &host, QWidget *parent)
    : QWidget(parent)
    , m_document(document)
    , m_host(host)
{
    setObjectName(u"TForm2"_s);
    RichEdit1 = new EditorBuffer(document, this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichEdit1);
    setFocusProxy(RichEdit1);
    setWindowTitle(document.caption());
    connect(&document, &HtmlDocument::captionChanged, this, &QWidget::setWindowTitle);
    connect(&document, &HtmlDocument::binaryChanged, this, &TForm2::showBinaryBar);
    connect(&document, &HtmlDocument::textLoaded, this, &TForm2::offerToBreakLongLines);
    // A window made for a document read before tells what its bars would have told.
    if (document.isBinary())
        showBinaryBar(true);
    if (document.textLength() > EditorBuffer::SteadyCaretLineLength)
        offerToBreakLongLines(document.GetText());
    connect(RichEdit1, &EditorBuffer::tagItemDropped, this,
            [this](const QString &item) { m_host.tagItemDropped(m_document, item); });
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RichEdit1, &QWidget::customContextMenuRequested, this, &TForm2::showContextMenu);
}

void TForm2::showContextMenu(const QPoint &position)
{
    QMenu menu(this);
    menu.setObjectName(u"EditorContextMenu"_s);
    menu.addAction(u"Editovat tag .."_s, this, &TForm2::editCurrentTagFromMenu);
    QAction *style = menu.addAction(u"Vložit styl.."_s, this, &TForm2::insertStyle);
    style->setEnabled(!TagAtPosition(m_document.GetText(), m_document.SelStart()).isEmpty());
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
    m_document.SelectTagAtCaret();
    m_host.editCurrentTag(m_document);
}

void TForm2::insertStyle()
{
    // The quotes go in first, so the style lands between them.
    // The attribute's name in the case the commands write.
    const bool html5 = RichEdit1->keyOptions().aids.style == MarkupStyle::Html5;
    m_document.WrapSelection(RichEdit1->keyOptions().tagColor, html5 ? u" style=\""_s : u" STYLE=\""_s,
                             u"\""_s);
    if (const std::optional<QString> style = m_host.composeStyle(m_document)) {
        QString text = *style;
        text.remove(u"\r\n"_s);
        m_document.ReplaceSelection(text);
    }
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

void TForm2::showBinaryBar(bool binary)
{
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
    // A line that long is shown in one colour (colouring it would slow every key typed in
    // it). Breaking it between the attributes of its tags changes nothing a browser
    // shows; the user decides.
    QWidget *bar = noticeBar(name, u"Řádek dlouhý %1 znaků se zobrazuje bez barev."_s.arg(longest));
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
    const QList<int> breaks = longLineBreaks(m_document.GetText(), LongLineBreakLength);
    if (breaks.isEmpty()) {
        ui().showInfo(u"Dlouhé řádky nelze zalomit, aniž by se změnilo zobrazení stránky: "
                      u"mezi atributy jejích značek nejsou mezery."_s);
        return;
    }
    if (!m_document.replaceOccurrences(breaks, 1, u"\r\n"_s)) {
        ui().showError(doesNotFitMessage());
        return;
    }
    findChild<QWidget *>(u"LongLineBar"_s, Qt::FindDirectChildrenOnly)->hide();
}

void TForm2::closeEvent(QCloseEvent *event)
{
    if (m_document.isCloseConfirmed() || m_document.CloseQuery())
        event->accept();
    else
        event->ignore();
}
