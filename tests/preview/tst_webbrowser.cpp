#include "app/SidePanel.h"
#include "commands/Preview.h"
#include "markup/TextFile.h"
#include "preview/TPreview.h"
#include "preview/WebBrowser.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Navigates and waits for the page; returns the text the engine rendered.
QString shownText(WebBrowser &browser, const QString &path)
{
    QSignalSpy loaded(&browser, &WebBrowser::loadFinished);
    browser.navigate(path);
    if (!loaded.wait(30000) || !loaded.first().first().toBool())
        return u"<not loaded>"_s;
    QString text = u"<no text>"_s;
    bool done = false;
    browser.readPageText([&](const QString &t) {
        text = t;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        return u"<no text>"_s;
    return text.trimmed();
}

} // namespace

class tst_WebBrowser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addressOfPathOrUrl_data();
    void addressOfPathOrUrl();
    void nothingLoadsBeforeTheFirstPage();
    void pageWithoutCharsetIsReadAsWindows1250();
    void declaredCharsetWins();
    void hashAndQuestionMarkStayInTheFileName();
    void sameAddressShowsTheFileAsItIsNow();
    void missingModuleShowsAMessageInstead();
    void rightClickMenuIsCzech();
    void windowsAroundTheViewStayAsTheyWere();
    void pageFillsThePreviewEachTimeItIsShown();
    void helpTabDrawsItsPageTheFirstTime();

private:
    QTemporaryDir m_dir;
};

void tst_WebBrowser::addressOfPathOrUrl_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QUrl>("address");
    QTest::newRow("plain path") << u"/web/a.html"_s << QUrl::fromLocalFile(u"/web/a.html"_s);
    QTest::newRow("hash in file name") << u"/web/a#1.html"_s << QUrl::fromLocalFile(u"/web/a#1.html"_s);
    QTest::newRow("question mark in file name")
        << u"/web/co?.html"_s << QUrl::fromLocalFile(u"/web/co?.html"_s);
    QTest::newRow("Czech letters and blank")
        << u"/web/můj soubor.htm"_s << QUrl::fromLocalFile(u"/web/můj soubor.htm"_s);
    QTest::newRow("untitled document") << u"Bez jména"_s << QUrl::fromLocalFile(u"Bez jména"_s);
    QTest::newRow("Windows drive letter is a path")
        << u"C:/web/a.htm"_s << QUrl::fromLocalFile(u"C:/web/a.htm"_s);
    QTest::newRow("web address keeps query and fragment")
        << u"http://x.cz/a?b=1#c"_s << QUrl(u"http://x.cz/a?b=1#c"_s);
    QTest::newRow("file address") << u"file:///web/a.html"_s << QUrl(u"file:///web/a.html"_s);
    QTest::newRow("about page") << u"about:blank"_s << QUrl(u"about:blank"_s);
}

void tst_WebBrowser::addressOfPathOrUrl()
{
    QFETCH(QString, given);
    QFETCH(QUrl, address);
    QCOMPARE(browserAddress(given), address);
}

void tst_WebBrowser::nothingLoadsBeforeTheFirstPage()
{
    WebBrowser browser;
    QVERIFY(!browser.engineStarted());
    QFile maps(u"/proc/self/maps"_s);
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("WebEngine"));
}

void tst_WebBrowser::pageWithoutCharsetIsReadAsWindows1250()
{
    const QString path = m_dir.filePath(u"cp1250.htm"_s);
    QCOMPARE(writeTextFile(path, u"<HTML><BODY><P>Příliš žluťoučký kůň řeší úlohy</P></BODY></HTML>"_s),
             QString());
    WebBrowser browser;
    browser.resize(400, 300);
    browser.show();
    QCOMPARE(shownText(browser, path), u"Příliš žluťoučký kůň řeší úlohy"_s);
    QVERIFY(browser.engineStarted());
    QCOMPARE(browser.address(), QUrl::fromLocalFile(path));
}

void tst_WebBrowser::declaredCharsetWins()
{
    const QString path = m_dir.filePath(u"utf8.htm"_s);
    writeBytes(path, u"<html><head><meta charset=\"utf-8\"></head><body>řeka</body></html>"_s.toUtf8());
    WebBrowser browser;
    browser.show();
    QCOMPARE(shownText(browser, path), u"řeka"_s);
}

