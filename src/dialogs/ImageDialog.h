#pragma once

#include "dialogs/ElementDialog.h"
#include "dialogs/RowTable.h"
#include "markup/ImageMarkup.h"

#include <QUrl>

#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;

// Image dialog "Vložit obrázek": the IMG tag's fields, the picture measured when a file
// is chosen, a small preview of it, and the image maps of the document to pick from.
class TImageForm : public FieldsDialog<ImageFields>
{
    Q_OBJECT

public:
    TImageForm(DocumentContext context, QWidget *parent = nullptr);


    // Puts a browser into the preview panel; navigate shows an address in it. Without
    // one the panel shows the picture itself.
    void setPreviewPane(QWidget *browser, std::function<void(const QUrl &)> navigate);
    // The address the preview was last asked to show (empty when none).
    QUrl previewedAddress() const { return m_previewed; }

    QLineEdit *Edit1;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QComboBox *ComboBox1;
    QSpinBox *SpinEdit2;
    QCheckBox *CheckBox2;
    QSpinBox *SpinEdit3;
    QCheckBox *CheckBox5;
    QSpinBox *SpinEdit1;
    QCheckBox *CheckBox3;
    QSpinBox *SpinEdit4;
    QCheckBox *CheckBox6;
    QSpinBox *SpinEdit5;
    QCheckBox *CheckBox4;
    QComboBox *ComboBox2;
    QCheckBox *CheckBox1;
    QLineEdit *Edit2;
    QCheckBox *CheckBox7;
    QFrame *WebBrowser1;
    // The set of files for each screen, and how the picture loads and shows.
    RowTable Srcset;
    QLineEdit *SizesEdit;
    QCheckBox *LazyBox;
    QComboBox *DecodingCombo;
    QCheckBox *FigureBox;
    QLineEdit *CaptionEdit;

    // F7 edits the IMG tag where it stands; a figure around it is not part of that.
    void setEditingInPlace();
    // Adds a chosen picture to the set with its measured width ("480w"); a picture that
    // cannot be measured gets no descriptor for the user to fill in.
    void addSrcsetFile();

    // Picks a picture file: its reference goes into "Zdroj", the picture is previewed
    // and measured. Does nothing without a document or when the file dialog is cancelled.
    void SpeedButton1Click();
    void SpeedButton2Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void preview(const QUrl &address);
    QUrl addressOf(const QString &source) const;
    void fillMapNames();

    DocumentContext m_context;
    QLabel *m_picture = nullptr;
    std::function<void(const QUrl &)> m_navigate;
    QUrl m_previewed;
};

// The filter of every picture file dialog.
extern const QString ImageFilter;
