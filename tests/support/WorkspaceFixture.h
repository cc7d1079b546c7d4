#pragma once

#include "app/DocumentManager.h"
#include "settings/TSettings.h"

#include <QWidget>

#include <array>
#include <memory>

class QMdiArea;

// The workspace the commands run in, without the main window: a document manager over a
// plain document area, the settings of a private configuration file (never the user's), and
// the status-bar texts kept here. It starts with a number of empty documents.
struct WorkspaceFixture
{
    explicit WorkspaceFixture(int documents = 1);
    ~WorkspaceFixture();

    DocumentManager &workspace() { return *m_documents; }
    TSettings &settings() { return m_settings; }
    TForm2 *doc() { return m_documents->activeDocument(); }
    EditorBuffer &buffer() { return *m_documents->activeBuffer(); }
    // Replaces the active document's text without marking it modified.
    void setText(const QString &text, int selStart = 0, int selLength = 0);
    QString statusText(int panel) const { return m_status[panel]; }

    QString iniPath;

private:
    // The settings outlive the documents, which go with the frame.
    TSettings m_settings;

public:
    QWidget frame;
    QMdiArea *area = nullptr;

private:
    std::unique_ptr<DocumentManager> m_documents;
    std::array<QString, 4> m_status;
};