void tst_WebBrowser::hashAndQuestionMarkStayInTheFileName()
{
    for (const QString &name : {u"kapitola#2.htm"_s, u"proč?.htm"_s}) {
        const QString path = m_dir.filePath(name);
        QCOMPARE(writeTextFile(path, u"<P>"_s + name + u"</P>"_s), QString());
        WebBrowser browser;
        browser.show();
        QCOMPARE(shownText(browser, path), name);
    }
}

void tst_WebBrowser::sameAddressShowsTheFileAsItIsNow()
{
    const QString path = m_dir.filePath(u"changing.htm"_s);
    QCOMPARE(writeTextFile(path, u"<P>první</P>"_s), QString());
    WebBrowser browser;
    browser.show();
    QCOMPARE(shownText(browser, path), u"první"_s);
    QCOMPARE(writeTextFile(path, u"<P>druhá</P>"_s), QString());
    QCOMPARE(shownText(browser, path), u"druhá"_s);
}

void tst_WebBrowser::missingModuleShowsAMessageInstead()
{
    QTemporaryDir empty;
    WebBrowser::setEngineModulePath(empty.filePath(u"brisko-browser"_s));
    WebBrowser browser;
    QSignalSpy address(&browser, &WebBrowser::addressChanged);
    browser.navigate(u"/web/a.htm"_s);
    WebBrowser::setEngineModulePath({});
    QVERIFY(!browser.engineStarted());
    QVERIFY2(browser.failureMessage().startsWith(u"Stránku nelze zobrazit"_s),
             qPrintable(browser.failureMessage()));
    QCOMPARE(browser.address(), QUrl::fromLocalFile(u"/web/a.htm"_s));
    QCOMPARE(address.count(), 1);
    // The other operations do nothing rather than fail.
    browser.back();
    browser.forward();
    browser.stop();
    browser.refresh();
    bool answered = false;
    browser.readPageText([&](const QString &text) { answered = text.isEmpty(); });
    QVERIFY(answered);
}

void tst_WebBrowser::rightClickMenuIsCzech()
{
    const QString first = m_dir.filePath(u"menu1.htm"_s);
    const QString second = m_dir.filePath(u"menu2.htm"_s);
    QCOMPARE(writeTextFile(first, u"<P>první</P>"_s), QString());
    QCOMPARE(writeTextFile(second, u"<P>druhá</P>"_s), QString());
    WebBrowser browser;
    browser.resize(400, 300);
    browser.show();
    QCOMPARE(shownText(browser, first), u"první"_s);
    QCOMPARE(shownText(browser, second), u"druhá"_s);

    // The view is a window of its own, shown inside the browser.
    QWidget *view = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->inherits("QWebEngineView"))
            view = w;
    }
    QVERIFY(view);
    // The engine takes the click and asks the view for its menu when it has hit-tested it.
    QWidget *surface = view->focusProxy() ? view->focusProxy() : view;
    QMenu *menu = nullptr;
    for (int attempt = 0; attempt < 20 && !menu; ++attempt) {
        QTest::mousePress(surface, Qt::RightButton, {}, QPoint(20, 20));
        QTest::mouseRelease(surface, Qt::RightButton, {}, QPoint(20, 20));
        (void)QTest::qWaitFor([&] { return (menu = view->findChild<QMenu *>(u"previewContextMenu"_s)) != nullptr; }, 1000);
    }
    QVERIFY(menu);
    QStringList items;
    QStringList enabled;
    for (QAction *a : menu->actions()) {
        if (a->isSeparator())
            continue;
        items << a->text();
        if (a->isEnabled())
            enabled << a->text();
    }
    QCOMPARE(items, (QStringList{u"Kopírovat"_s, u"Vybrat vše"_s, u"Zpět"_s, u"Vpřed"_s, u"Obnovit"_s}));
    // Nothing selected, one page back to go to and none forward.
    QCOMPARE(enabled, (QStringList{u"Vybrat vše"_s, u"Zpět"_s, u"Obnovit"_s}));
    menu->close();
}

