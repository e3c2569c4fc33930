// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One memory view window (frmAll, frmCh99, frmPms, frmQmb): the grid of its table, the view
// options, the commands, and the row selection by click. The row operations that live in
// other parts of the program (editor, comments, reordering, scan, files, printing) are
// reached through the signals below; each fires only when the program is not busy. The
// comment, scan and progress rows belong to their operations; the view only gives them their
// places. The status bar names the radio the program works with.

#include <QMainWindow>

#include "channelindex.h"
#include "clickdispatch.h"

class QAction;
class QBoxLayout;
class QPushButton;
class QRadioButton;
class QStackedLayout;

namespace vardo {

class ChannelGrid;
class ViewHost;
struct ViewDescriptor;

class MemoryView : public QMainWindow {
    Q_OBJECT
public:
    MemoryView(ViewKind kind, ViewHost& host, QWidget* parent = nullptr);
    ~MemoryView() override;

    [[nodiscard]] ViewKind kind() const { return m_kind; }
    [[nodiscard]] ChannelGrid* grid() const { return m_grid; }
    // A command button by its objectName ("cmdSave", ...); null when this view has none.
    [[nodiscard]] QPushButton* button(const QString& name) const;
    // Gives the button the keyboard if it is shown; a hidden button cannot take it, and the
    // focus then stays where it is. True when the button has it.
    bool focusButton(const char* name);

    // The comment row and the scan row take turns with the options on the options' line: the
    // comment row while its box is open, the scan row while the options are hidden. The line
    // is as large as the largest of them, so none makes the window grow.
    void placeCommentRow(QWidget* row);
    void showCommentRow(bool shown);
    void placeScanRow(QWidget* row);
    // The progress row goes on the right of the status bar.
    void placeProgressRow(QWidget* row);

    // The radio the search found, as the status bar names it; Compare works only with one.
    void setRadio(const QString& statusText, bool found);

    // A click on the cell (row from 1), or with `byKey` its Enter, F2 or context menu: the same
    // action, but the keyboard stays on the grid.
    void activateCell(int row, int column, bool byKey);
    // What the click rules know of a cell now.
    [[nodiscard]] ClickInput cellState(int row, int column) const;

    // The grid's current cell, rows from 1.
    [[nodiscard]] int currentRow() const;
    [[nodiscard]] int currentColumn() const;
    void setCurrentCell(int row, int column);
    // Selects columns 0..10 of `row` (current column 0), scrolling it into view.
    void selectRow(int row);
    // The selection highlight; switching it off clears the selection.
    void setHighlight(bool on);
    // Whether grid row `row` shows whole in the grid, and scrolling it to the top.
    [[nodiscard]] bool rowVisible(int row) const;
    void setTopRow(int row);

    // The own-option steps: move set hidden, own option set, current view recorded, shown.
    void showAsCurrent();
    void setOptionChecked(ViewKind kind);

    // The four options and the normal command set (Read .. Exit).
    void setNormalCommandsVisible(bool visible);
    void enterSortMode(int row);
    void leaveSortMode();  // cmdOK
    // The row Up and Down move: the one the highlight shows (0 outside sort mode). While a row
    // is picked the grid's current row stays on it, whatever is clicked or keyed.
    [[nodiscard]] int pickedRow() const { return m_pickedRow; }
    void pickRow(int row);

Q_SIGNALS:
    // A command button or an option was pressed (by click, key or access key), before it acts:
    // boxes open over the view close first.
    void commandStarting();
    void sortModeEntered();          // a row was picked for moving
    void editRequested(int row);     // a settings cell of a row with data
    void commentRequested(int row);  // the Comments cell
    void scanClicked(int row, int column);  // a click while the scan is set up
    void scanRequested();            // cmdScan
    void escapePressed();            // Esc on the grid or on a box that passes it up
    void upRequested();              // cmdUp
    void downRequested();            // cmdDown
    void saveRequested();            // cmdSave
    void loadRequested();            // cmdLoad
    void printRequested();           // cmdPrint
    void compareRequested();         // Radio, Compare with Radio (actCompare)

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildWindow();
    QWidget* buildOptions();
    QWidget* buildCommands();
    void buildMenu();
    void buildEditMenu();
    QPushButton* addButton(QWidget* parent, const char* name, const char* caption);
    // Connects a button to a hook signal behind the busy guard.
    void forward(const char* name, void (MemoryView::*hook)());

    void onRead();
    void onCompare();
    // Enables the menu commands that wait for the radio and the normal commands.
    void updateCommands();
    void onClear();
    void onExit();
    void onOption(ViewKind target);
    void refuse(const QString& message, bool byKey);
    [[nodiscard]] bool busy() const;
    void setMoveButtonsVisible(bool visible);

    ViewKind m_kind;
    const ViewDescriptor& m_descriptor;
    ViewHost& m_host;
    ChannelGrid* m_grid = nullptr;
    QStackedLayout* m_optionsLine = nullptr;  // the options, the scan row or the comment row
    QWidget* m_scanRow = nullptr;
    QWidget* m_commentRow = nullptr;
    QList<QRadioButton*> m_options;
    QList<QPushButton*> m_normalCommands;
    QList<QPushButton*> m_moveCommands;
    QAction* m_compare = nullptr;
    QAction* m_undo = nullptr;  // actUndo, actRedo: the program's one undo stack
    QAction* m_redo = nullptr;
    bool m_radioFound = false;
    bool m_commandsShown = true;  // the normal commands, which sort and scan mode put away
    bool m_highlight = false;
    int m_pickedRow = 0;
};

}  // namespace vardo
