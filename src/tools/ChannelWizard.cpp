#include "ChannelWizard.h"

#include "dialogs/FieldBinding.h"
#include "dialogs/FieldWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

// The timing numbers have no limits of their own.
QSpinBox *numberEdit(QWidget *parent, int index)
{
    auto *spin = new QSpinBox(parent);
    spin->setObjectName(u"SpinEdit"_s + QString::number(index));
    spin->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    spin->setValue(0);
    return spin;
}

// One timing tab: its day, hour and minute and its box "Použít".
FieldBindings<ChannelTime> channelTimeTab(int firstSpin, int box)
{
    const auto spin = [](int n) { return u"SpinEdit"_s + QString::number(n); };
    return {{&ChannelTime::use, u"CheckBox"_s + QString::number(box)},
            {&ChannelTime::day, spin(firstSpin)},
            {&ChannelTime::hour, spin(firstSpin + 1)},
            {&ChannelTime::minute, spin(firstSpin + 2)}};
}

const FieldBindings<ChannelFields> &channelWizardFields()
{
    static const FieldBindings<ChannelFields> fields{
        {&ChannelFields::href, "Edit1"},
        {&ChannelFields::base, "Edit2"},
        {&ChannelFields::self, "Edit3"},
        {&ChannelFields::title, "Edit4"},
        {&ChannelFields::abstractText, "Memo1", crLfText},
        {&ChannelFields::logo, "Edit5"},
        {&ChannelFields::logoStyle, "ComboBox1"},
        {&ChannelFields::useSchedule, "CheckBox1"},
        {&ChannelFields::startDate, "Edit6"},
        {&ChannelFields::endDate, "Edit7"},
        {&ChannelFields::interval, channelTimeTab(1, 2)},
        {&ChannelFields::earliest, channelTimeTab(4, 3)},
        {&ChannelFields::latest, channelTimeTab(7, 4)}};
    return fields;
}

} // namespace

TChanelWizard::TChanelWizard(QWidget *parent)
    : CheckedDialog(parent)
{
    setObjectName(u"TChanelWizard"_s);
    setWindowTitle(u"Generator kanalů"_s);

    Image1 = namedWidget(new QLabel(this), u"Image1"_s);
    Image1->setPixmap(QIcon(u":/icons/browser.png"_s).pixmap(48, 48));
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    Button1 = namedWidget(new QPushButton(u"Vytvořit"_s, this), u"Button1"_s);
    Button1->setDefault(true);
    Button2 = namedWidget(new QPushButton(u"Zpět"_s, this), u"Button2"_s);
    Button2->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, [this] {
        Result = composeChannel(fields());
        accept();
    });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    auto *form = new QVBoxLayout;
    form->addWidget(createChannelGroup());
    form->addWidget(createScheduleGroup());

    auto *side = new QVBoxLayout;
    side->addWidget(Image1);
    side->addStretch(1);
    side->addWidget(Button1);
    side->addWidget(Button2);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(form, 1);
    layout->addLayout(side);
    resize(560, sizeHint().height());
}

QGroupBox *TChanelWizard::createChannelGroup()
{
    auto *channel = namedWidget(new QGroupBox(u"Kanál"_s, this), u"GroupBox1"_s);
    Edit1 = namedWidget(new QLineEdit(channel), u"Edit1"_s);
    Edit2 = namedWidget(new QLineEdit(channel), u"Edit2"_s);
    Edit3 = namedWidget(new QLineEdit(channel), u"Edit3"_s);
    auto *addresses = new QFormLayout(channel);
    addresses->addRow(u"HREF"_s, Edit1);
    addresses->addRow(u"BASE"_s, Edit2);
    addresses->addRow(u"SELF"_s, Edit3);

    Edit4 = namedWidget(new QLineEdit(channel), u"Edit4"_s);
    Memo1 = namedWidget(new QPlainTextEdit(channel), u"Memo1"_s);
    Memo1->setTabChangesFocus(true);
    Memo1->setFixedHeight(80);
    Edit5 = namedWidget(new QLineEdit(channel), u"Edit5"_s);
    ComboBox1 = namedWidget(new QComboBox(channel), u"ComboBox1"_s);
    ComboBox1->setEditable(true);
    ComboBox1->addItems({u"ICON"_s, u"IMAGE"_s, u"IMAGE-WIDE"_s});
    ComboBox1->setCurrentIndex(0);
    auto *logo = new QHBoxLayout;
    logo->addWidget(Edit5, 1);
    logo->addWidget(ComboBox1);
    addresses->addRow(u"Titulek"_s, Edit4);
    addresses->addRow(u"Abstract"_s, Memo1);
    addresses->addRow(u"Logo"_s, logo);
    return channel;
}

QWidget *TChanelWizard::timePage(int first, QSpinBox *&day, QSpinBox *&hour,
                                 QSpinBox *&minute, QCheckBox *&use, const char *useName)
{
    auto *page = new QWidget;
    day = numberEdit(page, first);
    hour = numberEdit(page, first + 1);
    minute = numberEdit(page, first + 2);
    use = namedWidget(new QCheckBox(u"Použít"_s, page), QLatin1StringView(useName));
    auto *layout = new QFormLayout(page);
    layout->addRow(u"Den"_s, day);
    layout->addRow(u"Hodina"_s, hour);
    layout->addRow(u"Minuta"_s, minute);
    layout->addRow(QString(), use);
    return page;
}

QGroupBox *TChanelWizard::createScheduleGroup()
{
    // The blanks at the start of the caption leave room for the check box set into it.
    GroupBox2 = namedWidget(new QGroupBox(u"      Časový rozvrh"_s, this), u"GroupBox2"_s);
    CheckBox1 = namedWidget(new QCheckBox(GroupBox2), u"CheckBox1"_s);
    Edit6 = namedWidget(new QLineEdit(GroupBox2), u"Edit6"_s);
    Edit7 = namedWidget(new QLineEdit(GroupBox2), u"Edit7"_s);
    PageControl1 = namedWidget(new QTabWidget(GroupBox2), u"PageControl1"_s);
    PageControl1->addTab(timePage(1, SpinEdit1, SpinEdit2, SpinEdit3, CheckBox2, "CheckBox2"),
                         u"IntervalTime"_s);
    PageControl1->addTab(timePage(4, SpinEdit4, SpinEdit5, SpinEdit6, CheckBox3, "CheckBox3"),
                         u"EarliestTime"_s);
    PageControl1->addTab(timePage(7, SpinEdit7, SpinEdit8, SpinEdit9, CheckBox4, "CheckBox4"),
                         u"LatestTime"_s);
    auto *layout = new QFormLayout(GroupBox2);
    layout->addRow(u"Začátek"_s, Edit6);
    layout->addRow(u"Konec"_s, Edit7);
    layout->addRow(PageControl1);
    return GroupBox2;
}

// The check box sits over the blanks at the start of the group's caption.
void TChanelWizard::placeScheduleCheckBox()
{
    CheckBox1->adjustSize();
    CheckBox1->move(8, 0);
    CheckBox1->raise();
}

void TChanelWizard::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    placeScheduleCheckBox();
}

void TChanelWizard::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    placeScheduleCheckBox();
}

ChannelFields TChanelWizard::fields() const
{
    return channelWizardFields().read(*this);
}

void TChanelWizard::setFields(const ChannelFields &f)
{
    channelWizardFields().write(*this, f);
}
