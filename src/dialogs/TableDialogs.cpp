#include "TableDialogs.h"

#include "dialogs/FieldWidgets.h"
#include "dialogs/ImageDialog.h"
#include "dialogs/LinkDialogs.h"
#include "interaction/Interaction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QShowEvent>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QString nameNo(const char16_t *prefix, int number)
{
    return QString::fromUtf16(prefix) + QString::number(number);
}

// A spin edit of the table window with no bounds whose every change ticks its box.
QCheckBox *numberSwitch(QSpinBox *&field, int spinNo, int boxNo, QWidget *parent)
{
    field = unboundedSpin(nameNo(u"SpinEdit", spinNo), parent);
    return switchBox(field, nameNo(u"CheckBox", boxNo), parent);
}

QComboBox *combo(int number, const QStringList &items, QWidget *parent)
{
    return editableCombo(nameNo(u"ComboBox", number), items, parent);
}

const QStringList AlignItems{u"left"_s, u"center"_s, u"right "_s};
const QStringList VAlignItems{u"TOP"_s, u"MIDDLE"_s, u"BOTTOM"_s, u"BASELINE"_s, QString()};

// A labelled row of a page's grid.
void addRow(QGridLayout *grid, const QString &label, QWidget *field, QWidget *box = nullptr)
{
    const int row = grid->rowCount();
    auto *caption = new QLabel(label, field->parentWidget());
    caption->setBuddy(field);
    grid->addWidget(caption, row, 0);
    grid->addWidget(field, row, 1);
    if (box) {
        box->setAccessibleName(label); // the box has no caption of its own
        grid->addWidget(box, row, 2);
    }
}

} // namespace

ColorPanel::ColorPanel(QWidget *parent) : QPushButton(parent)
{
    setFixedSize(48, 20);
    setAutoDefault(false);
    setColor(Qt::black);
}

void ColorPanel::setColor(const QColor &color)
{
    m_color = color;
    setStyleSheet(u"background-color: %1; border: 1px solid gray;"_s.arg(color.name()));
}

TTableForm::TTableForm(std::function<DocumentContext()> context, QWidget *parent)
    : QDialog(parent), m_context(std::move(context))
{
    setWindowTitle(u"Tabulky.."_s);
    // A tool window stays above the main window and goes away when closed.
    setWindowFlag(Qt::Tool);
    setAttribute(Qt::WA_DeleteOnClose);
    PageControl1 = namedWidget(new QTabWidget(this), u"PageControl1"_s);
    PageControl1->addTab(createTablePage(), u"Tabulka"_s);
    PageControl1->addTab(createRowPage(), u"Řádek"_s);
    PageControl1->addTab(createCellPage(), u"Buňka"_s);
    for (int i = 0; i < 3; ++i)
        addButtons(PageControl1->widget(i), i);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    setFields(TableFields{});
    setFields(RowFields{});
    setFields(CellFields{});
    PageControl1->setCurrentIndex(0);
}

QCheckBox *TTableForm::colorSwitch(ColorPanel *&panel, int panelNo, int boxNo, QWidget *page)
{
    panel = namedWidget(new ColorPanel(page), nameNo(u"Panel", panelNo));
    auto *box = namedWidget(new QCheckBox(page), nameNo(u"CheckBox", boxNo));
    ColorPanel *p = panel;
    connect(panel, &QPushButton::clicked, this, [p, box] {
        if (const std::optional<QColor> chosen = ui().color(p->color()))
            p->setColor(*chosen);
        // Cancelled or not, the panel's colour is now meant.
        box->setChecked(true);
    });
    return box;
}

