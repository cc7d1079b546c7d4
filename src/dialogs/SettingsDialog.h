#pragma once

#include "settings/TSettings.h"

#include <QDialog>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QToolButton;

namespace settingsdialog {
class ColorPicker;
}

// The dialog "Nastavení": edits a copy of the caller's settings, its controls bound to the
// fields by declaration, and gives the copy back; the caller applies it. "Původní
// nastavení" restores the defaults in the copy, and they stay even when the dialog is
// cancelled afterwards.
class TSettingsForm : public QDialog
{
    Q_OBJECT

public:
    explicit TSettingsForm(const TSettings &settings, QWidget *parent = nullptr);

    // True once "Původní nastavení" was pressed.
    bool defaultsRestored() const { return m_restored.has_value(); }
    // The settings the dialog leaves: after "Ok" the edited copy; after "Zpět" the defaults
    // as "Původní nastavení" restored them, or nothing when it was not pressed.
    std::optional<TSettings> chosenSettings() const;

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

    TSettings m_settings;                 // the copy the controls edit
    std::optional<TSettings> m_restored; // the defaults, once the button restored them

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
    QCheckBox *ReopenSessionCheck = nullptr;
    QCheckBox *BackupCheck = nullptr;
    QLineEdit *BackupPripEdit = nullptr;
    std::array<QRadioButton *, 3> FitipRadio{};
    QComboBox *MarkupStyleCombo = nullptr;

    // "Barvy": TEXT, TAG, LINK, IMAGE, STYLE, SCRIPT, then the colours of the code
    std::array<settingsdialog::ColorPicker *, 14> m_colors{};
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


