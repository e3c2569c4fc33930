// The channel editor in the program: opened by a click on a settings cell, Load rewriting the
// row and its mirror and writing the channel into the emulator, Cancel, one editor at a time,
// a view switch, a busy radio and a silent one.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "app_harness.h"
#include "catframe.h"
#include "channeleditor.h"
#include "codec.h"
#include "editorcommands.h"
#include "messageboxhelper.h"
#include "wire.h"

using namespace vardo;
using namespace vardo::test;

Q_DECLARE_METATYPE(vardo::ViewKind)

namespace {

constexpr char kComment[] = "net on Sundays";

// The program with the editor and Print attached, as it runs.
struct EditorApp : AppHarness {
    EditorApp() : commands(Attach()) {}

    ViewCommands Attach()
    {
        return AttachViewCommands(*app, app->radio(), [this](ViewKind k) -> MemoryView& { return view(k); },
                                  *app);
    }
    [[nodiscard]] ChannelEditor* editor() const { return commands.editor->editor(); }
    [[nodiscard]] bool written() const
    {
        return QTest::qWaitFor([this] { return writes.count() > 0 && !app->busyState().busy(); }, kWaitMs);
    }

    ViewCommands commands;
    QSignalSpy writes{commands.editor, &EditorCommands::writeEnded};
};

void SetText(ChannelEditor& e, const char* box, const QString& text)
{
    auto* edit = e.findChild<QLineEdit*>(QString::fromLatin1(box));
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Picks a list item the way the operator does: a click on it.
void Pick(ChannelEditor& e, const char* list, const QString& text)
{
    auto* l = e.findChild<QListWidget*>(QString::fromLatin1(list));
    const QList<QListWidgetItem*> items = l->findItems(text, Qt::MatchExactly);
    QVERIFY2(!items.isEmpty(), qPrintable(text));
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(items.first()).center());
}

QList<QByteArray> Frames(const sim::SimRadio& radio)
{
    QList<QByteArray> frames;
    for (const CatFrame& f : radio.frameLog())
        frames << f.toBytes();
    return frames;
}

// Every cell but the antenna, which has no command: the channel stores VFO-A's antenna.
SettingCells WithoutAntenna(SettingCells cells)
{
    cells[ColAnt - ColFreq].clear();
    return cells;
}

int OpenEditors()
{
    int open = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        open += window->objectName() == QLatin1String("frmChanges") && window->isVisible() ? 1 : 0;
    return open;
}

// With VARDO_SCREENSHOTS set to a folder, keeps a picture of a window there for a look.
void SaveLook(QWidget& window, const QString& name)
{
    const QString folder = qEnvironmentVariable("VARDO_SCREENSHOTS");
    if (!folder.isEmpty())
        window.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

QList<SettingCells> AllSettings(const EditorApp& h)
{
    QList<SettingCells> all;
    for (ViewKind kind : kAllViews)
        for (int row = 1; row <= RowCount(kind); ++row)
            all << h.table(kind).settings(row);
    return all;
}

}  // namespace

class EditorWireTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadWritesGridsAndRadio_data();
    void loadWritesGridsAndRadio();
    void cancelChangesNothing();
    void oneEditorAndViewSwitch();
    void busyRadioKeepsEditorOpen();
    void silentRadioSaysTableAndRadioDiffer();
};

