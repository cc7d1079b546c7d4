#pragma once

#include "dialogs/CheckedDialog.h"
#include "tools/ChannelMarkup.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

// The channel wizard "Generator kanalů": a form for a channel definition document.
// "Vytvořit" composes the document into Result and accepts; "Zpět" cancels.
class TChanelWizard : public CheckedDialog
{
    Q_OBJECT

public:
    explicit TChanelWizard(QWidget *parent = nullptr);

    ChannelFields fields() const;
    void setFields(const ChannelFields &fields);

    // The composed channel document, after "Vytvořit".
    QString Result;

    QLineEdit *Edit1; // HREF
    QLineEdit *Edit2; // BASE
    QLineEdit *Edit3; // SELF
    QLineEdit *Edit4; // "Titulek"
    QPlainTextEdit *Memo1; // "Abstract"
    QLineEdit *Edit5; // "Logo"
    QComboBox *ComboBox1; // logo style
    QGroupBox *GroupBox2; // "      Časový rozvrh"
    QCheckBox *CheckBox1; // use the schedule, set into the group's caption
    QLineEdit *Edit6; // "Začátek"
    QLineEdit *Edit7; // "Konec"
    QTabWidget *PageControl1;
    // Day, hour and minute of the tabs "IntervalTime", "EarliestTime", "LatestTime".
    QSpinBox *SpinEdit1, *SpinEdit2, *SpinEdit3;
    QSpinBox *SpinEdit4, *SpinEdit5, *SpinEdit6;
    QSpinBox *SpinEdit7, *SpinEdit8, *SpinEdit9;
    // "Použít" on each tab.
    QCheckBox *CheckBox2, *CheckBox3, *CheckBox4;
    QLabel *Image1;
    QPushButton *Button1; // "Vytvořit"
    QPushButton *Button2; // "Zpět"

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QWidget *timePage(int first, QSpinBox *&day, QSpinBox *&hour, QSpinBox *&minute,
                      QCheckBox *&use, const char *useName);
    QGroupBox *createChannelGroup();
    QGroupBox *createScheduleGroup();
    void placeScheduleCheckBox();
};