QWidget *TTableForm::backgroundField(QComboBox *field, int firstButton, QWidget *page)
{
    auto *row = new QWidget(page);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    field->setParent(row);
    field->setMinimumWidth(140);
    QToolButton *file =
        iconButton(nameNo(u"SpeedButton", firstButton), QStyle::SP_DialogOpenButton, row);
    QToolButton *address =
        iconButton(nameNo(u"SpeedButton", firstButton + 1), QStyle::SP_DriveNetIcon, row);
    layout->addWidget(field, 1);
    layout->addWidget(file);
    layout->addWidget(address);
    // The row's caption names the row, and the buttons show pictures alone.
    field->setAccessibleName(u"Pozadí"_s);
    file->setAccessibleName(u"Otevře soubor z disku"_s);
    address->setAccessibleName(u"Otevře soubor z kteréhokoliv místa na INTERNETU"_s);
    connect(file, &QToolButton::clicked, this, [this, field] {
        // Nothing without an open document.
        if (const auto chosen = pickDocumentAddress(m_context(), ImageFilter))
            field->setEditText(*chosen);
    });
    connect(address, &QToolButton::clicked, this, [this, field] {
        if (const auto composed = runAddressComposer(m_context().settings, this))
            field->setEditText(*composed);
    });
    return row;
}

QWidget *TTableForm::createTablePage()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout;
    // The longest caption, "Mezery mezi buňkami", would touch its spin box otherwise.
    grid->setHorizontalSpacing(12);
    CheckBox1 = numberSwitch(SpinEdit1, 1, 1, page);
    CheckBox2 = numberSwitch(SpinEdit2, 2, 2, page);
    CheckBox3 = numberSwitch(SpinEdit3, 3, 3, page);
    ComboBox4 = combo(4, {u"800"_s, u"640"_s, u"320"_s, u"100%"_s, u"80%"_s, u"60%"_s}, page);
    ComboBox4->setToolTip(u"Jednotka"_s);
    ComboBox1 = combo(1, {}, page);
    ComboBox2 = combo(2,
                      {u"void"_s, u"above"_s, u"below"_s, u"hsides"_s, u"lhs"_s, u"rhs"_s,
                       u"vsides"_s, u"box"_s, u"border "_s},
                      page);
    ComboBox3 = combo(3, AlignItems, page);
    addRow(grid, u"Okraje"_s, SpinEdit1, CheckBox1);
    addRow(grid, u"Mezery mezi buňkami"_s, SpinEdit2, CheckBox2);
    addRow(grid, u"Okraje v buňce"_s, SpinEdit3, CheckBox3);
    addRow(grid, u"Šířka"_s, ComboBox4);
    addRow(grid, u"Pozadí"_s, backgroundField(ComboBox1, 1, page));
    addRow(grid, u"Rám"_s, ComboBox2);
    addRow(grid, u"Zarovnání"_s, ComboBox3);

    auto *colors = new QGroupBox(u"Barvy"_s, page);
    auto *colorGrid = new QGridLayout(colors);
    CheckBox5 = colorSwitch(Panel1, 1, 5, colors);
    CheckBox8 = colorSwitch(Panel4, 4, 8, colors);
    CheckBox6 = colorSwitch(Panel2, 2, 6, colors);
    CheckBox7 = colorSwitch(Panel3, 3, 7, colors);
    addRow(colorGrid, u"Pozadí"_s, Panel1, CheckBox5);
    addRow(colorGrid, u"Okraj"_s, Panel4, CheckBox8);
    addRow(colorGrid, u"Vnitřní okraj"_s, Panel2, CheckBox6);
    addRow(colorGrid, u"Vnější okraj"_s, Panel3, CheckBox7);
    // Fields side by side; edit mode's buttons go below them.
    auto *layout = new QHBoxLayout;
    (new QVBoxLayout(page))->addLayout(layout);
    layout->addLayout(grid, 1);
    layout->addWidget(colors);
    return page;
}

