// A program run that the crash-recovery test kills: the real main window with crash
// recovery, one page opened from disk and one new page, text typed into both with real
// key presses. It prints "typed" and waits to be killed.
#include "app/CommandBindings.h"
#include "app/RecoveryBinding.h"
#include "app/TForm1.h"
#include "settings/TSettings.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTextStream>

// Types text as key presses carrying each character, Czech letters included (QTest's own
// key clicks take Latin-1 only).
static void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6)
        return 2; // folder, settings, page, text for the page, text for the new page
    TForm1 window(std::make_unique<SettingsStore>(args[2]));
    installCommands(window);
    RecoveryBinding recovery(window.workspace(), args[1]);
    window.show();
    HtmlDocument *page = window.workspace().openInNewWindow(args[3]);
    HtmlDocument *fresh = window.workspace().NewDocumentWindow();
    if (!page || !fresh)
        return 3;
    typeText(window.workspace().window(page)->RichEdit1, args[4]);
    typeText(window.workspace().window(fresh)->RichEdit1, args[5]);
    QTextStream(stdout) << "typed" << Qt::endl;
    return app.exec();
}
