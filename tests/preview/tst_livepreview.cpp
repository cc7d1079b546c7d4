#include "app/SiteTools.h"
#include "editor/HtmlDocument.h"
#include "preview/LivePreview.h"
#include "preview/WebBrowser.h"
#include "support/WorkspaceFixture.h"
#include "support/TestMain.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// The text the browser shows once it has it; polls, as the page's own scripts may still be
// adding to it when the load is reported.
QString livePageText(WebBrowser &browser)
{
    QString text;
    bool done = false;
    browser.readPageText([&](const QString &t) {
        text = t;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        return u"<no text>"_s;
    return text;
}

bool liveShows(WebBrowser &browser, const QString &wanted)
{
    return QTest::qWaitFor([&] { return livePageText(browser).contains(wanted); }, 30000);
}

} // namespace

class tst_LivePreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheUnsavedTextWithItsRelativePictures_data();
    void showsTheUnsavedTextWithItsRelativePictures();
    void showsChangesOnceTypingPauses();
    void menuItemShowsTheActivePageBesideTheSource();
    void largePageIsShownFromAPrivateCopy();
    void caretsElementComesIntoViewWhenAsked_data();
    void caretsElementComesIntoViewWhenAsked();

private:
    QTemporaryDir m_dir;
};

void tst_LivePreview::showsTheUnsavedTextWithItsRelativePictures_data()
{
    QTest::addColumn<QString>("picture"); // as the page names it, relative to its folder
    QTest::newRow("beside the page") << u"pic.png"_s;
    QTest::newRow("in a sub-folder") << u"obrázky/pic.png"_s;
    QTest::newRow("in the parent folder") << u"../pic.png"_s;
}

void tst_LivePreview::showsTheUnsavedTextWithItsRelativePictures()
{
    QFETCH(QString, picture);
    const QString folder = m_dir.filePath(u"site/pages"_s);
    QDir().mkpath(folder + u"/obrázky"_s);
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(QDir(folder).filePath(picture)));
    const QString path = folder + u"/index.html"_s;
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::WriteOnly));
    saved.write("<p>na disku</p>");
    saved.close();

    LivePreview preview;
    const QString text = u"<p>unsaved text – kůň</p>\r\n<img src=\"%1\" "
                         u"onload=\"document.body.append('picture ' + this.naturalWidth)\" "
                         u"onerror=\"document.body.append('picture missing')\">"_s.arg(picture);
    preview.setSource([&] { return LivePreview::Page{text, path}; });
    preview.resize(400, 300);
    preview.show();
    preview.showNow();
    QVERIFY(liveShows(*preview.browser(), u"picture"_s));
    const QString shown = livePageText(*preview.browser());
    QVERIFY2(shown.contains(u"unsaved text – kůň"_s), qPrintable(shown));
    QVERIFY2(shown.contains(u"picture 4"_s), qPrintable(shown));
    QVERIFY(!shown.contains(u"na disku"_s));
    QCOMPARE(QFile(path).size(), qint64(15)); // nothing was written over the user's file
}

void tst_LivePreview::showsChangesOnceTypingPauses()
{
    LivePreview preview;
    QString text = u"<p>first</p>"_s;
    preview.setSource([&] { return LivePreview::Page{text, m_dir.filePath(u"a.html"_s)}; });
    preview.show();
    preview.showNow();
    QVERIFY(liveShows(*preview.browser(), u"first"_s));

    QSignalSpy updated(&preview, &LivePreview::updated);
    for (const QString &typed : {u"<p>s"_s, u"<p>se"_s, u"<p>second</p>"_s}) {
        text = typed;
        preview.sourceChanged();
        // A change only restarts the wait: nothing is handed to the browser on a keystroke.
        QCOMPARE(updated.count(), 0);
        QVERIFY(preview.updatePending());
    }
    QVERIFY(updated.wait(10000));
    QCOMPARE(updated.count(), 1);
    QVERIFY(liveShows(*preview.browser(), u"second"_s));
}

