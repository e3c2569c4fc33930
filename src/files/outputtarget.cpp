// SPDX-License-Identifier: GPL-3.0-or-later
#include "outputtarget.h"

#include <filesystem>
#include <system_error>

#include "safefile.h"
#include "savedfilenames.h"

namespace vardo {
namespace {

namespace fs = std::filesystem;

[[nodiscard]] fs::path FsPath(const QString& path) { return fs::path(path.toStdU16String()); }

// Where a chain of links ends, even at a name not yet taken (a write through a dangling link
// makes the file it names). At most a few dozen links, as the system itself allows.
[[nodiscard]] fs::path FinalTarget(fs::path path)
{
    constexpr int kMostLinks = 40;
    std::error_code ec;
    for (int i = 0; i < kMostLinks && fs::is_symlink(fs::symlink_status(path, ec)); ++i) {
        const fs::path next = fs::read_symlink(path, ec);
        if (ec)
            break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

// The same file, whatever the spelling: an existing pair is compared by identity (a hard link
// counts), a name not yet taken by the resolved path of its folder.
[[nodiscard]] bool SameFile(const fs::path& a, const fs::path& b)
{
    std::error_code ec;
    const fs::path left = FinalTarget(fs::absolute(a, ec));
    const fs::path right = FinalTarget(fs::absolute(b, ec));
    if (fs::exists(left, ec) && fs::exists(right, ec))
        return fs::equivalent(left, right, ec) && !ec;
    std::error_code leftError, rightError;
    const fs::path leftPath = fs::weakly_canonical(left, leftError);
    const fs::path rightPath = fs::weakly_canonical(right, rightError);
    return !leftError && !rightError && leftPath == rightPath;
}

// The saved file or backup of the data folder that `target` is, if any.
[[nodiscard]] QString OwnFileAt(const fs::path& target, const QString& dataDir)
{
    for (ViewKind view : kAllViews) {
        for (const QString& name : {SavedFileName(view), BackupFileName(view)}) {
            if (SameFile(target, FsPath(PathIn(dataDir, name))))
                return name;
        }
    }
    return {};
}

}  // namespace

QString OutputTargetProblem(const QString& path, const QString& dataDir)
{
    const fs::path target = FsPath(path);
    if (const QString what = NotAFile(path); !what.isEmpty())
        return CouldNotWrite(path, what);
    if (const QString own = OwnFileAt(target, dataDir); !own.isEmpty())
        return CouldNotWrite(path, QStringLiteral("it is the program's own saved file \"%1\"; choose another name").arg(own));
    return {};
}

}  // namespace vardo
