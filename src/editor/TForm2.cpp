#include "TForm2.h"

#include "app/Interaction.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QVBoxLayout>

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
}

void TForm2::setFileName(const QString &path)
{
    m_fileName = path;
    setWindowTitle(path == Untitled ? Untitled : QFileInfo(path).fileName());
    Q_EMIT captionChanged(windowTitle());
}

void TForm2::showLoadedText(const QString &path, const QString &text)
{
    setFileName(path);
    RichEdit1->loadText(text);
    RichEdit1->SetSelStart(0);
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
        // The window closes even when the user cancelled the Save As dialog.
        m_host.saveDocument(*this);
        return true;
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
