// The size of a file by name, in 64 bits.
#include "imaging/common/file_size.h"

#include <QFile>

#include <sys/stat.h>

int64_t GetFileSizeByName(const QString& fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    if (path.isEmpty())
        return kInvalidFileSize;
    struct stat st;
    if (::stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return kInvalidFileSize;
    return int64_t(st.st_size);
}
