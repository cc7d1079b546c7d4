#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QPlainTextEdit;

// The borderless start-up window with its status line.
class TForm43 : public QWidget
{
    Q_OBJECT

public:
    TForm43();
    QLabel *WaitLabel = nullptr;
};

void ShowWaitWindow();
void SetWaitText(const QString &text);
void CloseWaitWindow();
TForm43 *waitWindow();

// The start-up check of the browser component: a whole major version above 3 passes.
bool browserComponentIsRecent(const QString &version);

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
