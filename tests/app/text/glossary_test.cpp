// The glossary names only what the sources hold: every code name, object name and file
// in its tables exists (old names of the renamed table excepted).
#include "common/test_support.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// Every identifier in the library sources.
QSet<QString> SourceIdentifiers()
{
    static const QRegularExpression word(QStringLiteral("[A-Za-z_][A-Za-z0-9_]*"));
    QSet<QString> ids;
    for (const char* top : {"app", "controls", "imaging", "platform"}) {
        QDirIterator it(SourcePath(QLatin1String(top)), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(f.readAll());
            for (const QRegularExpressionMatch& m : word.globalMatch(text))
                ids.insert(m.captured());
        }
    }
    return ids;
}

TEST(Glossary, EveryNameItListsExists)
{
    QFile glossary(SourcePath(QStringLiteral("docs/glossary.md")));
    ASSERT_TRUE(glossary.open(QIODevice::ReadOnly | QIODevice::Text));
    const QSet<QString> ids = SourceIdentifiers();
    static const QRegularExpression quoted(QStringLiteral("`([^`]*)`"));
    static const QRegularExpression separators(QStringLiteral("[ ,/]+"));
    QStringList header;  // the current table's column titles
    int line = 0, checked = 0;
    for (const QString& row : QString::fromUtf8(glossary.readAll()).split(QLatin1Char('\n'))) {
        ++line;
        if (!row.startsWith(QLatin1Char('|'))) {
            header.clear();
            continue;
        }
        QStringList cells = row.trimmed().mid(1).chopped(1).split(QLatin1Char('|'));
        for (QString& c : cells)
            c = c.trimmed();
        if (header.isEmpty()) {
            header = cells;
            continue;
        }
        static const QRegularExpression rule(QStringLiteral("^[-:| ]+$"));
        if (rule.match(row.trimmed()).hasMatch())
            continue;
        for (qsizetype i = 0; i < cells.size() && i < header.size(); ++i) {
            const QString& column = header[i];
            if (column == QLatin1String("old name"))
                continue;
            const QString where = QStringLiteral("glossary line %1, %2: ").arg(line).arg(column);
            if (column == QLatin1String("file") || column == QLatin1String("where")) {
                for (const QString& path : cells[i].split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                    EXPECT_TRUE(QFileInfo::exists(SourcePath(path.trimmed()))) << (where + path).toStdString();
                    ++checked;
                }
                continue;
            }
            for (const QRegularExpressionMatch& m : quoted.globalMatch(cells[i])) {
                if (m.captured(1) == QLatin1String("(submenu)"))
                    continue;
                for (const QString& name : m.captured(1).split(separators, Qt::SkipEmptyParts)) {
                    EXPECT_TRUE(ids.contains(name)) << (where + name).toStdString();
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 1000);  // the tables were read at all
}

}  // namespace
