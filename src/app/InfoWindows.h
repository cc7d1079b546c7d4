#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QPlainTextEdit;

// The toolbar's document check: which message the text gets.
struct DocumentCheckResult
{
    bool isError = false;
    QString message;
};
DocumentCheckResult CheckDocument(const QString &text);

// "Tipy": non-modal, twelve tips in a ring.
class TipsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TipsWindow(QWidget *parent);
    static QStringList tips();
    bool showNextTime() const;
    int currentTip() const { return m_index; }
    void nextTip();

Q_SIGNALS:
    void showNextTimeChanged(bool show);

private:
    QPlainTextEdit *m_text = nullptr;
    QCheckBox *m_dontShow = nullptr;
    int m_index = 0;
};

void showAboutBox(QWidget *parent);
void showClipboardWindow(QWidget *parent);
