#include "WorkspaceFixture.h"

#include "TestMain.h"

WorkspaceFixture::WorkspaceFixture(int documents)
    : iniPath(useFreshConfig())
{
    SettingsStore(iniPath).LoadSettings(m_settings);
    m_documents = std::make_unique<DocumentManager>(m_settings);
    QObject::connect(m_documents.get(), &DocumentManager::statusTextSet, m_documents.get(),
                     [this](int panel, const QString &text) { m_status[panel] = text; });
    for (int i = 0; i < documents; ++i)
        m_documents->NewDocumentWindow();
}

WorkspaceFixture::~WorkspaceFixture()
{
    // Documents go without questions: the test decides what was asked before.
    for (HtmlDocument *d : m_documents->documents())
        d->SetModified(false);
    m_documents.reset();
}

void WorkspaceFixture::setText(const QString &text, int selStart, int selLength)
{
    HtmlDocument &b = buffer();
    b.loadText(text);
    b.SetSelStart(selStart);
    b.SetSelLength(selLength);
}
