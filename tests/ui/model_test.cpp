// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program against a small reference model of its own: seeded random operator
// actions on the real windows (offscreen, the emulator in-process without waits), and after
// every step every table, saved file, the emulator's memory and Undo as the model has them, and
// no message box waiting. A failure prints the seed and the shortest failing sequence.
// 1000 steps by default; VARDO_MODEL_SEED/VARDO_MODEL_STEPS or --seed N --steps N choose
// others; VARDO_MODEL_LOG=1 prints every step.

#include <optional>
#include <random>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>

#include "app_harness.h"
#include "channeleditor.h"
#include "codec.h"
#include "editorcommands.h"
#include "messageboxhelper.h"
#include "savedfilestore.h"

using namespace vardo;
using namespace vardo::test;

namespace {

constexpr quint32 kDefaultSeed = 20261207;
constexpr int kDefaultSteps = 1000;
constexpr int kShrinkBudget = 4000;  // steps run while shrinking, so a failure ends in reasonable time

quint32 g_seed = kDefaultSeed;
int g_steps = kDefaultSteps;

enum class Act { Switch, Read, Click, Pick, Move, SortOk, Type, Stray, Save, Load, Clear, Scan, EditLoad, EditCancel,
                 Compare, Undo, Redo };
constexpr int kWeights[] = {6, 4, 12, 5, 12, 8, 10, 4, 5, 3, 2, 2, 8, 3, 3, 5, 3};  // in Act's order
constexpr std::size_t kUndoKept = 200;  // steps the program keeps

// One step as drawn: what it means depends on the state it meets.
struct Step {
    Act act;
    quint32 a, b, c;
};

// What the operator types in the editor's frequency box, and the Freq cell a Load then shows.
const std::pair<QString, QString> kFreqs[] = {{"7050", "7050.00  "},   {"14250.5", "14250.50  "},
                                              {"3573*", "3573.00* "},  {"10136", "10136.00  "},
                                              {"18100", "18100.00  "}, {"21074,5", "21074.50  "}};
const QStringList kModes{"LSB", "USB", "CW (usb)", "CW (lsb)", "AM (env)", "AM (sync)",
                         "FM", "RTTY (lsb)", "RTTY (usb)", "PKT (lsb)", "PKT (fm)"};
const QStringList kWords{"net", "dx 1", "beacon", "FT8", "Sundays", ""};

[[nodiscard]] RowCells Settings(RowCells cells, bool antenna = true)
{
    cells[CellIndex(ColComment)].clear();
    if (!antenna)
        cells[CellIndex(ColAnt)].clear();  // no command sets it: a stored channel keeps VFO-A's
    return cells;
}

// What Compare weighs of a row: its settings but the antenna, and in the QMB view, whose file
// never holds the mask, not the mask either.
[[nodiscard]] RowCells Compared(ViewKind view, const RowCells& cells)
{
    RowCells settings = Settings(cells, false);
    if (view == ViewKind::Qmb)
        settings[CellIndex(ColFreq)].replace(u'*', u' ');
    return settings;
}

[[nodiscard]] QString Joined(const RowCells& cells)
{
    return QStringList(cells.begin(), cells.end()).join(u'|');
}

// The reference's own rules, as the operator reads them in the help.

// Up and Down move a row within its block of grid rows; QMB rows move nowhere. The row a press
// moves the picked row to, if any.
struct Block {
    ViewKind view;
    int first;
    int last;
};
constexpr Block kBlocks[] = {{ViewKind::All, 1, 99}, {ViewKind::All, 100, 108}, {ViewKind::Ch99, 1, 99},
                             {ViewKind::Pms, 1, 9}};
[[nodiscard]] std::optional<int> MovedTo(ViewKind view, int row, bool up)
{
    for (const Block& b : kBlocks)
        if (b.view == view && row >= b.first && row <= b.last) {
            const int to = up ? row - 1 : row + 1;
            return to < b.first || to > b.last ? std::nullopt : std::optional(to);
        }
    return std::nullopt;
}

// What a click on a cell changes for the model. A refusal's message box and a VFO-A load
// change no table. A QMB row refuses columns 0 to 9 (frmAll rows 109-113, every frmQmb row); a
// row without data refuses all but the comment; in sort mode any other column picks the row.
enum class Clicked { Nothing, Pick, Editor, Comment };
[[nodiscard]] Clicked ClickOutcomeOf(ViewKind view, int row, int column, bool data, bool sort)
{
    const bool qmb = view == ViewKind::Qmb || (view == ViewKind::All && row >= 109);
    if (column == ColMode || (qmb && column < ColComment) || (!data && column < ColComment))
        return Clicked::Nothing;
    if (sort)
        return data ? Clicked::Pick : Clicked::Nothing;
    if (column <= ColFreq)
        return Clicked::Pick;
    if (column < ColComment)
        return Clicked::Editor;
    return data ? Clicked::Comment : Clicked::Nothing;
}

// The editor takes a mode only with filters and a shift it allows: FM-type modes need the
// wide filters, RTTY never the 250 Hz ones, and a repeater shift needs an FM-type mode.
[[nodiscard]] bool EditAccepted(const QString& mode, const RowCells& row)
{
    const QString f82 = row[CellIndex(Col82)];
    const QString f455 = row[CellIndex(Col455)];
    const bool fm = mode == "FM" || mode == "PKT (fm)";
    if (fm && (f82 != "Thru" || f455 != "6.0K"))
        return false;
    if (mode.startsWith("RTTY") && (f82 == "250" || f455 == "250"))
        return false;
    return fm || row[CellIndex(ColRpt)] == "OFF";
}

// A saved row that Load writes to the radio: one with data whose VFO frequency (the receive
// frequency less the offset when Rx RIT is on) the frequency command can carry.
[[nodiscard]] bool LoadWrites(const RowCells& row)
{
    QString freq = row[CellIndex(ColFreq)];
    if (freq.isEmpty())
        return false;
    double vfo = freq.remove(u'*').trimmed().toDouble();
    if (row[CellIndex(ColRxRit)] == "ON")
        vfo -= row[CellIndex(ColOffset)].toDouble();
    return vfo >= 100.0 && vfo < 100000.0;
}

// What the program should hold, kept by the rules the operator reads in the help.
struct Model {
    using Tables = std::array<std::vector<RowCells>, 4>;
    Tables tables;
    // Undo: the tables before each step, newest last; Redo: after each undone step.
    std::vector<Tables> undoSteps;
    std::vector<Tables> redoSteps;
    Tables start;  // the tables where the next step starts
    std::array<std::optional<std::vector<RowCells>>, 4> files;
    std::array<RowCells, kLastQmb + 1> radio;  // by channel index
    ViewKind current = ViewKind::All;
    int picked = 0;             // sort mode's row; 0 outside sort mode
    int commentRow = 0;         // the comment box's row; 0 while closed
    std::optional<int> editorRow;
    ViewKind editorView = ViewKind::All;
    RowCells editorCells;

