#pragma once

#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QTemporaryDir;
class QTimer;
class QToolButton;
class WebBrowser;

// "Živý náhled": the active page as the editor holds it, saved or not, shown beside the
// source. Every change only restarts a short timer; the page is put together and handed to
// the browser once typing pauses, so a keystroke costs no more than with the preview off.
// The page is shown at its own file's address, so its relative pictures, styles and links
// resolve as they will on the disk, and nothing is written anywhere.
class LivePreview : public QWidget
{
    Q_OBJECT

public:
    // What to show: the page's text (CR LF line breaks) and its file (empty for a page never
    // saved, whose relative addresses lead nowhere).
    struct Page
    {
        QString text;
        QString path;
        qsizetype caret = -1; // in the text, when the caret's element is to be shown
    };
    using PageSource = std::function<std::optional<Page>()>;

    // How long typing must pause before the page is shown anew.
    static constexpr int PauseMs = 300;
    // Larger pages cannot be handed to the browser whole (markup goes as one address); they
    // are shown from a private copy.
    static constexpr qsizetype MaxShownBytes = 2 * 1024 * 1024 - 64 * 1024;

    explicit LivePreview(QWidget *parent = nullptr);
    ~LivePreview() override;

    // Where the page comes from; asked only when the preview updates.
    void setSource(PageSource source);
    // The page changed: shown anew once the changes pause.
    void sourceChanged();
    // Another page became the active one: shown at once.
    void showNow();
    bool updatePending() const;

    WebBrowser *browser() const { return m_browser; }
    QToolButton *FollowCaretButton = nullptr; // keeps the caret's element in view
    QToolButton *SideButton = nullptr;  // to the other side of the source
    QToolButton *CloseButton = nullptr;

    // The side button's arrow points to where the preview can go.
    void setOnRight(bool right);
    // Whether each update brings the element the caret stands in into view (else the page
    // stays where it was scrolled).
    void setFollowCaret(bool follow);
    bool followsCaret() const;
    // The id of the empty element that marks the caret's place in the page shown.
    static constexpr QStringView CaretMarkId = u"brisko-live-caret";

Q_SIGNALS:
    void sideChangeRequested();
    void followCaretToggled(bool follow);
    void closeRequested();
    // The browser was given the page (it shows it once loaded).
    void updated();

private:
    void update();
    void showThroughCopy(QString html, const QUrl &base, const QString &scrollTo);

    WebBrowser *m_browser = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_note = nullptr;
    QTimer *m_pause = nullptr;
    PageSource m_source;
    std::unique_ptr<QTemporaryDir> m_copyFolder; // of the copy of a page too large to hand over
};
