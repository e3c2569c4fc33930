// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The whole program in-process on the radio emulator: VardoApp with its real windows (the
// row operations attached), the emulator core behind an in-memory port, and the readings the
// widget tests share. Tests drive the windows by objectName.

#include <functional>
#include <memory>
#include <numeric>

#include <QItemSelectionModel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "channelgrid.h"
#include "mainwindow.h"
#include "memoryview.h"
#include "messageboxhelper.h"
#include "simtransport.h"
#include "vardoapp.h"
#include "viewfamily.h"

namespace vardo::test {

inline constexpr char kSimPort[] = "sim";
inline constexpr int kWaitMs = 20000;  // bound on any wait; the operations end far sooner

// The emulator's port without a wait of its own: at Timing::Fast a reply is complete as soon
// as its request is written, so "wait, then take what came" (the quiet gap after each reply,
// the status wait) looks once and returns. For long random runs of the windows.
class NoWaitPort final : public Transport {
public:
    explicit NoWaitPort(std::unique_ptr<Transport> port) : m_port(std::move(port)) {}

    QString portName() const override { return m_port->portName(); }
    bool open() override { return m_port->open(); }
    void close() override { m_port->close(); }
    bool isOpen() const override { return m_port->isOpen(); }
    IoStatus write(const QByteArray& bytes) override { return m_port->write(bytes); }
    void clearInput() override { m_port->clearInput(); }
    IoStatus readAtLeast(qsizetype count, std::chrono::milliseconds timeout, QByteArray& out) override
    {
        return m_port->readAtLeast(count, timeout, out);
    }
    IoStatus readAfter(std::chrono::milliseconds, QByteArray& out) override
    {
        return m_port->readAfter(std::chrono::milliseconds(0), out);
    }
    bool takesLineTime() const override { return false; }
    IoStatus drain(std::chrono::milliseconds bound) override { return m_port->drain(bound); }
    QString errorString() const override { return m_port->errorString(); }

private:
    std::unique_ptr<Transport> m_port;
};

// How the harness's emulator answers: at the line's pace, at once, or at once without waits.
enum class Pace { Line, Fast, NoWaits };

class AppHarness {
public:
    explicit AppHarness(sim::Timing timing = sim::Timing::Fast,
                        std::function<void(sim::SimRadio&)> prepare = {},
                        std::function<void(const QString&)> upgrade = {}, const QString& dataDir = {})
        : AppHarness(timing == sim::Timing::Real ? Pace::Line : Pace::Fast, std::move(prepare), std::move(upgrade),
                     dataDir)
    {
    }
    AppHarness(Pace pace, std::function<void(sim::SimRadio&)> prepare, std::function<void(const QString&)> upgrade,
               const QString& dataDir)
        : radio(std::make_shared<sim::SimRadio>())
    {
        radio->loadDemoImage();
        if (prepare)
            prepare(*radio);
        TransportFactory port = sim::SimulatedPortFactory(radio, QString::fromLatin1(kSimPort), {},
                                                          pace == Pace::Line ? sim::Timing::Real : sim::Timing::Fast);
        if (pace == Pace::NoWaits)
            port = [port](const QString& name) -> std::unique_ptr<Transport> {
                std::unique_ptr<Transport> t = port(name);
                return t ? std::make_unique<NoWaitPort>(std::move(t)) : nullptr;
            };
        app = std::make_unique<VardoApp>(port, dataDir.isEmpty() ? dir.path() : dataDir);
        QObject::connect(app.get(), &VardoApp::beeped, app.get(), [this] { ++beeps; });
        if (upgrade)
            app->setUpgradeStep(upgrade);
        app->start({QString::fromLatin1(kSimPort)});
    }

    [[nodiscard]] bool started() const
    {
        return QTest::qWaitFor([this] { return app->mainWindow().isVisible(); }, kWaitMs);
    }
    [[nodiscard]] bool idle() const
    {
        return QTest::qWaitFor([this] { return !app->busyState().busy(); }, kWaitMs);
    }

    MemoryView& view(ViewKind kind) const { return app->view(kind); }
    const ChannelTable& table(ViewKind kind) const { return app->family().table(kind); }

    template <typename W = QPushButton>
    W* control(QWidget& window, const char* name) const
    {
        return window.findChild<W*>(QString::fromLatin1(name));
    }