    std::vector<RowCells>& rows(ViewKind v) { return tables[std::size_t(v)]; }
    RowCells& row(ViewKind v, int r) { return rows(v)[std::size_t(r - 1)]; }
    bool hasData(ViewKind v, int r) { return !row(v, r)[CellIndex(ColFreq)].isEmpty(); }
    int mirrorRow(ViewKind v, int r) { return RowOfChannel(MirrorView(v, ChannelOfRow(v, r)), ChannelOfRow(v, r)); }
    ViewKind mirror(ViewKind v, int r) { return MirrorView(v, ChannelOfRow(v, r)); }

    // A read or an edit: the settings reach both views that show the channel.
    void fill(int channel, const RowCells& cells)
    {
        for (ViewKind v : {ViewKind::All, MirrorView(ViewKind::All, channel)})
            for (std::size_t i = 0; i < CellIndex(ColComment); ++i)
                row(v, RowOfChannel(v, channel))[i] = cells[i];
    }
    void copyToMirror(ViewKind v, int r) { row(mirror(v, r), mirrorRow(v, r)) = row(v, r); }
    // A comment typed in the box; the mirror row takes it when it has data.
    void setComment(ViewKind v, int r, const QString& text, bool toMirror = true)
    {
        row(v, r)[CellIndex(ColComment)] = text;
        if (toMirror && mirrorRow(v, r) && hasData(mirror(v, r), mirrorRow(v, r)))
            row(mirror(v, r), mirrorRow(v, r))[CellIndex(ColComment)] = text;
    }

