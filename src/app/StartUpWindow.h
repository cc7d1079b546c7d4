#pragma once

#include <QWidget>
#include <QString>

class QLabel;

// The borderless start-up window with its status line.
class TForm43 : public QWidget
{
    Q_OBJECT

public:
    TForm43();
    QLabel *WaitLabel = nullptr;
};

void ShowWaitWindow();
void SetWaitText(const QString &text);
void CloseWaitWindow();
TForm43 *waitWindow();

// The start-up check of the browser component: a whole major version above 3 passes.
bool browserComponentIsRecent(const QString &version);
