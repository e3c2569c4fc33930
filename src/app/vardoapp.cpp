#include "vardoapp.h"

#include <utility>

#include <QApplication>

#include "aboutbox.h"
#include "channelrow.h"
#include "helpwindow.h"
#include "mainwindow.h"
#include "memoryview.h"
#include "rowoperations.h"
#include "windowkit.h"

namespace vardo {

VardoApp::VardoApp(TransportFactory factory, QString dataDir, QObject* parent)
    : QObject(parent)
    , m_dataDir(std::move(dataDir))
    , m_radio(std::move(factory))
    , m_main(std::make_unique<MainWindow>())
    , m_about(std::make_unique<AboutBox>(m_dataDir))
{
    for (ViewKind kind : kAllViews)
        m_views[static_cast<std::size_t>(kind)] = std::make_unique<MemoryView>(kind, *this);
    connectRadio();
    connectWindows();
    AttachRowOperations(*this);
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
    connect(&m_radio, &RadioClient::recordRead, this, &VardoApp::onRecordRead);
    connect(&m_radio, &RadioClient::finished, this, &VardoApp::onFinished);
    connect(&m_radio, &RadioClient::failed, this, &VardoApp::onFailed);
}

void VardoApp::connectWindows()
{
    connect(m_main.get(), &MainWindow::viewChosen, this, &VardoApp::openView);
    connect(m_main.get(), &MainWindow::exitRequested, this, &VardoApp::closeAll);
    connect(m_main.get(), &MainWindow::helpRequested, this, &VardoApp::showHelp);
    connect(m_main.get(), &MainWindow::aboutRequested, this, &VardoApp::showAbout);
    connect(m_about.get(), &QDialog::finished, this, &VardoApp::onAboutClosed);
}

void VardoApp::start(const QStringList& ports)
{
    if (m_upgrade)
        m_upgrade(m_dataDir);
    m_operation = Operation::Find;
    if (!m_radio.findRadio(ports)) {
        m_operation = Operation::None;
        onRadioNotFound();
    }
}

void VardoApp::onRadioFound(const QString& port)
{
    m_main->show();
    Q_EMIT started(port);
}

void VardoApp::onRadioNotFound()
{
    ShowMessage(nullptr, QString::fromLatin1(kNotFoundMessage), QMessageBox::NoIcon);
    Q_EMIT ended(kExitNotFound);
}

void VardoApp::onRecordRead(int channel, const Channel& decoded)
{
    // The row filling follows the current view's option, as a read always has.
    if (m_operation == Operation::Read)
        m_family.fillRow(m_state.current, channel, CellsFromChannel(decoded));
}

void VardoApp::onFinished()
{
    switch (std::exchange(m_operation, Operation::None)) {
    case Operation::Find:
        // The search reports its answer before it finishes; act once the port is settled.
        if (m_radio.portName().isEmpty())
            onRadioNotFound();
        else
            onRadioFound(m_radio.portName());
        return;
    case Operation::Read:
        beep();
        return;
    case Operation::LoadVfoA:
    case Operation::None:
        return;
    }
}

void VardoApp::onFailed(const QString& message)
{
    switch (std::exchange(m_operation, Operation::None)) {
    case Operation::Find:
        onRadioNotFound();
        return;
    case Operation::Read:
    case Operation::LoadVfoA:
        // Rows already read stay; the operator learns what failed.
        ShowMessage(activeWindow(), message);
        return;
    case Operation::None:
        return;  // an operation started elsewhere reports its own failure
    }
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
    if (m_closeWhenIdle)
        closeAll();
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
    m_operation = Operation::Read;
    if (!m_radio.readMemories(FirstChannel(kind), LastChannel(kind)))
        m_operation = Operation::None;
}

void VardoApp::loadVfoA(int channel)
{
    m_operation = Operation::LoadVfoA;
    if (!m_radio.loadVfoA(channel))
        m_operation = Operation::None;
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
    if (std::exchange(m_ending, true))
        return;
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
