#include "markup/TextFile.h"
#include "preview/WebBrowser.h"
#include "support/TestMain.h"

#include <QFile>
#include <QMenu>
#include <QSignalSpy>
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

    QWidget *view = nullptr;
    for (QWidget *w : browser.findChildren<QWidget *>()) {
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

BRISKO_TEST_MAIN(tst_WebBrowser)
#include "tst_webbrowser.moc"