    // Opens a view from the main window, as the operator does first.
    MemoryView& open(ViewKind kind) const
    {
        static constexpr const char* kOptions[] = {"optAll", "optCh99", "optPms", "optQmb"};
        choose(app->mainWindow(), kOptions[int(kind)]);
        return view(kind);
    }
    // Clicks an option button on its round mark, where a click always lands.
    void choose(QWidget& window, const char* name) const
    {
        auto* option = control<QRadioButton>(window, name);
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(option->height() / 2, option->height() / 2));
    }
    void press(QWidget& window, const char* name) const
    {
        QTest::mouseClick(control(window, name), Qt::LeftButton);
    }
    // Gives the command whose access key is Alt+`key` by that key, sent to `target` (the window
    // when none), and waits for its click: an access key clicks after a short animation.
    [[nodiscard]] bool pressByKey(QWidget& window, Qt::Key key, QWidget* target = nullptr) const
    {
        const QKeySequence accessKey(QKeyCombination(Qt::AltModifier, key));
        for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
            if (!button->isVisible() || button->shortcut() != accessKey)
                continue;
            QSignalSpy clicked(button, &QAbstractButton::clicked);
            QTest::keyClick(target ? target : &window, key, Qt::AltModifier);
            return !clicked.isEmpty() || clicked.wait(kWaitMs);
        }
        return false;
    }
    void clickCell(MemoryView& v, int row, int column) const
    {
        ChannelGrid* grid = v.grid();
        const QModelIndex index = grid->model()->index(row - 1, column);
        grid->scrollTo(index);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    }
    // Read in `kind` to the end (one beep).
    [[nodiscard]] bool read(MemoryView& v)
    {
        const int before = beeps;
        press(v, "cmdRead");
        return QTest::qWaitFor([&] { return beeps > before && !app->busyState().busy(); }, kWaitMs);
    }
    // Started, every row of every view filled with texts naming the channel, so a moved
    // channel can be told apart ("7050.<ch>", "s<column>.<ch>", "comment <ch>"), and `kind`
    // open and active; null if not.
    [[nodiscard]] MemoryView* openFilled(ViewKind kind) const
    {
        if (!started())
            return nullptr;
        for (int ch = 1; ch <= kLastQmb; ++ch) {
            const QString tag = QString::number(ch);
            app->family().setCell(ViewKind::All, ch, ColFreq, QStringLiteral("7050.") + tag);
            for (int column = ColMode; column <= ColRpt; ++column)
                app->family().setCell(ViewKind::All, ch, column, QStringLiteral("s%1.%2").arg(column).arg(tag));
            app->family().setCell(ViewKind::All, ch, ColComment, QStringLiteral("comment ") + tag);
        }
        MemoryView& v = open(kind);
        return QTest::qWaitForWindowActive(&v) ? &v : nullptr;
    }

    // Answers the question on Exit about unsaved views: Discard, so a test that ends the
    // program ends it as before; a test of the question sets another answer.
    MessageBoxHelper exitQuestion{QMessageBox::Discard, MessageBoxHelper::Boxes::UnsavedQuestionOnly};
    QTemporaryDir dir;
    std::shared_ptr<sim::SimRadio> radio;
    std::unique_ptr<VardoApp> app;
    int beeps = 0;
};

// A table's rows with data as short runs ("1-99,100-108").
[[nodiscard]] inline QString DataRows(const ChannelTable& t)
{
    QStringList runs;
    for (int row = 1; row <= t.channelRows(); ++row) {
        int last = row;
        while (t.hasData(row) && last < t.channelRows() && t.hasData(last + 1))
            ++last;
        if (t.hasData(row))
            runs << (last == row ? QString::number(row) : QStringLiteral("%1-%2").arg(row).arg(last));
        row = last;
    }
    return runs.join(QLatin1Char(','));
}

// The frames the emulator received, as "00 00 00 05 0E".
[[nodiscard]] inline QStringList SentFrames(const sim::SimRadio& radio)
{
    QStringList frames;
    for (const auto& f : radio.frameLog())
        frames << f.toHex();
    return frames;
}

// The channels the emulator was asked for (opcode 10 with P4 04), in order.
[[nodiscard]] inline QList<int> MemoryRequests(const sim::SimRadio& radio)
{
    QList<int> channels;
    for (const auto& f : radio.frameLog())
        if (f.bytes[4] == 0x10 && f.bytes[3] == 0x04)
            channels.append(f.bytes[0]);
    return channels;
}

[[nodiscard]] inline QList<int> Range(int first, int last)
{
    QList<int> r(last - first + 1);
    std::iota(r.begin(), r.end(), first);
    return r;
}

// The selected cells as "row:first-last" (rows from 1); empty when nothing is selected.
[[nodiscard]] inline QString SelectedCells(MemoryView& view)
{
    const QModelIndexList cells = view.grid()->selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        return {};
    int first = kColumnCount;
    int last = -1;
    for (const QModelIndex& index : cells) {
        if (index.row() != cells.first().row())
            return QStringLiteral("several rows");
        first = std::min(first, index.column());
        last = std::max(last, index.column());
    }
    return QStringLiteral("%1:%2-%3").arg(cells.first().row() + 1).arg(first).arg(last);
}

// The grid's top visible row (from 1).
[[nodiscard]] inline int TopRow(MemoryView& view)
{
    return view.grid()->rowAt(0) + 1;
}

// The option buttons and the normal commands (cmdScan where the view has it) all shown, or
// all hidden.
[[nodiscard]] inline bool NormalCommandsAre(MemoryView& v, bool shown)
{
    for (const char* name : {"optAll", "optCh99", "optPms", "optQmb", "cmdRead", "cmdSave", "cmdLoad", "cmdClear",
                             "cmdScan", "cmdPrint", "cmdExit"}) {
        auto* control = v.findChild<QWidget*>(QString::fromLatin1(name));
        if (control ? control->isVisible() != shown : qstrcmp(name, "cmdScan") != 0)
            return false;
    }
    return true;
}

}  // namespace vardo::test
