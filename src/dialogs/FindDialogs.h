#pragma once

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

// What the user asked for in the find dialog; line breaks are CR LF.
struct FindRequest
{
    QString text;
    bool matchCase = false;
    bool fromStart = true;
};

// What the user asked for in the replace dialog; line breaks are CR LF.
struct ReplaceRequest
{
    QString text;
    QString replacement;
    bool matchCase = true;
    bool fromStart = true;
    bool ask = false;
};

// The find dialog: the text to find and the two search options.
class TMyFindDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TMyFindDialog(QWidget *parent = nullptr);

    void setRequest(const FindRequest &request);
    FindRequest request() const;

    QPlainTextEdit *Memo1 = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QCheckBox *CheckBox2 = nullptr;
    QPushButton *OkButton = nullptr;
    QPushButton *CancelButton = nullptr;
};

// The replace dialog: what to find above what to put instead, and the options.
class TMyReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TMyReplaceDialog(QWidget *parent = nullptr);

    void setRequest(const ReplaceRequest &request);
    ReplaceRequest request() const;

    QPlainTextEdit *Memo1 = nullptr;
    QPlainTextEdit *Memo2 = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QCheckBox *CheckBox2 = nullptr;
    QCheckBox *CheckBox3 = nullptr;
    QPushButton *OkButton = nullptr;
    QPushButton *CancelButton = nullptr;
};