QWidget *TTableForm::createRowPage()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout;
    ComboBox5 = combo(5, AlignItems, page);
    ComboBox6 = combo(6, VAlignItems, page);
    ComboBox7 = combo(7, {}, page);
    addRow(grid, u"Zarovnání"_s, ComboBox5);
    addRow(grid, u"Vertikální zarovnání"_s, ComboBox6);
    addRow(grid, u"Pozadí"_s, backgroundField(ComboBox7, 3, page));

    auto *colors = new QGroupBox(u"Barvy"_s, page);
    auto *colorGrid = new QGridLayout(colors);
    CheckBox9 = colorSwitch(Panel5, 5, 9, colors);
    CheckBox12 = colorSwitch(Panel8, 8, 12, colors);
    CheckBox10 = colorSwitch(Panel6, 6, 10, colors);
    CheckBox11 = colorSwitch(Panel7, 7, 11, colors);
    addRow(colorGrid, u"Pozadí"_s, Panel5, CheckBox9);
    addRow(colorGrid, u"Okraj"_s, Panel8, CheckBox12);
    addRow(colorGrid, u"Vnitřní okraj"_s, Panel6, CheckBox10);
    addRow(colorGrid, u"Vnější okraj"_s, Panel7, CheckBox11);
    // Fields side by side; edit mode's buttons go below them.
    auto *layout = new QHBoxLayout;
    (new QVBoxLayout(page))->addLayout(layout);
    layout->addLayout(grid, 1);
    layout->addWidget(colors);
    return page;
}

QWidget *TTableForm::createCellPage()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout;
    ComboBox8 = combo(8, AlignItems, page);
    ComboBox9 = combo(9, VAlignItems, page);
    ComboBox10 = combo(10, {}, page);
    ComboBox11 = combo(11,
                       {u"100%"_s, u"80%"_s, u"75%"_s, u"50%"_s, u"10%"_s, u"640"_s, u"320"_s,
                        QString()},
                       page);
    ComboBox11->setToolTip(u"Jednotka"_s);
    CheckBox17 = numberSwitch(SpinEdit5, 5, 17, page);
    CheckBox18 = numberSwitch(SpinEdit6, 6, 18, page);
    addRow(grid, u"Zarovnání"_s, ComboBox8);
    addRow(grid, u"Vertikální zarovnání"_s, ComboBox9);
    addRow(grid, u"Pozadí"_s, backgroundField(ComboBox10, 5, page));
    addRow(grid, u"Šířka"_s, ComboBox11);
    addRow(grid, u"Záběr buněk"_s, SpinEdit5, CheckBox17);
    addRow(grid, u"Záběr řádků"_s, SpinEdit6, CheckBox18);

    auto *colors = new QGroupBox(u"Barvy"_s, page);
    auto *colorGrid = new QGridLayout(colors);
    CheckBox13 = colorSwitch(Panel9, 9, 13, colors);
    CheckBox16 = colorSwitch(Panel12, 12, 16, colors);
    CheckBox14 = colorSwitch(Panel10, 10, 14, colors);
    CheckBox15 = colorSwitch(Panel11, 11, 15, colors);
    addRow(colorGrid, u"Pozadí"_s, Panel9, CheckBox13);
    addRow(colorGrid, u"Okraj"_s, Panel12, CheckBox16);
    addRow(colorGrid, u"Vnitřní okraj"_s, Panel10, CheckBox14);
    addRow(colorGrid, u"Vnější okraj"_s, Panel11, CheckBox15);
    // Fields side by side; edit mode's buttons go below them.
    auto *layout = new QHBoxLayout;
    (new QVBoxLayout(page))->addLayout(layout);
    layout->addLayout(grid, 1);
    layout->addWidget(colors);
    return page;
}

void TTableForm::addButtons(QWidget *page, int index)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    PageButtons &b = m_buttons[index];
    b.insert = namedWidget(new QPushButton(u"Vložit"_s, page), nameNo(u"InsertButton", index + 1));
    b.back = namedWidget(new QPushButton(u"Zpět"_s, page), nameNo(u"BackButton", index + 1));
    row->addWidget(b.insert);
    row->addWidget(b.back);
    // Only edit mode shows them.
    b.insert->hide();
    b.back->hide();
    static_cast<QVBoxLayout *>(page->layout())->addLayout(row);
    connect(b.insert, &QPushButton::clicked, this, &TTableForm::insertClicked);
    connect(b.back, &QPushButton::clicked, this, &TTableForm::reject);
}

