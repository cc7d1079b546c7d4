#pragma once

#include "app/DocumentManager.h"
#include "settings/TSettings.h"

#include <array>
#include <memory>

// The workspace the commands run in, without any window: a document manager with
// documents alone, the settings of a private configuration file (never the user's), and
// the status-bar texts kept here. It starts with a number of empty documents.
struct WorkspaceFixture
{
    explicit WorkspaceFixture(int documents = 1);
    ~WorkspaceFixture();

    DocumentManager &workspace() { return *m_documents; }
    TSettings &settings() { return m_settings; }
    HtmlDocument *doc() { return m_documents->activeDocument(); }
    HtmlDocument &buffer() { return *m_documents->activeDocument(); }
    // Replaces the active document's text without marking it modified.
    void setText(const QString &text, int selStart = 0, int selLength = 0);
    QString statusText(int panel) const { return m_status[panel]; }

    QString iniPath;

private:
    // The settings outlive the documents.
    TSettings m_settings;
    std::unique_ptr<DocumentManager> m_documents;
    std::array<QString, 4> m_status;
};