void tst_WebBrowser::windowsAroundTheViewStayAsTheyWere()
{
    // The view draws with OpenGL; on X11 the window it first showed in was destroyed and
    // made anew with an OpenGL surface (a blink, a window manager losing it, a modal dialog
    // no longer modal). Both a main window and a modal dialog keep theirs.
    const QString path = m_dir.filePath(u"stay.htm"_s);
    QCOMPARE(writeTextFile(path, u"<P>zůstává</P>"_s), QString());
    QWidget main;
    main.resize(500, 400);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QDialog dialog(&main);
    auto *layout = new QVBoxLayout(&dialog);
    auto *browser = new WebBrowser(&dialog);
    layout->addWidget(browser);
    dialog.resize(400, 300);
    dialog.setModal(true);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QPointer<QWindow> mainWindow = main.windowHandle();
    const QPointer<QWindow> dialogWindow = dialog.windowHandle();
    const WId mainId = main.winId();
    const WId dialogId = dialog.winId();

    QCOMPARE(shownText(*browser, path), u"zůstává"_s);
    QVERIFY(mainWindow && dialogWindow);
    QCOMPARE(main.winId(), mainId);
    QCOMPARE(dialog.winId(), dialogId);
    QCOMPARE(QApplication::activeModalWidget(), &dialog);
    QCOMPARE(dialog.windowHandle()->modality(), Qt::ApplicationModal);
    // A browser in the main window too, once the dialog is gone.
    dialog.close();
    auto *second = new WebBrowser(&main);
    second->resize(300, 200);
    second->show();
    QCOMPARE(shownText(*second, path), u"zůstává"_s);
    QCOMPARE(main.winId(), mainId);
    QVERIFY(mainWindow);
}

void tst_WebBrowser::pageFillsThePreviewEachTimeItIsShown()
{
    // What the X server shows, read back from the screen: only a real display has it.
    if (QGuiApplication::platformName() != u"xcb"_s)
        QSKIP("needs an X server (the Xvfb run of this test)");
    const QString path = m_dir.filePath(u"red.htm"_s);
    QCOMPARE(writeTextFile(path, u"<BODY BGCOLOR=\"#FF0000\"><P>červená</P></BODY>"_s), QString());
    QWidget main;
    auto *layout = new QVBoxLayout(&main);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *browser = new WebBrowser(&main);
    layout->addWidget(browser);
    main.resize(900, 700);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QCOMPARE(shownText(*browser, path), u"červená"_s);

    // The view is a window of its own inside the browser; the page must be drawn there,
    // over the whole browser, not in a window nobody sees or in a corner of it.
    const auto redAt = [&](QPoint p) {
        const QPoint global = browser->mapToGlobal(p);
        const QImage shot = main.screen()->grabWindow(0, global.x(), global.y(), 1, 1).toImage();
        return !shot.isNull() && shot.pixelColor(0, 0) == QColor(Qt::red);
    };
    const QPoint nearEnd(browser->width() - 40, browser->height() - 40);
    QTRY_VERIFY_WITH_TIMEOUT(redAt(QPoint(40, 40)) && redAt(nearEnd), 10000);

    // Hidden and shown again, as when the user goes back to the document and to the
    // preview once more: the page covers all of it again.
    browser->hide();
    QCoreApplication::processEvents();
    browser->show();
    QTRY_VERIFY_WITH_TIMEOUT(redAt(QPoint(40, 40)) && redAt(nearEnd), 10000);
}

// The "Nápověda" tab shows the short help in the side panel and opens the long one in the
// preview window: two views made at once. The tab's view stayed blank until the user left
// the tab and came back.
void tst_WebBrowser::helpTabDrawsItsPageTheFirstTime()
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        QSKIP("needs an X server (the Xvfb run of this test)");
    ScriptedInteraction user;
    WorkspaceFixture fx(0);
    // The side panel alone, its help page opening the long help as the frame has it do.
    SidePanel side;
    QPointer<TPreview> preview;
    connect(&side, &SidePanel::helpPageOpened, &side, [&](const QString &path) {
        preview = ShowHelpInPreviewWindow(fx.workspace(), path);
    });
    side.resize(300, 600);
    side.show();
    QVERIFY(QTest::qWaitForWindowExposed(&side));
    side.notebook()->setCurrentIndex(2);
    QVERIFY(preview); // the second view is made at the same time
    // The heading of the short help is drawn in the help's blue.
    const auto headingDrawn = [&] {
        WebBrowser &browser = *side.helpBrowser();
        const QPoint origin = browser.mapToGlobal(QPoint(0, 0));
        const QImage shot = side.screen()
                                ->grabWindow(0, origin.x(), origin.y(), browser.width(),
                                             std::min(browser.height(), 80))
                                .toImage();
        const QColor blue(0x00, 0x40, 0x80);
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                if (qAbs(c.red() - blue.red()) + qAbs(c.green() - blue.green())
                        + qAbs(c.blue() - blue.blue()) < 40)
                    return true;
            }
        }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(headingDrawn(), 20000);
    delete preview.data();
}

BRISKO_TEST_MAIN(tst_WebBrowser)
#include "tst_webbrowser.moc"
