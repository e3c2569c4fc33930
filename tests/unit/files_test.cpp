// Saved memory files: a grid row to a line and a line back, the checks that refuse a line,
// the old-layout conversion, the encoding, what a Load makes of a checked file, and on a real
// directory Save with its overwrite question and backup, the clean-up after an interrupted
// save, and the start-up upgrade.

#include <QtTest>

#include "filebytes.h"

#include "restoreplan.h"
#include "safefile.h"
#include "savedfileparse.h"
#include "savedfilestore.h"
#include "savedfiletext.h"
#include "upgrade.h"

using namespace vardo;
using namespace vardo::test;
using Files = QMap<QString, QByteArray>;

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
    return QStringList{QString::number(c.Freq, 'f', 2), "[" + c.Mask + "]", QString::number(s.MaskCode), c.Mode,
                       c.Filt82, c.Filt455, c.Ant, c.RxRit, c.TxRit, QString::number(c.Offset, 'f', 2),
                       "[" + c.OffsetSign + "]", c.Rpt, "{" + s.CommentText + "}"}
        .join('|');
}

// `count` lines in the given separator; the comment holds a comma after the ninth one.
QStringList Lines(int count, QChar separator)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringList{QString::number(7000 + i) + ".00", "USB", "2.4K", "2.0K", "A", "OFF", "OFF", "0.00",
                             "OFF", QStringLiteral("net, %1").arg(i)}
                     .join(separator);
    return lines;
}

QByteArray OldFile(int count, const char* lineEnd = "\r\n")
{
    return Lines(count, ',').join(lineEnd).toUtf8() + lineEnd;
}

QByteArray NewFile(int count)
{
    return EncodeSavedLines(Lines(count, ':'));
}

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

