// SPDX-License-Identifier: GPL-3.0-or-later
// Saved memory files: lines, layouts, encodings, Load, Save with its backup, upgrade, history.

#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "filebytes.h"
#include "history.h"
#include "restoreplan.h"
#include "safefile.h"
#include "savedfilenames.h"
#include "savedfileparse.h"
#include "savedfilestore.h"
#include "savedfiletext.h"
#include "upgrade.h"

using namespace vardo;
using namespace vardo::test;
using Files = QMap<QString, QByteArray>;

Q_DECLARE_METATYPE(vardo::ViewKind)

namespace {

const QString kGood = QStringLiteral("14250.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:net");

QString With(int field, const QString& text)
{
    QStringList fields = kGood.split(':');
    fields[field] = text;
    return fields.join(':');
}

RowCells Row(const QString& freqCell, const QString& comment = "net")
{
    return {freqCell, "USB", "2.4K", "2.0K", "A", "OFF", "OFF", "0.00", "OFF", comment};
}

// Everything the reader fills, as one text.
QString Describe(const SavedLine& s)
{
    const Channel& c = s.channel;
    if (!s.hasChannel)
        return "no channel|{" + s.CommentText + "}";
    return QStringList{QString::number(c.Freq, 'f', 2), "[" + c.Mask + "]", QString::number(s.MaskCode), c.Mode, c.Filt82, c.Filt455,
                       c.Ant, c.RxRit, c.TxRit, QString::number(c.Offset, 'f', 2), "[" + c.OffsetSign + "]", c.Rpt, "{" + s.CommentText + "}"}.join('|');
}

// `count` lines in the given separator; the comment holds a comma after the ninth one.
QStringList Lines(int count, QChar separator)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringList{QString::number(7000 + i) + ".00", "USB", "2.4K", "2.0K", "A", "OFF", "OFF", "0.00", "OFF",
                             QStringLiteral("net, %1").arg(i)}.join(separator);
    return lines;
}

QByteArray OldFile(int count) { return Lines(count, ',').join("\r\n").toUtf8() + "\r\n"; }
QByteArray NewFile(int count) { return EncodeSavedLines(Lines(count, ':')); }


const QString kP1 = QStringLiteral("1800.00:CW (usb):500:500:A:OFF:OFF:0.00:OFF:edge");
const QString kP2 = QStringLiteral("2000.00:LSB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:");

// A PMS file of these lines and then empty rows to its nine.
QByteArray PmsFile(const QStringList& lines)
{
    QByteArray bytes;
    for (int i = 0; i < 9; ++i)
        bytes += lines.value(i, ":::::::::").toLatin1() + "\r\n";
    return bytes;
}

QDateTime At(const char* text) { return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate); }

}  // namespace

class TestFiles : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    void put(const Files& files)
    {
        for (auto it = files.begin(); it != files.end(); ++it)
            QVERIFY(PutFile(m_dir.filePath(it.key()), it.value()));
    }
    Files files() const
    {
        Files all;
        for (const QString& name : FileListing(m_dir.path()))
            all[name] = FileBytes(m_dir.filePath(name));
        return all;
    }
    QString history() const { return m_dir.filePath("history"); }
    void putHistory(const QString& name, const QByteArray& bytes = "x")
    {
        QVERIFY(QDir().mkpath(history()) && PutFile(history() + "/" + name, bytes));
    }

