#include "tools/Stylemaker.h"

#include "dialogs/ColorCombo.h"
#include "dialogs/FieldBinding.h"
#include "dialogs/FieldWidgets.h"
#include "markup/SysUt.h"
#include "preview/WebBrowser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QStringList kSizes{u"20%"_s, u"10%"_s, u"5pt"_s, u"2pt"_s, u"1pt"_s};
const QStringList kEdgeStyles{u"none"_s,  u"dotted"_s, u"dashed"_s, u"solid"_s,  u"double"_s,
                              u"groove"_s, u"ridge"_s,  u"inset"_s,  u"outset "_s};
const QStringList kEdgeWidths{u"thin"_s, u"medium"_s, u"thick"_s, u"none"_s};

QStringList fontWeights()
{
    QStringList items{u"lighter"_s, u"normal"_s, u"bold"_s, u"bolder"_s};
    for (int w = 100; w <= 900; w += 100)
        items << QString::number(w);
    return items;
}

// A page of labelled rows, the label being the property name as written.
QWidget *rowsPage(QWidget *parent, const std::initializer_list<std::pair<QString, QWidget *>> &rows)
{
    auto *page = new QWidget(parent);
    auto *form = new QFormLayout(page);
    for (const auto &[label, field] : rows) {
        auto *caption = new QLabel(label, page);
        caption->setBuddy(field);
        form->addRow(caption, field);
    }
    return page;
}

QCheckBox *useIt(const QString &name, QWidget *parent)
{
    auto *box = new QCheckBox(parent);
    box->setObjectName(name);
    box->setToolTip(u"Použít"_s);
    return box;
}

// The six property tabs fit side by side in the builder's 620 pixels only with less room
// around each caption than the style gives by default.
class TightTabsStyle final : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        return metric == PM_TabBarTabHSpace ? qMin(value, 8) : value;
    }
};

} // namespace

