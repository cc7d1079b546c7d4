#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QToolButton;
struct TSettings;

namespace settingsdialog {
class ColorPicker;
}

// The dialog "Nastavení": edits the caller's settings record. Only "Ok" and
// "Původní nastavení" change the record; "Zpět" leaves it as it was at that moment, so the
// defaults, once restored, stay even when the dialog is cancelled afterwards. The dialog
// never touches the main window: the caller applies the settings.
class TSettingsForm : public QDialog
{
    Q_OBJECT

public:
    explicit TSettingsForm(TSettings &settings, QWidget *parent = nullptr);

    // True once "Původní nastavení" was pressed: the record then holds the defaults even
    // if the dialog ends with "Zpět".
    bool defaultsRestored() const { return m_defaultsRestored; }

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *createGeneralPage();
    QWidget *createColorsPage();
    QWidget *createEditorPage();
    QWidget *createBrowsingPage();
    QCheckBox *addCheck(const char *name, const QString &text);

    void FormShow();
    void storeControls();
    void DefaultsButtonClick();
    void BrowseButtonClick();

    TSettings &m_settings;
    bool m_defaultsRestored = false;

    QTabWidget *PageControl1 = nullptr;
    QWidget *m_page = nullptr; // the page addCheck() adds to

    // "Obecné"
    QCheckBox *SlashCheck = nullptr;
    QCheckBox *RelPaCheck = nullptr;
    QCheckBox *InsideTagCheck = nullptr;
    QCheckBox *MetaCzCheck = nullptr;
    QCheckBox *GenVysCheck = nullptr;
    QCheckBox *ColorizeCheck = nullptr;
    QCheckBox *FindDirCheck = nullptr;
    QCheckBox *HidePrewCheck = nullptr;
    QCheckBox *UlpreCheck = nullptr;
    QCheckBox *UpperCaseFilesCheck = nullptr;
    QCheckBox *BackupCheck = nullptr;
    QLineEdit *BackupPripEdit = nullptr;
    std::array<QRadioButton *, 3> FitipRadio{};

    // "Barvy": TEXT, TAG, LINK, IMAGE, STYLE, SCRIPT
    std::array<settingsdialog::ColorPicker *, 6> m_colors{};
    QCheckBox *OneColorCheck = nullptr;

    // "Editor"
    QComboBox *FontCombo = nullptr;
    QSpinBox *SizeSpin = nullptr;
    QSpinBox *TabSpin = nullptr;
    QCheckBox *AltEnterCheck = nullptr;
    QLineEdit *AltEnterEdit = nullptr;
    QCheckBox *LineNumbersCheck = nullptr;
    QCheckBox *TagPairsCheck = nullptr;
    QCheckBox *CloseTagsCheck = nullptr;
    QCheckBox *RenamePairsCheck = nullptr;
    QCheckBox *CompletionCheck = nullptr;

    // "Prohlížení "
    QLineEdit *ExtBrowEdit = nullptr;
    QToolButton *BrowseButton = nullptr;
    QLabel *BrowseHint = nullptr;
    QCheckBox *IBrowCheck = nullptr;
    QCheckBox *UseDDECheck = nullptr;

    QPushButton *CancelButton = nullptr;
    QPushButton *DefaultsButton = nullptr;
    QPushButton *OkButton = nullptr;
};


