#pragma once

#include "commands/EditCurrentTag.h"
#include "commands/StyleCommands.h"
#include "commands/Workspace.h"
#include "editor/TForm2.h"

// What a document window asks of its frame, answered by the commands on a workspace: a
// window of a fixture's document works as in the program, without the main window.
class CommandHost : public DocumentHost
{
public:
    explicit CommandHost(Workspace &workspace)
        : m_workspace(workspace)
    {
    }
    void tagItemDropped(HtmlDocument &, const QString &) override {}
    void editCurrentTag(HtmlDocument &) override { EditCurrentTag(m_workspace); }
    std::optional<QString> composeStyle(HtmlDocument &) override
    {
        return composeStyleDeclarations(m_workspace);
    }

private:
    Workspace &m_workspace;
};
