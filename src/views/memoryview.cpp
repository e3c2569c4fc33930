// SPDX-License-Identifier: GPL-3.0-or-later
#include "memoryview.h"

#include <utility>

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedLayout>
#include <QStatusBar>
#include <QVBoxLayout>

#include "busystate.h"
#include "channelgrid.h"
#include "clickdispatch.h"
#include "rowmenu.h"
#include "tablesteps.h"
#include "windowkit.h"
#include "viewdescriptor.h"
#include "viewfamily.h"
#include "viewhost.h"
#include "viewstate.h"

namespace vardo {
namespace {

constexpr int kScrollingRows = 15;  // rows the long views show at once

}  // namespace

MemoryView::MemoryView(ViewKind kind, ViewHost& host, QWidget* parent)
    : QMainWindow(parent), m_kind(kind), m_descriptor(Descriptor(kind)), m_host(host)
{
    setObjectName(QString::fromLatin1(m_descriptor.objectName));
    // Qt shows the placeholder as "*" only while the view is unsaved.
    setWindowTitle(QString::fromLatin1(m_descriptor.caption) + QStringLiteral("[*]"));
    buildWindow();
    buildMenu();
    setFont(ControlFont());
    m_grid->layOutColumns();
    // The options and commands hide in sort and scan modes; their rows keep their height, so
    // the grid does not jump.
    for (QWidget* row : {m_options.first()->parentWidget(), button(QStringLiteral("cmdRead"))->parentWidget()})
        row->setMinimumHeight(row->sizeHint().height());
    const int rows = std::min(kScrollingRows, RowCount(kind));
    m_grid->setMinimumHeight(m_grid->heightForRows(rows));
    if (rows == RowCount(kind)) {
        // A view whose rows all show at once grows only in width: taller would leave a band.
        m_grid->setMaximumHeight(m_grid->heightForRows(rows));
        layout()->setSizeConstraint(QLayout::SetMinAndMaxSize);
    }
    // A screen too small for the window (a large scale on a small screen) gets the window at
    // its size, the grid scrolling.
    const QSize room = screen()->availableSize();
    if (sizeHint().boundedTo(room) != sizeHint()) {
        m_grid->yieldRoom(minimumSizeHint() - room);
        // The window's minimum, which the layouts already gave it, is taken again.
        centralWidget()->layout()->activate();
        layout()->invalidate();
        layout()->activate();
        resize(sizeHint().boundedTo(room));
    }
}

MemoryView::~MemoryView()
{
    // The keyboard leaves first: a box that closes when it loses it (the comments) then closes
    // while the window is whole, not while its controls are being taken apart.
    if (QWidget* focus = focusWidget())
        focus->clearFocus();
}

void MemoryView::buildWindow()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_grid = new ChannelGrid(m_host.family().table(m_kind), central);
    layout->addWidget(m_grid, 1);
    m_optionsLine = new QStackedLayout;
    m_optionsLine->addWidget(buildOptions());
    layout->addLayout(m_optionsLine);
    layout->addWidget(buildCommands());
    setCentralWidget(central);
    // There from the start, so the window keeps its height once the radio is named.
    ShowRadioLine(*this, QString());

    connect(m_grid, &ChannelGrid::clicked, this,
            [this](const QModelIndex& index) { activateCell(index.row() + 1, index.column(), false); });
    connect(m_grid, &ChannelGrid::cellActivated, this, [this](int row, int column) { activateCell(row, column, true); });
    connect(m_grid, &ChannelGrid::rowMenuRequested, this,
            [this](int row, const QPoint& at) { ShowRowMenu(*this, row, at); });
    connect(m_grid, &ChannelGrid::escapePressed, this, &MemoryView::escapePressed);
    // A click on another row's Mode cell, a refused click or an arrow key would move the
    // current row away from the picked one, and Up/Down would then move a row not shown.
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        // Not scrolled: a click still under way must end on the cell it started on.
        if (m_pickedRow != 0 && current.row() + 1 != m_pickedRow)
            setCurrentCell(m_pickedRow, ColLabel);
    });
}

