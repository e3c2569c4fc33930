#include "safefile.h"

#include <filesystem>
#include <system_error>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "savedfilenames.h"

namespace vardo {
namespace {

constexpr QDir::Filters kAnyFile = QDir::Files | QDir::Hidden | QDir::System;

// QSaveFile writes next to its target under the target's name plus "." and six random
// letters (on Linux only briefly, while the finished file is linked in).
[[nodiscard]] const QRegularExpression& TemporaryName()
{
    static const QRegularExpression re = [] {
        QStringList names{TempFileName()};
        for (ViewKind v : kAllViews)
            names << SavedFileName(v) << BackupFileName(v);
        for (QString& n : names)
            n = QRegularExpression::escape(n);
        return QRegularExpression(QStringLiteral("^(%1)\\.[A-Za-z0-9]{6}$").arg(names.join(QLatin1Char('|'))));
    }();
    return re;
}

}  // namespace

QString CouldNotWrite(const QString& path, const QString& reason)
{
    return QStringLiteral("Could not write \"%1\": %2.").arg(QDir::toNativeSeparators(path), reason);
}

QString CouldNotRead(const QString& path, const QString& reason)
{
    return QStringLiteral("Could not read \"%1\": %2.").arg(QDir::toNativeSeparators(path), reason);
}

bool ExactFileExists(const QString& dir, const QString& name)
{
    const QStringList found = QDir(dir).entryList({name}, kAnyFile);
    return found.contains(name, Qt::CaseSensitive);
}

ReadResult ReadWholeFile(const QString& path)
{
    QFile file(path);
    ReadResult result;
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = CouldNotRead(path, file.errorString());
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        result.error = CouldNotRead(path, file.errorString());
    return result;
}

PendingFile::PendingFile(const QString& path) : m_file(path) {}

QString PendingFile::fail()
{
    const QString message = CouldNotWrite(m_file.fileName(), m_file.errorString());
    m_file.cancelWriting();
    return message;
}

QString PendingFile::write(const QByteArray& bytes)
{
    if (!m_file.open(QIODevice::WriteOnly))
        return CouldNotWrite(m_file.fileName(), m_file.errorString());
    // Qt 6.4's commit() ignores a failed final flush and would put an empty file in place on
    // a full disk, so every byte must be out of the buffer before committing.
    if (m_file.write(bytes) != bytes.size() || !m_file.flush())
        return fail();
    return {};
}

QString PendingFile::commit()
{
    if (!m_file.isOpen())
        return CouldNotWrite(m_file.fileName(), QStringLiteral("the file was not written"));
    if (!m_file.flush())
        return fail();
    if (!m_file.commit())
        return CouldNotWrite(m_file.fileName(), m_file.errorString());
    return {};
}

QString WriteFileSafely(const QString& path, const QByteArray& bytes)
{
    PendingFile file(path);
    QString error = file.write(bytes);
    if (error.isEmpty())
        error = file.commit();
    return error;
}

QString ReplaceFile(const QString& from, const QString& to)
{
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), ec);
    if (!ec)
        return {};
    return CouldNotWrite(to, QString::fromStdString(ec.message()));
}

QStringList RemoveStraySaveTemporaries(const QString& dir)
{
    QStringList problems;
    const QDir d(dir);
    for (const QString& name : d.entryList(kAnyFile)) {
        if (!TemporaryName().match(name).hasMatch() && name != TempFileName())
            continue;
        QFile stray(d.filePath(name));
        if (!stray.remove())
            problems << QStringLiteral("Could not remove \"%1\": %2.")
                            .arg(QDir::toNativeSeparators(stray.fileName()), stray.errorString());
    }
    return problems;
}

}  // namespace vardo
