#pragma once

#include <QString>
#include <QWidget>

// The special-characters tool window "Speciální znaky": stays on top beside the documents,
// not modal. A button keeps its entity in Result and reports it; the frame inserts it.
class TForm19 : public QWidget
{
    Q_OBJECT

public:
    explicit TForm19(QWidget *parent);

    // The entity of the button pressed last.
    QString Result;

    // Button captions and the entities they insert, in the window's order.
    static const QList<std::pair<QString, QString>> &Entities();

Q_SIGNALS:
    void entityChosen();
};
