#include "FindDialogs.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextDocument>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The memo fields keep one "\n" per line; the search works on the document's CR LF text.
// The memo's raw text, as its plain text would turn no-break spaces into spaces: a search
// for "v\u00A0domě" found "v domě", and a replacement wrote ordinary spaces.
QString memoText(const QPlainTextEdit *memo)
{
    QString text = memo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    text.replace(u'\n', u"\r\n"_s);
    return text;
}

void setMemoText(QPlainTextEdit *memo, const QString &text)
{
    QString plain = text;
    plain.replace(u"\r\n"_s, u"\n"_s);
    memo->setPlainText(plain);
}

template <typename T>
T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

QPlainTextEdit *newMemo(const QString &name)
{
    auto *memo = named(new QPlainTextEdit, name);
    memo->setTabChangesFocus(true);
    return memo;
}

QHBoxLayout *buttonRow(QDialog *dialog, const QString &okText, QPushButton *&ok,
                       QPushButton *&cancel)
{
    ok = named(new QPushButton(okText), u"OkButton"_s);
    cancel = named(new QPushButton(u"Zpět"_s), u"CancelButton"_s);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

} // namespace

TMyFindDialog::TMyFindDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"TMyFindDialog"_s);
    setWindowTitle(u"Najít"_s);
    Memo1 = newMemo(u"Memo1"_s);
    CheckBox1 = named(new QCheckBox(u"Rozlišovat malá a velká písmena"_s), u"CheckBox1"_s);
    CheckBox2 = named(new QCheckBox(u"Začít hledat od začatku"_s), u"CheckBox2"_s);
    CheckBox2->setChecked(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
    layout->addWidget(CheckBox1);
    layout->addWidget(CheckBox2);
    layout->addLayout(buttonRow(this, u"Hledat"_s, OkButton, CancelButton));
    resize(360, 200);
    Memo1->setFocus();
}

void TMyFindDialog::setRequest(const FindRequest &request)
{
    setMemoText(Memo1, request.text);
    CheckBox1->setChecked(request.matchCase);
    CheckBox2->setChecked(request.fromStart);
}

FindRequest TMyFindDialog::request() const
{
    return {memoText(Memo1), CheckBox1->isChecked(), CheckBox2->isChecked()};
}

TMyReplaceDialog::TMyReplaceDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"TMyReplaceDialog"_s);
    setWindowTitle(u"Zaměnit"_s);
    Memo1 = newMemo(u"Memo1"_s);
    Memo2 = newMemo(u"Memo2"_s);
    auto *splitter = named(new QSplitter(Qt::Vertical), u"Splitter1"_s);
    auto *top = new QWidget;
    auto *topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(new QLabel(u"Co najít:"_s));
    topLayout->addWidget(Memo1);
    auto *bottom = new QWidget;
    auto *bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->addWidget(new QLabel(u"S čím zaměnit:"_s));
    bottomLayout->addWidget(Memo2);
    splitter->addWidget(top);
    splitter->addWidget(bottom);
    splitter->setChildrenCollapsible(false);

    CheckBox1 = named(new QCheckBox(u"Rozlišovat malá a velká písmena"_s), u"CheckBox1"_s);
    CheckBox2 = named(new QCheckBox(u"Začít hledat od začatku"_s), u"CheckBox2"_s);
    CheckBox3 = named(new QCheckBox(u"Při nahrazení se zeptat"_s), u"CheckBox3"_s);
    CheckBox2->setChecked(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(CheckBox1);
    layout->addWidget(CheckBox2);
    layout->addWidget(CheckBox3);
    layout->addLayout(buttonRow(this, u"Zaměnit"_s, OkButton, CancelButton));
    resize(380, 300);
    Memo1->setFocus();
}

void TMyReplaceDialog::setRequest(const ReplaceRequest &request)
{
    setMemoText(Memo1, request.text);
    setMemoText(Memo2, request.replacement);
    CheckBox1->setChecked(request.matchCase);
    CheckBox2->setChecked(request.fromStart);
    CheckBox3->setChecked(request.ask);
}

ReplaceRequest TMyReplaceDialog::request() const
{
    return {memoText(Memo1), memoText(Memo2), CheckBox1->isChecked(), CheckBox2->isChecked(),
            CheckBox3->isChecked()};
}
