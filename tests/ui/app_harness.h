#pragma once
// The whole program in-process on the radio emulator: VardoApp with its real windows, and
// the emulator core behind an in-memory port. Tests drive the windows by objectName.

#include <functional>
#include <memory>

#include <QModelIndex>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "channelgrid.h"
#include "mainwindow.h"
#include "memoryview.h"
#include "simtransport.h"
#include "vardoapp.h"

namespace vardo::test {

inline constexpr char kSimPort[] = "sim";
inline constexpr int kWaitMs = 20000;  // bound on any wait; the operations end far sooner

class AppHarness {
public:
    explicit AppHarness(sim::Timing timing = sim::Timing::Fast,
                        std::function<void(sim::SimRadio&)> prepare = {},
                        std::function<void(const QString&)> upgrade = {}, const QString& dataDir = {})
        : radio(std::make_shared<sim::SimRadio>())
    {
        radio->loadDemoImage();
        if (prepare)
            prepare(*radio);
        app = std::make_unique<VardoApp>(sim::SimulatedPortFactory(radio, QString::fromLatin1(kSimPort), {}, timing),
                                         dataDir.isEmpty() ? dir.path() : dataDir);
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

    QTemporaryDir dir;
    std::shared_ptr<sim::SimRadio> radio;
    std::unique_ptr<VardoApp> app;
    int beeps = 0;
};

}  // namespace vardo::test
