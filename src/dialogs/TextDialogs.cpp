#include "TextDialogs.h"

#include "dialogs/ColorCombo.h"
#include "dialogs/FieldWidgets.h"
#include "markup/SysUt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include <limits>

using namespace Qt::StringLiterals;

TMyFontDialog::TMyFontDialog(QWidget *parent)
    : FieldsDialog(u"Písmo.."_s, &composeFont, parent)
{
    ComboBox1 = editableCombo(u"ComboBox1"_s, QFontDatabase::families(), this);
    ComboBox2 = editableCombo(u"ComboBox2"_s, {QString(), u"+"_s, u"-"_s}, this);
    ComboBox2->setToolTip(u"Jak změnit velikost"_s);
    ComboBox2->setMinimumWidth(60);
    QStringList sizes{QString()};
    for (int i = 1; i <= 7; ++i)
        sizes << QString::number(i);
    ComboBox3 = editableCombo(u"ComboBox3"_s, sizes, this);
    ComboBox3->setToolTip(u"Velikost"_s);
    Panel1 = namedWidget(new ColorCombo(this), u"Panel1"_s);
    CheckBox1 = switchBox(Panel1, u"CheckBox1"_s, this);

    auto *size = new QHBoxLayout;
    size->addWidget(ComboBox2);
    size->addWidget(ComboBox3, 1);
    auto *color = new QHBoxLayout;
    color->addWidget(Panel1);
    color->addWidget(CheckBox1);
    color->addStretch();
    addRow(u"Písmo:"_s, ComboBox1);
    addRow(u"Velikost"_s, size)->setBuddy(ComboBox2);
    addRow(u"Barva"_s, color)->setBuddy(Panel1);
    setMinimumWidth(360);
    bind({{&Fields::face, "ComboBox1"},
          {&Fields::sizeSign, "ComboBox2"},
          {&Fields::size, "ComboBox3"},
          {&Fields::color, "Panel1", "CheckBox1"}});
}



TForm10::TForm10(QWidget *parent) : ElementDialog(u"Komentář"_s, parent)
{
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    auto *caption = new QLabel(u"Text komentáře"_s, this);
    caption->setBuddy(Memo1);
    addWideRow(caption);
    addWideRow(Memo1);
    setMinimumSize(380, 240);
    Memo1->setFocus();
}

QString TForm10::commentText() const
{
    return normalizeBreaks(Memo1->toPlainText());
}

void TForm10::setCommentText(const QString &text)
{
    QString plain = text;
    plain.replace(u"\r\n"_s, u"\n"_s);
    Memo1->setPlainText(plain);
}

QString TForm10::normalizeBreaks(QString text)
{
    return text.replace(u'\n', u"\r\n"_s);
}

Markup TForm10::composed() const
{
    return {composeComment(commentText()), QString()};
}

TWRKForm2::TWRKForm2(QWidget *parent) : FieldsDialog(u"META"_s, &composeMeta, parent)
{
    // The list is kept as users know it, "refresh" and "language" twice included.
    ComboBox1 = editableCombo(u"ComboBox1"_s,
                              {u"refresh"_s, u"language"_s, u"refresh"_s, u"description"_s,
                               u"language"_s, u"country"_s, u"keywords"_s, u"owner"_s,
                               u"resource-type"_s, u"distribution"_s, u"copyright"_s,
                               u"author"_s, u"robots"_s, u"viewport"_s, u"og:title"_s,
                               u"og:description"_s, u"og:image"_s},
                              this);
    ComboBox2 = editableCombo(u"ComboBox2"_s, {}, this);
    // The viewport's usual content is offered once its name is chosen.
    connect(ComboBox1, &QComboBox::currentTextChanged, this, [this](const QString &name) {
        const QString usual = u"width=device-width, initial-scale=1"_s;
        if (name.compare(u"viewport"_s, Qt::CaseInsensitive) == 0 && ComboBox2->findText(usual) < 0)
            ComboBox2->addItem(usual);
    });
    ComboBox3 = editableCombo(u"ComboBox3"_s, {u"Vary"_s}, this);
    CheckBox1 = namedCheckBox(u"CheckBox1"_s, u"Vložit před hlavičku dokumentu"_s, this);
    addRow(u"NAME"_s, ComboBox1);
    addRow(u"Content"_s, ComboBox2);
    addRow(u"HTTP-EQUIV"_s, ComboBox3);
    addWideRow(CheckBox1);
    setMinimumWidth(360);
    bind({{&Fields::name, "ComboBox1"},
          {&Fields::content, "ComboBox2"},
          {&Fields::httpEquiv, "ComboBox3"},
          {&Fields::beforeHead, "CheckBox1"}});
    ComboBox1->setFocus();
}



TCounterForm::TCounterForm(QWidget *parent)
    : FieldsDialog(u"Vložit počítadlo"_s, &composeCounter, parent)
{
    ComboBox1 = editableCombo(
        u"ComboBox1"_s,
        {u"Calendar"_s, u"ToiletPaper"_s, u"RedBlue"_s, u"Color"_s, u"Color2"_s, u"Domino"_s,
         u"DarkBow"_s, u"DarkLight"_s, u"BayWatch"_s, u"DeliSuper"_s, u"Rainbow"_s,
         u"Rainbow2"_s, u"Rainbow3"_s, u"Banana"_s, u"Dadman"_s, u"SlimLin"_s},
        this);
    ComboBox1->setToolTip(u"Další sady najdete na Homepage počítadla"_s);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(u"Edit1"_s);
    SpinEdit1 = unboundedSpin(u"SpinEdit1"_s, this);
    Button1 = new QPushButton(u"Homepage Počitadla"_s, this);
    Button1->setObjectName(u"Button1"_s);
    Button1->setCursor(Qt::PointingHandCursor);
    Button1->setToolTip(u"Odkaz na domovskou stránkou počítadla"_s);
    Button1->setAutoDefault(false);
    addRow(u"Znaková sada"_s, ComboBox1)
        ->setToolTip(u"Zadejte font, který bude používat vaše počítadlo"_s);
    addRow(u"Identifikátor"_s, Edit1)
        ->setToolTip(u"Identifikátor je typický pro každou stránku s počítadlem"_s);
    addRow(u"Počet cifer"_s, SpinEdit1);
    addWideRow(Button1);
    setMinimumWidth(360);
    ComboBox1->setFocus();
    connect(Button1, &QPushButton::clicked, this, &TCounterForm::Button1Click);
    bind({{&Fields::digitSet, "ComboBox1"},
          {&Fields::identifier, "Edit1"},
          {&Fields::digits, "SpinEdit1"}});
}

void TCounterForm::Button1Click()
{
    ShellOpen(counterHomePage());
}
