#pragma once

#include <QWidget>

class QPushButton;
class SettingsModel;

// The offer of a first start: a bar above the document area asking once whether new pages
// are written in HTML5 and UTF-8. No modal box: the user may start typing at once, and the
// bar takes no focus from the document. It goes after either answer, or once a page has been
// saved without one (the user has chosen by working on).
class MarkupStyleBar : public QWidget
{
    Q_OBJECT

public:
    MarkupStyleBar(SettingsModel &settings, QWidget *parent);

    QPushButton *yesButton() const { return m_yes; }
    QPushButton *noButton() const { return m_no; }

    // Hides the bar for good; the settings stay as they are.
    void dismiss();

Q_SIGNALS:
    // The user answered; the settings hold the answer.
    void answered();

private:
    void answer(bool html5);

    SettingsModel &m_settings;
    QPushButton *m_yes = nullptr;
    QPushButton *m_no = nullptr;
};
