#include "app/LogoAnimation.h"
#include "commands/InsertCommands.h"
#include "editor/EditorBuffer.h"
#include "markup/SysUt.h"
#include "support/RecordingShell.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

#include <QImage>
#include <QPainter>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// What the area shows, over a background that the logo's transparent corners let through.
QImage rendered(QWidget &area)
{
    QImage image(area.size(), QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    area.render(&image, {}, {}, QWidget::RenderFlags());
    return image;
}

} // namespace

class tst_LogoAnimation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void frameSequenceOver45Ticks();
    void drawsShownFrameAtTopLeft();
    void missingFrameDrawsNothing();
    void shiftClickInsertsHomePageLink();
    void plainClickOpensHomePage();
};

void tst_LogoAnimation::frameSequenceOver45Ticks()
{
    WorkspaceFixture fx;
    QWidget area;
    LogoAnimation logo(fx.workspace(), &area);
    QStringList drawn;
    for (int i = 0; i < 45; ++i) {
        logo.tick();
        drawn.append(LogoAnimation::frameName(logo.shownIndex()));
    }
    QStringList expected;
    for (int k = 29; k >= 1; --k)
        expected.append(u"W"_s + QString::number(k));
    expected.append(u"W30"_s);
    for (int k = 29; k >= 15; --k)
        expected.append(u"W"_s + QString::number(k));
    QCOMPARE(drawn, expected);
    QCOMPARE(logo.counter(), 16);
}

void tst_LogoAnimation::drawsShownFrameAtTopLeft()
{
    WorkspaceFixture fx;
    QWidget area;
    area.resize(40, 40);
    LogoAnimation logo(fx.workspace(), &area);
    logo.loadFrames();
    const QImage before = rendered(area);
    logo.tick();
    QImage expected(40, 40, QImage::Format_ARGB32);
    expected.fill(Qt::magenta);
    QPainter(&expected).drawPixmap(0, 0, logo.frame(1));
    QVERIFY(rendered(area) != before);
    QCOMPARE(rendered(area), expected);
}

void tst_LogoAnimation::missingFrameDrawsNothing()
{
    WorkspaceFixture fx;
    QWidget area;
    area.resize(40, 40);
    LogoAnimation logo(fx.workspace(), &area);
    logo.loadFrames(u":/no-such-frames/"_s);
    const QImage before = rendered(area);
    logo.tick();
    QCOMPARE(rendered(area), before);
}

void tst_LogoAnimation::shiftClickInsertsHomePageLink()
{
    WorkspaceFixture fx;
    RecordingShell shell;
    QWidget area;
    area.resize(40, 40);
    new LogoAnimation(fx.workspace(), &area);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    QTest::mouseClick(&area, Qt::LeftButton, Qt::ShiftModifier);
    const QString text = fx.buffer().GetText();
    QVERIFY2(text.startsWith(u"<A HREF=\""_s + QString::fromUtf16(HomePageAddress) + u"\" ><IMG SRC=\""_s),
             qPrintable(text));
    QVERIFY(shell.opened.isEmpty());
}

void tst_LogoAnimation::plainClickOpensHomePage()
{
    WorkspaceFixture fx;
    RecordingShell shell;
    QWidget area;
    area.resize(40, 40);
    new LogoAnimation(fx.workspace(), &area);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    QTest::mouseClick(&area, Qt::LeftButton);
    QCOMPARE(shell.opened, QList<QUrl>{QUrl(QString::fromUtf16(HomePageAddress))});
    QCOMPARE(fx.buffer().GetText(), QString());
}

BRISKO_TEST_MAIN(tst_LogoAnimation)
#include "tst_logoanimation.moc"