    // A step ends: kept for Undo if it changed a table.
    void boundary()
    {
        if (tables != start) {
            undoSteps.push_back(start);
            if (undoSteps.size() > kUndoKept)
                undoSteps.erase(undoSteps.begin());
            redoSteps.clear();
        }
        start = tables;
    }
    // The comment box closes: its visit is a step, before whatever the command then changes.
    void closeBox()
    {
        if (commentRow)
            boundary();
        commentRow = 0;
    }
    // A write to the radio: nothing is left to undo or redo.
    void forget()
    {
        undoSteps.clear();
        redoSteps.clear();
        start = tables;
    }
    // Undo (from undoSteps to redoSteps) or Redo (the other way).
    void swapIn(std::vector<Tables>& from, std::vector<Tables>& to)
    {
        to.push_back(tables);
        tables = from.back();
        from.pop_back();
        start = tables;
    }
};

class Run {
public:
    explicit Run(const std::vector<Step>& steps) : m_steps(steps) {}

    // Runs the steps; the index of the first that breaks an invariant and what broke.
    std::optional<std::pair<int, QString>> go()
    {
        if (!h.started())
            return std::pair{-1, QStringLiteral("the program did not start")};
        for (ViewKind v : kAllViews)
            m.rows(v).assign(std::size_t(RowCount(v)), RowCells{});
        for (int ch = 1; ch <= kLastQmb; ++ch)
            m.radio[std::size_t(ch)] = CellsFromChannel(DecodeRecord(h.radio->memory(ch)));
        m.start = m.tables;
        h.open(ViewKind::All);
        for (int i = 0; i < int(m_steps.size()); ++i) {
            m_keyed = false;
            const QString done = apply(m_steps[std::size_t(i)]);
            // A change to the edited row's settings closes the editor as Cancel.
            if (m.editorRow) {
                const RowCells now = m.row(m.editorView, *m.editorRow);
                for (int c = ColFreq; c <= ColRpt; ++c)
                    if (now[CellIndex(Column(c))] != m.editorCells[CellIndex(Column(c))])
                        m.editorRow.reset();
            }
            // A step ends with the command; a visit of the comment box when the box closes.
            if (!m.commentRow)
                m.boundary();
            log << (m_keyed ? done + QStringLiteral(" (by its access key)") : done);
            settle();
            if (const QString broken = check(); !broken.isEmpty())
                return std::pair{i, broken};
        }
        return std::nullopt;
    }

    QStringList log;

private:
    MemoryView& view() { return h.view(m.current); }
    ChannelEditor* editor() { return h.app->editorCommands().editor(); }
    QLineEdit* box() { return view().findChild<QLineEdit*>(QStringLiteral("txtComments")); }
    int rowOf(quint32 a)
    {
        // Half the picks near the top of the table, where moves and edits meet.
        const int rows = RowCount(m.current);
        return a % 2 ? int(a / 2 % quint32(std::min(rows, 12))) + 1 : int(a / 2 % quint32(rows)) + 1;
    }

    // Lets the step's last effects happen: a queued focus move, a radio operation's end.
    void settle()
    {
        (void)h.idle();
        QCoreApplication::processEvents();
        (void)h.idle();
    }

