#pragma once

#include "app/TForm1.h"

#include <memory>

// A frame with its commands connected and a private settings file, as the program builds
// it at start, plus a number of empty documents. Destroying it saves the settings to that
// private file, never the user's.
struct MainWindowFixture
{
    explicit MainWindowFixture(int documents = 1, bool connectCommands = true);
    ~MainWindowFixture();

    TForm1 &window() { return *m_window; }
    DocumentManager &workspace() { return m_window->workspace(); }
    HtmlDocument *doc() { return workspace().activeDocument(); }
    HtmlDocument &buffer() { return *workspace().activeDocument(); }
    // The active document's window and its view.
    TForm2 *documentWindow() { return workspace().window(doc()); }
    EditorBuffer &view() { return *workspace().activeView(); }
    // Replaces the active document's text without marking it modified.
    void setText(const QString &text, int selStart = 0, int selLength = 0);

    QString iniPath;
    std::unique_ptr<TForm1> m_window;
};
