#pragma once

#include "markup/HtmlCheck.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// The list of the HTML check's findings under the documents: kind, line:column, message.
// A double-click (or Enter) on a finding asks for the caret to go there; the panel never
// touches a document itself. Shown with findings, the list takes the keyboard with the
// first one current; Escape closes it and gives the keyboard back where it was.
class HtmlCheckPanel : public QWidget
{
    Q_OBJECT

public:
    explicit HtmlCheckPanel(QWidget *parent = nullptr);

    // Shows the findings for the named document; "Bez chyb" when there are none.
    void showMessages(const QString &documentName, const QList<HtmlMessage> &messages);
    const QList<HtmlMessage> &messages() const { return m_messages; }

    QTreeWidget *List = nullptr;
    QLabel *Caption = nullptr;

Q_SIGNALS:
    // The user picked the finding at this 1-based line and column.
    void positionChosen(int line, int column);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void choose(QTreeWidgetItem *item);

    QList<HtmlMessage> m_messages;
    QPointer<QWidget> m_returnFocus;
};
