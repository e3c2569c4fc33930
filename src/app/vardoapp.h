// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program as a whole: the radio client, the four tables and their windows, the main
// window, help and about, the shared view state and the busy state. It starts the program
// (saved-file upgrade, then the radio search) and ends it (every window together). The
// Connection dialog changes where the radio is looked for, and the radio is looked for again.

#include <array>
#include <functional>
#include <memory>

#include <QObject>

class QAction;

#include "busystate.h"
#include "connection.h"
#include "linkwatch.h"
#include "radioclient.h"
#include "tablesteps.h"
#include "unsavedviews.h"
#include "viewfamily.h"
#include "viewhost.h"
#include "viewstate.h"

namespace vardo {

class AboutBox;
class EditorCommands;
class HelpWindow;
class MainWindow;
class MemoryFileCommands;
class MemoryView;
class PrintCommands;
class ProgressRow;

// The words of the start-up message when no port answered: Windows has COM ports, other
// systems serial ports under other names.
inline constexpr char kNotFoundMessage[] = "I couldn't find the FT-1000MP on any COM port";
inline constexpr char kNotFoundSerialMessage[] = "I couldn't find the FT-1000MP on any serial port";

// The start-up message when no port answered, with each port tried and why it failed, except
// on Windows when every port was simply absent or silent (COM1 to COM16 are tried blindly).
[[nodiscard]] QString NotFoundMessage(const QList<ProbeFailure>& failures);
// The status bars' line for the port the radio answered on (empty: none did).
[[nodiscard]] QString RadioLineText(const QString& port);
// The status bars' line once the port the radio answered on has closed under it.
inline constexpr char kLinkLostLine[] = "Radio link lost";
inline constexpr int kExitNotFound = 1;

class VardoApp : public QObject, public ViewHost {
    Q_OBJECT
public:
    VardoApp(TransportFactory factory, QString dataDir, QObject* parent = nullptr);
    ~VardoApp() override;

    // Step run first at start-up, before the radio search (the saved-file upgrade).
    void setUpgradeStep(std::function<void(const QString& dataDir)> step) { m_upgrade = std::move(step); }
    // The connection in effect, which the Connection dialog starts from: sets the pacing. The
    // ports to look on are given to start().
    void setConnection(const Connection& connection);
    // Runs the start-up: the upgrade step, then the radio search on `ports` (in order).
    // Found: the main window shows. Not found: the message, which offers the Connection
    // dialog; without a new connection, ended(kExitNotFound).
    void start(const QStringList& ports);
    // Radio > Connection...: the dialog; on OK the choice is remembered and, when it changes
    // anything or no radio is connected, the radio is looked for again at once.
    void editConnection();

    [[nodiscard]] QString dataDir() const { return m_dataDir; }
    [[nodiscard]] RadioClient& radio() { return m_radio; }
    [[nodiscard]] MainWindow& mainWindow() { return *m_main; }
    [[nodiscard]] MemoryView& view(ViewKind kind) { return *m_views[static_cast<std::size_t>(kind)]; }
    [[nodiscard]] AboutBox& aboutBox() { return *m_about; }
    [[nodiscard]] HelpWindow* helpWindow() const { return m_help.get(); }
    // The channel editor and Print, shared by the four views.
    [[nodiscard]] EditorCommands& editorCommands() { return *m_editor; }
    [[nodiscard]] PrintCommands& printCommands() { return *m_print; }

    // The main window's options: hide it and show the chosen view.
    void openView(ViewKind kind);
    // The system beep that ends a read.
    void beep();

    // ViewHost
    [[nodiscard]] BusyState& busyState() override { return m_busy; }
    [[nodiscard]] ViewState& viewState() override { return m_state; }
    [[nodiscard]] ViewFamily& family() override { return m_family; }
    [[nodiscard]] TableSteps& tableSteps() override { return m_steps; }
    [[nodiscard]] UnsavedViews& unsavedViews() override { return m_unsaved; }
    void readChannels(ViewKind kind) override;
    void loadVfoA(int channel) override;
    void stopScan() override;
    void switchView(ViewKind from, ViewKind to) override;
    void setCurrentView(ViewKind kind) override;
    void closeAll() override;
    void showHelp() override;
    void showAbout() override;

Q_SIGNALS:
    void started(const QString& port);  // the radio answered; the main window is up
    void ended(int exitCode);           // every window is gone: the program should end
    void beeped();
    void viewSwitching();               // a view is about to give way to another (the editor closes)
    void closing();                     // every window is about to close

private:
    void connectRadio();
    void connectWindows();
    void composeCommands();
    void addConnectionItems();
    void onSearchEnded(const QString& port);
    // Names the radio's port in every status bar, or "Radio link lost", or "No radio found".
    void showRadioState();
    void onRadioNotFound();
    // Asks for another connection after a start-up search found nothing; true when a new search runs.
    [[nodiscard]] bool offerConnection(const QString& notFound);
    [[nodiscard]] bool chooseConnection(QWidget* parent);
    void onRecordRead(int channel, const Channel& decoded);
    void showFailure(const LinkResult& outcome);
    void onBusyChanged(bool busy);
    void onAboutClosed();
    // Asks before unsaved views are dropped; true when the program may end (saved or discarded).
    [[nodiscard]] bool mayEnd();
    [[nodiscard]] bool saveForExit(const QList<ViewKind>& views);
    [[nodiscard]] QWidget* activeWindow();

    QString m_dataDir;
    LinkWatch m_link;  // before m_radio, whose transports it watches
    RadioClient m_radio;
    Connection m_connection;
    QString m_radioLine;  // what the status bars say of the radio
    QList<QAction*> m_connectionItems;  // Radio > Connection... of every window
    BusyState m_busy;
    ViewFamily m_family;
    TableSteps m_steps{m_family};
    UnsavedViews m_unsaved{m_family};
    ViewState m_state;
    std::unique_ptr<MainWindow> m_main;
    std::array<std::unique_ptr<MemoryView>, 4> m_views;
    std::array<ProgressRow*, 4> m_progress{};  // each view's, a child of the view
    std::array<MemoryFileCommands*, 4> m_files{};  // each view's Save and Load, a child of the view
    std::unique_ptr<AboutBox> m_about;
    std::unique_ptr<HelpWindow> m_help;
    EditorCommands* m_editor = nullptr;  // children of this object
    PrintCommands* m_print = nullptr;
    std::function<void(const QString&)> m_upgrade;
    bool m_started = false;        // the radio was found once and the main window shown
    bool m_closeWhenIdle = false;  // a window was closed while busy
    bool m_waitCursorShown = false;  // the override cursor this object set, to restore once
    bool m_ending = false;         // windows closed; waiting for the about box
    bool m_asking = false;         // the question on unsaved views is open
};

}  // namespace vardo
