// SPDX-License-Identifier: GPL-3.0-or-later
#include "channeleditor.h"

#include <algorithm>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "windowkit.h"

namespace vardo {
namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kLabelTop = 480;
constexpr int kLabelHeight = 255;
constexpr int kMargin = 240;  // around the controls, in twips

// Where each input stands, in twips, and its label's caption and left edge.
struct Place {
    const char* control;
    const char* label;
    const char* caption;
    int labelLeft;
    int left, top, width, height;
};

constexpr Place kPlaces[] = {
    {"txtFreq", "lblFreq", "Freq (kHz)", 240, 240, 720, 855, 285},
    {"lstMode", "lblMode", "Mode", 1680, 1440, 720, 975, 2205},
    {"lst82Filt", "lbl82Filt", "8.2 Filter", 2760, 2760, 720, 615, 1035},
    {"lst455Filt", "lbl455Filt", "455 Filter", 3720, 3720, 720, 615, 1035},
    {"lstAnt", "lblAnt", "Ant", 4800, 4680, 720, 615, 840},
    {"lstRxRit", "lblRxRit", "Rx RIT", 5640, 5640, 720, 615, 450},
    {"lstTxRit", "lblTxRit", "Tx RIT", 6600, 6600, 720, 615, 450},
    {"txtOffset", "lblOffset", "Offset", 7560, 7560, 720, 495, 285},
    {"lstRpt", "lblRpt", "RPT", 8400, 8400, 720, 495, 645},
    {"cmdOK", nullptr, nullptr, 0, 3720, 2280, 975, 375},
    {"CmdCancel", nullptr, nullptr, 0, 5040, 2280, 975, 375},
};

constexpr int kCaptionLeft = 1800;
constexpr int kCaptionTop = 120;
constexpr int kWindowWidth = 8400 + 495 + kMargin;

const QString kWidestFreq = QStringLiteral("30009.99*");
const QString kWidestOffset = QStringLiteral("-9.99");

const QStringList kModes = {"LSB", "USB", "CW (usb)", "CW (lsb)", "AM (env)", "AM (sync)",
                            "FM", "RTTY (lsb)", "RTTY (usb)", "PKT (lsb)", "PKT (fm)"};
const QStringList kFilters82 = {"250", "500", "2.0K", "2.4K", "Thru"};
const QStringList kFilters455 = {"250", "500", "2.0K", "2.4K", "6.0K"};
const QStringList kAntennas = {"A", "B", "Rx (A)", "Rx (B)"};
const QStringList kSwitches = {"OFF", "ON"};
const QStringList kShifts = {"OFF", "+RPT", "-RPT"};

// A list of choices: Ctrl+click or Ctrl+Space on the chosen item keeps it chosen, so a list
// the operator has picked from is never left empty.
class ChoiceList : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    [[nodiscard]] QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                                       const QEvent* event) const override
    {
        const QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
        if (flags.testAnyFlags(QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)
            && selectionModel()->isSelected(index))
            return QItemSelectionModel::NoUpdate;
        return flags;
    }
};

[[nodiscard]] QString ListText(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

// Selects the item with exactly this text; no such item leaves the list without a selection.
void Select(QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    list->clearSelection();
    list->setCurrentRow(found.isEmpty() ? -1 : list->row(found.first()));
}

// A list is never shorter than its items: every choice stays visible without scrolling.
[[nodiscard]] int FullHeight(const QListWidget* list)
{
    return list->sizeHintForRow(0) * list->count() + 2 * list->frameWidth();
}

// Room for a text in a box: the text plus the box's own frame and margins.
[[nodiscard]] int BoxWidth(const QLineEdit* box, const QString& text)
{
    const QFontMetrics metrics = box->fontMetrics();
    return metrics.horizontalAdvance(text) + box->minimumSizeHint().width() - metrics.maxWidth();
}

}  // namespace

