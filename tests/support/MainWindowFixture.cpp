#include "MainWindowFixture.h"

#include "TestMain.h"
#include "app/CommandBindings.h"

#include <QMdiSubWindow>

MainWindowFixture::MainWindowFixture(int documents, bool connectCommands)
    : iniPath(useFreshConfig())
{
    m_window = std::make_unique<TForm1>(std::make_unique<SettingsStore>(iniPath));
    if (connectCommands)
        installCommands(*m_window);
    m_window->resize(900, 700);
    m_window->show();
    for (int i = 0; i < documents; ++i)
        workspace().NewDocumentWindow();
}

MainWindowFixture::~MainWindowFixture()
{
    // Documents go without questions: the test decides what was asked before.
    for (HtmlDocument *d : workspace().documents())
        d->SetModified(false);
    m_window.reset();
}

void MainWindowFixture::setText(const QString &text, int selStart, int selLength)
{
    HtmlDocument &b = buffer();
    b.loadText(text);
    b.SetSelStart(selStart);
    b.SetSelLength(selLength);
}