void tst_LivePreview::menuItemShowsTheActivePageBesideTheSource()
{
    // The frame's column: the document area with the panels under it.
    WorkspaceFixture fx(1);
    QSplitter column(Qt::Vertical);
    auto *documentArea = new QWidget;
    column.addWidget(documentArea);
    QAction toggle;
    toggle.setCheckable(true);
    auto *tools = new LivePreviewTools(fx.workspace(), *documentArea, column, toggle, fx.commands());
    column.resize(900, 600);
    column.show();
    LivePreview *preview = tools->preview();
    QVERIFY(preview->isHidden());
    QVERIFY(!preview->browser()->engineStarted()); // nothing of the engine before it is asked for

    QVERIFY(fx.run(Cmd::ToolLivePreview));
    QVERIFY(toggle.isChecked());
    QVERIFY(!preview->isHidden());
    QCOMPARE(tools->splitter()->indexOf(preview), 1); // right of the source by default

    QSignalSpy updated(preview, &LivePreview::updated);
    fx.buffer().SetSelStart(0);
    fx.buffer().ReplaceSelection(u"<h1>napsáno, neuloženo</h1>"_s);
    QVERIFY(updated.wait(10000));
    QVERIFY(liveShows(*preview->browser(), u"napsáno, neuloženo"_s));

    // The side is the user's choice and stays in the settings.
    preview->SideButton->click();
    QVERIFY(fx.settings().LivePreviewLeft);
    QCOMPARE(tools->splitter()->indexOf(preview), 0);

    QVERIFY(fx.run(Cmd::ToolLivePreview));
    QVERIFY(!toggle.isChecked());
    QVERIFY(preview->isHidden());
}

void tst_LivePreview::largePageIsShownFromAPrivateCopy()
{
    // Over two megabytes in UTF-8 (the euro sign takes three bytes), a relative picture, a
    // windows-1250 charset that must not garble the copy, and a caret to follow.
    const QString folder = m_dir.filePath(u"big"_s);
    QDir().mkpath(folder);
    QImage image(6, 6, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QVERIFY(image.save(folder + u"/pic.png"_s));
    QString text = u"<!DOCTYPE html><html><head><meta charset=\"windows-1250\"></head><body>\r\n"
                   u"<img src=\"pic.png\" onload=\"document.body.append('picture ' + this.naturalWidth)\">\r\n"
                   u"<p>kůň "_s;
    text += QString(800000, u'€');
    text += u"</p><p>konec</p></body></html>"_s;
    const QString path = folder + u"/index.html"_s;

    LivePreview preview;
    preview.setFollowCaret(true);
    preview.setSource([&] { return LivePreview::Page{text, path, text.indexOf(u"konec")}; });
    preview.resize(400, 300);
    preview.show();
    preview.showNow();
    QVERIFY(liveShows(*preview.browser(), u"picture 6"_s));
    const QString shown = livePageText(*preview.browser());
    QVERIFY(shown.contains(u"kůň €€€"_s));
    QVERIFY(shown.contains(u"konec"_s));
    QVERIFY(preview.findChild<QLabel *>(u"Note"_s)->isHidden());
    // Nothing was written beside the user's page.
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{u"pic.png"_s});
    QTRY_VERIFY_WITH_TIMEOUT(preview.browser()->scrollPosition().y() > 100, 10000);
}

void tst_LivePreview::caretsElementComesIntoViewWhenAsked_data()
{
    QTest::addColumn<bool>("follow");
    QTest::newRow("following the caret") << true;
    QTest::newRow("not following") << false;
}

void tst_LivePreview::caretsElementComesIntoViewWhenAsked()
{
    QFETCH(bool, follow);
    QString text = u"<html><body>\r\n"_s;
    for (int i = 0; i < 200; ++i)
        text += u"<p>odstavec %1</p>\r\n"_s.arg(i);
    text += u"<p>konec</p></body></html>"_s;
    const qsizetype caret = text.indexOf(u"konec");

    LivePreview preview;
    preview.setFollowCaret(follow);
    preview.setSource([&] { return LivePreview::Page{text, m_dir.filePath(u"long.html"_s), caret}; });
    preview.resize(400, 300);
    preview.show();
    preview.showNow();
    QVERIFY(liveShows(*preview.browser(), u"konec"_s));
    if (follow) {
        QTRY_VERIFY_WITH_TIMEOUT(preview.browser()->scrollPosition().y() > 1000, 10000);
    } else {
        // Shown anew at the same address, the page stays where it was: at its top.
        preview.showNow();
        QVERIFY(liveShows(*preview.browser(), u"konec"_s));
        QCOMPARE(preview.browser()->scrollPosition().y(), 0.0);
    }
    // The mark is an empty element: the page's text is the same.
    QVERIFY(!livePageText(*preview.browser()).contains(u"brisko"_s));
}

BRISKO_TEST_MAIN(tst_LivePreview)
#include "tst_livepreview.moc"