namespace {

// Which control of the table window holds which field, page by page.
const FieldBindings<TableFields> &tableWindowTablePage()
{
    static const FieldBindings<TableFields> page{
        {&TableFields::border, "SpinEdit1", "CheckBox1"},
        {&TableFields::cellSpacing, "SpinEdit2", "CheckBox2"},
        {&TableFields::cellPadding, "SpinEdit3", "CheckBox3"},
        {&TableFields::width, "ComboBox4"},
        {&TableFields::background, "ComboBox1"},
        {&TableFields::frame, "ComboBox2"},
        {&TableFields::align, "ComboBox3"},
        {&TableFields::bgColor, "Panel1", "CheckBox5"},
        {&TableFields::borderColor, "Panel4", "CheckBox8"},
        {&TableFields::borderColorDark, "Panel2", "CheckBox6"},
        {&TableFields::borderColorLight, "Panel3", "CheckBox7"}};
    return page;
}

const FieldBindings<RowFields> &tableWindowRowPage()
{
    static const FieldBindings<RowFields> page{
        {&RowFields::align, "ComboBox5"},
        {&RowFields::valign, "ComboBox6"},
        {&RowFields::background, "ComboBox7"},
        {&RowFields::bgColor, "Panel5", "CheckBox9"},
        {&RowFields::borderColor, "Panel8", "CheckBox12"},
        {&RowFields::borderColorDark, "Panel6", "CheckBox10"},
        {&RowFields::borderColorLight, "Panel7", "CheckBox11"}};
    return page;
}

const FieldBindings<CellFields> &tableWindowCellPage()
{
    static const FieldBindings<CellFields> page{
        {&CellFields::align, "ComboBox8"},
        {&CellFields::valign, "ComboBox9"},
        {&CellFields::background, "ComboBox10"},
        {&CellFields::width, "ComboBox11"},
        {&CellFields::colSpan, "SpinEdit5", "CheckBox17"},
        {&CellFields::rowSpan, "SpinEdit6", "CheckBox18"},
        {&CellFields::bgColor, "Panel9", "CheckBox13"},
        {&CellFields::borderColor, "Panel12", "CheckBox16"},
        {&CellFields::borderColorDark, "Panel10", "CheckBox14"},
        {&CellFields::borderColorLight, "Panel11", "CheckBox15"}};
    return page;
}

} // namespace

TableFields TTableForm::tableFields() const { return tableWindowTablePage().read(*this); }
void TTableForm::setFields(const TableFields &f) { tableWindowTablePage().write(*this, f); }
RowFields TTableForm::rowFields() const { return tableWindowRowPage().read(*this); }
void TTableForm::setFields(const RowFields &f) { tableWindowRowPage().write(*this, f); }
CellFields TTableForm::cellFields() const { return tableWindowCellPage().read(*this); }
void TTableForm::setFields(const CellFields &f) { tableWindowCellPage().write(*this, f); }

void TTableForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return; // shown again by the window system: the focus stays where the user left it
    const QWidget *page = PageControl1->currentWidget();
    for (QWidget *w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled()
            && w->isVisibleTo(this)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

Markup TTableForm::keep(const Markup &markup)
{
    OpeningMarkup = markup.opening;
    ClosingMarkup = markup.closing;
    return markup;
}

Markup TTableForm::ComposeTable()
{
    return keep(composeTable(tableFields()));
}

Markup TTableForm::ComposeRow()
{
    return keep(composeRow(rowFields()));
}

Markup TTableForm::ComposeCell(const QString &kind)
{
    return keep(composeCell(cellFields(), kind));
}

void TTableForm::setEditMode(const QString &tagName)
{
    m_editTag = tagName;
    const int page = tagName == u"TABLE"_s ? 0 : tagName == u"TR"_s ? 1 : 2;
    for (int i = 0; i < 3; ++i) {
        PageControl1->setTabEnabled(i, i == page);
        m_buttons[i].insert->setVisible(i == page);
        m_buttons[i].back->setVisible(i == page);
    }
    PageControl1->setCurrentIndex(page);
    m_buttons[page].insert->setDefault(true);
    // The edit decides when the window goes; the caller destroys it afterwards.
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    setModal(true);
}

QPushButton *TTableForm::insertButton() const
{
    return inEditMode() ? m_buttons[PageControl1->currentIndex()].insert : nullptr;
}

QPushButton *TTableForm::backButton() const
{
    return inEditMode() ? m_buttons[PageControl1->currentIndex()].back : nullptr;
}

void TTableForm::insertClicked()
{
    if (m_editTag == u"TABLE"_s)
        ComposeTable();
    else if (m_editTag == u"TR"_s)
        ComposeRow();
    else
        ComposeCell(m_editTag);
    accept();
}

TForm21::TForm21(bool tableWindowOpen, QWidget *parent) : CheckedDialog(parent)
{
    setWindowTitle(u"Tabulka"_s);
    StringGrid1 = namedWidget(new QTableWidget(20, 20, this), u"StringGrid1"_s);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->horizontalHeader()->setMinimumSectionSize(10);
    StringGrid1->verticalHeader()->setMinimumSectionSize(10);
    StringGrid1->horizontalHeader()->setDefaultSectionSize(10);
    StringGrid1->verticalHeader()->setDefaultSectionSize(10);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setFixedSize(20 * 10 + 2 * StringGrid1->frameWidth(),
                              20 * 10 + 2 * StringGrid1->frameWidth());
    StringGrid1->setCurrentCell(0, 0);
    StringGrid1->viewport()->setMouseTracking(true);
    StringGrid1->viewport()->installEventFilter(this);
    // Tab leaves the grid for the counts, as in any dialog; a selection stretched with
    // Shift and the arrows sets the counts as one dragged with the mouse does.
    StringGrid1->setTabKeyNavigation(false);
    connect(StringGrid1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TForm21::followSelection);

    // Counts are bounded, so a mistyped number cannot build a table the editor cannot hold.
    SpinEdit1 = namedWidget(new QSpinBox(this), u"SpinEdit1"_s);
    SpinEdit2 = namedWidget(new QSpinBox(this), u"SpinEdit2"_s);
    SpinEdit1->setRange(0, MaxCount);
    SpinEdit2->setRange(0, MaxCount);
    CheckBox2 = namedWidget(new QCheckBox(u"Nevytvářet hlavičku"_s, this), u"CheckBox2"_s);
    CheckBox1 = namedWidget(new QCheckBox(u"Použít nastavení z okna tabulky"_s, this), u"CheckBox1"_s);
    CheckBox1->setChecked(false);
    CheckBox1->setEnabled(tableWindowOpen);
    Button1 = namedWidget(new QPushButton(u"Vytvořit"_s, this), u"Button1"_s);
    Button1->setDefault(true);
    Button2 = namedWidget(new QPushButton(u"Zpět"_s, this), u"Button2"_s);

    auto *numbers = new QGridLayout;
    addRow(numbers, u"Výška"_s, SpinEdit1);
    addRow(numbers, u"Šířka"_s, SpinEdit2);
    auto *side = new QVBoxLayout;
    side->addLayout(numbers);
    side->addWidget(CheckBox2);
    side->addWidget(CheckBox1);
    side->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(StringGrid1);
    top->addLayout(side);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

TableGridFields TForm21::fields() const
{
    static const FieldBindings<TableGridFields> grid{{&TableGridFields::rows, "SpinEdit1"},
                                                     {&TableGridFields::columns, "SpinEdit2"},
                                                     {&TableGridFields::noHeader, "CheckBox2"}};
    return grid.read(*this);
}

bool TForm21::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == StringGrid1->viewport()
        && (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonRelease)) {
        // Let the grid move its selection first, then follow it.
        const bool handled = QDialog::eventFilter(watched, event);
        QMetaObject::invokeMethod(this, &TForm21::followSelection, Qt::QueuedConnection);
        return handled;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm21::followSelection()
{
    const QList<QTableWidgetSelectionRange> ranges = StringGrid1->selectedRanges();
    if (ranges.isEmpty())
        return;
    const QTableWidgetSelectionRange &r = ranges.first();
    SpinEdit1->setValue(r.rowCount());
    SpinEdit2->setValue(r.columnCount());
}
