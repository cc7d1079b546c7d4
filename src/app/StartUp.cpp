#include "StartUp.h"

#include "interaction/Interaction.h"
#include "app/StartUpWindow.h"
#include "app/TForm1.h"
#include "app/CommandBindings.h"
#include "app/DesktopIntegration.h"
#include "app/InstallCheck.h"
#include "app/RecoveryBinding.h"
#include "app/Session.h"
#include "markup/SysUt.h"

#include <QAction>
#include <QApplication>
#include <QIconEngine>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>
#include <QTimer>
#include <QToolTip>

#include <array>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// An icon that is read from its files the first time it is drawn. The menu bar and every
// toolbar make a button for what does not fit, with the style's icon, and reading that icon
// loads every image plugin (GIF, ICO, JPEG with its library) to ask which reads the file: at
// every start, for buttons that a maximised window rarely shows.
class DeferredIconEngine : public QIconEngine
{
public:
    explicit DeferredIconEngine(std::function<QIcon()> make) : m_make(std::move(make)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QIconEngine *clone() const override { return new DeferredIconEngine(*this); }
    QString key() const override { return u"DeferredIconEngine"_s; }

private:
    const QIcon &icon()
    {
        if (m_make) {
            m_icon = m_make();
            m_make = nullptr;
        }
        return m_icon;
    }

    std::function<QIcon()> m_make;
    QIcon m_icon;
};

// Hints appear after 100 ms.
class HintStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *data) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 100;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }

    // Every document window's menu asks for the title bar's icons, and the common style
    // makes each anew from its image files for every window. They never change here.
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option,
                       const QWidget *widget) const override
    {
        if (icon == SP_ToolBarHorizontalExtensionButton
            || icon == SP_ToolBarVerticalExtensionButton) {
            // The icon depends only on the direction of the text, which is kept for later.
            QStyleOption later;
            later.direction = option ? option->direction : QGuiApplication::layoutDirection();
            QPointer<const QProxyStyle> style(this);
            QPointer<const QWidget> guard(widget);
            return QIcon(new DeferredIconEngine([style, icon, later, guard] {
                return style ? style->QProxyStyle::standardIcon(icon, &later, guard.data())
                             : QIcon();
            }));
        }
        if (option || icon < SP_TitleBarMenuButton || icon > SP_TitleBarContextHelpButton)
            return QProxyStyle::standardIcon(icon, option, widget);
        QIcon &kept = m_titleBarIcons[size_t(icon - SP_TitleBarMenuButton)];
        if (kept.isNull())
            kept = QProxyStyle::standardIcon(icon, option, widget);
        return kept;
    }

private:
    mutable std::array<QIcon, SP_TitleBarContextHelpButton - SP_TitleBarMenuButton + 1>
        m_titleBarIcons;
};

} // namespace

QStyle *newProgramStyle()
{
    return new HintStyle;
}

int runProgram(QApplication &app, bool quitWhenStarted, bool recoveryOnly)
{
    setUpApplication(app);
    app.setStyle(newProgramStyle());
    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    tips.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(tips);

    ShowWaitWindow();
    bool carryOn = true;
    if (browserComponentIsRecent(browserComponentVersion())) {
        SetWaitText(u"IE 4.0 nalezen!"_s);
    } else {
        const QString warning =
            u"Na vašem počítače nebyl nalezen Microsoft Internet Explorer 4.0 nebo lepší, "
            u"nainstalujte si jej pro plnou funkčnost programu! Pokud jej máte opravdu "
            u"nainstalován a tento program jej nezjistil, pak zkuste pokračovat.\r\n\r\n"
            u"Chcete pokračovat?"_s;
        carryOn = ui().ask(warning, Interaction::Buttons::YesNo) == Interaction::Answer::Yes;
    }
    SetWaitText(u"Zavádí se program...."_s);
    TForm1 window;
    installCommands(window);
    window.mainMenu().releaseTakenShortcuts();
    SetWaitText(u"Hotovo!"_s);
    CloseWaitWindow();
    if (!carryOn)
        return 0;
    RecoveryBinding recovery(window.workspace());
    window.showAsStored();
    if (window.settings().Tipky)
        window.showTips();
    window.rebuildUserCommandMenu();
    InstallCheck installCheck;
    if (quitWhenStarted) {
        QTimer::singleShot(0, &app, [&installCheck] {
            installCheck.run([](int exitCode) { QCoreApplication::exit(exitCode); });
        });
    } else {
        QTimer::singleShot(0, &window, [&recovery, &window, recoveryOnly] {
            if (recoveryOnly)
                (void)recovery.offer();
            else
                startWithoutFiles(window.workspace(), recovery, window.settingsFile());
        });
        // Once the window is on the screen and drawn, not before.
        QTimer::singleShot(250, &window, &TForm1::prepareForFirstDocument);
    }
    return app.exec();
}
