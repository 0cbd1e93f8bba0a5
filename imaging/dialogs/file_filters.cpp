// Parsing the file dialogs' filter strings into masks and name filters.
#include "imaging/dialogs/file_filters.h"

namespace {

QStringList filterParts(const QString& filter) { return filter.split(u'|'); }

int fileNameStart(const QString& name) { return int(std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'))) + 1; }

}  // namespace

int FilterCount(const QString& filter) { return filter.isEmpty() ? 0 : int(filterParts(filter).size()) / 2; }

QString FilterMaskAt(const QString& filter, int index)
{
    const QStringList parts = filterParts(filter);
    const qsizetype at = qsizetype(index - 1) * 2 + 1;
    if (index < 1 || at >= parts.size())
        return QString();
    return parts.at(at);
}

QStringList DialogNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filterParts(filter);
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(u';', Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        result << parts.at(i) + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return result;
}

QString MaskExtension(const QString& mask)
{
    const QString first = mask.section(u';', 0, 0).trimmed();
    const QString file = first.mid(fileNameStart(first));
    const qsizetype dot = file.lastIndexOf(u'.');
    if (dot < 0)
        return QString();
    const QString ext = file.mid(dot + 1);
    if (ext.isEmpty() || ext.contains(u'*') || ext.contains(u'?') || ext.contains(u'['))
        return QString();
    return u'.' + ext;
}

bool HasExtension(const QString& name)
{
    const QString file = name.mid(fileNameStart(name));
    const qsizetype dot = file.lastIndexOf(u'.');
    return dot >= 0 && dot + 1 < file.size();
}

QString ReplaceExtension(const QString& name, const QString& ext)
{
    const int start = fileNameStart(name);
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot >= start ? name.left(dot) : name) + ext;
}

QString NormalizedInitialDir(const QString& dir)
{
    if (dir.size() <= 1)
        return dir;
    const QChar last = dir.back();
    if (last != u'/' && last != u'\\')
        return dir;
    if (dir.at(dir.size() - 2) == u':')
        return dir;
    return dir.left(dir.size() - 1);
}
