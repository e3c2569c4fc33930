// SPDX-License-Identifier: GPL-3.0-or-later
#include "safefile.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "savedfilenames.h"

namespace vardo {
namespace {

constexpr QDir::Filters kAnyFile = QDir::Files | QDir::Hidden | QDir::System;

// What marks the program's own scratch files: a save writes "<name>.vardo-partial" beside its
// target and renames it over the target; QSaveFile's temporary for that adds "." and six
// letters. No operator names a file so, and only such names are ever removed.
const QString kPartialMark = QStringLiteral(".vardo-partial");

[[nodiscard]] const QRegularExpression& TemporaryName()
{
    static const QRegularExpression re = [] {
        QStringList names;
        for (ViewKind v : kAllViews)
            names << SavedFileName(v) << BackupFileName(v);
        for (QString& n : names)
            n = QRegularExpression::escape(n + kPartialMark);
        return QRegularExpression(QStringLiteral("^(%1)(\\.[A-Za-z0-9]{6})?$").arg(names.join(QLatin1Char('|'))));
    }();
    return re;
}

// Qt leaves its text unset ("Unknown error") when a full disk cuts a write short part-way;
// the system's error number, taken right after the failed call, then says why.
[[nodiscard]] QString WriteFailure(const QFileDevice& file, int systemError)
{
    const QString text = file.errorString();
    if (!text.isEmpty() && text != QFile().errorString())
        return text;
    if (systemError != 0)
        return qt_error_string(systemError);
    return qt_error_string(file.error() == QFileDevice::ResourceError ? ENOSPC : -1);
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

QString NotAFile(const QString& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    switch (fs::status(fs::path(path.toStdU16String()), ec).type()) {
    case fs::file_type::regular:
    case fs::file_type::not_found:
    case fs::file_type::none:
        return {};
    case fs::file_type::directory: return QStringLiteral("it is a folder, not a file");
    case fs::file_type::fifo: return QStringLiteral("it is a named pipe, not a file");
    case fs::file_type::block:
    case fs::file_type::character: return QStringLiteral("it is a device, not a file");
    default: return QStringLiteral("it is not a regular file");
    }
}

bool NameTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool ExactFileExists(const QString& dir, const QString& name)
{
    // A folder of that name counts too, so that a Load says what it is instead of "never saved".
    const QStringList found = QDir(dir).entryList({name}, kAnyFile | QDir::Dirs | QDir::NoDotAndDotDot);
    return found.contains(name, Qt::CaseSensitive);
}

ReadResult ReadWholeFile(const QString& path)
{
    ReadResult result;
    if (const QString notFile = NotAFile(path); !notFile.isEmpty()) {
        result.error = CouldNotRead(path, notFile);
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = CouldNotRead(path, file.errorString());
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        result.error = CouldNotRead(path, file.errorString());
    return result;
}

// A saved file that is a link to one elsewhere stays a link: the file it points to is replaced.
PendingFile::PendingFile(const QString& path)
    : m_path(path)
    , m_target(QFileInfo(path).isSymLink() ? QFileInfo(path).symLinkTarget() : path)
    , m_file(m_target + kPartialMark)
{
}

QString PendingFile::fail(int systemError)
{
    const QString message = CouldNotWrite(m_path, WriteFailure(m_file, systemError));
    m_file.cancelWriting();
    return message;
}

QString PendingFile::write(const QByteArray& bytes)
{
    // The file is replaced by a rename, which a read-only file does not stop: refuse as
    // writing into it would.
    const QFileInfo target(m_target);
    if (target.exists() && target.isFile() && !target.isWritable())
        return CouldNotWrite(m_path, QStringLiteral("Existing file %1 is not writable").arg(m_path));
    errno = 0;
    if (!m_file.open(QIODevice::WriteOnly))
        return CouldNotWrite(m_path, WriteFailure(m_file, errno));
    // Qt 6.4's commit() ignores a failed final flush and would put an empty file in place on
    // a full disk, so every byte must be out of the buffer before committing.
    errno = 0;
    if (m_file.write(bytes) != bytes.size() || !m_file.flush())
        return fail(errno);
    return {};
}

QString PendingFile::commit()
{
    if (!m_file.isOpen())
        return CouldNotWrite(m_path, QStringLiteral("the file was not written"));
    errno = 0;
    if (!m_file.flush())
        return fail(errno);
    errno = 0;
    if (!m_file.commit())
        return CouldNotWrite(m_path, WriteFailure(m_file, errno));
    // The new file keeps the permissions of the one it replaces (a private file stays private).
    if (const QFileInfo old(m_target); old.exists())
        QFile::setPermissions(m_file.fileName(), old.permissions());
    if (const QString e = ReplaceFile(m_file.fileName(), m_target); !e.isEmpty()) {
        QFile::remove(m_file.fileName());
        return e;
    }
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
        if (!TemporaryName().match(name).hasMatch())
            continue;
        QFile stray(d.filePath(name));
        if (!stray.remove())
            problems << QStringLiteral("Could not remove \"%1\": %2.")
                            .arg(QDir::toNativeSeparators(stray.fileName()), stray.errorString());
    }
    return problems;
}

}  // namespace vardo
