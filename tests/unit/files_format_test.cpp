// The saved-file line format: the writer's field 1 rule, the reader, the line checks, the
// old-layout conversion and the file encoding.

#include <QtTest>

#include "savedfileformat.h"
#include "savedfiletext.h"

using namespace vardo;

namespace {

// A row as the grid shows it: "14250.00  ", "USB", ... , comment.
RowCells Row(const QString& freqCell, const QString& offset, const QString& comment)
{
    return {freqCell, "USB", "2.4K", "2.0K", "A", "OFF", "OFF", offset, "OFF", comment};
}

// Everything the reader fills, as one text, so a table row can state it in full.
QString Describe(const SavedLine& s)
{
    const Channel& c = s.channel;
    return QStringList{QString::number(c.Freq, 'f', 2), "[" + c.Mask + "]", QString::number(s.MaskCode),
                       c.Mode, c.Filt82, c.Filt455, c.Ant, c.RxRit, c.TxRit,
                       QString::number(c.Offset, 'f', 2), "[" + c.OffsetSign + "]", c.Rpt, "{" + s.CommentText + "}"}
        .join('|');
}

}  // namespace

class TestFilesFormat : public QObject {
    Q_OBJECT
private slots:
    void freqField_data();
    void freqField();
    void writeLine_data();
    void writeLine();
    void readLine_data();
    void readLine();
    void lineProblem_data();
    void lineProblem();
    void oldLayout_data();
    void oldLayout();
    void convertOldLine_data();
    void convertOldLine();
    void decodeBytes_data();
    void decodeBytes();
    void splitAndEncode();
    void nonAsciiCommentRoundTrip();
};

void TestFilesFormat::freqField_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<bool>("keepMark");
    QTest::addColumn<QString>("field");

    QTest::newRow("unmasked") << "14250.00  " << true << "14250.00";
    QTest::newRow("masked keeps the mark") << "14250.00* " << true << "14250.00*";
    QTest::newRow("masked 7050") << "7050.00* " << true << "7050.00*";
    QTest::newRow("100 kHz") << "100.00  " << true << "100.00";
    QTest::newRow("masked 100 kHz") << "100.00* " << true << "100.00*";
    QTest::newRow("QMB drops the mark") << "7050.00* " << false << "7050.00";
    QTest::newRow("QMB unmasked") << "7050.00  " << false << "7050.00";
    QTest::newRow("empty cell") << "" << true << "";
    QTest::newRow("one character") << "7" << true << "";
    QTest::newRow("two blanks") << "  " << true << "";
    QTest::newRow("star beyond character 10 is not a mark") << "1234567.00* " << true << "1234567.00";
}

void TestFilesFormat::freqField()
{
    QFETCH(QString, cell);
    QFETCH(bool, keepMark);
    QTEST(SavedFreqField(cell, keepMark), "field");
}

void TestFilesFormat::writeLine_data()
{
    QTest::addColumn<RowCells>("row");
    QTest::addColumn<bool>("keepMark");
    QTest::addColumn<QString>("line");

    QTest::newRow("worked example") << Row("14250.00  ", "0.00", "net") << true
                                    << "14250.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:net";
    QTest::newRow("worked example masked") << Row("14250.00* ", "0.00", "net") << true
                                           << "14250.00*:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:net";
    QTest::newRow("empty comment ends in a colon") << Row("14250.00  ", "0.00", "") << true
                                                   << "14250.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:";
    QTest::newRow("colons in the comment") << Row("3573.00  ", "+1.25", "FT8: EU: evening") << true
                                           << "3573.00:USB:2.4K:2.0K:A:OFF:OFF:+1.25:OFF:FT8: EU: evening";
    QTest::newRow("QMB masked loses the mark") << Row("7050.00* ", "-0.50", "q") << false
                                               << "7050.00:USB:2.4K:2.0K:A:OFF:OFF:-0.50:OFF:q";
    QTest::newRow("empty row") << RowCells{} << true << ":::::::::";
    QTest::newRow("line break in a comment") << Row("100.00  ", "0.00", "a\r\nb") << true
                                             << "100.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:a  b";
}

void TestFilesFormat::writeLine()
{
    QFETCH(RowCells, row);
    QFETCH(bool, keepMark);
    QTEST(SavedLineFromCells(row, keepMark), "line");
}