TStyleForm::TStyleForm(QWidget *parent) : CheckedDialog(parent)
{
    setWindowTitle(u"Style builder"_s);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(u"PageControl1"_s);
    PageControl1->addTab(textPage(), u"Text Properties "_s);
    PageControl1->addTab(fontPage(), u"Font Properties "_s);
    PageControl1->addTab(colorPage(), u"Color and Background "_s);
    PageControl1->addTab(placementPage(), u"Placement"_s);
    PageControl1->addTab(borderPage(), u"Border"_s);
    PageControl1->addTab(classificationPage(), u"Classification"_s);
    auto *tightTabs = new TightTabsStyle;
    tightTabs->setParent(PageControl1);
    PageControl1->tabBar()->setStyle(tightTabs);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(u"Edit1"_s);
    Edit1->setToolTip(u"Jméno tagu, může být i jméno \r\ntřídy např. B , B.white nebo .white "_s);
    Edit1->installEventFilter(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setPlainText(u"Toto je zkušební text.\nPokud vám nevyhovuje\npak sem napište co \n"
                        u"uznáte za vhodné\nmůžete použít i tagy\n\náÁčČůŮúÚžŽřŘ\n"_s);
    Memo2 = new QPlainTextEdit(this);
    Memo2->setObjectName(u"Memo2"_s);
    Memo2->setReadOnly(true);
    WebBrowser1 = new WebBrowser(this);
    WebBrowser1->setObjectName(u"WebBrowser1"_s);
    WebBrowser1->setMinimumHeight(140);
    RefreshButton = new QPushButton(u"Obnovit"_s, this);
    RefreshButton->setObjectName(u"RefreshButton"_s);
    RefreshButton->setToolTip(u"Obnovit"_s);
    RefreshButton->setAutoDefault(false);
    CheckBox3 = new QCheckBox(u"Vložit pred </STYLE>"_s, this);
    CheckBox3->setObjectName(u"CheckBox3"_s);
    CheckBox3->setToolTip(u"Vloží tag před konec \r\nprvního tagu <STYLE>"_s);
    OkButton = new QPushButton(u"Ok"_s, this);
    OkButton->setObjectName(u"OkButton"_s);
    OkButton->setToolTip(u"Vložit do dokumentu"_s);
    OkButton->setDefault(true);
    BackButton = new QPushButton(u"Zpět"_s, this);
    BackButton->setObjectName(u"BackButton"_s);
    BackButton->setAutoDefault(false);

    auto *selectorRow = new QHBoxLayout;
    auto *selectorLabel = new QLabel(u"Jméno tagu:"_s, this);
    selectorLabel->setBuddy(Edit1);
    selectorRow->addWidget(selectorLabel);
    selectorRow->addWidget(Edit1, 1);
    selectorRow->addWidget(RefreshButton);
    auto *samples = new QTabWidget(this);
    samples->addTab(Memo1, u"Zkušební text"_s);
    samples->addTab(Memo2, u"Výsledný dokument..."_s);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CheckBox3);
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(BackButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(selectorRow);
    layout->addWidget(PageControl1);
    layout->addWidget(samples, 1);
    layout->addWidget(WebBrowser1, 1);
    // The browser shows only once there is a sample to show; until then the sample text
    // has its room instead of an empty area.
    WebBrowser1->hide();
    layout->addLayout(buttons);
    resize(620, 640);

    connect(RefreshButton, &QPushButton::clicked, this, &TStyleForm::RefreshSample);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(BackButton, &QPushButton::clicked, this, &QDialog::reject);
    // Pressing a colour picker means the colour is wanted.
    tickOnPress(ColorCombo1, CheckBox1);
    tickOnPress(ColorCombo2, CheckBox2);
    for (ColorCombo *c : {ColorCombo1, ColorCombo2})
        connect(c, &ColorCombo::colorChanged, this, &TStyleForm::RefreshSample);
    for (size_t i = 0; i < EdgeColors.size(); ++i) {
        EdgeColors[i]->installEventFilter(this);
        connect(EdgeColors[i], &ColorCombo::colorChanged, this, &TStyleForm::RefreshSample);
    }
    Edit1->setFocus();
}

QComboBox *TStyleForm::box(const QString &name, const QStringList &items)
{
    auto *combo = new QComboBox(this);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
    connect(combo, &QComboBox::currentTextChanged, this, &TStyleForm::RefreshSample);
    return combo;
}

QWidget *TStyleForm::textPage()
{
    const auto &l = styleTextLabels();
    TextBoxes[0] = box(u"ComboBox1"_s, {u"capitalize"_s, u"uppercase"_s, u"lowercase"_s, u"none "_s});
    TextBoxes[1] = box(u"ComboBox2"_s, {u"baseline"_s, u"sub"_s, u"super"_s, u"top"_s,
                                        u"text-top"_s, u"middle"_s, u"bottom"_s, u"text-bottom"_s});
    TextBoxes[2] = box(u"ComboBox3"_s, {u"left"_s, u"right"_s, u"center"_s, u"justify "_s});
    TextBoxes[3] = box(u"ComboBox4"_s, kSizes);
    TextBoxes[4] = box(u"ComboBox5"_s, kSizes);
    TextBoxes[5] = box(u"ComboBox6"_s, {u"none"_s, u"underline"_s, u"line-through"_s,
                                        u"blink"_s, u"overline"_s});
    return rowsPage(this, {{l[0], TextBoxes[0]}, {l[1], TextBoxes[1]}, {l[2], TextBoxes[2]},
                           {l[3], TextBoxes[3]}, {l[4], TextBoxes[4]}, {l[5], TextBoxes[5]}});
}

QWidget *TStyleForm::fontPage()
{
    const auto &l = styleTextLabels();
    TextBoxes[6] = box(u"ComboBox7"_s, QFontDatabase::families());
    TextBoxes[7] = box(u"ComboBox8"_s, {u"normal"_s, u"italic"_s, u"oblique"_s});
    TextBoxes[8] = box(u"ComboBox9"_s, {u"normal"_s, u"small-caps"_s});
    TextBoxes[9] = box(u"ComboBox10"_s, fontWeights());
    TextBoxes[10] = box(u"ComboBox11"_s, {u"6pt"_s, u"8pt"_s, u"10pt"_s, u"12pt"_s, u"14pt"_s,
                                          u"18pt"_s, u"24pt"_s, u"32pt"_s, u"50%"_s, u"150%"_s});
    return rowsPage(this, {{l[6], TextBoxes[6]}, {l[7], TextBoxes[7]}, {l[8], TextBoxes[8]},
                           {l[9], TextBoxes[9]}, {l[10], TextBoxes[10]}});
}

QWidget *TStyleForm::colorPage()
{
    const auto &l = styleTextLabels();
    TextBoxes[11] = box(u"ComboBox12"_s, {u"repeat"_s, u"repeat-x"_s, u"repeat-y"_s, u"no-repeat"_s});
    TextBoxes[12] = box(u"ComboBox13"_s, {u"top"_s, u"center"_s, u"bottom"_s, u"left"_s,
                                          u"center"_s, u"right"_s});
    ColorCombo1 = namedWidget(new ColorCombo(this), u"ColorCombo1"_s);
    CheckBox1 = useIt(u"CheckBox1"_s, this);
    ColorCombo2 = namedWidget(new ColorCombo(this), u"ColorCombo2"_s);
    CheckBox2 = useIt(u"CheckBox2"_s, this);
    auto *color = new QWidget(this);
    auto *colorRow = new QHBoxLayout(color);
    colorRow->setContentsMargins(0, 0, 0, 0);
    colorRow->addWidget(ColorCombo1);
    colorRow->addWidget(CheckBox1);
    colorRow->addStretch();
    auto *background = new QWidget(this);
    auto *backgroundRow = new QHBoxLayout(background);
    backgroundRow->setContentsMargins(0, 0, 0, 0);
    backgroundRow->addWidget(ColorCombo2);
    backgroundRow->addWidget(CheckBox2);
    backgroundRow->addStretch();
    return rowsPage(this, {{l[11], TextBoxes[11]}, {l[12], TextBoxes[12]},
                           {u"color"_s, color}, {u"background-color"_s, background}});
}

QWidget *TStyleForm::placementPage()
{
    const auto &l = stylePlacementLabels();
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout(page);
    for (int i = 0; i < 12; ++i) {
        const QStringList items = i < 10 ? QStringList{u"auto"_s}
                                         : QStringList{u"right"_s, u"left"_s, u"none"_s};
        PlacementBoxes[i] = box(u"ComboBox%1"_s.arg(16 + i), items);
        auto *label = new QLabel(l[i], page);
        label->setBuddy(PlacementBoxes[i]);
        grid->addWidget(label, i % 6, (i / 6) * 2);
        grid->addWidget(PlacementBoxes[i], i % 6, (i / 6) * 2 + 1);
    }
    return page;
}

QWidget *TStyleForm::borderPage()
{
    const auto &l = styleEdgeLabels();
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout(page);
    grid->addWidget(new QLabel(u"width"_s, page), 0, 1);
    grid->addWidget(new QLabel(u"style"_s, page), 0, 2);
    grid->addWidget(new QLabel(u"color"_s, page), 0, 3);
    for (int i = 0; i < 4; ++i) {
        EdgeWidths[i] = box(u"EdgeWidth%1"_s.arg(i + 1), kEdgeWidths);
        EdgeStyles[i] = box(u"EdgeStyle%1"_s.arg(i + 1), kEdgeStyles);
        EdgeColors[i] = namedWidget(new ColorCombo(page), u"EdgeColor%1"_s.arg(i + 1));
        EdgeColorBoxes[i] = useIt(u"EdgeColorBox%1"_s.arg(i + 1), page);
        auto *label = new QLabel(l[i], page);
        label->setBuddy(EdgeWidths[i]);
        grid->addWidget(label, i + 1, 0);
        grid->addWidget(EdgeWidths[i], i + 1, 1);
        grid->addWidget(EdgeStyles[i], i + 1, 2);
        auto *color = new QHBoxLayout;
        color->addWidget(EdgeColors[i]);
        color->addWidget(EdgeColorBoxes[i]);
        grid->addLayout(color, i + 1, 3);
    }
    BorderWidth = box(u"BorderWidth"_s, {u"thin"_s, u"medium"_s, u"thick"_s, u"none "_s});
    BorderStyleRight = box(u"BorderStyleRight"_s, kEdgeStyles);
    BorderStyleLower = box(u"BorderStyleLower"_s, kEdgeStyles);
    auto *widthLabel = new QLabel(u"border-width"_s, page);
    widthLabel->setBuddy(BorderWidth);
    auto *rightLabel = new QLabel(u"border-style"_s, page);
    rightLabel->setBuddy(BorderStyleRight);
    auto *lowerLabel = new QLabel(u"border-style"_s, page);
    lowerLabel->setBuddy(BorderStyleLower);
    grid->addWidget(widthLabel, 5, 0);
    grid->addWidget(BorderWidth, 5, 1);
    grid->addWidget(rightLabel, 5, 2);
    grid->addWidget(BorderStyleRight, 5, 3);
    grid->addWidget(lowerLabel, 6, 0);
    grid->addWidget(BorderStyleLower, 6, 1);
    return page;
}

QWidget *TStyleForm::classificationPage()
{
    const auto &l = styleClassificationLabels();
    ClassificationBoxes[0] = box(u"ComboBox35"_s, {u"none"_s, u"\"\""_s, u"block"_s,
                                                   u"inline"_s, u"list-item "_s});
    ClassificationBoxes[1] = box(u"ComboBox36"_s, {u"normal"_s, u"pre"_s, u"no-wrap "_s});
    ClassificationBoxes[2] = box(u"ComboBox37"_s,
                                 {u"disc"_s, u"circle"_s, u"square"_s, u"decimal"_s,
                                  u"lower-roman"_s, u"upper-roman"_s, u"lower-alpha"_s,
                                  u"upper-alpha"_s});
    return rowsPage(this, {{l[0], ClassificationBoxes[0]}, {l[1], ClassificationBoxes[1]},
                           {l[2], ClassificationBoxes[2]}});
}

namespace {

// Which box holds which declaration; the boxes are named by their row, the edges by theirs.
const FieldBindings<StyleFields> &styleFormFields()
{
    static const FieldBindings<StyleFields> fields = [] {
        const auto comboBox = [](std::size_t row) { return u"ComboBox"_s + QString::number(row); };
        FieldBindings<StyleFields> bound;
        for (std::size_t i = 0; i < std::tuple_size_v<decltype(StyleFields::text)>; ++i)
            bound.add({&StyleFields::text, i, comboBox(1 + i)});
        bound.add({&StyleFields::color, "ColorCombo1", "CheckBox1"});
        bound.add({&StyleFields::backgroundColor, "ColorCombo2", "CheckBox2"});
        for (std::size_t i = 0; i < std::tuple_size_v<decltype(StyleFields::placement)>; ++i)
            bound.add({&StyleFields::placement, i, comboBox(16 + i)});
        for (std::size_t i = 0; i < std::tuple_size_v<decltype(StyleFields::edges)>; ++i) {
            const QString n = QString::number(i + 1);
            bound.add({&StyleFields::edges, i,
                       FieldBindings<StyleFields::Edge>{
                           {&StyleFields::Edge::width, u"EdgeWidth"_s + n},
                           {&StyleFields::Edge::style, u"EdgeStyle"_s + n},
                           {&StyleFields::Edge::color, u"EdgeColor"_s + n, u"EdgeColorBox"_s + n}}});
        }
        bound.add({&StyleFields::borderWidth, "BorderWidth"});
        bound.add({&StyleFields::borderStyleLower, "BorderStyleLower"});
        bound.add({&StyleFields::borderStyleRight, "BorderStyleRight"});
        for (std::size_t i = 0; i < std::tuple_size_v<decltype(StyleFields::classification)>; ++i)
            bound.add({&StyleFields::classification, i, comboBox(35 + i)});
        return bound;
    }();
    return fields;
}

} // namespace

StyleFields TStyleForm::fields() const
{
    return styleFormFields().read(*this);
}

void TStyleForm::setFields(const StyleFields &f)
{
    styleFormFields().write(*this, f);
}

QString TStyleForm::selector() const
{
    return Edit1->text();
}

bool TStyleForm::insertBeforeStyleEnd() const
{
    return CheckBox3->isChecked();
}


void TStyleForm::RefreshSample()
{
    if (TrimBlanks(Edit1->text()).isEmpty())
        return;
    const QString sampleText = Memo1->toPlainText().replace(u'\n', u"\r\n"_s);
    const QString page = styleSamplePage(Edit1->text(), declarations(), sampleText);
    Memo2->setPlainText(page);
    m_sampleFile = writeStyleSample(page);
    if (m_sampleFile.isEmpty())
        return;
    WebBrowser1->show();
    WebBrowser1->navigate(QUrl::fromLocalFile(m_sampleFile));
}

bool TStyleForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        // Enter in the selector refreshes the sample and goes no further.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            RefreshSample();
            return true;
        }
    }
    // A key pressed on an edge's picker means its colour is wanted.
    if (event->type() == QEvent::KeyPress) {
        for (size_t i = 0; i < EdgeColors.size(); ++i) {
            if (watched == EdgeColors[i])
                EdgeColorBoxes[i]->setChecked(true);
        }
    }
    return QDialog::eventFilter(watched, event);
}
