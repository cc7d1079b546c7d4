#pragma once

#include <QWidget>

class QComboBox;
class QToolButton;
class WebBrowser;

// The separate preview window: a small browser toolbar, the "Adresa:" box with its
// history, and the browser filling the rest. It lives among the document windows of the
// frame but is not a document.
class TPreview : public QWidget
{
    Q_OBJECT

public:
    explicit TPreview(QWidget *parent = nullptr);

    // Adds the address to the history unless it is there already and shows it.
    void openAddress(const QString &address);
    // "Otevřít dokument": a page or template chosen in the file dialog is shown.
    void OpenButtonClick();

    static inline const QString OpenFilter =
        QStringLiteral("Html dokumenty (*.html;*.htm;*.htx;*.htt)|*.html;*.htm;*.htx;*.htt|"
                       "Šablony (*.sab)|*.sab");

    // Closed by the user and about to go; no longer the preview window.
    bool isClosing() const { return m_closing; }

    QToolButton *BackButton = nullptr;
    QToolButton *ForwardButton = nullptr;
    QToolButton *StopButton = nullptr;
    QToolButton *RefreshButton = nullptr;
    QToolButton *OpenButton = nullptr;
    QComboBox *ComboBox1 = nullptr;
    WebBrowser *WebBrowser1 = nullptr;

Q_SIGNALS:
    // The user closed the window; it is destroyed right after.
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool m_closing = false;
    QToolButton *addButton(const QString &name, const QString &hint, int standardIcon);
};