private slots:
    void cleanup() { QVERIFY(QDir(m_dir.path()).removeRecursively() && QDir().mkpath(m_dir.path())); }

    // The row's cells, whether the mark is kept (frmQmb drops it), the line written.
    void writeLine()
    {
        const std::tuple<RowCells, bool, QString> rows[] = {
            {Row("14250.00  "), true, kGood}, {Row("14250.00* "), true, With(0, "14250.00*")},
            {Row("7050.00* "), false, With(0, "7050.00")},
            {Row("1234567.00* "), true, With(0, "1234567.00")},  // a star beyond character 10 is no mark
            {Row("7"), true, With(0, "")}, {Row("14250.00  ", "a\r\nb"), true, With(9, "a  b")}, {RowCells{}, true, ":::::::::"}};
        for (const auto& [row, keepMark, line] : rows)
            QCOMPARE(SavedLineFromCells(row, keepMark), line);
    }

    // Load's reading of a line (empty: not compared) and why Load refuses it (empty: it loads).
    void readLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("problem");
        QTest::newRow("worked example") << kGood << "14250.00|[  ]|2|USB|2.4K|2.0K|A|OFF|OFF|0.00|[]|OFF|{net}" << "";
        QTest::newRow("masked") << "7050.00*:LSB:Thru:6.0K:B:ON:OFF:-0.50:-RPT:"
                                << "7050.00|[* ]|1|LSB|Thru|6.0K|B|ON|OFF|-0.50|[]|-RPT|{}" << "";
        QTest::newRow("decimal commas") << "14250,00*:USB:2.4K:2.0K:A:OFF:ON:+1,25:OFF:"
                                        << "14250.00|[* ]|1|USB|2.4K|2.0K|A|OFF|ON|1.25|[+]|OFF|{}" << "";
        QTest::newRow("colons in the comment") << With(9, "a:b::c:")
                                               << "14250.00|[  ]|2|USB|2.4K|2.0K|A|OFF|OFF|0.00|[]|OFF|{a:b::c:}" << "";
        QTest::newRow("unknown codes stay empty") << "3573.00:::::::0.00::" << "3573.00|[  ]|2|||||||0.00|[]||{}" << "";
        // What Save writes for a row with a comment and no channel data; the comment is whole.
        QTest::newRow("comment without a channel") << ":::::::::net" << "no channel|{net}" << "";
        QTest::newRow("comment without a channel, star") << ":::::::::*x:" << "no channel|{*x:}" << "";
        const QString fewer = "has fewer than nine colons";
        QTest::newRow("fewer colons: the rest is the comment") << "14250.00:USB:rest" << "14250.00|[  ]|2|USB||||||0.00|[]||{rest}" << fewer;
        const QString freq = "has a frequency that is not a number (\"%1\")";
        for (const char* text : {"", "14250.00x", "-7050.00", "9999999999999999999999999999999999999999"})
            QTest::addRow("frequency \"%s\"", text) << With(0, text) << "" << freq.arg(text);
        QTest::newRow("two marks") << With(0, "7050*.00*") << "" << freq.arg("7050*.00");
        // A message quotes at most 60 characters and shows control characters, NUL included.
        QTest::newRow("long frequency quoted in part") << With(0, QString(100, 'x')) << "" << freq.arg(QString(60, 'x') + "...");
        QTest::newRow("NUL shown") << With(1, QString::fromLatin1("US\0B\x01", 5)) << ""
                                   << QStringLiteral("has an unknown Mode setting (\"US\u2400B\u2401\")");
        QTest::newRow("offset") << With(7, "") << "" << "has an offset that is not a number (\"\")";
        const std::tuple<int, const char*, const char*> settings[] = {{1, "usb", "Mode"}, {2, "2.4", "8.2 Filter"},
            {3, "Thru", "455 Filter"}, {4, "C", "Ant"}, {5, "On", "Rx RIT"}, {6, "1", "Tx RIT"}, {8, "RPT", "RPT"}};
        for (const auto& [field, text, name] : settings)
            QTest::addRow("%s", name) << With(field, text) << "" << QStringLiteral("has an unknown %1 setting (\"%2\")").arg(name, text);
    }
    void readLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, read);
        if (!read.isEmpty())
            QCOMPARE(Describe(ReadSavedLine(line)), read);
        QTEST(SavedLineProblem(line), "problem");
    }

    // A line, whether it is old when it is a file's first line, and its conversion.
    void oldLayout()
    {
        const QString old = QString(kGood).replace(':', ',');
        const QString five = "100.0:AM (env):Thru:6.0K:A:OFF:OFF:0.00:OFF:x";
        const std::tuple<QString, bool, QString> lines[] = {
            {kGood, false, kGood}, {five, false, five}, {old, true, kGood}, {old + ", daily", true, kGood + ", daily"},
            {"14250,00,USB,2.4K,2.0K,A,OFF,OFF,0.00,OFF,net", true, "14250:00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF,net"},  // decimal comma
            {"1425:", true, "1425:"}, {"", true, ""}};  // "1425:": a colon only in character 5
        for (const auto& [line, isOld, converted] : lines) {
            QCOMPARE(IsOldLayout(line), isOld);
            QCOMPARE(ConvertOldLine(line), converted);
        }
    }


    // CR LF lines in Windows-1252 when every character fits (as the older program wrote), else UTF-8;
    // the last comment's Windows-1252 bytes would read as UTF-8.
    void encoding()
    {
        const std::pair<QString, QByteArray> comments[] = {
            {"net", "net"}, {"Bodø – ÆØÅ € “q”", "Bod\xF8 \x96 \xC6\xD8\xC5 \x80 \x93q\x94"},
            {"Bodø 日本", "Bod\xC3\xB8 \xE6\x97\xA5\xE6\x9C\xAC"}, {"Ã©", "\xC3\x83\xC2\xA9"}};
        for (const auto& [comment, bytes] : comments) {
            std::vector<RowCells> rows(5);
            rows[0] = Row("7050.00* ", comment);
            const QByteArray file = SavedFileBytes(ViewKind::Qmb, rows);
            QCOMPARE(file, With(0, "7050.00").replace("net", "").toLatin1() + bytes + "\r\n" + QByteArray(":::::::::\r\n").repeated(4));
            QCOMPARE(ReadSavedLine(SplitSavedLines(DecodeSavedText(file)).at(0)).CommentText, comment);
        }
    }

    // The command line's comments: after the ninth colon, or comma in a file not yet upgraded.
    void decoding()
    {
        QCOMPARE(SavedComments(NewFile(2)), QStringList({"net, 1", "net, 2"}));
        QCOMPARE(SavedComments(OldFile(2)), QStringList({"net, 1", "net, 2"}));
        QCOMPARE(SavedComments((kGood + "\r\n14250.00:USB\r\n").toUtf8()), QStringList({"net", ""}));
        QCOMPARE(SplitSavedLines("a\r\nb\nc\r\n\r\n"), QStringList({"a", "b", "c", ""}));
        QCOMPARE(DecodeSavedText("\xEF\xBB\xBFnet"), QStringLiteral("net"));
        QCOMPARE(DecodeSavedText("\xC3"), QStringLiteral("Ã"));  // UTF-8 cut short is Windows-1252
    }

    // Whole files Load takes (every row, the last one read) or refuses with a message naming the file.
    void parse_data()
    {
        QTest::addColumn<ViewKind>("view");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");  // empty: it loads
        QTest::newRow("all") << ViewKind::All << NewFile(113) << "";
        QTest::newRow("no end on the last line") << ViewKind::Pms << Lines(9, ':').join("\r\n").toUtf8() << "";
        QTest::newRow("lines beyond the count") << ViewKind::Qmb << EncodeSavedLines(Lines(5, ':') << "beyond" << "") << "";
        const QString cannot = "Cannot load \"F\": ";
        QTest::newRow("empty") << ViewKind::Pms << QByteArray() << cannot + "the file is empty.";
        QTest::newRow("CR line ends") << ViewKind::Pms << Lines(9, ':').join('\r').toUtf8() + '\r'
                                      << cannot + "its lines end in a carriage return alone (CR); only CR LF or LF line ends are read.";
        QTest::newRow("older layout") << ViewKind::Pms << OldFile(9) << cannot + "it is in the older layout, with commas between the "
                                                                                "fields; \"vardo-cli upgrade\" or a restart of the program converts it.";
        QTest::newRow("older layout, too short to convert") << ViewKind::Pms << OldFile(5)
                                                            << cannot + "line 6 is missing: the file has 5 of its 9 lines.";
        QTest::newRow("NUL in a line") << ViewKind::Pms << NewFile(9).replace("USB", QByteArray("U\0SB", 4))
                                       << cannot + "line 1 has an unknown Mode setting (\"U\u2400SB\").";
    }
    void parse()
    {
        QFETCH(ViewKind, view);
        QFETCH(QByteArray, bytes);
        const SavedFileRows parsed = ParseSavedFile(bytes, view);
        QTEST(parsed.ok() ? QString() : RefusalMessage("F", parsed), "message");
        if (parsed.ok()) {
            QCOMPARE(int(parsed.rows.size()), RowCount(view));
            QCOMPARE(parsed.rows.back()->CommentText, QStringLiteral("net, %1").arg(RowCount(view)));
        }
    }

    // Empty rows are not written, nor (and named) a channel with a value no command can send.
    void restorePlan()
    {
        const QStringList lines{"7050.00*:CW (usb):500:250:B:ON:OFF:+1.25:-RPT:a: b", "14250,00:USB:2.4K:2.0K:A:OFF:OFF:-0,5:OFF:",
                                "3573.00:::::::0.00::", ":::::::::", "0.00:LSB:Thru:6.0K:A:OFF:OFF:0.00:OFF:blank channel",
                                ":::::::::net: no channel", "7200.00:AM (env):Thru:6.0K:A:OFF:OFF:+12.50:OFF:",
                                "0.00:USB:2.4K:2.0K:A:OFF:OFF:-10.00:OFF:", "0.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:"};
        const auto plan = PlanRestore(ViewKind::Pms, ParseSavedFile(EncodeSavedLines(lines), ViewKind::Pms).rows);
        QStringList shown;
        for (const RowCells& row : plan.rows)
            shown << QStringList(row.begin(), row.end()).join('|');
        QCOMPARE(shown, QStringList({"7050.00* |CW (usb)|500|250|B|ON|OFF|+1.25|-RPT|a: b", "14250.00  |USB|2.4K|2.0K|A|OFF|OFF|-0.50|OFF|",
                                     "3573.00  |||||||0.00||", "|||||||||", "0.00  |LSB|Thru|6.0K|A|OFF|OFF|0.00|OFF|blank channel",
                                     "|||||||||net: no channel", "7200.00  |AM (env)|Thru|6.0K|A|OFF|OFF|+12.50|OFF|",
                                     "0.00  |USB|2.4K|2.0K|A|OFF|OFF|-10.00|OFF|", "0.00  |USB|2.4K|2.0K|A|OFF|OFF|0.00|OFF|"}));
        QCOMPARE(SavedLineFromCells(plan.rows[5], true), lines[5]);  // saved again as it was read
        QList<std::pair<int, int>> written;  // channel, mask code
        for (const ChannelWrite& w : plan.writes)
            written.append({w.ChannelNo, w.MaskCode});
        QCOMPARE(written, (QList<std::pair<int, int>>{{100, 1}, {101, 2}, {102, 2}}));
        QCOMPARE(LeftOutReport(plan.leftOut),
                 QStringList({"4 channels were not written (the radio keeps what they held):",
                              "P5, P9: frequency 0.00 cannot be sent to the radio", "P7: offset +12.50 cannot be sent to the radio",
                              "P8: frequency 0.00 and offset -10.00 cannot be sent to the radio"}));
        QCOMPARE(LeftOutReport({plan.leftOut[1]}), QStringList({"1 channel was not written (the radio keeps what it held):",
                                                                "P7: offset +12.50 cannot be sent to the radio"}));
        QVERIFY(LeftOutReport({}).isEmpty());
    }

    // Save, upgrade and clean-up on a real folder; the operator's own "Temp.txt" always stays.
    void disk_data()
    {
        QTest::addColumn<Files>("before");
        QTest::addColumn<QString>("command");
        QTest::addColumn<Files>("after");
        QTest::addColumn<QString>("said");  // what was asked and the outcome; %1: the folder
        const Files both{{"AllMem.txt", "saved"}, {"AllMem.bak", "backup"}};
        const auto row = [](const char* name, const Files& before, const char* command, const Files& after, const QString& said) {
            QTest::newRow(name) << before << QString(command) << after << said;
        };
        row("first save asks nothing", {}, "save yes", {{"AllMem.txt", "new"}}, "saved");
        row("Yes: the saved file becomes the backup", both, "save yes", {{"AllMem.bak", "saved"}, {"AllMem.txt", "new"}}, "asked|saved");
        row("No: nothing changes", both, "save no", both, "asked|declined");
        row("a name differing in letter case is another file", {{"allmem.txt", "other"}}, "save yes",
            {{"AllMem.txt", "new"}, {"allmem.txt", "other"}}, "saved");
        // Only the program's own marked scratch files go; names an operator may have chosen stay.
        Files kept;
        for (const char* name : {"AllMem.bak", "AllMem.txt", "AllMem.txt.backup", "AllMem.txt.vardo-partial.AbCdEfG", "Pms.txt.orig01",
                                 "Qmb.txt.before", "allmem.txt.vardo-partial", "notes.txt.vardo-partial"})
            kept[name] = "x";
        Files stray = kept;
        for (const char* name : {"AllMem.txt.vardo-partial", "AllMem.txt.vardo-partial.AbCdEf", "Qmb.bak.vardo-partial.x1Y2z3"})
            stray[name] = "x";
        row("stray scratch files", stray, "clean", kept, "");
        // The separators change, the comments' bytes stay in the code page they were written in.
        QByteArray ansi = OldFile(5);
        ansi.replace("net, 3", "Troms\xF8 \x80");
        const QByteArray utf8 = QByteArray(ansi).replace("Troms\xF8 \x80", "Troms\xC3\xB8 \xE2\x82\xAC");
        row("converted, lines beyond the count dropped", {{"Pms.txt", OldFile(12)}}, "upgrade", {{"Pms.txt", NewFile(9)}}, "");
        row("converted, Windows-1252 comment", {{"Qmb.txt", ansi}}, "upgrade",
            {{"Qmb.txt", QByteArray(NewFile(5)).replace("net, 3", "Troms\xF8 \x80")}}, "");
        row("converted, UTF-8 comment", {{"Qmb.txt", utf8}}, "upgrade",
            {{"Qmb.txt", QByteArray(NewFile(5)).replace("net, 3", "Troms\xC3\xB8 \xE2\x82\xAC")}}, "");
        row("current layout untouched", {{"AllMem.txt", NewFile(113)}}, "upgrade", {{"AllMem.txt", NewFile(113)}}, "");
        row("other letter case untouched", {{"allmem.txt", OldFile(113)}}, "upgrade", {{"allmem.txt", OldFile(113)}}, "");
        row("short file untouched", {{"99Mem.txt", OldFile(40)}}, "upgrade", {{"99Mem.txt", OldFile(40)}},
            "\"%1/99Mem.txt\" is in the old layout but has 40 of its 99 lines; it was left as it was.");
        row("empty file untouched", {{"Qmb.txt", ""}}, "upgrade", {{"Qmb.txt", ""}}, "");
    }
    void disk()
    {
        QFETCH(Files, before);
        QFETCH(QString, command);
        QFETCH(Files, after);
        QFETCH(QString, said);
        put(before);
        put({{"Temp.txt", "my notes"}});
        QStringList heard;
        if (command.startsWith("save")) {
            const SaveResult r = SaveWithBackup(m_dir.path(), ViewKind::All, "new", [&] { return heard << "asked", command == "save yes"; });
            heard << (r.outcome == SaveOutcome::Saved ? "saved" : r.outcome == SaveOutcome::Declined ? "declined" : "failed") + r.message;
        } else {
            heard = command == "clean" ? RemoveStraySaveTemporaries(m_dir.path()) : PrepareSavedFiles(m_dir.path());
        }
        QCOMPARE(heard.join('|'), said.replace("%1", m_dir.path()));
        after["Temp.txt"] = "my notes";
        QCOMPARE(files(), after);
    }

    // The new file renamed over the saved one keeps the saved one's permissions.
    void savePermissionsKept()
    {
        put({{"AllMem.txt", "private"}});
        const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
        QVERIFY(QFile::setPermissions(m_dir.filePath("AllMem.txt"), ownerOnly));
        QCOMPARE(SaveWithBackup(m_dir.path(), ViewKind::All, "new", [] { return true; }).outcome, SaveOutcome::Saved);
        QCOMPARE(QFile::permissions(m_dir.filePath("AllMem.txt")) & ~(QFile::ReadUser | QFile::WriteUser), ownerOnly);
    }

    // Only names the program gives its snapshots are ever listed, restored or removed.
    void names()
    {
        // view, sequence, operation, result; empty: not a snapshot
        const std::pair<QString, QString> names[] = {
            {"AllMem 000123 2026-12-10 05-12-03 read.txt", "0|123|read|"},
            {"99Mem 000007 2026-01-31 23-59-59 restore differs 42, Q3.txt", "1|7|restore|differs 42, Q3"},
            {"Qmb 1000000 2026-12-10 05-12-03 load verified.txt", "3|1000000|load|verified"},
            {"Vfo 000001 2026-12-10 05-12-03 read.txt", ""}, {"Pms 000001 2026-02-30 05-12-03 read.txt", ""}};
        for (const auto& [name, read] : names) {
            const std::optional<Snapshot> s = SnapshotFromFileName(name);
            QCOMPARE(s ? QStringLiteral("%1|%2|%3|%4").arg(int(s->view)).arg(s->sequence).arg(OperationName(s->operation), s->result)
                       : QString(), read);
            if (s)
                QCOMPARE(SnapshotFileName(s->view, s->sequence, s->taken, s->operation, s->result), name);
        }
    }

    void writeResults()
    {
        QList<ChannelMismatch> differing;
        for (int c = 1; c <= 22; ++c)
            differing << ChannelMismatch{c, {}};
        // ok, cancelled, every channel written, read back, channels differing
        const std::pair<WriteEnd, QString> ends[] = {
            {{false, false, true, true, differing.first(2)}, "differs 1, 2"},
            {{false, true, false, true, {}}, "stopped"},
            {{false, false, false, true, differing.first(1)}, "failed"},  // link lost after a difference
            {{false, false, true, true, differing},
             "differs 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20 and 2 more"}};
        for (const auto& [end, result] : ends)
            QCOMPARE(WriteResult(end), result);
    }

    // The next number of its view; never over another thing of that name, nor counting scratch files.
    void keepsUnderTheNextNumber()
    {
        putHistory("AllMem 000041 2026-12-10 05-00-00 read.txt");
        putHistory("notes.txt");
        KeptSnapshot kept = KeepSnapshot(m_dir.path(), ViewKind::Pms, SnapshotOperation::Load, PmsFile({kP1}), "verified", At("2026-12-10T06:07:08"));
        QCOMPARE(kept.problems, QStringList());
        QCOMPARE(kept.path, history() + "/Pms 000042 2026-12-10 06-07-08 load verified.txt");
        QCOMPARE(FileBytes(kept.path), PmsFile({kP1}));
        putHistory("Qmb 000045 2026-12-10 05-00-00 read.txt", "older");
        putHistory("Qmb 000049 2026-12-10 05-00-00 read.txt.vardo-partial", "kept");
        QVERIFY(QDir(history()).mkdir("Qmb 000046 2026-12-10 05-00-00 read.txt"));
        kept = KeepSnapshot(m_dir.path(), ViewKind::Qmb, SnapshotOperation::Read, "new", {}, At("2026-12-10T05:00:00"));
        QCOMPARE(kept.path, history() + "/Qmb 000047 2026-12-10 05-00-00 read.txt");
        QCOMPARE(FileBytes(kept.path), QByteArray("new"));
        QCOMPARE(FileBytes(history() + "/Qmb 000045 2026-12-10 05-00-00 read.txt"), QByteArray("older"));
        // A file named "history" where the folder belongs: nothing is written, the file stays.
        QVERIFY(QDir(history()).removeRecursively() && PutFile(history(), "mine"));
        kept = KeepSnapshot(m_dir.path(), ViewKind::All, SnapshotOperation::Read, "new", {}, At("2026-12-10T05:00:00"));
        QCOMPARE(kept.path, QString());
        QCOMPARE(kept.problems, QStringList{"No snapshot was kept in the history: Could not write \"" + history()
                                            + "\": it is a file, not a folder."});
        QCOMPARE(FileBytes(history()), QByteArray("mine"));
    }

    // The clock runs backwards: the numbers decide which one the 201st removes, and only that one.
    void the201stRemovesOnlyTheOldestOfItsView()
    {
        for (int n = 1; n <= 200; ++n)
            putHistory(SnapshotFileName(ViewKind::Pms, n + 10, At("2026-12-10T12:00:00").addSecs(-n), SnapshotOperation::Read, {}));
        putHistory("99Mem 000001 2020-01-01 00-00-00 read.txt");
        putHistory("Pms 000003 2026-12-10 05-00-00 read.txt.vardo-partial");
        putHistory("Pms.txt");
        QStringList before = FileListing(history());
        const KeptSnapshot kept = KeepSnapshot(m_dir.path(), ViewKind::Pms, SnapshotOperation::Read, "new", {}, At("2026-12-10T00:00:00"));
        QCOMPARE(kept.problems, QStringList());
        QVERIFY(before.removeOne("Pms 000011 2026-12-10 11-59-59 read.txt"));
        before << "Pms 000211 2026-12-10 00-00-00 read.txt";
        before.sort();
        QCOMPARE(FileListing(history()), before);

        const std::vector<Snapshot> listed = ListSnapshots(m_dir.path(), ViewKind::Pms);
        QCOMPARE(listed.size(), std::size_t(200));
        QCOMPARE(listed.front().fileName, "Pms 000211 2026-12-10 00-00-00 read.txt");
        QCOMPARE(listed.back().fileName, "Pms 000012 2026-12-10 11-59-58 read.txt");
    }

    // A write's snapshot holds the channels written; a row not written keeps only its comment.
    void writtenRows()
    {
        const QString blank = "0.00:LSB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:blank";
        const RestorePlan plan = PlanRestore(ViewKind::Pms, ParseSavedFile(PmsFile({kP1, kP2, blank}), ViewKind::Pms).rows);
        QCOMPARE(SavedFileBytes(ViewKind::Pms, WrittenRows(ViewKind::Pms, plan, 2)), PmsFile({kP1, kP2, ":::::::::blank"}));
        QCOMPARE(SavedFileBytes(ViewKind::Pms, WrittenRows(ViewKind::Pms, plan, 1)), PmsFile({kP1, ":::::::::", ":::::::::blank"}));
    }

    void listingAndNumbers()
    {
        putHistory("Pms 000002 2026-12-10 05-12-03 restore differs P2.txt", PmsFile({kP1, kP2}));
        putHistory("Pms 000001 2026-12-10 05-12-09 read.txt", PmsFile({kP1}));
        putHistory("Pms 000003 2026-12-10 05-12-01 load failed.txt", QByteArray("1800.00:LSB\r\n"));
        const std::vector<Snapshot> s = ListSnapshots(m_dir.path(), ViewKind::Pms);
        QCOMPARE(s.size(), std::size_t(3));
        QCOMPARE(HistoryLine(1, s[0], std::nullopt),
                 "  1  2026-12-10 05:12:01  load       unreadable  failed  Pms 000003 2026-12-10 05-12-01 load failed.txt");
        QCOMPARE(SnapshotChannelCount(PmsFile({kP1, kP2}), ViewKind::Pms), 2);
        QCOMPARE(HistoryLine(3, s[2], 1), "  3  2026-12-10 05:12:09  read        1 channel  -  Pms 000001 2026-12-10 "
                                          "05-12-09 read.txt");
        QCOMPARE(SnapshotChannelCount("1800.00:LSB\r\n", ViewKind::Pms), std::nullopt);

        const LoadedSnapshot second = LoadSnapshot(m_dir.path(), ViewKind::Pms, 2);
        QCOMPARE(second.path, history() + "/Pms 000002 2026-12-10 05-12-03 restore differs P2.txt");
        QCOMPARE(second.load.rows[1]->channel.Freq, 2000.0f);
    }

#ifdef Q_OS_UNIX
    // Refused before it is opened: a named pipe would block open() for ever.
    void notAFile()
    {
        for (const QString reason : {"it is a named pipe, not a file", "it is a folder, not a file"}) {
            cleanup();
            for (ViewKind view : {ViewKind::All, ViewKind::Qmb}) {
                const QString path = m_dir.filePath(SavedFileName(view));
                QVERIFY(reason.contains("pipe") ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 : QDir().mkdir(path));
            }
            const QString all = m_dir.filePath("AllMem.txt");
            const QString refused = "Could not read \"" + all + "\": " + reason + ".";
            QCOMPARE(LoadSavedFile(m_dir.path(), ViewKind::All).message, refused);
            QCOMPARE(SaveWithBackup(m_dir.path(), ViewKind::All, "new", [] { return true; }).message,
                     refused + " The saved file and its backup are as they were.");
            QCOMPARE(PrepareSavedFiles(m_dir.path()),
                     QStringList({refused, "Could not read \"" + m_dir.filePath("Qmb.txt") + "\": " + reason + "."}));
            QCOMPARE(QFileInfo(all).isFile(), false);
        }
    }
#endif
};

QTEST_GUILESS_MAIN(TestFiles)
#include "files_test.moc"
