#include "TPreview.h"

#include "interaction/Interaction.h"
#include "preview/WebBrowser.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TPreview::TPreview(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"TPreview"_s);
    setWindowTitle(u"Preview"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(2, 2, 2, 0);
    layout->addLayout(bar);
    BackButton = addButton(u"BackButton"_s, u"Zpět"_s, QStyle::SP_ArrowBack);
    ForwardButton = addButton(u"ForwardButton"_s, u"Vpřed"_s, QStyle::SP_ArrowForward);
    StopButton = addButton(u"StopButton"_s, u"Zastavit načítání stránky"_s, QStyle::SP_BrowserStop);
    RefreshButton = addButton(u"RefreshButton"_s, u"Obnovit aktuální stránku"_s,
                              QStyle::SP_BrowserReload);
    OpenButton = addButton(u"OpenButton"_s, u"Otevřít dokument"_s, QStyle::SP_DialogOpenButton);
    for (QToolButton *b : {BackButton, ForwardButton, StopButton, RefreshButton, OpenButton})
        bar->addWidget(b);

    auto *label = new QLabel(u"Adresa:"_s, this);
    bar->addWidget(label);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(u"ComboBox1"_s);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert); // the history is kept below
    ComboBox1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    label->setBuddy(ComboBox1);
    bar->addWidget(ComboBox1, 1);

    WebBrowser1 = new WebBrowser(this);
    WebBrowser1->setObjectName(u"WebBrowser1"_s);
    layout->addWidget(WebBrowser1, 1);
    setFocusProxy(WebBrowser1);

    connect(BackButton, &QToolButton::clicked, WebBrowser1, &WebBrowser::back);
    connect(ForwardButton, &QToolButton::clicked, WebBrowser1, &WebBrowser::forward);
    connect(StopButton, &QToolButton::clicked, WebBrowser1, &WebBrowser::stop);
    connect(RefreshButton, &QToolButton::clicked, WebBrowser1, &WebBrowser::refresh);
    connect(OpenButton, &QToolButton::clicked, this, &TPreview::OpenButtonClick);
    connect(ComboBox1->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { openAddress(ComboBox1->currentText()); });
}

QToolButton *TPreview::addButton(const QString &name, const QString &hint, int standardIcon)
{
    auto *b = new QToolButton(this);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setStatusTip(hint);
    b->setAutoRaise(true);
    b->setIcon(style()->standardIcon(QStyle::StandardPixmap(standardIcon)));
    return b;
}

void TPreview::openAddress(const QString &address)
{
    if (address.isEmpty())
        return;
    if (ComboBox1->findText(address, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        ComboBox1->addItem(address);
    ComboBox1->setEditText(address);
    WebBrowser1->navigate(address);
}

void TPreview::OpenButtonClick()
{
    const QString path = ui().openFileName(OpenFilter);
    if (path.isEmpty())
        return;
    ComboBox1->setEditText(path);
    openAddress(path);
}

void TPreview::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted() && !m_closing) {
        m_closing = true;
        Q_EMIT closing();
    }
}