ChannelEditor::ChannelEditor(const QString& caption, const RowCells& cells, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmChanges"));
    setWindowTitle(QStringLiteral("Memory Channel Editor"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(ControlFont());
    m_page = new QWidget(this);
    auto* heading = new QLabel(caption, m_page);
    heading->setObjectName(QStringLiteral("lblChanges"));
    buildControls();
    placeControls();
    setTabOrder();
    fill(cells);
    connect(m_load, &QPushButton::clicked, this, &ChannelEditor::onLoad);
    connect(m_cancel, &QPushButton::clicked, this, &ChannelEditor::onCancel);
}

QLineEdit* ChannelEditor::addBox(const char* name)
{
    auto* box = new QLineEdit(m_page);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QListWidget* ChannelEditor::addList(const char* name, const QStringList& items)
{
    auto* list = new ChoiceList(m_page);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(items);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

void ChannelEditor::buildControls()
{
    m_freq = addBox("txtFreq");
    m_mode = addList("lstMode", kModes);
    m_filt82 = addList("lst82Filt", kFilters82);
    m_filt455 = addList("lst455Filt", kFilters455);
    m_ant = addList("lstAnt", kAntennas);
    m_rxRit = addList("lstRxRit", kSwitches);
    m_txRit = addList("lstTxRit", kSwitches);
    m_offset = addBox("txtOffset");
    m_rpt = addList("lstRpt", kShifts);
    m_load = new QPushButton(QStringLiteral("&Load"), m_page);
    m_load->setObjectName(QStringLiteral("cmdOK"));
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), m_page);
    m_cancel->setObjectName(QStringLiteral("CmdCancel"));
    for (QPushButton* button : {m_load, m_cancel})
        button->setAutoDefault(false);
    for (const Place& place : kPlaces) {
        if (!place.label)
            continue;
        const QString caption = QString::fromLatin1(place.caption);
        auto* label = new QLabel(caption, m_page);
        label->setObjectName(QString::fromLatin1(place.label));
        auto* control = findChild<QWidget*>(QString::fromLatin1(place.control));
        label->setBuddy(control);
        // A list's accessible name does not come from its buddy label: it is given.
        control->setAccessibleName(caption);
    }
}

QRect ChannelEditor::Twips(int left, int top, int width, int height, QPointF stretch) const
{
    const auto x = [&](int twips) { return qRound(twips * stretch.x() * logicalDpiX() / kTwipsPerInch); };
    const auto y = [&](int twips) { return qRound(twips * stretch.y() * logicalDpiY() / kTwipsPerInch); };
    return QRect(x(left), y(top), x(width), y(height));
}

// How far the twips layout must stretch so that every list shows its items whole and every
// box its longest value: the old layout was drawn for a smaller font than most systems use.
QPointF ChannelEditor::stretch() const
{
    QPointF factor(1.0, 1.0);
    for (const Place& place : kPlaces) {
        auto* control = findChild<QWidget*>(QString::fromLatin1(place.control));
        const QRect base = Twips(place.left, place.top, place.width, place.height);
        QSize needed;
        if (auto* list = qobject_cast<QListWidget*>(control))
            needed = QSize(list->sizeHintForColumn(0) + 2 * list->frameWidth(), FullHeight(list));
        else if (auto* box = qobject_cast<QLineEdit*>(control))
            needed = QSize(BoxWidth(box, box == m_freq ? kWidestFreq : kWidestOffset), box->sizeHint().height());
        else
            continue;  // the buttons' captions fit at any common font size
        factor.setX(std::max(factor.x(), qreal(needed.width()) / base.width()));
        factor.setY(std::max(factor.y(), qreal(needed.height()) / base.height()));
    }
    return factor;
}

void ChannelEditor::placeControls()
{
    const QPointF factor = stretch();
    int bottom = 0;
    for (const Place& place : kPlaces) {
        const QRect rect = Twips(place.left, place.top, place.width, place.height, factor);
        findChild<QWidget*>(QString::fromLatin1(place.control))->setGeometry(rect);
        bottom = std::max(bottom, rect.bottom());
        if (place.label)
            placeLabel(place.label, place.labelLeft, kLabelTop, factor);
    }
    const int right = placeLabel("lblChanges", kCaptionLeft, kCaptionTop, factor);
    const QRect margin = Twips(0, 0, kWindowWidth, kMargin, factor);
    m_page->setFixedSize(std::max(margin.width(), right + margin.height()), bottom + margin.height());
    // The whole page where the screen has room for it; where it has not (a large scale on a
    // small screen), the page scrolls in a window the screen holds.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(m_page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    const QSize room = screen()->availableSize();
    QSize size = m_page->size();
    if (size.width() > room.width())
        size.rheight() += scroll->horizontalScrollBar()->sizeHint().height();
    if (size.height() > room.height())
        size.rwidth() += scroll->verticalScrollBar()->sizeHint().width();
    setFixedSize(size.boundedTo(room));
}

int ChannelEditor::placeLabel(const char* name, int left, int top, QPointF factor)
{
    auto* label = findChild<QLabel*>(QString::fromLatin1(name));
    const QRect at = Twips(left, top, 0, kLabelHeight, factor);
    label->setGeometry(at.x(), at.y(), label->sizeHint().width(), std::max(at.height(), label->sizeHint().height()));
    return label->geometry().right();
}

void ChannelEditor::setTabOrder()
{
    const QList<QWidget*> order = {m_freq, m_mode, m_filt82, m_filt455, m_ant, m_rxRit,
                                   m_txRit, m_offset, m_rpt, m_load, m_cancel};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void ChannelEditor::fill(const RowCells& cells)
{
    m_freq->setText(cells[CellIndex(ColFreq)].trimmed());
    Select(m_mode, cells[CellIndex(ColMode)]);
    Select(m_filt82, cells[CellIndex(Col82)]);
    Select(m_filt455, cells[CellIndex(Col455)]);
    Select(m_ant, cells[CellIndex(ColAnt)]);
    Select(m_rxRit, cells[CellIndex(ColRxRit)]);
    Select(m_txRit, cells[CellIndex(ColTxRit)]);
    m_offset->setText(cells[CellIndex(ColOffset)].trimmed());
    Select(m_rpt, cells[CellIndex(ColRpt)]);
}

EditTexts ChannelEditor::texts() const
{
    return EditTexts{m_freq->text(),      m_offset->text(),  ListText(m_mode),
                     ListText(m_filt82),  ListText(m_filt455), ListText(m_ant),
                     ListText(m_rxRit),   ListText(m_txRit), ListText(m_rpt)};
}

void ChannelEditor::onLoad()
{
    const EditVerdict verdict = ValidateEdit(texts());
    if (const auto* rejection = std::get_if<EditRejection>(&verdict)) {
        refuse(*rejection);
        return;
    }
    // Whoever takes the edit may close this window meanwhile (a view switch while a message waits).
    const QPointer<ChannelEditor> self(this);
    Q_EMIT loaded(std::get<ValidEdit>(verdict));
    if (self)
        close();
}

void ChannelEditor::refuse(const EditRejection& rejection)
{
    m_freq->setText(rejection.freqBox);
    m_offset->setText(rejection.offsetBox);
    const QPointer<ChannelEditor> self(this);
    ShowMessage(this, rejection.message, QMessageBox::Warning);
    if (!self)
        return;  // closed by the program while the message waited
    if (auto* control = findChild<QWidget*>(rejection.focus); control && !rejection.focus.isEmpty())
        control->setFocus(Qt::OtherFocusReason);
}

void ChannelEditor::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        onCancel();
        return;
    }
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && button) {
        if (!event->isAutoRepeat())
            button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ChannelEditor::onCancel()
{
    Q_EMIT cancelled();
    close();
}

}  // namespace vardo
