#include "StartUpWindow.h"

#include "interaction/Interaction.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QElapsedTimer>
#include <QPainter>
#include <QWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
std::unique_ptr<TForm43> g_wait;

QPixmap splashPicture()
{
    QPixmap pixmap(364, 220);
    pixmap.fill(QColor(0, 64, 128));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 364, 220);
    g.setColorAt(0, QColor(0, 90, 160));
    g.setColorAt(1, QColor(0, 30, 70));
    p.fillRect(pixmap.rect(), g);
    p.setPen(QColor(255, 210, 80));
    QFont big(u"Sans"_s, 26, QFont::Bold);
    p.setFont(big);
    p.drawText(QRect(0, 50, 364, 50), Qt::AlignCenter, u"<Brisko/>"_s);
    p.setPen(Qt::white);
    p.setFont(QFont(u"Sans"_s, 13));
    p.drawText(QRect(0, 110, 364, 30), Qt::AlignCenter, u"HTML Editor 3.52 final"_s);
    return pixmap;
}
} // namespace

TForm43::TForm43()
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::SplashScreen)
{
    setObjectName(u"TForm43"_s);
    setFixedSize(364, 257);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    auto *picture = new QLabel(this);
    picture->setPixmap(splashPicture());
    layout->addWidget(picture);
    WaitLabel = new QLabel(u"Start"_s, this);
    WaitLabel->setObjectName(u"WaitLabel"_s);
    WaitLabel->setAlignment(Qt::AlignCenter);
    layout->addWidget(WaitLabel);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void ShowWaitWindow()
{
    if (g_wait)
        return;
    g_wait = std::make_unique<TForm43>();
    g_wait->show();
    // The window manager maps the window in its own time; what is drawn before the window
    // is exposed is lost, and it would stay black until the main window is built.
    QElapsedTimer waited;
    waited.start();
    while (!(g_wait->windowHandle() && g_wait->windowHandle()->isExposed())
           && waited.elapsed() < 1000)
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    g_wait->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void SetWaitText(const QString &text)
{
    if (!g_wait)
        return;
    g_wait->WaitLabel->setText(text);
    g_wait->WaitLabel->repaint();
}

void CloseWaitWindow()
{
    g_wait.reset();
}

TForm43 *waitWindow()
{
    return g_wait.get();
}

bool browserComponentIsRecent(const QString &version)
{
    // The whole major number counts, so 10 and 102 pass as they should.
    const QString major = version.section(u'.', 0, 0).trimmed();
    bool ok = false;
    const int number = major.toInt(&ok);
    return ok && number > 3;
}
