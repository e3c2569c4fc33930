// SPDX-License-Identifier: GPL-3.0-or-later
#include "vardoapp.h"

#include <utility>

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>

#include "aboutbox.h"
#include "channelrow.h"
#include "commentbox.h"
#include "comparecommands.h"
#include "connectiondialog.h"
#include "csvcommands.h"
#include "donenote.h"
#include "editorcommands.h"
#include "helpwindow.h"
#include "historycommands.h"
#include "history.h"
#include "launch.h"
#include "mainwindow.h"
#include "memoryfilecommands.h"
#include "memoryview.h"
#include "messagetext.h"
#include "portlist.h"
#include "printcommands.h"
#include "progressrow.h"
#include "reordercommands.h"
#include "scancontroller.h"
#include "viewdescriptor.h"
#include "windowkit.h"

namespace vardo {

QString NotFoundMessage(const QList<ProbeFailure>& failures)
{
#ifdef Q_OS_WIN
    constexpr bool blindComPorts = true;  // COM1 to COM16, most of which do not exist
    const QString headline = QString::fromLatin1(kNotFoundMessage);
#else
    constexpr bool blindComPorts = false;
    const QString headline = QString::fromLatin1(kNotFoundSerialMessage);
#endif
    QStringList reasons;
    bool absentOrSilent = true;
    for (const ProbeFailure& failure : failures) {
        const bool missing = failure.kind == ProbeFailure::Kind::Missing;
        absentOrSilent = absentOrSilent && (missing || failure.kind == ProbeFailure::Kind::Silent);
        if (!(blindComPorts && missing))
            reasons << failure.reason;
    }
    if (blindComPorts && absentOrSilent)
        return headline;
    if (reasons.isEmpty())
        return headline + kMessageLineBreak + QStringLiteral("There is no serial port to try.");
    return headline + kMessageLineBreak + QStringLiteral("Ports tried:") + kMessageLineBreak
        + reasons.join(kMessageLineBreak);
}

QString RadioLineText(const QString& port)
{
    if (port.isEmpty())
        return QStringLiteral("No radio found");
    if (port == QString::fromLatin1(kSimulatedPort))
        return QStringLiteral("FT-1000MP emulator (simulated radio)");
    return QStringLiteral("FT-1000MP on %1").arg(port);
}

VardoApp::VardoApp(TransportFactory factory, QString dataDir, QObject* parent)
    : QObject(parent)
    , m_dataDir(std::move(dataDir))
    , m_radio(m_link.watch(std::move(factory)))
    , m_main(std::make_unique<MainWindow>())
    , m_about(std::make_unique<AboutBox>(m_dataDir))
{
    for (ViewKind kind : kAllViews)
        m_views[static_cast<std::size_t>(kind)] = std::make_unique<MemoryView>(kind, *this);
    connectRadio();
    connectWindows();
    composeCommands();
    addConnectionItems();
}

VardoApp::~VardoApp()
{
    if (m_waitCursorShown)
        QApplication::restoreOverrideCursor();
}

void VardoApp::connectRadio()
{
    connect(&m_radio, &RadioClient::busyChanged, &m_busy, &BusyState::setRadioBusy);
    connect(&m_busy, &BusyState::busyChanged, this, &VardoApp::onBusyChanged);
    // Every request that ends may have lost the link, or found it again.
    connect(&m_radio, &RadioClient::busyChanged, this, [this](bool busy) {
        if (!busy)
            showRadioState();
    });
}

void VardoApp::connectWindows()
{
    connect(m_main.get(), &MainWindow::viewChosen, this, &VardoApp::openView);
    connect(m_main.get(), &MainWindow::exitRequested, this, &VardoApp::closeAll);
    connect(m_main.get(), &MainWindow::helpRequested, this, &VardoApp::showHelp);
    connect(m_main.get(), &MainWindow::aboutRequested, this, &VardoApp::showAbout);
    connect(m_main.get(), &MainWindow::connectionRequested, this, &VardoApp::editConnection);
    connect(m_about.get(), &QDialog::finished, this, &VardoApp::onAboutClosed);
}

// The command objects of the views. Each view owns those that work on it alone (its progress
// row, Save and Load, Compare, comments, moving, the scan); the editor and Print serve all
// four and belong here.
void VardoApp::composeCommands()
{
    const ViewLookup views = [this](ViewKind kind) -> MemoryView& { return view(kind); };
    for (ViewKind kind : kAllViews) {
        MemoryView& window = view(kind);
        const ViewDescriptor& descriptor = Descriptor(kind);
        auto* progress = new ProgressRow(window, m_radio);
        m_progress[static_cast<std::size_t>(kind)] = progress;
        m_files[static_cast<std::size_t>(kind)] =
            new MemoryFileCommands(window, *this, m_radio, *progress, m_dataDir, [this] { beep(); });
        auto* compare = new CompareCommands(window, *this, m_radio, *progress);
        new CsvCommands(window, *this, m_dataDir, [this] { beep(); });
        new HistoryCommands(window, *this, *compare, m_dataDir);  // after the File menu exists
        new CommentBox(window, *this);
        if (descriptor.moveButtons)
            new ReorderCommands(window, *this);
        if (descriptor.scanControls)
            new ScanController(window, *this, m_radio);
    }
    m_editor = new EditorCommands(*this, m_radio, views, this);
    m_editor->connectViews();
    m_print = new PrintCommands(*this, views, this);
    m_print->connectViews();
    connect(&m_unsaved, &UnsavedViews::unsavedChanged, this,
            [this](ViewKind kind, bool unsaved) { view(kind).setWindowModified(unsaved); });
}

// The views' Radio menus offer the Connection dialog too: the main window is hidden once a
// view is open.
void VardoApp::addConnectionItems()
{
    m_connectionItems << m_main->findChild<QAction*>(QStringLiteral("itmConnection"));
    for (ViewKind kind : kAllViews) {
        auto* radioMenu = view(kind).findChild<QMenu*>(QStringLiteral("mnuRadio"));
        if (!radioMenu)
            continue;
        radioMenu->addSeparator();
        QAction* item = radioMenu->addAction(QStringLiteral("&Connection..."));
        item->setObjectName(QStringLiteral("itmConnection"));
        connect(item, &QAction::triggered, this, &VardoApp::editConnection);
        m_connectionItems << item;
    }
    connect(&m_busy, &BusyState::busyChanged, this, [this](bool busy) {
        for (QAction* item : std::as_const(m_connectionItems))
            item->setEnabled(!busy);
    });
}

void VardoApp::setConnection(const Connection& connection)
{
    m_connection = connection;
    m_radio.setPacing(connection.pacing);
}

void VardoApp::start(const QStringList& ports)
{
    if (m_upgrade)
        m_upgrade(m_dataDir);
    if (!m_radio.findRadio(ports, this, [this](const QString& port) { onSearchEnded(port); }))
        onRadioNotFound();
}

void VardoApp::editConnection()
{
    if (!m_busy.busy())
        (void)chooseConnection(activeWindow());
}

bool VardoApp::chooseConnection(QWidget* parent)
{
    ConnectionDialog dialog(m_connection, DefaultPortNames(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const Connection chosen = dialog.connection();
    StoreConnection(chosen);
    const bool connected = !m_radio.portName().isEmpty() && m_link.open();
    if (chosen == m_connection && connected)
        return false;
    setConnection(chosen);
    // The radio is looked for on the new ports now, so the status bars tell at once whether it
    // answers there; the next command then works on the port found.
    return m_radio.findRadio(PortsToProbe(chosen.ports, chosen.simulate, DefaultPortNames()), this,
                             [this](const QString& port) { onSearchEnded(port); });
}

void VardoApp::showRadioState()
{
    const QString port = m_radio.portName();
    const QString line = port.isEmpty() || m_link.open() ? RadioLineText(port) : QString::fromLatin1(kLinkLostLine);
    if (line == m_radioLine)
        return;
    m_radioLine = line;
    ShowRadioLine(*m_main, line);
    for (ViewKind kind : kAllViews) {
        // A note of an earlier command would hide the line that now matters.
        view(kind).statusBar()->clearMessage();
        view(kind).setRadio(line, !port.isEmpty());
    }
}

void VardoApp::onSearchEnded(const QString& port)
{
    showRadioState();
    // Once the search is over: no wait cursor over the message or the dialog it offers.
    if (port.isEmpty())
        return (void)QMetaObject::invokeMethod(this, &VardoApp::onRadioNotFound, Qt::QueuedConnection);
    if (std::exchange(m_started, true))
        return;
    m_main->show();
    Q_EMIT started(port);
}

void VardoApp::onRadioNotFound()
{
    const QString message = NotFoundMessage(m_radio.probeFailures());
    if (m_started)
        return ShowMessage(activeWindow(), message);
    if (!offerConnection(message))
        Q_EMIT ended(kExitNotFound);
}

bool VardoApp::offerConnection(const QString& notFound)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kAppTitle), QString(notFound).replace(kMessageLineBreak, u'\n'),
                    QMessageBox::Ok | QMessageBox::Retry);
    box.setObjectName(QStringLiteral("msgNotFound"));
    box.button(QMessageBox::Retry)->setText(QStringLiteral("&Connection..."));
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.setFont(ControlFont());
    return box.exec() == QMessageBox::Retry && chooseConnection(nullptr);
}

