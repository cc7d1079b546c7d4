#include "app/Placement.h"
#include "app/TForm1.h"
#include "support/TestMain.h"

#include <QScreen>
#include <QSettings>

using namespace Qt::StringLiterals;

class tst_Placement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placeOnScreens_data();
    void placeOnScreens();
    void normalWindowComesBackWhereItWas();
    void maximisedWindowStaysMaximised();
    void windowOffEveryScreenComesBack();

private:
    // A main window started from a settings file with this placement, shown as stored.
    static std::unique_ptr<TForm1> startWith(const QString &ini, int x, int y, int w, int h,
                                             int state)
    {
        {
            QSettings s(ini, QSettings::IniFormat);
            s.setValue(u"Formelina/X"_s, QString::number(x));
            s.setValue(u"Formelina/Y"_s, QString::number(y));
            s.setValue(u"Formelina/Sirka"_s, QString::number(w));
            s.setValue(u"Formelina/Vyska"_s, QString::number(h));
            s.setValue(u"Formelina/WinState"_s, QString::number(state));
        }
        auto window = std::make_unique<TForm1>(std::make_unique<SettingsStore>(ini));
        window->showAsStored();
        return window;
    }
    static QRect storedRect(const QString &ini)
    {
        QSettings s(ini, QSettings::IniFormat);
        return QRect(s.value(u"Formelina/X"_s).toInt(), s.value(u"Formelina/Y"_s).toInt(),
                     s.value(u"Formelina/Sirka"_s).toInt(), s.value(u"Formelina/Vyska"_s).toInt());
    }
};

void tst_Placement::placeOnScreens_data()
{
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<QRect>("placed");
    const QRect left(0, 0, 1920, 1080);
    const QRect right(1920, 0, 1280, 1024);
    QTest::newRow("inside a screen stays") << QRect(122, 95, 586, 439) << QList{left} << QRect(122, 95, 586, 439);
    QTest::newRow("partly out but reachable stays")
        << QRect(1800, 900, 586, 439) << QList{left} << QRect(1800, 900, 586, 439);
    QTest::newRow("on the second screen stays")
        << QRect(2200, 100, 800, 600) << QList{left, right} << QRect(2200, 100, 800, 600);
    QTest::newRow("second screen removed: back onto the first")
        << QRect(2200, 100, 800, 600) << QList{left} << QRect(1120, 100, 800, 600);
    QTest::newRow("above and left of everything")
        << QRect(-3000, -2000, 400, 300) << QList{left, right} << QRect(0, 0, 400, 300);
    QTest::newRow("below the nearer of two screens")
        << QRect(2500, 1500, 400, 300) << QList{left, right} << QRect(2500, 724, 400, 300);
    QTest::newRow("larger than the screen it lands on shrinks")
        << QRect(5000, 0, 2500, 1400) << QList{left} << QRect(0, 0, 1920, 1080);
    QTest::newRow("only a sliver showing comes back")
        << QRect(1900, 100, 600, 400) << QList{left} << QRect(1320, 100, 600, 400);
}

void tst_Placement::placeOnScreens()
{
    QFETCH(QRect, stored);
    QFETCH(QList<QRect>, screens);
    QFETCH(QRect, placed);
    QCOMPARE(::placeOnScreens(stored, screens), placed);
}

void tst_Placement::normalWindowComesBackWhereItWas()
{
    const QString ini = useFreshConfig();
    const QRect where(140, 60, 500, 400);
    for (int start = 0; start < 3; ++start) {
        auto window = startWith(ini, where.x(), where.y(), where.width(), where.height(), 2);
        QCOMPARE(window->geometry(), where);
        QVERIFY(!window->isMaximized());
        window.reset(); // saves the settings
        // The same rectangle every time: it does not creep by the window frame.
        QCOMPARE(storedRect(ini), where);
        QSettings s(ini, QSettings::IniFormat);
        QCOMPARE(s.value(u"Formelina/WinState"_s).toInt(), 2);
    }
}

void tst_Placement::maximisedWindowStaysMaximised()
{
    const QString ini = useFreshConfig();
    auto window = startWith(ini, 100, 50, 500, 400, 0);
    QVERIFY(window->isMaximized());
    window.reset();
    QSettings s(ini, QSettings::IniFormat);
    QCOMPARE(s.value(u"Formelina/WinState"_s).toInt(), 0);
    // The normal rectangle is kept for the day the user restores the window.
    QCOMPARE(storedRect(ini), QRect(100, 50, 500, 400));
}

void tst_Placement::windowOffEveryScreenComesBack()
{
    const QString ini = useFreshConfig();
    auto window = startWith(ini, 5000, 4000, 500, 400, 2);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(screen.contains(window->geometry()),
             qPrintable(u"%1,%2"_s.arg(window->geometry().x()).arg(window->geometry().y())));
    QCOMPARE(window->size(), QSize(500, 400));
}

BRISKO_TEST_MAIN(tst_Placement)
#include "tst_placement.moc"