void EditorWireTest::loadWritesGridsAndRadio_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("freq");
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("mode");    // empty: as the row had it
    QTest::addColumn<QString>("rxRit");
    QTest::addColumn<QString>("freqCell");
    QTest::addColumn<QString>("offsetCell");
    QTest::addColumn<ViewKind>("mirror");
    QTest::addColumn<int>("mirrorRow");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("freqFrame");
    QTest::addColumn<QString>("maskFrame");

    QTest::newRow("1-99 row 5, comma")
        << ViewKind::Ch99 << 5 << "7050,5" << "0" << "LSB" << "OFF" << "7050.50  " << "0.00" << ViewKind::All << 5
        << 5 << "50 50 70 00 0A" << "00 00 02 05 03";
    QTest::newRow("PMS row 3 is channel 0x66")
        << ViewKind::Pms << 3 << "3525" << "0" << "" << "OFF" << "3525.00  " << "0.00" << ViewKind::All << 102
        << 102 << "00 25 35 00 0A" << "00 00 02 66 03";
    QTest::newRow("all row 104 is P5")
        << ViewKind::All << 104 << "7000.5" << "0" << "" << "OFF" << "7000.50  " << "0.00" << ViewKind::Pms << 5
        << 104 << "50 00 70 00 0A" << "00 00 02 68 03";
    QTest::newRow("all row 7 mirrors 1-99")
        << ViewKind::All << 7 << "18100" << "0" << "" << "OFF" << "18100.00  " << "0.00" << ViewKind::Ch99 << 7
        << 7 << "00 00 81 01 0A" << "00 00 02 07 03";
    QTest::newRow("masked stays masked")
        << ViewKind::Ch99 << 21 << "14025.00*" << "0" << "" << "OFF" << "14025.00* " << "0.00" << ViewKind::All
        << 21 << 21 << "00 25 40 01 0A" << "00 00 01 15 03";
    QTest::newRow("mask removed")
        << ViewKind::Ch99 << 21 << "14025.00" << "0" << "" << "OFF" << "14025.00  " << "0.00" << ViewKind::All
        << 21 << 21 << "00 25 40 01 0A" << "00 00 02 15 03";
    QTest::newRow("mask added")
        << ViewKind::Ch99 << 4 << "7074*" << "0" << "" << "OFF" << "7074.00* " << "0.00" << ViewKind::All << 4
        << 4 << "00 74 70 00 0A" << "00 00 01 04 03";
    QTest::newRow("offset +1.5 with Rx RIT on")
        << ViewKind::Ch99 << 13 << "14026.50" << "+1.5" << "USB" << "ON" << "14026.50  " << "+1.50"
        << ViewKind::All << 13 << 13 << "00 25 40 01 0A" << "00 00 02 0D 03";
}

void EditorWireTest::loadWritesGridsAndRadio()
{
    QFETCH(ViewKind, view);
    QFETCH(int, row);
    QFETCH(QString, freq);
    QFETCH(QString, offset);
    QFETCH(QString, mode);
    QFETCH(QString, rxRit);
    QFETCH(QString, freqCell);
    QFETCH(QString, offsetCell);
    QFETCH(ViewKind, mirror);
    QFETCH(int, mirrorRow);
    QFETCH(int, channel);
    QFETCH(QString, freqFrame);
    QFETCH(QString, maskFrame);

    EditorApp h;
    QVERIFY(h.started());
    MemoryView& v = h.open(view);
    QVERIFY(h.read(v));
    h.app->family().setCell(view, row, ColComment, QString::fromLatin1(kComment));
    const Record vfoA = h.radio->vfoA();

    h.clickCell(v, row, Col455);
    ChannelEditor* e = h.editor();
    QVERIFY(e);
    QVERIFY(QTest::qWaitForWindowExposed(e));
    SetText(*e, "txtFreq", freq);
    SetText(*e, "txtOffset", offset);
    if (!mode.isEmpty())
        Pick(*e, "lstMode", mode);
    Pick(*e, "lstRxRit", rxRit);
    h.radio->clearLog();
    MessageBoxHelper boxes;
    h.press(*e, "cmdOK");
    QVERIFY(h.written());
    QCOMPARE(h.writes.at(0).at(0).toInt(), channel);
    QVERIFY(h.writes.at(0).at(1).toBool());
    QCOMPARE(boxes.texts(), QStringList());
    QVERIFY(QTest::qWaitFor([&] { return !h.editor(); }, kWaitMs));

    // Both rows show the edit; the comment stays.
    const SettingCells cells = h.table(view).settings(row);
    QCOMPARE(cells[ColFreq - ColFreq], freqCell);
    QCOMPARE(cells[ColOffset - ColFreq], offsetCell);
    QCOMPARE(cells[ColRxRit - ColFreq], rxRit);
    QCOMPARE(h.table(mirror).settings(mirrorRow), cells);
    QCOMPARE(h.table(view).cell(row, ColComment), QString::fromLatin1(kComment));
    QCOMPARE(h.table(mirror).cell(mirrorRow, ColComment), QString::fromLatin1(kComment));

    // On the wire: VFO-A saved, eight settings, store and mask, VFO-A given back.
    const QList<QByteArray> frames = Frames(*h.radio);
    QVERIFY(frames.size() > 11);
    QCOMPARE(frames.at(0), Cat::VfoARequest().toBytes());
    QVERIFY(frames.mid(1, 8).contains(QByteArray::fromHex(freqFrame.toLatin1())));
    QCOMPARE(frames.at(9), Cat::StoreVfoA(channel).toBytes());
    QCOMPARE(frames.at(10), QByteArray::fromHex(maskFrame.toLatin1()));
    QCOMPARE(h.radio->vfoA(), vfoA);

    // The radio's channel reads back as the grid shows it.
    QCOMPARE(WithoutAntenna(CellsFromChannel(DecodeRecord(h.radio->memory(channel)))), WithoutAntenna(cells));
    QTRY_COMPARE(v.focusWidget(), v.button(QStringLiteral("cmdSave")));
}

