#include "tools/HtmlCheckPanel.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

HtmlCheckPanel::HtmlCheckPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"HtmlCheckPanel"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    auto *top = new QHBoxLayout;
    Caption = new QLabel(this);
    Caption->setObjectName(u"Caption"_s);
    auto *close = new QToolButton(this);
    close->setObjectName(u"CloseButton"_s);
    close->setText(u"×"_s);
    close->setToolTip(u"Zavřít"_s);
    close->setAutoRaise(true);
    top->addWidget(Caption, 1);
    top->addWidget(close);
    layout->addLayout(top);

    List = new QTreeWidget(this);
    List->setObjectName(u"List"_s);
    List->setRootIsDecorated(false);
    List->setUniformRowHeights(true);
    List->setHeaderLabels({u"Druh"_s, u"Řádek:sloupec"_s, u"Zpráva"_s});
    List->header()->setStretchLastSection(true);
    layout->addWidget(List);

    connect(close, &QToolButton::clicked, this, &QWidget::hide);
    connect(List, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) { choose(item); });
    connect(List, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { choose(item); });
}

void HtmlCheckPanel::showMessages(const QString &documentName, const QList<HtmlMessage> &messages)
{
    m_messages = messages;
    List->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(messages.size());
    for (int i = 0; i < messages.size(); ++i) {
        const HtmlMessage &m = messages[i];
        auto *item = new QTreeWidgetItem({htmlMessageKindName(m.kind),
                                          u"%1:%2"_s.arg(m.line).arg(m.column), m.text});
        item->setData(0, Qt::UserRole, i);
        if (m.kind == HtmlMessageKind::Error)
            item->setForeground(0, Qt::red);
        items << item;
    }
    List->addTopLevelItems(items);
    List->resizeColumnToContents(0);
    List->resizeColumnToContents(1);
    const qsizetype n = messages.size();
    const QString count = n == 1 ? u"1 nález"_s
                          : n < 5 ? u"%1 nálezy"_s.arg(n)
                                  : u"%1 nálezů"_s.arg(n);
    Caption->setText(n == 0 ? u"Kontrola HTML – %1: bez chyb a varování"_s.arg(documentName)
                            : u"Kontrola HTML – %1: %2"_s.arg(documentName, count));
    show();
    // Without this the findings could be reached only with the mouse: the keyboard stayed
    // in the document, and Tab there writes a tab.
    if (!items.isEmpty()) {
        QWidget *focused = QApplication::focusWidget();
        if (focused && !isAncestorOf(focused))
            m_returnFocus = focused;
        List->setCurrentItem(items.first());
        List->setFocus(Qt::OtherFocusReason);
    }
}

void HtmlCheckPanel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        hide();
        if (m_returnFocus)
            m_returnFocus->setFocus(Qt::OtherFocusReason);
        return;
    }
    QWidget::keyPressEvent(event);
}

void HtmlCheckPanel::choose(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const int i = item->data(0, Qt::UserRole).toInt();
    if (i >= 0 && i < m_messages.size())
        Q_EMIT positionChosen(m_messages[i].line, m_messages[i].column);
}
