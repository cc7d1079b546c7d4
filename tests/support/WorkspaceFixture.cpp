#include "WorkspaceFixture.h"

#include "TestMain.h"

#include <QMdiArea>
#include <QVBoxLayout>

WorkspaceFixture::WorkspaceFixture(int documents)
    : iniPath(useFreshConfig())
{
    SettingsStore(iniPath).LoadSettings(m_settings);
    // The tab text follows the tab width, as the frame applies it.
    m_settings.TabText = QString(std::max(m_settings.Tab, 0), u' ');
    auto *layout = new QVBoxLayout(&frame);
    area = new QMdiArea(&frame);
    layout->addWidget(area);
    m_documents = std::make_unique<DocumentManager>(m_settings, *area, frame);
    QObject::connect(m_documents.get(), &DocumentManager::statusTextSet, &frame,
                     [this](int panel, const QString &text) { m_status[panel] = text; });
    frame.resize(900, 700);
    frame.show();
    for (int i = 0; i < documents; ++i)
        m_documents->NewDocumentWindow();
}

WorkspaceFixture::~WorkspaceFixture()
{
    // Documents go without questions: the test decides what was asked before.
    for (TForm2 *d : m_documents->documents())
        d->RichEdit1->SetModified(false);
    m_documents.reset();
}

void WorkspaceFixture::setText(const QString &text, int selStart, int selLength)
{
    EditorBuffer &b = buffer();
    b.loadText(text);
    b.SetSelStart(selStart);
    b.SetSelLength(selLength);
}
