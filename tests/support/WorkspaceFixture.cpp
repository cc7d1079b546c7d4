#include "WorkspaceFixture.h"

#include "TestMain.h"
#include "app/TagPalette.h"

WorkspaceFixture::WorkspaceFixture(int documents)
    : iniPath(useFreshConfig())
{
    SettingsStore(iniPath).LoadSettings(m_settings);
    m_documents = std::make_unique<DocumentManager>(m_settings);
    QObject::connect(m_documents.get(), &DocumentManager::statusTextSet, m_documents.get(),
                     [this](int panel, const QString &text) { m_status[panel] = text; });
    m_search = std::make_unique<FindReplaceCommands>(*m_documents, nullptr);
    addWorkspaceCommands(m_commands);
    addSearchCommands(m_commands, *m_search);
    for (int i = 0; i < documents; ++i)
        m_documents->NewDocumentWindow();
}

bool WorkspaceFixture::run(CommandId id)
{
    return m_commands.run(id, *m_documents, ui());
}

void WorkspaceFixture::insert(Insertion command, const InsertArgs &args)
{
    m_commands.run(command, *m_documents, ui(), args);
}

WorkspaceFixture::~WorkspaceFixture()
{
    // Documents go without questions: the test decides what was asked before.
    for (HtmlDocument *d : m_documents->documents())
        d->SetModified(false);
    m_search.reset();
    m_documents.reset();
}

void WorkspaceFixture::setText(const QString &text, int selStart, int selLength)
{
    HtmlDocument &b = buffer();
    b.loadText(text);
    b.SetSelStart(selStart);
    b.SetSelLength(selLength);
}

bool WorkspaceFixture::pressPaletteButton(const QString &tab, const QString &caption)
{
    bool found = false;
    for (const PaletteEntry &e : paletteEntries()) {
        if (e.tab == tab && e.caption == caption) {
            insert(e.command);
            found = true;
        }
    }
    return found;
}