void VardoApp::onRecordRead(int channel, const Channel& decoded)
{
    // The row filling follows the current view's option, as a read always has.
    m_family.fillRow(m_state.current, channel, CellsFromChannel(decoded));
}

void VardoApp::showFailure(const LinkResult& outcome)
{
    // Rows already read stay; the operator learns what failed, or how far a stopped read got.
    ShowUnfinished(activeWindow(), outcome);
}

void VardoApp::onBusyChanged(bool busy)
{
    // The scan keeps the radio busy until Esc, but the operator works the window meanwhile:
    // no wait cursor then.
    if (busy) {
        if (!m_state.Scanning) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_waitCursorShown = true;
        }
        return;
    }
    if (m_waitCursorShown) {
        QApplication::restoreOverrideCursor();
        m_waitCursorShown = false;
    }
    // Queued: the question on unsaved views must not wait inside the busy signal.
    if (m_closeWhenIdle)
        QMetaObject::invokeMethod(this, &VardoApp::closeAll, Qt::QueuedConnection);
}

void VardoApp::beep()
{
    QApplication::beep();
    Q_EMIT beeped();
}

QWidget* VardoApp::activeWindow()
{
    MemoryView& current = view(m_state.current);
    if (current.isVisible())
        return &current;
    return m_main->isVisible() ? m_main.get() : nullptr;
}

