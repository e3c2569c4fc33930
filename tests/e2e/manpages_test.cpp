// SPDX-License-Identifier: GPL-3.0-or-later
// Each program's manual page names exactly the options its --help lists: an option added to a
// program without its page, or a page that still describes a removed one, fails here.

#include <QRegularExpression>
#include <QtTest>

#include "filebytes.h"
#include "processrun.h"

using namespace vardo::test;

namespace {

// The options a text names: "-h", "--data-dir", each at the start of a word.
QSet<QString> Options(const QString& text)
{
    static const QRegularExpression option(QStringLiteral(R"((?:^|[\s,\[(])(--?[a-z][a-z0-9-]*))"));
    QSet<QString> found;
    for (auto it = option.globalMatch(text); it.hasNext();)
        found << it.next().captured(1);
    return found;
}

QString Sorted(const QSet<QString>& options)
{
    QStringList list(options.begin(), options.end());
    list.sort();
    return list.join(' ');
}

}  // namespace

class ManPagesTest : public QObject {
    Q_OBJECT
private slots:
    void pageNamesTheOptionsOfHelp_data()
    {
        QTest::addColumn<QString>("program");
        for (const char* program : {"vardo", "vardo-cli", "vardo-sim"})
            QTest::newRow(program) << program;
    }
    void pageNamesTheOptionsOfHelp()
    {
        QFETCH(QString, program);
        const ProcessRun help = RunProcess(qEnvironmentVariable("VARDO_BIN") + "/" + program, {"--help"});
        QCOMPARE(help.status, 0);
        const QSet<QString> inHelp = Options(help.out);
        QVERIFY2(inHelp.contains("--help"), qPrintable(help.out));
        // The page's source as it reads: font changes dropped, escaped hyphens plain.
        QString page = QString::fromUtf8(FileBytes(qEnvironmentVariable("VARDO_SOURCE") + "/dist/" + program + ".1"));
        const QSet<QString> inPage = Options(page.remove(QRegularExpression(R"(\\f[BIRP])")).replace("\\-", "-"));
        QVERIFY2((inHelp - inPage).isEmpty(), qPrintable("in --help, not in the page: " + Sorted(inHelp - inPage)));
        QVERIFY2((inPage - inHelp).isEmpty(), qPrintable("in the page, gone from the program: " + Sorted(inPage - inHelp)));
    }
};

QTEST_GUILESS_MAIN(ManPagesTest)
#include "manpages_test.moc"