void EditorWireTest::cancelChangesNothing()
{
    EditorApp h;
    QVERIFY(h.started());
    MemoryView& v = h.open(ViewKind::Pms);
    QVERIFY(h.read(v));
    const QList<SettingCells> before = AllSettings(h);
    h.radio->clearLog();
    h.clickCell(v, 4, ColOffset);
    ChannelEditor* e = h.editor();
    QVERIFY(e);
    QCOMPARE(e->findChild<QLabel*>(QStringLiteral("lblChanges"))->text(),
             QStringLiteral(" Enter changes desired for PMS Memory Channel P4: "));
    QVERIFY(QTest::qWaitForWindowExposed(e));
    SaveLook(*e, QStringLiteral("editor-pms-p4"));
    SaveLook(v, QStringLiteral("view-pms"));
    SetText(*e, "txtFreq", QStringLiteral("3600"));
    Pick(*e, "lstMode", QStringLiteral("CW (lsb)"));
    h.press(*e, "CmdCancel");
    QVERIFY(QTest::qWaitFor([&] { return !h.editor(); }, kWaitMs));
    QCOMPARE(AllSettings(h), before);
    QCOMPARE(h.radio->frameLog().size(), std::size_t(0));
    QTRY_COMPARE(v.focusWidget(), v.button(QStringLiteral("cmdSave")));
}

void EditorWireTest::oneEditorAndViewSwitch()
{
    EditorApp h;
    QVERIFY(h.started());
    MemoryView& ch99 = h.open(ViewKind::Ch99);
    QVERIFY(h.read(ch99));
    h.clickCell(ch99, 5, Col82);
    QPointer<ChannelEditor> first = h.editor();
    QVERIFY(first);
    SetText(*first, "txtFreq", QStringLiteral("7000"));
    // The same row again keeps the edit under way.
    h.clickCell(ch99, 5, ColRpt);
    QCOMPARE(h.editor(), first.data());
    QCOMPARE(first->findChild<QLineEdit*>(QStringLiteral("txtFreq"))->text(), QStringLiteral("7000"));
    // Another row gives it up for a new editor on that row.
    h.clickCell(ch99, 6, ColAnt);
    QVERIFY(QTest::qWaitFor([&] { return !first; }, kWaitMs));
    QVERIFY(h.editor());
    QCOMPARE(OpenEditors(), 1);
    QCOMPARE(h.editor()->findChild<QLabel*>(QStringLiteral("lblChanges"))->text(),
             QStringLiteral(" Enter changes desired for Memory Channel 6: "));
    QCOMPARE(h.editor()->findChild<QLineEdit*>(QStringLiteral("txtFreq"))->text(),
             h.table(ViewKind::Ch99).cell(6, ColFreq).trimmed());
    // A switch to another view closes it; nothing was written.
    const QList<SettingCells> before = AllSettings(h);
    h.choose(ch99, "optAll");
    QVERIFY(QTest::qWaitFor([&] { return !h.editor(); }, kWaitMs));
    QCOMPARE(AllSettings(h), before);
    QCOMPARE(h.writes.count(), 0);
}