void VardoApp::readChannels(ViewKind kind)
{
    ProgressRow& progress = *m_progress[static_cast<std::size_t>(kind)];
    m_family.table(kind).clearMarks();  // the table is about to show the radio's own values
    progress.start(RowCount(kind));
    // The rows the read replaces come back with Undo; the radio is not touched.
    m_steps.begin(QStringLiteral("Read"));
    const QString noteBefore = StatusNote(view(kind));
    const bool started = m_radio.readMemories(
        FirstChannel(kind), LastChannel(kind), this,
        [this, &progress](int channel, const Channel& decoded) {
            progress.step();
            onRecordRead(channel, decoded);
        },
        [this, kind, &progress, noteBefore](const LinkResult& outcome) {
            progress.finish();
            m_steps.end();
            if (outcome.ok) {
                beep();
                ShowDoneNote(view(kind), ChannelCount(RowCount(kind)) + QStringLiteral(" read"), noteBefore);
                // Every state read is kept; a snapshot that cannot be written takes nothing from the read.
                const QStringList problems =
                    KeepRowsSnapshot(m_dataDir, kind, SnapshotOperation::Read, m_family.table(kind).rows());
                if (!problems.isEmpty())
                    ShowMessage(activeWindow(), problems.join(kMessageLineBreak));
            }
            showFailure(outcome);
        });
    if (!started) {
        progress.finish();
        m_steps.end();
    }
}

void VardoApp::loadVfoA(int channel)
{
    m_radio.loadVfoA(channel, this, [this](const LinkResult& outcome) { showFailure(outcome); });
}

void VardoApp::stopScan()
{
    m_radio.stopScan();
}

void VardoApp::openView(ViewKind kind)
{
    if (m_busy.busy()) {
        m_main->setOptionChecked(m_state.current);
        return;
    }
    m_main->hide();
    view(kind).showAsCurrent();
}

void VardoApp::switchView(ViewKind from, ViewKind to)
{
    Q_EMIT viewSwitching();
    view(from).hide();
    view(to).showAsCurrent();
}

void VardoApp::setCurrentView(ViewKind kind)
{
    m_state.current = kind;
    m_main->setOptionChecked(kind);
}

void VardoApp::closeAll()
{
    if (m_busy.busy()) {
        // Closing a window must not cut an operation short: end once it is over.
        m_closeWhenIdle = true;
        m_radio.stopScan();
        return;
    }
    m_closeWhenIdle = false;
    if (m_ending || m_asking || !mayEnd())
        return;
    m_ending = true;
    Q_EMIT closing();
    m_main->hide();
    for (ViewKind kind : kAllViews)
        view(kind).hide();
    if (m_help)
        m_help->hide();
    // An open about box stays until its OK; the program ends with it.
    if (!m_about->isVisible())
        Q_EMIT ended(0);
}

bool VardoApp::mayEnd()
{
    const QList<ViewKind> views = m_unsaved.toAskAbout();
    if (views.isEmpty())
        return true;
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kAppTitle), UnsavedQuestion(views),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, activeWindow());
    box.setObjectName(QStringLiteral("msgUnsaved"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    box.setFont(ControlFont());
    m_asking = true;
    const int answer = box.exec();
    m_asking = false;
    if (answer == QMessageBox::Discard)
        return true;
    return answer == QMessageBox::Save && saveForExit(views);
}

bool VardoApp::saveForExit(const QList<ViewKind>& views)
{
    // Every view is saved that can be; one that cannot keeps the program open, and says why.
    bool saved = true;
    for (ViewKind kind : views)
        saved = m_files[static_cast<std::size_t>(kind)]->saveWithoutAsking() && saved;
    return saved;
}

void VardoApp::onAboutClosed()
{
    if (m_ending)
        Q_EMIT ended(0);
}

void VardoApp::showHelp()
{
    if (!m_help)
        m_help = std::make_unique<HelpWindow>();
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void VardoApp::showAbout()
{
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

}  // namespace vardo
