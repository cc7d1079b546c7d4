#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QTemporaryDir;
class QTextStream;
class QWidget;
class WebBrowser;

// "--check-install": where the program found its data and whether it is all there, then a
// small page shown by the browser in a window of its own, as the preview shows pages. The
// page counts as shown when the engine loaded it and its text came back as written; on a
// real display it counts as drawn when its colour is on the screen where the browser is.
// Everything goes to standard output, a line each ("programDir: ...", "found: ...",
// "missing: ...", "page: shown", "page: drawn"); done gets the exit code (0: all is well).
class InstallCheck : public QObject
{
    Q_OBJECT

public:
    explicit InstallCheck(QObject *parent = nullptr);
    ~InstallCheck() override;

    void run(std::function<void(int exitCode)> done);

    // The background colour and the text of the page the check shows.
    static QString pageColour();
    static QString pageText();

private:
    int reportData(QTextStream &out) const;
    void pageLoaded(bool ok);
    void pageTextRead(const QString &text);
    void lookForColour();
    void finish(int exitCode, const QString &line);

    std::function<void(int)> m_done;
    int m_dataResult = 0;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QWidget> m_window;
    WebBrowser *m_browser = nullptr;
    bool m_finished = false;
    int m_colourLooks = 0;
};