void EditorWireTest::busyRadioKeepsEditorOpen()
{
    EditorApp h;
    QVERIFY(h.started());
    MemoryView& ch99 = h.open(ViewKind::Ch99);
    QVERIFY(h.read(ch99));
    h.clickCell(ch99, 8, Col455);
    ChannelEditor* e = h.editor();
    QVERIFY(e);
    SetText(*e, "txtFreq", QStringLiteral("21080"));
    const QList<SettingCells> before = AllSettings(h);
    // A scan started meanwhile holds the radio.
    QVERIFY(h.app->radio().scan(1, 10, 255));
    MessageBoxHelper boxes;
    h.press(*e, "cmdOK");
    QCOMPARE(boxes.texts(), QStringList{EditorBusyMessage()});
    QCOMPARE(h.editor(), e);
    QVERIFY(e->isVisible());
    QCOMPARE(e->findChild<QLineEdit*>(QStringLiteral("txtFreq"))->text(), QStringLiteral("21080"));
    QCOMPARE(AllSettings(h), before);
    QCOMPARE(h.writes.count(), 0);
    // Once the scan has ended, the same Load goes through.
    h.app->radio().stopScan();
    QVERIFY(h.idle());
    h.press(*e, "cmdOK");
    QVERIFY(h.written());
    QCOMPARE(h.table(ViewKind::Ch99).cell(8, ColFreq), QStringLiteral("21080.00  "));
    QCOMPARE(h.table(ViewKind::All).cell(8, ColFreq), QStringLiteral("21080.00  "));
}

void EditorWireTest::silentRadioSaysTableAndRadioDiffer()
{
    EditorApp h;
    QVERIFY(h.started());
    MemoryView& all = h.open(ViewKind::All);
    QVERIFY(h.read(all));
    const Record stored = h.radio->memory(100);
    h.clickCell(all, 100, Col82);
    ChannelEditor* e = h.editor();
    QVERIFY(e);
    SetText(*e, "txtFreq", QStringLiteral("1810"));
    sim::Faults silent;
    silent.silent = true;
    h.radio->setFaults(silent);
    MessageBoxHelper boxes;
    h.press(*e, "cmdOK");
    // While the radio is asked, the views are busy: the hourglass, and clicks do nothing.
    QVERIFY(h.app->busyState().busy());
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    h.clickCell(all, 101, Col82);
    QCOMPARE(OpenEditors(), 0);
    QVERIFY(h.written());
    QVERIFY(!h.writes.at(0).at(1).toBool());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(boxes.waitForCount(1));
    const QString text = boxes.lastText();
    QVERIFY2(text.startsWith(QStringLiteral("The radio did not answer the request for the VFO-A record.")),
             qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("\r\rThe table shows your changes, but the radio's memory channel P1 "
                                          "may not hold them.")),
             qPrintable(text));
    // The grids hold the edit, the radio does not.
    QCOMPARE(h.table(ViewKind::All).cell(100, ColFreq), QStringLiteral("1810.00  "));
    QCOMPARE(h.table(ViewKind::Pms).cell(1, ColFreq), QStringLiteral("1810.00  "));
    QCOMPARE(h.radio->memory(100), stored);
    QVERIFY(!h.app->busyState().busy());
}

QTEST_MAIN(EditorWireTest)
#include "editorwire_test.moc"
