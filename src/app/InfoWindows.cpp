#include "InfoWindows.h"

#include "interaction/Interaction.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QElapsedTimer>
#include <QPainter>
#include <QWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

DocumentCheckResult CheckDocument(const QString &text)
{
    QString t = text;
    for (QChar &c : t) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    }
    auto has = [&t](const char16_t *s) { return t.contains(QString::fromUtf16(s)); };
    if (!(has(u"<HTML>") && has(u"</HTML>")))
        return {true, u"Nebyl nalezen tag začátku dokumentu (<HTML>,</HTML>)"_s};
    if (!has(u"<HEAD>") || !has(u"</HEAD>"))
        return {true, u"Nebyl nalezen tag hlavičky dokumentu (<HEAD>,</HEAD>)"_s};
    if (has(u"<CENTER>") || has(u"</CENTER>"))
        return {false, u"Dokument obsahuje tag <CENTER>, některé verze prohlížeče Netscape s ním nemusí zacházet dobře!"_s};
    return {false, u"Dokument vyhlíží jako správný!"_s};
}

// --- tips ------------------------------------------------------------------------------

QStringList TipsWindow::tips()
{
    return {
        u"Tlačítka palety tagů vkládají počáteční i koncový tag kolem vybraného textu. Stačí označit text a klepnout na \"B\"."_s,
        u"Klávesa F7 načte tag, ve kterém stojí kurzor, zpět do jeho dialogu. Upravíte atributy a tag se přepíše."_s,
        u"Ctrl+Enter vloží <BR>. Jiný text pro tuto klávesu nastavíte v Možnosti - Nastavení, na stránce Editor."_s,
        u"Se zapnutým automatickým odsazováním začne nový řádek se stejným odsazením jako řádek nad ním (Ctrl+Alt+I)."_s,
        u"F10 obarví značky dokumentu: tagy, odkazy, obrázky, skripty a styly mají každý svou barvu."_s,
        u"Dialog obrázku zjistí skutečnou šířku a výšku souborů GIF, JPEG a PNG sám."_s,
        u"Soubory HTML můžete do editoru přetáhnout myší ze správce souborů; otevřou se v nových oknech."_s,
        u"Šablony stránek ukládejte s příponou .sab do adresáře SABLONY. Nabídne je příkaz Soubor - Nový podle šablony."_s,
        u"Vlastní páry tagů si nadefinujete v okně Uživatelské tagy (F12) a vkládáte je poklepáním."_s,
        u"Hotové stránky pošlete na server příkazem Nástroje - Distribuce na WWW server. Za routerem zaškrtněte pasivní režim."_s,
        u"Při ukládání může editor ponechat zálohu předchozí verze souboru; zapněte ji v Nastavení na stránce Obecné."_s,
        u"Ctrl+Shift+C vloží znak copyright, Ctrl+Shift+R registrovanou značku a Ctrl+Shift+T ochrannou známku."_s,
    };
}

TipsWindow::TipsWindow(QWidget *parent)
    : QWidget(parent, Qt::Tool)
{
    setObjectName(u"TipsWindow"_s);
    setWindowTitle(u"Tipy"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(u"Víte, že ..."_s, this);
    QFont f = heading->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    heading->setFont(f);
    layout->addWidget(heading);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(u"TipText"_s);
    m_text->setReadOnly(true);
    QPalette p = m_text->palette();
    p.setColor(QPalette::Base, QColor(255, 250, 200));
    m_text->setPalette(p);
    m_text->setPlainText(tips().first());
    layout->addWidget(m_text);
    m_dontShow = new QCheckBox(u"Příště už nezobrazovat toto okno"_s, this);
    m_dontShow->setObjectName(u"DontShowCheckBox"_s);
    m_dontShow->setChecked(true);
    connect(m_dontShow, &QCheckBox::toggled, this,
            [this](bool ticked) { Q_EMIT showNextTimeChanged(!ticked); });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_dontShow);
    buttons->addStretch(1);
    auto *next = new QPushButton(u"Další TIP"_s, this);
    next->setObjectName(u"NextTipButton"_s);
    auto *close = new QPushButton(u"Zavřít"_s, this);
    close->setObjectName(u"CloseButton"_s);
    buttons->addWidget(next);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(next, &QPushButton::clicked, this, &TipsWindow::nextTip);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    resize(420, 220);
}

bool TipsWindow::showNextTime() const
{
    return !m_dontShow->isChecked();
}

void TipsWindow::nextTip()
{
    m_index = (m_index + 1) % int(tips().size());
    m_text->setPlainText(tips().at(m_index));
}

// --- about and clipboard ---------------------------------------------------------------

void showAboutBox(QWidget *parent)
{
    QDialog box(parent);
    box.setObjectName(u"AboutBox"_s);
    box.setWindowTitle(u"O programu"_s);
    auto *layout = new QVBoxLayout(&box);
    auto *name = new QLabel(u"<h2>Brisko HTML Editor</h2><p>Verze 3.52 final</p>"
                            u"<p>Editor zdrojového textu stránek HTML.</p>"_s, &box);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    ui().exec(box);
}

void showClipboardWindow(QWidget *parent)
{
    QDialog box(parent);
    box.setObjectName(u"ClipboardWindow"_s);
    box.setWindowTitle(u"Obsah schránky"_s);
    auto *layout = new QVBoxLayout(&box);
    auto *text = new QPlainTextEdit(&box);
    text->setObjectName(u"ClipboardText"_s);
    text->setReadOnly(true);
    text->setPlainText(QGuiApplication::clipboard()->text());
    layout->addWidget(text);
    auto *ok = new QPushButton(u"Ok"_s, &box);
    ok->setObjectName(u"OkButton"_s);
    ok->setDefault(true);
    layout->addWidget(ok, 0, Qt::AlignRight);
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    box.resize(420, 300);
    ui().exec(box);
}