void TestFilesFormat::readLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("read");

    QTest::newRow("worked example") << "14250.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:net"
                                    << "14250.00|[  ]|2|USB|2.4K|2.0K|A|OFF|OFF|0.00|[]|OFF|{net}";
    QTest::newRow("masked 7050") << "7050.00*:LSB:Thru:6.0K:B:ON:OFF:0.00:-RPT:"
                                 << "7050.00|[* ]|1|LSB|Thru|6.0K|B|ON|OFF|0.00|[]|-RPT|{}";
    QTest::newRow("masked 100 kHz") << "100.00*:AM (env):Thru:6.0K:A:OFF:OFF:0.00:OFF:x"
                                    << "100.00|[* ]|1|AM (env)|Thru|6.0K|A|OFF|OFF|0.00|[]|OFF|{x}";
    QTest::newRow("positive offset") << "14250.00:USB:2.4K:2.0K:A:ON:ON:+1.25:OFF:"
                                     << "14250.00|[  ]|2|USB|2.4K|2.0K|A|ON|ON|1.25|[+]|OFF|{}";
    QTest::newRow("negative offset") << "14250.00:USB:2.4K:2.0K:A:ON:ON:-0.50:OFF:"
                                     << "14250.00|[  ]|2|USB|2.4K|2.0K|A|ON|ON|-0.50|[]|OFF|{}";
    QTest::newRow("decimal commas") << "14250,00:USB:2.4K:2.0K:A:OFF:OFF:+1,25:OFF:"
                                    << "14250.00|[  ]|2|USB|2.4K|2.0K|A|OFF|OFF|1.25|[+]|OFF|{}";
    QTest::newRow("colons in the comment") << "3573.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:a:b::c:"
                                           << "3573.00|[  ]|2|USB|2.4K|2.0K|A|OFF|OFF|0.00|[]|OFF|{a:b::c:}";
    QTest::newRow("unknown codes stay empty") << "3573.00:::::::0.00::"
                                              << "3573.00|[  ]|2|||||||0.00|[]||{}";
    QTest::newRow("star in the comment is no mark") << "14250.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:*"
                                                    << "14250.00|[  ]|2|USB|2.4K|2.0K|A|OFF|OFF|0.00|[]|OFF|{*}";
    QTest::newRow("fewer colons: the rest is the comment") << "14250.00:USB:rest"
                                                           << "14250.00|[  ]|2|USB||||||0.00|[]||{rest}";
    QTest::newRow("no number gives 0") << "abc:USB:2.4K:2.0K:A:OFF:OFF:x:OFF:"
                                       << "0.00|[  ]|2|USB|2.4K|2.0K|A|OFF|OFF|0.00|[]|OFF|{}";
    QTest::newRow("non-ASCII comment") << "7074.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:Tromsø ÆØÅ €"
                                       << "7074.00|[  ]|2|USB|2.4K|2.0K|A|OFF|OFF|0.00|[]|OFF|{Tromsø ÆØÅ €}";
}

void TestFilesFormat::readLine()
{
    QFETCH(QString, line);
    QTEST(Describe(ReadSavedLine(line)), "read");
}

void TestFilesFormat::lineProblem_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("problem");

    QTest::newRow("good") << "14250.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:net" << "";
    QTest::newRow("good masked, comma decimals") << "7050,00*:USB:2.4K:2.0K:A:OFF:OFF:-0,50:OFF:" << "";
    QTest::newRow("empty settings are allowed") << "7050.00:::::::0.00::" << "";
    QTest::newRow("eight colons") << "14250.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF" << "has fewer than nine colons";
    QTest::newRow("old layout line") << "14250.00,USB,2.4K,2.0K,A,OFF,OFF,0.00,OFF,net" << "has fewer than nine colons";
    QTest::newRow("empty line") << "" << "has fewer than nine colons";
    QTest::newRow("frequency text") << "abc:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:"
                                    << "has a frequency that is not a number (\"abc\")";
    QTest::newRow("frequency with junk after") << "14250.00x:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:"
                                               << "has a frequency that is not a number (\"14250.00x\")";
    QTest::newRow("empty frequency") << ":USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:"
                                     << "has a frequency that is not a number (\"\")";
    QTest::newRow("negative frequency") << "-7050.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:"
                                        << "has a frequency that is not a number (\"-7050.00\")";
    QTest::newRow("two marks") << "7050*.00*:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:"
                               << "has a frequency that is not a number (\"7050*.00\")";
    QTest::newRow("frequency beyond single precision")
        << QString(40, '9') + ":USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:"
        << "has a frequency that is not a number (\"" + QString(40, '9') + "\")";
    QTest::newRow("offset text") << "14250.00:USB:2.4K:2.0K:A:OFF:OFF:one:OFF:"
                                 << "has an offset that is not a number (\"one\")";
    QTest::newRow("empty offset") << "14250.00:USB:2.4K:2.0K:A:OFF:OFF::OFF:"
                                  << "has an offset that is not a number (\"\")";
    QTest::newRow("mode") << "14250.00:USX:2.4K:2.0K:A:OFF:OFF:0.00:OFF:" << "has an unknown Mode setting (\"USX\")";
    QTest::newRow("mode in lower case") << "14250.00:usb:2.4K:2.0K:A:OFF:OFF:0.00:OFF:"
                                        << "has an unknown Mode setting (\"usb\")";
    QTest::newRow("8.2 filter") << "14250.00:USB:2.4:2.0K:A:OFF:OFF:0.00:OFF:"
                                << "has an unknown 8.2 Filter setting (\"2.4\")";
    QTest::newRow("455 filter") << "14250.00:USB:2.4K:Thru:A:OFF:OFF:0.00:OFF:"
                                << "has an unknown 455 Filter setting (\"Thru\")";
    QTest::newRow("antenna") << "14250.00:USB:2.4K:2.0K:C:OFF:OFF:0.00:OFF:" << "has an unknown Ant setting (\"C\")";
    QTest::newRow("rx rit") << "14250.00:USB:2.4K:2.0K:A:On:OFF:0.00:OFF:" << "has an unknown Rx RIT setting (\"On\")";
    QTest::newRow("tx rit") << "14250.00:USB:2.4K:2.0K:A:OFF:1:0.00:OFF:" << "has an unknown Tx RIT setting (\"1\")";
    QTest::newRow("rpt") << "14250.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:RPT:" << "has an unknown RPT setting (\"RPT\")";
}