    // The window gets the keyboard, as when the operator clicks its title. Not
    // qWaitForWindowActive: a view counts as active while its editor is.
    void activate(QWidget& window)
    {
        window.activateWindow();
        if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }, 1000))
            qWarning("not active: %s", qPrintable(window.objectName()));
    }

    // A command button, by mouse or by its access key (Alt and the underlined letter).
    void command(const char* name, Qt::Key key, bool byKey)
    {
        MemoryView& v = view();
        activate(v);
        m_keyed = byKey;
        if (byKey) {
            QWidget* focus = QApplication::focusWidget();
            if (!h.pressByKey(v, key, focus && focus->window() == &v ? focus : &v))
                qWarning("no click by Alt+%c in %s", char(key), qPrintable(v.objectName()));
        } else {
            h.press(v, name);
        }
    }

    // A command the sort mode hides; given, it closes the comment box first.
    bool plainCommand(const char* name, Qt::Key key, bool byKey)
    {
        if (m.picked != 0)
            return false;
        command(name, key, byKey);
        m.closeBox();
        return true;
    }

    QString apply(const Step& s)
    {
        const bool sort = m.picked != 0;
        // Undo and Redo by their keys half the time; a command button by its access key one
        // time in eight, as Qt animates that click for a tenth of a second.
        const bool byKey = s.c % 2;
        const bool byAccessKey = s.c % 16 == 1;
        switch (s.act) {
        case Act::Switch: {
            const ViewKind to = kAllViews[s.a % 4];
            if (sort)
                return QStringLiteral("(switch: options hidden)");
            static constexpr const char* kOptions[] = {"optAll", "optCh99", "optPms", "optQmb"};
            MemoryView& v = view();
            activate(v);
            if (s.b % 3 == 0 && to != m.current) {
                QAccessibleInterface* option = QAccessible::queryAccessibleInterface(
                    v.findChild<QRadioButton*>(QString::fromLatin1(kOptions[int(to)])));
                option->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            } else {
                h.choose(v, kOptions[int(to)]);
            }
            m.closeBox();
            if (to != m.current)
                m.editorRow.reset();
            m.current = to;
            return QStringLiteral("switch to %1").arg(kOptions[int(to)]);
        }
        case Act::Read:
            if (!plainCommand("cmdRead", Qt::Key_R, byAccessKey))
                return QStringLiteral("(read: hidden)");
            if (!h.idle())
                return QStringLiteral("read did not end");
            for (int ch = FirstChannel(m.current); ch <= LastChannel(m.current); ++ch) {
                RowCells cells = m.radio[std::size_t(ch)];
                cells[CellIndex(ColAnt)] = CellsFromChannel(DecodeRecord(h.radio->memory(ch)))[CellIndex(ColAnt)];
                m.fill(ch, cells);
            }
            return QStringLiteral("read in %1").arg(view().objectName());
        case Act::Click:
        case Act::Pick: {
            const int row = rowOf(s.a);
            const int column = s.act == Act::Pick ? int(s.b % 2) : int(s.b % kColumnCount);
            return click(row, column);
        }
        case Act::Move: {
            if (!sort || m.current == ViewKind::Qmb)
                return QStringLiteral("(move: not in sort mode)");
            const bool up = s.a % 2;
            command(up ? "cmdUp" : "cmdDown", up ? Qt::Key_U : Qt::Key_D, byAccessKey);
            if (const std::optional<int> to = MovedTo(m.current, m.picked, up)) {
                std::swap(m.row(m.current, m.picked), m.row(m.current, *to));
                m.copyToMirror(m.current, m.picked);
                m.copyToMirror(m.current, *to);
                m.picked = *to;
            }
            return QStringLiteral("%1 on row %2").arg(up ? "cmdUp" : "cmdDown").arg(m.picked);
        }
        case Act::SortOk:
            if (!sort)
                return QStringLiteral("(ok: not in sort mode)");
            command("cmdOK", Qt::Key_O, byAccessKey);
            m.picked = 0;
            return QStringLiteral("cmdOK");
        case Act::Type: {
            QString opened;
            if (!m.commentRow)
                opened = click(rowOf(s.a), ColComment) + QStringLiteral(", ");
            if (!m.commentRow)
                return opened + QStringLiteral("(no box)");
            const QString word = kWords[s.b % quint32(kWords.size())];
            // Delete in an empty box changes nothing, so nothing is written: the mirror row
            // keeps whatever comment it has.
            const bool changes = !word.isEmpty() || !m.row(m.current, m.commentRow)[CellIndex(ColComment)].isEmpty();
            box()->selectAll();
            if (word.isEmpty())
                QTest::keyClick(box(), Qt::Key_Delete);
            else
                QTest::keyClicks(box(), word);
            m.setComment(m.current, m.commentRow, word, changes);
            if (s.c % 3 == 0) {
                QTest::keyClick(box(), Qt::Key_Return);
                m.closeBox();
            }
            return opened + QStringLiteral("type \"%1\"%2").arg(word, s.c % 3 == 0 ? QStringLiteral(", Enter") : QString());
        }
        case Act::Stray: {
            // A key pressed where the focus is: only an open comment box takes it.
            MemoryView& v = view();
            activate(v);
            QWidget* focus = QApplication::focusWidget();
            if (!focus || focus->window() != &v || qobject_cast<QLineEdit*>(focus) != box())
                return QStringLiteral("(stray key: no box)");
            QTest::keyClick(focus, Qt::Key_X);
            m.setComment(m.current, m.commentRow, m.row(m.current, m.commentRow)[CellIndex(ColComment)] + u'x');
            return QStringLiteral("key x in the comment box");
        }
        case Act::Save: {
            if (!plainCommand("cmdSave", Qt::Key_S, byAccessKey))
                return QStringLiteral("(save: hidden)");
            if (!m.hasData(m.current, 1))
                return QStringLiteral("save: nothing to save");
            m.files[std::size_t(m.current)] = m.rows(m.current);
            const LoadResult again = LoadSavedFile(h.dir.path(), m.current);
            if (!again.ok())
                m_fileBroken = again.message;
            return QStringLiteral("save %1").arg(view().objectName());
        }
        case Act::Load: {
            if (!plainCommand("cmdLoad", Qt::Key_L, byAccessKey))
                return QStringLiteral("(load: hidden)");
            const std::optional<std::vector<RowCells>>& file = m.files[std::size_t(m.current)];
            if (!file)
                return QStringLiteral("load: never saved");
            for (int r = 1; r <= RowCount(m.current); ++r) {
                m.row(m.current, r) = (*file)[std::size_t(r - 1)];
                if (m.mirrorRow(m.current, r))
                    m.copyToMirror(m.current, r);
            }
            // A Load that wrote the radio ends the history; the QMB view's only shows a file.
            bool wrote = false;
            for (int r = 1; m.current != ViewKind::Qmb && r <= RowCount(m.current); ++r) {
                const int ch = ChannelOfRow(m.current, r);
                if (ch < kFirstQmb && LoadWrites(m.row(m.current, r))) {
                    m.radio[std::size_t(ch)] = Settings(m.row(m.current, r));
                    wrote = true;
                }
            }
            if (wrote)
                m.forget();
            return QStringLiteral("load %1").arg(view().objectName());
        }
        case Act::Clear:
            if (!plainCommand("cmdClear", Qt::Key_C, byAccessKey))
                return QStringLiteral("(clear: hidden)");
            m.rows(m.current).assign(std::size_t(RowCount(m.current)), RowCells{});
            return QStringLiteral("clear %1").arg(view().objectName());
        case Act::Scan: {
            if (sort || !view().button(QStringLiteral("cmdScan")))
                return QStringLiteral("(scan: none)");
            command("cmdScan", Qt::Key_N, byAccessKey);
            m.closeBox();
            if (h.app->viewState().ScanMode) {
                h.clickCell(view(), rowOf(s.a), ColFreq);
                QTest::keyClick(view().grid(), Qt::Key_Escape);
            }
            return QStringLiteral("scan set up, Esc");
        }
        case Act::EditLoad:
        case Act::EditCancel:
            return edit(s);
        case Act::Compare:
            return compare();
        case Act::Undo:
        case Act::Redo:
            return undoOrRedo(s.act == Act::Undo, byKey);
        }
        return {};
    }

    // Edit, Undo or Redo, by the menu item or its key (not while the comment box has the
    // keyboard: the box takes Ctrl+Z for its own text). Put away with the commands in sort mode.
    QString undoOrRedo(bool undo, bool byKey)
    {
        MemoryView& v = view();
        activate(v);
        const bool keyed = byKey && !m.commentRow;
        if (keyed)
            QTest::keyClick(&v, Qt::Key_Z, undo ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        else
            v.findChild<QAction*>(QString::fromLatin1(undo ? "actUndo" : "actRedo"))->trigger();
        m_keyed = keyed;
        std::vector<Model::Tables>& from = undo ? m.undoSteps : m.redoSteps;
        if (from.empty() || m.picked)
            return undo ? QStringLiteral("(undo: nothing)") : QStringLiteral("(redo: nothing)");
        // An open comment box closes first: its visit is a step of its own, the one undone.
        m.closeBox();
        if (from.empty())  // the visit's step has just dropped what Redo had
            return QStringLiteral("(redo: nothing after the comment)");
        if (undo)
            m.swapIn(m.undoSteps, m.redoSteps);
        else
            m.swapIn(m.redoSteps, m.undoSteps);
        return undo ? QStringLiteral("undo") : QStringLiteral("redo");
    }

    // Compare with Radio: the tables stay; exactly the rows with data whose settings differ from
    // the radio's are marked, or whose antenna (which no command sets, so the emulator's memory
    // tells it) differs from the table's, unless that cell is blank.
    QString compare()
    {
        if (m.picked != 0)
            return QStringLiteral("(compare: not in sort mode)");
        MemoryView& v = view();
        activate(v);
        v.findChild<QAction*>(QStringLiteral("actCompare"))->trigger();
        m.closeBox();
        if (!h.idle())
            return QStringLiteral("compare did not end");
        const ChannelTable& table = h.table(m.current);
        for (int r = 1; r <= RowCount(m.current); ++r) {
            const int ch = ChannelOfRow(m.current, r);
            const QString antenna = m.row(m.current, r)[CellIndex(ColAnt)];
            const bool otherAntenna = !antenna.isEmpty() && antenna != DecodeRecord(h.radio->memory(ch)).Ant;
            const bool differs = m.hasData(m.current, r)
                && (otherAntenna || Compared(m.current, m.row(m.current, r)) != Compared(m.current, m.radio[std::size_t(ch)]));
            bool marked = false;
            for (int column = ColFreq; column <= ColComment; ++column)
                marked = marked || !table.mark(r, column).isEmpty();
            if (marked != differs && m_compareBroken.isEmpty())
                m_compareBroken = QStringLiteral("row %1 is %2marked").arg(r).arg(marked ? "" : "not ");
        }
        return QStringLiteral("compare %1").arg(v.objectName());
    }

    QString click(int row, int column)
    {
        MemoryView& v = view();
        activate(v);
        h.clickCell(v, row, column);
        m.closeBox();
        switch (ClickOutcomeOf(m.current, row, column, m.hasData(m.current, row), m.picked != 0)) {
        case Clicked::Pick:
            m.picked = row;
            m.editorRow.reset();
            break;
        case Clicked::Editor:
            if (!m.editorRow || *m.editorRow != row || m.editorView != m.current)
                m.editorCells = m.row(m.current, row);
            m.editorRow = row;
            m.editorView = m.current;
            break;
        case Clicked::Comment:
            m.commentRow = row;
            break;
        case Clicked::Nothing:
            break;
        }
        return QStringLiteral("click row %1 column %2").arg(row).arg(column);
    }

    QString edit(const Step& s)
    {
        QString opened;
        if (!m.editorRow && s.act == Act::EditLoad)
            opened = click(rowOf(s.a), Col82 + int(s.c % 7)) + QStringLiteral(", ");
        ChannelEditor* e = editor();
        if (!e || !m.editorRow)
            return opened + QStringLiteral("(editor: not open)");
        activate(*e);
        // Cancel, and a Load that goes through, give the keyboard back to the view's cmdSave:
        // an open comment box there closes.
        if (s.act == Act::EditCancel) {
            h.press(*e, "CmdCancel");
            m.editorRow.reset();
            m.closeBox();
            return QStringLiteral("editor Cancel");
        }
        const auto& [freq, freqCell] = kFreqs[s.a % std::size(kFreqs)];
        const QString mode = kModes[s.b % quint32(kModes.size())];
        auto* freqBox = e->findChild<QLineEdit*>(QStringLiteral("txtFreq"));
        freqBox->selectAll();
        QTest::keyClicks(freqBox, freq);
        auto* offsetBox = e->findChild<QLineEdit*>(QStringLiteral("txtOffset"));
        offsetBox->selectAll();
        QTest::keyClicks(offsetBox, QStringLiteral("0"));
        auto* modes = e->findChild<QListWidget*>(QStringLiteral("lstMode"));
        modes->setCurrentRow(int(s.b % quint32(kModes.size())));
        h.press(*e, "cmdOK");
        const QString what = opened + QStringLiteral("editor Load %1 %2 on row %3").arg(freq, mode).arg(*m.editorRow);
        if (EditAccepted(mode, m.editorCells)) {
            RowCells cells = m.editorCells;
            cells[CellIndex(ColFreq)] = freqCell;
            cells[CellIndex(ColMode)] = mode;
            cells[CellIndex(ColOffset)] = QStringLiteral("0.00");
            const int channel = ChannelOfRow(m.editorView, *m.editorRow);
            m.fill(channel, cells);
            m.radio[std::size_t(channel)] = Settings(cells);
            m.forget();
            m.editorRow.reset();
            m.closeBox();
        }
        return what;
    }

    QString check()
    {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            return QStringLiteral("a message box waits for an answer: ") + box->text();
        if (!m_fileBroken.isEmpty())
            return QStringLiteral("a saved file does not load: ") + m_fileBroken;
        if (!m_compareBroken.isEmpty())
            return QStringLiteral("after Compare, ") + m_compareBroken;
        for (ViewKind v : kAllViews) {
            const std::vector<RowCells> shown = h.table(v).rows();
            for (int r = 1; r <= RowCount(v); ++r)
                if (shown[std::size_t(r - 1)] != m.row(v, r))
                    return QStringLiteral("%1 row %2 shows \"%3\", the model has \"%4\"")
                        .arg(h.view(v).objectName()).arg(r)
                        .arg(Joined(shown[std::size_t(r - 1)]), Joined(m.row(v, r)));
        }
        for (int ch = 1; ch <= kLastPms; ++ch) {
            const ViewKind block = MirrorView(ViewKind::All, ch);
            const ChannelTable& all = h.table(ViewKind::All);
            const ChannelTable& other = h.table(block);
            const int r = RowOfChannel(block, ch);
            if (all.hasData(ch) && other.hasData(r) && Settings(all.row(ch)) != Settings(other.row(r)))
                return QStringLiteral("channel %1 differs between frmAll and its mirror").arg(ChannelLabel(ch));
            const RowCells stored = Settings(CellsFromChannel(DecodeRecord(h.radio->memory(ch))), false);
            if (stored != Settings(m.radio[std::size_t(ch)], false))
                return QStringLiteral("the radio's channel %1 holds \"%2\", the model has \"%3\"")
                    .arg(ChannelLabel(ch), Joined(stored), Joined(Settings(m.radio[std::size_t(ch)], false)));
        }
        const ViewState& state = h.app->viewState();
        if (state.SortMode != (m.picked != 0) || (m.picked && view().pickedRow() != m.picked))
            return QStringLiteral("sort mode or the picked row differs from the model");
        if (box()->isVisible() != (m.commentRow != 0))
            return QStringLiteral("the comment box is %1").arg(m.commentRow ? "closed" : "open");
        if ((editor() != nullptr) != m.editorRow.has_value())
            return QStringLiteral("the editor is %1").arg(m.editorRow ? "closed" : "open");
        const bool canUndo = !m.undoSteps.empty() && !m.picked;
        if (view().findChild<QAction*>(QStringLiteral("actUndo"))->isEnabled() != canUndo)
            return QStringLiteral("Undo is %1").arg(canUndo ? "disabled" : "enabled");
        return {};
    }

    std::vector<Step> m_steps;
    AppHarness h{Pace::NoWaits, {}, {}, {}};
    MessageBoxHelper answers{QMessageBox::Yes};
    Model m;
    QString m_fileBroken;
    QString m_compareBroken;
    bool m_keyed = false;  // the step's command was given by its access key
};

