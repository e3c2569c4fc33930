// SPDX-License-Identifier: GPL-3.0-or-later
// The windows as a screen reader finds them: every control named, the state said in words.

#include <functional>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include "aboutbox.h"
#include "app_harness.h"
#include "channeleditor.h"
#include "editorcommands.h"
#include "helpwindow.h"
#include "messageboxhelper.h"
#include "progressrow.h"

using namespace vardo;
using namespace vardo::test;

namespace {

// The controls of `window` an operator works with that have no accessible name, as
// "window/objectName".
QStringList Unnamed(QWidget& window)
{
    static const QList<QAccessible::Role> kControls{
        QAccessible::EditableText, QAccessible::PushButton, QAccessible::RadioButton, QAccessible::CheckBox,
        QAccessible::ComboBox,     QAccessible::SpinBox,    QAccessible::List,        QAccessible::Table,
        QAccessible::Tree,         QAccessible::ProgressBar, QAccessible::PageTab,    QAccessible::MenuItem};
    QStringList unnamed;
    const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        const bool control = kControls.contains(node->role());
        if (control && node->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << window.objectName() + u'/' + node->object()->objectName();
        // A list's items are named by their texts; an empty cell is no control.
        if (node->tableInterface() || node->role() == QAccessible::List || node->role() == QAccessible::Tree)
            return;
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface* child = node->child(i))
                walk(child);
    };
    walk(QAccessible::queryAccessibleInterface(&window));
    return unnamed;
}

QString Name(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every window the program opens, with its transient controls (the comment box, the scan
    // digit, Stop) counted though hidden.
    void everyControlIsNamed()
    {
        AppHarness h;
        QVERIFY(h.started());
        QList<QWidget*> windows{&h.app->mainWindow()};
        for (ViewKind kind : kAllViews)
            windows << &h.view(kind);
        MemoryView& ch99 = h.open(ViewKind::Ch99);
        QVERIFY(h.read(ch99));  // which keeps a snapshot for the history
        ch99.findChild<QAction*>(QStringLiteral("itmHistory"))->trigger();
        windows << ch99.findChild<QDialog*>(QStringLiteral("dlgHistory"));
        h.clickCell(ch99, 12, ColOffset);
        windows << h.app->editorCommands().editor();
        h.app->showHelp();
        h.app->showAbout();
        windows << h.app->helpWindow() << &h.app->aboutBox();
        QStringList unnamed;
        for (QWidget* window : std::as_const(windows))
            unnamed << (window ? Unnamed(*window) : QStringList{"a window missing"});
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u' ')));
    }

    void namesAndValues()
    {
        AppHarness h;
        QVERIFY(h.started());
        MemoryView& ch99 = h.open(ViewKind::Ch99);
        QVERIFY(h.read(ch99));
        QCOMPARE(Name(h.control<QLabel>(ch99, "lblRadio")), QStringLiteral("FT-1000MP on sim"));

        // The editor is a dialog whose boxes and lists are named by their labels.
        h.clickCell(ch99, 12, ColOffset);
        ChannelEditor* editor = h.app->editorCommands().editor();
        QVERIFY(editor);
        QCOMPARE(QAccessible::queryAccessibleInterface(editor)->role(), QAccessible::Dialog);
        QStringList names;
        for (const char* control : {"txtFreq", "lstMode", "lst82Filt", "lst455Filt", "lstAnt", "lstRxRit", "lstTxRit",
                                    "txtOffset", "lstRpt"})
            names << Name(editor->findChild<QWidget*>(QString::fromLatin1(control)));
        QCOMPARE(names.join(u'|'), QStringLiteral("Freq (kHz)|Mode|8.2 Filter|455 Filter|Ant|Rx RIT|Tx RIT|Offset|RPT"));
        editor->close();

        // The progress says how far an operation got.
        auto* progress = ch99.findChild<ProgressRow*>();
        progress->start(113);
        for (int i = 0; i < 42; ++i) progress->step();
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(h.control<QProgressBar>(ch99, "progressBar"));
        QCOMPARE(bar->text(QAccessible::Name) + " | " + bar->text(QAccessible::Value),
                 QStringLiteral("channel 42 of 113 | channel 42 of 113"));
        progress->finish();

        // A cell Compare marks tells what the radio holds, not by its colour alone.
        h.app->family().setCell(ViewKind::Ch99, 3, ColFreq, QStringLiteral("5360.00  "));
        MessageBoxHelper boxes;
        ch99.findChild<QAction*>(QStringLiteral("actCompare"))->trigger();
        QVERIFY(QTest::qWaitFor([&] { return boxes.count() == 1 && h.idle(); }, kWaitMs));
        QCOMPARE(boxes.lastText(), QStringLiteral("1 of 99 channels differ from the radio."));
        QAccessibleTableInterface* grid = QAccessible::queryAccessibleInterface(ch99.grid())->tableInterface();
        QCOMPARE(grid->cellAt(2, ColFreq)->text(QAccessible::Description), QStringLiteral("Radio: 5357.00"));
        QCOMPARE(grid->cellAt(2, ColMode)->text(QAccessible::Description), QString());

        // A status message, which the bar paints itself, is the bar's name while it shows.
        ch99.statusBar()->showMessage(QStringLiteral("99 channels read"));
        QCOMPARE(Name(ch99.statusBar()), QStringLiteral("99 channels read"));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