void TestFilesFormat::lineProblem()
{
    QFETCH(QString, line);
    QTEST(SavedLineProblem(line), "problem");
}

void TestFilesFormat::oldLayout_data()
{
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<bool>("old");

    QTest::newRow("current, 8-character frequency") << "14250.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:" << false;
    QTest::newRow("current, masked") << "14250.00*:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:" << false;
    QTest::newRow("current, 100 kHz") << "100.00:AM (env):Thru:6.0K:A:OFF:OFF:0.00:OFF:" << false;
    QTest::newRow("current, five characters") << "100.0:AM (env):Thru:6.0K:A:OFF:OFF:0.00:OFF:" << false;
    QTest::newRow("old") << "14250.00,USB,2.4K,2.0K,A,OFF,OFF,0.00,OFF,net" << true;
    QTest::newRow("old, 100 kHz") << "100.00,AM (env),Thru,6.0K,A,OFF,OFF,0.00,OFF," << true;
    QTest::newRow("colon only in character 5") << "1425:" << true;
    QTest::newRow("colon only in character 11") << "1234567890:" << true;
    QTest::newRow("empty") << "" << true;
}

void TestFilesFormat::oldLayout()
{
    QFETCH(QString, firstLine);
    QTEST(IsOldLayout(firstLine), "old");
}

void TestFilesFormat::convertOldLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("converted");

    QTest::newRow("comma in the comment stays") << "14250.00,USB,2.4K,2.0K,A,OFF,OFF,0.00,OFF,net, daily"
                                                << "14250.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:net, daily";
    QTest::newRow("fewer than nine commas") << "14250.00,USB,2.4K" << "14250.00:USB:2.4K";
    QTest::newRow("decimal comma: the tenth comma stays")
        << "14250,00,USB,2.4K,2.0K,A,OFF,OFF,0.00,OFF,net" << "14250:00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF,net";
    QTest::newRow("no commas") << "abc" << "abc";
    QTest::newRow("empty") << "" << "";
}

void TestFilesFormat::convertOldLine()
{
    QFETCH(QString, line);
    QTEST(ConvertOldLine(line), "converted");
}

void TestFilesFormat::decodeBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("ASCII") << QByteArray("net") << "net";
    QTest::newRow("UTF-8") << QByteArray("Troms\xC3\xB8 \xE2\x82\xAC") << "Tromsø €";
    QTest::newRow("UTF-8 with a byte-order mark") << QByteArray("\xEF\xBB\xBFnet") << "net";
    QTest::newRow("Windows-1252") << QByteArray("Troms\xF8 \x80 \x93q\x94") << "Tromsø € “q”";
    QTest::newRow("unassigned Windows-1252 byte") << QByteArray("a\x81") << "a\u0081";
    QTest::newRow("UTF-8 cut in the middle is Windows-1252") << QByteArray("\xC3") << "Ã";
}

void TestFilesFormat::decodeBytes()
{
    QFETCH(QByteArray, bytes);
    QTEST(DecodeSavedText(bytes), "text");
}

void TestFilesFormat::splitAndEncode()
{
    QCOMPARE(SplitSavedLines("a\r\nb\nc"), QStringList({"a", "b", "c"}));
    QCOMPARE(SplitSavedLines("a\r\n\r\n"), QStringList({"a", ""}));
    QCOMPARE(SplitSavedLines(""), QStringList());
    QCOMPARE(EncodeSavedLines({"a:b", ""}), QByteArray("a:b\r\n\r\n"));
}

void TestFilesFormat::nonAsciiCommentRoundTrip()
{
    const QString comment = QStringLiteral("Bodø – ÆØÅ € 日本");
    const QByteArray bytes = EncodeSavedLines({SavedLineFromCells(Row("7074.00  ", "0.00", comment), true)});
    QVERIFY(bytes.endsWith("OFF:" + comment.toUtf8() + "\r\n"));
    const QStringList lines = SplitSavedLines(DecodeSavedText(bytes));
    QCOMPARE(ReadSavedLine(lines.at(0)).CommentText, comment);
}

QTEST_APPLESS_MAIN(TestFilesFormat)
#include "files_format_test.moc"