std::vector<Step> Draw(quint32 seed, int count)
{
    std::mt19937 random(seed);
    std::discrete_distribution<int> act(std::begin(kWeights), std::end(kWeights));
    // The operator starts as every session does: Read in frmAll.
    std::vector<Step> steps{{Act::Read, 0, 0, 0}};
    for (int i = 1; i < count; ++i)
        steps.push_back({Act(act(random)), quint32(random()), quint32(random()), quint32(random())});
    return steps;
}

// Drops ever smaller runs of steps while the sequence still fails.
std::vector<Step> Shrink(std::vector<Step> steps)
{
    int budget = kShrinkBudget;
    for (std::size_t chunk = steps.size() / 2; chunk >= 1 && budget > 0; chunk /= 2) {
        for (std::size_t at = 0; at + chunk <= steps.size() && budget > 0;) {
            std::vector<Step> shorter = steps;
            shorter.erase(shorter.begin() + std::ptrdiff_t(at), shorter.begin() + std::ptrdiff_t(at + chunk));
            budget -= int(shorter.size());
            Run run(shorter);
            if (const auto failed = run.go()) {
                shorter.resize(std::size_t(failed->first + 1));
                steps = shorter;
            } else {
                at += chunk;
            }
        }
    }
    return steps;
}

}  // namespace

class ModelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void randomOperatorKeepsEveryChannel()
    {
        qInfo("model test: seed %u, %d steps", g_seed, g_steps);
        std::vector<Step> steps = Draw(g_seed, g_steps);
        std::optional<std::pair<int, QString>> failed;
        {
            QElapsedTimer clock;
            clock.start();
            Run run(steps);
            failed = run.go();
            if (qEnvironmentVariableIsSet("VARDO_MODEL_LOG"))
                for (const QString& line : std::as_const(run.log))
                    qInfo("  %s", qPrintable(line));
            const double seconds = double(clock.elapsed()) / 1000;
            qInfo("model test: %d steps in %.1f s, %.0f a second", int(run.log.size()), seconds,
                  double(run.log.size()) / std::max(seconds, 0.001));
        }
        if (!failed)
            return;
        qInfo("model test: failed at step %d: %s", failed->first + 1, qPrintable(failed->second));
        const QString first = failed->second;
        steps.resize(std::size_t(failed->first + 1));
        steps = Shrink(steps);
        Run shortest(steps);
        const auto again = shortest.go();
        qInfo("seed %u: shortest failing sequence, %d steps:", g_seed, int(shortest.log.size()));
        for (int i = 0; i < shortest.log.size(); ++i)
            qInfo("  %d. %s", i + 1, qPrintable(shortest.log.at(i)));
        QFAIL(qPrintable(QStringLiteral("seed %1: %2").arg(g_seed).arg(again ? again->second : first)));
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    g_seed = qEnvironmentVariableIsSet("VARDO_MODEL_SEED") ? quint32(qEnvironmentVariableIntValue("VARDO_MODEL_SEED"))
                                                           : kDefaultSeed;
    if (qEnvironmentVariableIsSet("VARDO_MODEL_STEPS"))
        g_steps = qEnvironmentVariableIntValue("VARDO_MODEL_STEPS");
    QStringList args = app.arguments();
    for (qsizetype at = 1; at + 1 < args.size();) {
        if (args.at(at) == u"--seed")
            g_seed = args.at(at + 1).toUInt();
        else if (args.at(at) == u"--steps")
            g_steps = args.at(at + 1).toInt();
        else if (++at)
            continue;
        args.remove(at, 2);
    }
    ModelTest test;
    return QTest::qExec(&test, args);
}

#include "model_test.moc"
