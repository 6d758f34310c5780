#include "Files.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

QString systemReason(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

QString whyReadOnly(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::access(name.constData(), W_OK) != 0)
        return systemReason(errno);
    struct stat info {};
    if (::geteuid() == 0 && ::stat(name.constData(), &info) == 0 && (info.st_mode & 0222) == 0)
        return systemReason(EACCES);
    return QString();
}

namespace {

// A folder of this user's that no one else may enter or list. lstat: a link is never taken for one.
bool isPrivateFolder(const QByteArray &path)
{
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
           (info.st_mode & 077) == 0;
}

} // namespace

QString privateRuntimeFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(QFile::decodeName(runtime)) && isPrivateFolder(runtime))
        return QFile::decodeName(runtime);
    // Made here with mode 0700, or found from an earlier start: either way its owner and mode decide.
    const QString folder = QDir::tempPath() + QStringLiteral("/tessund-%1").arg(::geteuid());
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return QString();
    return isPrivateFolder(name) ? folder : QString();
}
