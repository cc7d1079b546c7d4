#pragma once

#include <QDialog>

#include <functional>

// A dialog whose result the caller checks before the dialog closes: a result the caller
// cannot take (text that would not fit in the document) is refused while the dialog is
// still open, so nothing typed into it is lost.
class CheckedDialog : public QDialog
{
public:
    using QDialog::QDialog;

    // Called when the user confirms; false keeps the dialog open (the check has told the
    // user why).
    std::function<bool()> acceptCheck;

    void done(int result) override
    {
        if (result == QDialog::Accepted && acceptCheck && !acceptCheck())
            return;
        QDialog::done(result);
    }
};