QWidget* MemoryView::buildOptions()
{
    auto* box = new QWidget(this);
    QHBoxLayout* row = FlatRow(box);
    m_options = AddViewOptions(*box, *row, [this](ViewKind target) { onOption(target); });
    row->addStretch(1);
    setOptionChecked(m_kind);
    return box;
}

QPushButton* MemoryView::addButton(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    parent->layout()->addWidget(button);
    // Connected before the command itself, so it runs first.
    connect(button, &QPushButton::clicked, this, &MemoryView::commandStarting);
    return button;
}

QWidget* MemoryView::buildCommands()
{
    auto* box = new QWidget(this);
    QHBoxLayout* row = FlatRow(box);
    m_normalCommands = {addButton(box, "cmdRead", "&Read"), addButton(box, "cmdSave", "&Save"),
                        addButton(box, "cmdLoad", "&Load"), addButton(box, "cmdClear", "&Clear")};
    if (m_descriptor.scanControls)
        m_normalCommands.append(addButton(box, "cmdScan", "Sca&n"));
    m_normalCommands << addButton(box, "cmdPrint", "&Print") << addButton(box, "cmdExit", "&Exit");
    if (m_descriptor.moveButtons) {
        m_moveCommands = {addButton(box, "cmdUp", "&Up"), addButton(box, "cmdDown", "&Down"),
                          addButton(box, "cmdOK", "&Ok")};
        setMoveButtonsVisible(false);
    }
    row->addStretch(1);

    connect(button(QStringLiteral("cmdRead")), &QPushButton::clicked, this, &MemoryView::onRead);
    connect(button(QStringLiteral("cmdClear")), &QPushButton::clicked, this, &MemoryView::onClear);
    connect(button(QStringLiteral("cmdExit")), &QPushButton::clicked, this, &MemoryView::onExit);
    forward("cmdSave", &MemoryView::saveRequested);
    forward("cmdLoad", &MemoryView::loadRequested);
    forward("cmdPrint", &MemoryView::printRequested);
    forward("cmdScan", &MemoryView::scanRequested);
    forward("cmdUp", &MemoryView::upRequested);
    forward("cmdDown", &MemoryView::downRequested);
    if (QPushButton* ok = button(QStringLiteral("cmdOK")))
        connect(ok, &QPushButton::clicked, this, &MemoryView::leaveSortMode);
    return box;
}

void MemoryView::forward(const char* name, void (MemoryView::*hook)())
{
    if (QPushButton* b = button(QString::fromLatin1(name)))
        connect(b, &QPushButton::clicked, this, [this, hook] {
            if (!busy())
                Q_EMIT(this->*hook)();
        });
}

void MemoryView::buildMenu()
{
    buildEditMenu();
    // Alt+R is Read's: the menu takes another letter.
    QMenu* radio = menuBar()->addMenu(QStringLiteral("R&adio"));
    radio->setObjectName(QStringLiteral("mnuRadio"));
    m_compare = radio->addAction(QStringLiteral("&Compare with Radio"));
    m_compare->setObjectName(QStringLiteral("actCompare"));
    connect(m_compare, &QAction::triggered, this, &MemoryView::onCompare);
    connect(&m_host.busyState(), &BusyState::busyChanged, this, &MemoryView::updateCommands);
    updateCommands();
    AddHelpMenu(*this, [this] { m_host.showHelp(); }, [this] { m_host.showAbout(); });
}