private slots:
    void cleanup() { QVERIFY(QDir(m_dir.path()).removeRecursively() && QDir().mkpath(m_dir.path())); }

    void writeLine_data()
    {
        QTest::addColumn<RowCells>("row");
        QTest::addColumn<bool>("keepMark");
        QTest::addColumn<QString>("line");
        QTest::newRow("worked example") << Row("14250.00  ") << true << kGood;
        QTest::newRow("masked keeps the mark") << Row("14250.00* ") << true << With(0, "14250.00*");
        QTest::newRow("frmQmb drops the mark") << Row("7050.00* ") << false << With(0, "7050.00");
        QTest::newRow("star beyond character 10 is no mark") << Row("1234567.00* ") << true << With(0, "1234567.00");
        QTest::newRow("cell of one character") << Row("7") << true << With(0, "");
        QTest::newRow("empty comment ends in a colon") << Row("14250.00  ", "") << true << With(9, "");
        QTest::newRow("colons in the comment") << Row("14250.00  ", "FT8: EU:") << true << With(9, "FT8: EU:");
        QTest::newRow("line break in a comment") << Row("14250.00  ", "a\r\nb") << true << With(9, "a  b");
        QTest::newRow("empty row") << RowCells{} << true << ":::::::::";
    }
    void writeLine()
    {
        QFETCH(RowCells, row);
        QFETCH(bool, keepMark);
        QTEST(SavedLineFromCells(row, keepMark), "line");
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
        QTest::newRow("non-ASCII comment")
            << With(9, "Tromsø ÆØÅ €") << "14250.00|[  ]|2|USB|2.4K|2.0K|A|OFF|OFF|0.00|[]|OFF|{Tromsø ÆØÅ €}" << "";
        QTest::newRow("unknown codes stay empty") << "3573.00:::::::0.00::" << "3573.00|[  ]|2|||||||0.00|[]||{}" << "";
        const QString fewer = "has fewer than nine colons";
        QTest::newRow("fewer colons: the rest is the comment") << "14250.00:USB:rest"
                                                               << "14250.00|[  ]|2|USB||||||0.00|[]||{rest}" << fewer;
        QTest::newRow("eight colons") << kGood.section(':', 0, 8) << "" << fewer;
        QTest::newRow("old layout") << QString(kGood).replace(':', ',') << "" << fewer;
        const QString freq = "has a frequency that is not a number (\"%1\")";
        for (const char* text : {"", "14250.00x", "-7050.00", "9999999999999999999999999999999999999999"})
            QTest::addRow("frequency \"%s\"", text) << With(0, text) << "" << freq.arg(text);
        QTest::newRow("two marks") << With(0, "7050*.00*") << "" << freq.arg("7050*.00");
        QTest::newRow("offset") << With(7, "") << "" << "has an offset that is not a number (\"\")";
        const std::tuple<int, const char*, const char*> settings[] = {
            {1, "usb", "Mode"}, {2, "2.4", "8.2 Filter"}, {3, "Thru", "455 Filter"}, {4, "C", "Ant"},
            {5, "On", "Rx RIT"}, {6, "1", "Tx RIT"}, {8, "RPT", "RPT"}};
        for (const auto& [field, text, name] : settings)
            QTest::addRow("%s", name) << With(field, text) << ""
                                      << QStringLiteral("has an unknown %1 setting (\"%2\")").arg(name, text);
    }
    void readLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, read);
        if (!read.isEmpty())
            QCOMPARE(Describe(ReadSavedLine(line)), read);
        QTEST(SavedLineProblem(line), "problem");
    }

    void oldLayout_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("old");  // judged as a file's first line
        QTest::addColumn<QString>("converted");
        const QString old = QString(kGood).replace(':', ',');
        QTest::newRow("current") << kGood << false << kGood;
        QTest::newRow("current, five characters") << "100.0:AM (env):Thru:6.0K:A:OFF:OFF:0.00:OFF:x" << false
                                                  << "100.0:AM (env):Thru:6.0K:A:OFF:OFF:0.00:OFF:x";
        QTest::newRow("old") << old << true << kGood;
        QTest::newRow("comma in the comment stays") << old + ", daily" << true << kGood + ", daily";
        QTest::newRow("fewer than nine commas") << "14250.00,USB,2.4K" << true << "14250.00:USB:2.4K";
        QTest::newRow("decimal comma: the tenth comma stays") << "14250,00,USB,2.4K,2.0K,A,OFF,OFF,0.00,OFF,net" << true
                                                              << "14250:00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF,net";
        QTest::newRow("colon only in character 5") << "1425:" << true << "1425:";
        QTest::newRow("colon only in character 11") << "1234567890:" << true << "1234567890:";
        QTest::newRow("empty") << "" << true << "";
    }
    void oldLayout()
    {
        QFETCH(QString, line);
        QTEST(IsOldLayout(line), "old");
        QTEST(ConvertOldLine(line), "converted");
    }

    // The comments a command-line read keeps: after the ninth colon, or after the ninth comma
    // in a file that has not been upgraded yet.
    void savedComments_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("comments");
        QTest::newRow("current") << NewFile(2) << QStringList{"net, 1", "net, 2"};
        QTest::newRow("old layout") << OldFile(2) << QStringList{"net, 1", "net, 2"};
        QTest::newRow("short line") << (kGood + "\r\n14250.00:USB\r\n").toUtf8() << QStringList{"net", ""};
    }
    void savedComments()
    {
        QFETCH(QByteArray, file);
        QTEST(SavedComments(file), "comments");
    }

    // Written: one line per row in UTF-8 with CR LF, and a non-ASCII comment reads back as it
    // was. Read: UTF-8 (a byte-order mark skipped), else the old program's Windows-1252.
    void encoding()
    {
        const QString comment = QStringLiteral("Bodø – ÆØÅ € 日本");
        std::vector<RowCells> rows(5);
        rows[0] = Row("7050.00* ", comment);
        const QByteArray bytes = SavedFileBytes(ViewKind::Qmb, rows);
        const QString empty(":::::::::\r\n");
        QCOMPARE(bytes, (With(0, "7050.00").replace("net", comment) + "\r\n" + empty.repeated(4)).toUtf8());
        QCOMPARE(ReadSavedLine(SplitSavedLines(DecodeSavedText(bytes)).at(0)).CommentText, comment);
        QCOMPARE(SplitSavedLines("a\r\nb\nc\r\n\r\n"), QStringList({"a", "b", "c", ""}));
        QCOMPARE(DecodeSavedText("\xEF\xBB\xBFnet"), QStringLiteral("net"));
        QCOMPARE(DecodeSavedText("Troms\xF8 \x80 \x93q\x94"), QStringLiteral("Tromsø € “q”"));
        QCOMPARE(DecodeSavedText("\xC3"), QStringLiteral("Ã"));  // UTF-8 cut short is Windows-1252
    }

    void acceptedFiles()
    {
        const std::pair<ViewKind, QByteArray> files[] = {
            {ViewKind::All, NewFile(113)}, {ViewKind::Ch99, Lines(99, ':').join('\n').toUtf8()},
            {ViewKind::Pms, Lines(9, ':').join("\r\n").toUtf8()},  // no end on the last line
            {ViewKind::Qmb, EncodeSavedLines(Lines(5, ':') << "lines beyond the count" << "")}};
        for (const auto& [view, bytes] : files) {
            const SavedFileRows parsed = ParseSavedFile(bytes, view);
            QCOMPARE(int(parsed.rows.size()), RowCount(view));
            QCOMPARE(parsed.rows.back()->CommentText, QStringLiteral("net, %1").arg(RowCount(view)));
        }
    }

    // What Load puts in the grid and sends: empty rows and 0.00 kHz (a blank channel) are not written.
    void restorePlan()
    {
        QStringList lines = Lines(9, ':');
        lines[0] = "7050.00*:CW (usb):500:250:B:ON:OFF:+1.25:-RPT:a: b";
        lines[1] = "14250,00:USB:2.4K:2.0K:A:OFF:OFF:-0,5:OFF:";
        lines[2] = "3573.00:::::::0.00::";
        lines[3] = ":::::::::";
        lines[4] = "0.00:LSB:Thru:6.0K:A:OFF:OFF:0.00:OFF:blank channel";
        const auto plan = PlanRestore(ViewKind::Pms, ParseSavedFile(EncodeSavedLines(lines), ViewKind::Pms).rows);
        QCOMPARE(plan.rows[0],
                 RowCells({"7050.00* ", "CW (usb)", "500", "250", "B", "ON", "OFF", "+1.25", "-RPT", "a: b"}));
        QCOMPARE(plan.rows[1], RowCells({"14250.00  ", "USB", "2.4K", "2.0K", "A", "OFF", "OFF", "-0.50", "OFF", ""}));
        QCOMPARE(plan.rows[2], RowCells({"3573.00  ", "", "", "", "", "", "", "0.00", "", ""}));
        QCOMPARE(plan.rows[3], RowCells{});
        QCOMPARE(plan.rows[4][CellIndex(ColFreq)], QStringLiteral("0.00  "));
        QList<std::pair<int, int>> written;  // channel, mask code
        for (const ChannelWrite& w : plan.writes)
            written.append({w.ChannelNo, w.MaskCode});
        QCOMPARE(written, (QList<std::pair<int, int>>{{100, 1}, {101, 2}, {102, 2}, {105, 2}, {106, 2}, {107, 2},
                                                      {108, 2}}));
        QCOMPARE(plan.unsendable, QList<int>{104});
    }

    void save_data()
    {
        QTest::addColumn<Files>("before");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("asked");
        QTest::addColumn<Files>("after");  // AllMem.txt saved as "new"
        const Files both{{"AllMem.txt", "saved"}, {"AllMem.bak", "backup"}};
        QTest::newRow("first save asks nothing") << Files{} << true << 0 << Files{{"AllMem.txt", "new"}};
        QTest::newRow("Yes: the saved file becomes the backup")
            << both << true << 1 << Files{{"AllMem.bak", "saved"}, {"AllMem.txt", "new"}};
        QTest::newRow("No: nothing changes") << both << false << 1 << both;
        QTest::newRow("a name differing in letter case is another file")
            << Files{{"allmem.txt", "other"}} << true << 0 << Files{{"AllMem.txt", "new"}, {"allmem.txt", "other"}};
    }
    void save()
    {
        QFETCH(Files, before);
        QFETCH(bool, yes);
        put(before);
        int asked = 0;
        const SaveResult result = SaveWithBackup(m_dir.path(), ViewKind::All, "new", [&] { ++asked; return yes; });
        QCOMPARE(result, (SaveResult{yes ? SaveOutcome::Saved : SaveOutcome::Declined, {}}));
        QTEST(asked, "asked");
        QTEST(files(), "after");
    }

    void strayTemporaries()
    {
        const QStringList stray{"AllMem.txt.AbCdEf", "AllMem.bak.x1Y2z3", "Qmb.txt.qwerty", "Temp.txt",
                                "Temp.txt.ZZZZZZ"};
        const QStringList kept{"AllMem.bak", "AllMem.txt", "AllMem.txt.AbCdEfG", "AllMem.txt.old", "Pms.txt.ab-def",
                               "allmem.txt.AbCdEf", "notes.txt", "temp.txt"};
        for (const QString& name : stray + kept)
            QVERIFY(PutFile(m_dir.filePath(name), "x"));
        QCOMPARE(RemoveStraySaveTemporaries(m_dir.path()), QStringList());
        QCOMPARE(FileListing(m_dir.path()), kept);
    }

    void upgrade_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("problem");  // %1: the directory
        QByteArray ansi = OldFile(5);
        ansi.replace("net, 3", "Troms\xF8 \x80");
        const QByteArray utf8 = NewFile(5).replace("net, 3", "Troms\xC3\xB8 \xE2\x82\xAC");
        const QString shortFile = "\"%1/%2\" is in the old layout but has %3 of its %4 lines; it was left as it was.";
        QTest::newRow("converted") << "AllMem.txt" << OldFile(113) << NewFile(113) << "";
        QTest::newRow("converted, LF line ends") << "99Mem.txt" << OldFile(99, "\n") << NewFile(99) << "";
        QTest::newRow("converted, lines beyond the count dropped") << "Pms.txt" << OldFile(12) << NewFile(9) << "";
        QTest::newRow("converted, Windows-1252 comment") << "Qmb.txt" << ansi << utf8 << "";
        QTest::newRow("current layout untouched") << "AllMem.txt" << NewFile(113) << NewFile(113) << "";
        QTest::newRow("other letter case untouched") << "allmem.txt" << OldFile(113) << OldFile(113) << "";
        QTest::newRow("short file untouched") << "99Mem.txt" << OldFile(40) << OldFile(40)
                                              << shortFile.arg("%1", "99Mem.txt", "40", "99");
        QTest::newRow("empty file untouched") << "Qmb.txt" << QByteArray() << QByteArray()
                                              << shortFile.arg("%1", "Qmb.txt", "0", "5");
    }
    void upgrade()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QString, problem);
        put({{file, before}});
        if (after != before)
            put({{"Temp.txt", "an older scratch file"}});
        QCOMPARE(UpgradeSavedFiles(m_dir.path()).join('\n'), problem.arg(m_dir.path()));
        QCOMPARE(files(), (Files{{file, after}}));
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "files_test.moc"
