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
QStringList Options(const QString& text)
{
    static const QRegularExpression option(QStringLiteral(R"((?:^|[\s,\[(])(--?[a-z][a-z0-9-]*))"));
    QStringList found;
    for (auto it = option.globalMatch(text); it.hasNext();)
        found << it.next().captured(1);
    found.removeDuplicates();
    found.sort();
    return found;
}

// A manual page's source as it reads: font changes dropped, escaped hyphens plain.
QString PageText(const QString& page)
{
    QString text = QString::fromUtf8(FileBytes(qEnvironmentVariable("VARDO_SOURCE") + "/dist/" + page));
    text.remove(QRegularExpression(QStringLiteral(R"(\\f[BIRP])")));
    return text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
}

QStringList Missing(const QStringList& from, const QStringList& in)
{
    QStringList missing;
    for (const QString& option : from) {
        if (!in.contains(option))
            missing << option;
    }
    return missing;
}

}  // namespace

class ManPagesTest : public QObject {
    Q_OBJECT
private slots:
    void pageNamesTheOptionsOfHelp_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("vardo") << "vardo";
        QTest::newRow("vardo-cli") << "vardo-cli";
        QTest::newRow("vardo-sim") << "vardo-sim";
    }
    void pageNamesTheOptionsOfHelp()
    {
        QFETCH(QString, program);
        const ProcessRun help = RunProcess(qEnvironmentVariable("VARDO_BIN") + "/" + program, {"--help"});
        QCOMPARE(help.status, 0);
        const QStringList inHelp = Options(help.out);
        QVERIFY2(inHelp.contains("--help"), qPrintable(help.out));
        const QStringList inPage = Options(PageText(program + ".1"));
        const QString notInPage = Missing(inHelp, inPage).join(' ');
        const QString notInHelp = Missing(inPage, inHelp).join(' ');
        QVERIFY2(notInPage.isEmpty(), qPrintable("in --help, not in the page: " + notInPage));
        QVERIFY2(notInHelp.isEmpty(), qPrintable("in the page, gone from the program: " + notInHelp));
    }
};

QTEST_GUILESS_MAIN(ManPagesTest)
#include "manpages_test.moc"
