#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

// A titled group of radio buttons of which exactly one is chosen, counted from 0.
class RadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    RadioGroup(const QString &objectName, const QString &title, const QStringList &items,
               QWidget *parent);

    int itemIndex() const;
    void setItemIndex(int index);
    QRadioButton *button(int index) const;

private:
    QButtonGroup *m_group;
};