void MemoryView::buildEditMenu()
{
    // Alt+E is Exit's: the menu takes another letter.
    QMenu* edit = menuBar()->addMenu(QStringLiteral("Ed&it"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    m_undo = edit->addAction(QString());
    m_undo->setObjectName(QStringLiteral("actUndo"));
    m_undo->setShortcuts(QKeySequence::Undo);
    m_redo = edit->addAction(QString());
    m_redo->setObjectName(QStringLiteral("actRedo"));
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    TableSteps& steps = m_host.tableSteps();
    connect(m_undo, &QAction::triggered, &steps, &TableSteps::undo);
    connect(m_redo, &QAction::triggered, &steps, &TableSteps::redo);
    connect(&steps, &TableSteps::changed, this, &MemoryView::updateCommands);
}

void MemoryView::setRadio(const QString& statusText, bool found)
{
    ShowRadioLine(*this, statusText);
    m_radioFound = found;
    updateCommands();
}

void MemoryView::updateCommands()
{
    // Compare, Undo and Redo are commands like Read: not while the radio or the program is
    // busy, nor while the scan or the moving of rows has put the commands away (rows changed
    // under a picked row or a scan set-up would be others than those shown).
    const bool free = !busy() && m_commandsShown;
    if (m_compare)
        m_compare->setEnabled(m_radioFound && free);
    if (!m_undo)
        return;
    const QUndoStack& stack = m_host.tableSteps().stack();
    m_undo->setText(stack.canUndo() ? QStringLiteral("&Undo %1").arg(stack.undoText())
                                    : QStringLiteral("Nothing to undo"));
    m_redo->setText(stack.canRedo() ? QStringLiteral("&Redo %1").arg(stack.redoText())
                                    : QStringLiteral("Nothing to redo"));
    m_undo->setEnabled(stack.canUndo() && free);
    m_redo->setEnabled(stack.canRedo() && free);
}

QPushButton* MemoryView::button(const QString& name) const
{
    return findChild<QPushButton*>(name);
}

void MemoryView::placeCommentRow(QWidget* row)
{
    m_commentRow = row;
    m_optionsLine->addWidget(row);
}

void MemoryView::showCommentRow(bool shown)
{
    m_optionsLine->setCurrentWidget(shown ? m_commentRow : m_options.first()->parentWidget());
}

void MemoryView::placeProgressRow(QWidget* row)
{
    statusBar()->addPermanentWidget(row);
}

void MemoryView::placeScanRow(QWidget* row)
{
    m_scanRow = row;
    m_optionsLine->addWidget(row);
}

bool MemoryView::busy() const
{
    return m_host.busyState().busy();
}

int MemoryView::currentRow() const
{
    return m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() + 1 : 0;
}

int MemoryView::currentColumn() const
{
    return m_grid->currentIndex().isValid() ? m_grid->currentIndex().column() : 0;
}

void MemoryView::setCurrentCell(int row, int column)
{
    const QModelIndex index = m_grid->model()->index(row - 1, column);
    if (index.isValid())
        m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void MemoryView::selectRow(int row)
{
    setCurrentCell(row, ColLabel);
    const QAbstractItemModel* model = m_grid->model();
    const QModelIndex first = model->index(row - 1, ColLabel);
    if (!first.isValid())
        return;
    if (m_highlight)
        m_grid->selectionModel()->select(QItemSelection(first, model->index(row - 1, ColComment)),
                                         QItemSelectionModel::ClearAndSelect);
    m_grid->scrollTo(first);
}

void MemoryView::setHighlight(bool on)
{
    m_highlight = on;
    if (!on)
        m_grid->clearSelection();
}

bool MemoryView::rowVisible(int row) const
{
    const QModelIndex index = m_grid->model()->index(row - 1, ColLabel);
    return index.isValid() && m_grid->viewport()->rect().contains(m_grid->visualRect(index));
}

void MemoryView::setTopRow(int row)
{
    const QModelIndex index = m_grid->model()->index(row - 1, ColLabel);
    if (index.isValid())
        m_grid->scrollTo(index, QAbstractItemView::PositionAtTop);
}

void MemoryView::setOptionChecked(ViewKind kind)
{
    SetOptionQuietly(*m_options.at(static_cast<qsizetype>(kind)));
}

void MemoryView::showAsCurrent()
{
    setMoveButtonsVisible(false);
    setOptionChecked(m_kind);
    m_host.setCurrentView(m_kind);
    show();
    activateWindow();
}

void MemoryView::setNormalCommandsVisible(bool visible)
{
    for (QRadioButton* option : std::as_const(m_options))
        option->setVisible(visible);
    for (QPushButton* command : std::as_const(m_normalCommands))
        command->setVisible(visible);
    // Sort and scan modes put the scan line in the options' place (empty until a scan).
    if (m_scanRow)
        m_optionsLine->setCurrentWidget(visible ? m_options.first()->parentWidget() : m_scanRow);
    m_commandsShown = visible;
    updateCommands();
}

void MemoryView::setMoveButtonsVisible(bool visible)
{
    for (QPushButton* command : std::as_const(m_moveCommands))
        command->setVisible(visible);
}

bool MemoryView::focusButton(const char* name)
{
    QPushButton* b = button(QString::fromLatin1(name));
    if (!b || !b->isVisibleTo(this))
        return false;
    b->setFocus(Qt::OtherFocusReason);
    return true;
}

void MemoryView::enterSortMode(int row)
{
    m_host.viewState().SortMode = true;
    setHighlight(true);
    pickRow(row);
    setNormalCommandsVisible(false);
    setMoveButtonsVisible(true);
    Q_EMIT sortModeEntered();
}

void MemoryView::pickRow(int row)
{
    m_pickedRow = row;
    selectRow(row);
}

void MemoryView::leaveSortMode()
{
    const int row = std::exchange(m_pickedRow, 0);
    setHighlight(false);
    setCurrentCell(row, ColFreq);
    setMoveButtonsVisible(false);
    setNormalCommandsVisible(true);
    m_host.viewState().SortMode = false;
    focusButton("cmdSave");
}

void MemoryView::keyPressEvent(QKeyEvent* event)
{
    // The digit box passes Esc up to the window: it ends the scan there as it does on the grid.
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT escapePressed();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MemoryView::onRead()
{
    if (!busy())
        m_host.readChannels(m_kind);
}

void MemoryView::onCompare()
{
    Q_EMIT commandStarting();
    if (m_compare->isEnabled() && !busy())
        Q_EMIT compareRequested();
}

void MemoryView::onClear()
{
    if (!busy())
        m_host.tableSteps().record(QStringLiteral("Clear"), [this] { m_host.family().clear(m_kind); });
}

void MemoryView::onExit()
{
    if (!busy())
        m_host.closeAll();
}

void MemoryView::onOption(ViewKind target)
{
    Q_EMIT commandStarting();
    if (busy()) {
        setOptionChecked(m_kind);  // the click toggled the button; put it back
        return;
    }
    if (target == m_kind)
        showAsCurrent();
    else
        m_host.switchView(m_kind, target);
}

void MemoryView::refuse(const QString& message, bool byKey)
{
    ShowMessage(this, message);
    if (!byKey)
        focusButton("cmdLoad");
}

ClickInput MemoryView::cellState(int row, int column) const
{
    const ViewState& state = m_host.viewState();
    const ChannelTable& table = m_host.family().table(m_kind);
    return {m_kind, row, column, table.hasData(row), table.masked(row),
            busy(), state.SortMode, state.ScanMode, state.Scanning};
}

void MemoryView::activateCell(int row, int column, bool byKey)
{
    const ClickOutcome outcome = DispatchClick(cellState(row, column));
    if (byKey && outcome.action != ClickAction::Nothing)
        setCurrentCell(row, column);  // where a click would have put it
    switch (outcome.action) {
    case ClickAction::Nothing:
        return;
    case ClickAction::ScanPick:
        Q_EMIT scanClicked(row, column);
        return;
    case ClickAction::Refuse:
        refuse(outcome.message, byKey);
        return;
    case ClickAction::LoadVfoA:
        m_host.loadVfoA(outcome.radioChannel);
        if (!byKey)
            focusButton("cmdExit");
        return;
    case ClickAction::PickRow:
        enterSortMode(row);
        return;
    case ClickAction::OpenEditor:
        Q_EMIT editRequested(row);
        return;
    case ClickAction::EditComment:
        Q_EMIT commentRequested(row);
        return;
    }
}

void MemoryView::closeEvent(QCloseEvent* event)
{
    // The program decides when windows go: every window closes together, and not while an
    // operation is under way.
    event->ignore();
    m_host.closeAll();
}

}  // namespace vardo
