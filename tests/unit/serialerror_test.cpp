// SPDX-License-Identifier: GPL-3.0-or-later
// The system's words for a serial device that went away become plain ones; others stay.
#include <QtTest>

#include "serialerrortext.h"

using namespace vardo;

class SerialErrorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void plainWords_data()
    {
        QTest::addColumn<QSerialPort::SerialPortError>("error");
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("shown");
        const QString gone = QStringLiteral("the serial adapter was unplugged or stopped answering");
        QTest::newRow("USB adapter pulled, Linux") << QSerialPort::ReadError << "Inappropriate ioctl for device" << gone;
        QTest::newRow("adapter gone while writing") << QSerialPort::WriteError << "Input/output error" << gone;
        QTest::newRow("Windows") << QSerialPort::ReadError << "The device does not recognize the command." << gone;
        QTest::newRow("removed, any words") << QSerialPort::ResourceError << "Unknown error" << gone;
        QTest::newRow("permission kept") << QSerialPort::PermissionError << "Permission denied" << "Permission denied";
        QTest::newRow("other words kept") << QSerialPort::UnknownError << "Unknown error" << "Unknown error";
    }
    void plainWords()
    {
        QFETCH(QSerialPort::SerialPortError, error);
        QFETCH(QString, system);
        QTEST(PlainSerialError(error, system), "shown");
    }
};

QTEST_GUILESS_MAIN(SerialErrorTest)
#include "serialerror_test.moc"
