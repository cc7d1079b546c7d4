#include "StartUp.h"

#include "interaction/Interaction.h"
#include "app/SmallWindows.h"
#include "app/TForm1.h"
#include "app/CommandBindings.h"
#include "markup/SysUt.h"

#include <QAction>
#include <QApplication>
#include <QProxyStyle>
#include <QToolTip>

using namespace Qt::StringLiterals;

namespace {

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
};

} // namespace

int runProgram(QApplication &app)
{
    app.setStyle(new HintStyle);
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
    QApplication::setApplicationDisplayName(u"Brisko HTML Editor"_s);
    TForm1 window;
    installCommands(window);
    SetWaitText(u"Hotovo!"_s);
    CloseWaitWindow();
    if (!carryOn)
        return 0;
    window.showAsStored();
    if (window.settings().Tipky)
        window.showTips();
    window.rebuildUserCommandMenu();
    return app.exec();
}
