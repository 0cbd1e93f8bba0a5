// Ini files and the registry-backed settings file: sections, values and saving.
#include "platform/system/ini_file.h"

#include "platform/core/data_directory.h"
#include "platform/core/number_format.h"
#include "platform/core/streams.h"
#include "platform/system/registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <climits>

namespace {

// Integers read as the platform's StrToInt reads them (decimal, $ or 0x hex), held to int.
bool parseInteger(const QString& text, int& out)
{
    long long v = 0;
    if (!TryStrToInt(text, v) || v < INT_MIN || v > INT_MAX)
        return false;
    out = static_cast<int>(v);
    return true;
}

// A value must stay on its line, or it would turn into further lines on reading.
QString oneLine(const QString& text)
{
    QString s = text;
    s.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

}  // namespace

int TCustomIniFile::ReadInteger(const QString& section, const QString& ident, int def)
{
    int v = def;
    return parseInteger(ReadString(section, ident, QString()), v) ? v : def;
}

void TCustomIniFile::WriteInteger(const QString& section, const QString& ident, int value)
{
    WriteString(section, ident, QString::number(value));
}

bool TCustomIniFile::ReadBool(const QString& section, const QString& ident, bool def)
{
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const QString& section, const QString& ident, bool value)
{
    WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

// ---- ini file ------------------------------------------------------------------------

struct TIniFile::Line {
    enum Kind { Other, Section, Value } kind = Other;
    QString text;  // the line as read or written
    QString name;  // section or value name
    QString value;
};

TIniFile::TIniFile(const QString& fileName) : TCustomIniFile(fileName)
{
    const QFileInfo info(fileName);
    path_ = info.isRelative() ? QDir(DataDirectory()).filePath(fileName) : fileName;
    const QFileInfo file(path_);
    if (!file.exists())
        return;
    if (!file.isFile()) {
        loadError_ = QStringLiteral("\"%1\" is not a file").arg(path_);
        return;
    }
    if (file.size() > kMaxFileSize) {
        loadError_ = QStringLiteral("The settings file \"%1\" is larger than %2 bytes").arg(path_).arg(kMaxFileSize);
        return;
    }
    QFile f(path_);
    if (!f.open(QIODevice::ReadOnly)) {
        loadError_ = QStringLiteral("Cannot open file \"%1\". %2").arg(path_, f.errorString());
        return;
    }
    // The size may have grown since it was checked.
    const QByteArray data = f.read(kMaxFileSize + 1);
    if (data.size() > kMaxFileSize) {
        loadError_ = QStringLiteral("The settings file \"%1\" is larger than %2 bytes").arg(path_).arg(kMaxFileSize);
        return;
    }
    QString text = QString::fromUtf8(data);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList raw = text.split(QLatin1Char('\n'));
    for (int i = 0; i < raw.size(); ++i) {
        QString l = raw[i];
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
        if (i == raw.size() - 1 && l.isEmpty())
            break;  // the final line end
        Line line;
        line.text = l;
        const QString t = l.trimmed();
        if (t.startsWith(QLatin1Char('['))) {
            const int close = t.indexOf(QLatin1Char(']'));
            line.kind = Line::Section;
            line.name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
        } else if (!t.startsWith(QLatin1Char(';')) && t.indexOf(QLatin1Char('=')) > 0) {
            const int eq = t.indexOf(QLatin1Char('='));
            line.kind = Line::Value;
            line.name = t.left(eq).trimmed();
            line.value = t.mid(eq + 1).trimmed();
        }
        lines_.push_back(std::move(line));
    }
}

TIniFile::~TIniFile() = default;

int TIniFile::findSection(const QString& section) const
{
    const QString name = section.trimmed();
    for (int i = 0; i < static_cast<int>(lines_.size()); ++i)
        if (lines_[i].kind == Line::Section && lines_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TIniFile::findValue(int sectionLine, const QString& ident) const
{
    const QString name = ident.trimmed();
    for (int i = sectionLine + 1; i < static_cast<int>(lines_.size()); ++i) {
        if (lines_[i].kind == Line::Section)
            break;
        if (lines_[i].kind == Line::Value && lines_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool TIniFile::ValueExists(const QString& section, const QString& ident)
{
    const int s = findSection(section);
    return s >= 0 && findValue(s, ident) >= 0;
}

QString TIniFile::ReadString(const QString& section, const QString& ident, const QString& def)
{
    const int s = findSection(section);
    const int v = s < 0 ? -1 : findValue(s, ident);
    if (v < 0)
        return def;
    QString value = lines_[v].value;
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

void TIniFile::WriteString(const QString& section, const QString& ident, const QString& value)
{
    const QString sectionName = oneLine(section).trimmed();
    const QString name = oneLine(ident).trimmed();
    Line entry;
    entry.kind = Line::Value;
    entry.name = name;
    entry.value = oneLine(value).trimmed();
    entry.text = name + QLatin1Char('=') + oneLine(value);
    int s = findSection(sectionName);
    if (s < 0) {
        if (!lines_.empty() && !lines_.back().text.trimmed().isEmpty())
            lines_.push_back(Line{});
        Line header;
        header.kind = Line::Section;
        header.name = sectionName;
        header.text = QLatin1Char('[') + sectionName + QLatin1Char(']');
        lines_.push_back(std::move(header));
        s = static_cast<int>(lines_.size()) - 1;
    }
    const int v = findValue(s, name);
    if (v >= 0) {
        // Keep the spelling the file already had.
        entry.name = lines_[v].name;
        entry.text = lines_[v].name + QLatin1Char('=') + oneLine(value);
        if (lines_[v].text == entry.text)
            return;
        lines_[v] = std::move(entry);
    } else {
        // After the section's last value, so that trailing blank lines stay between sections.
        int at = s + 1;
        for (int i = s + 1; i < static_cast<int>(lines_.size()) && lines_[i].kind != Line::Section; ++i)
            if (!lines_[i].text.trimmed().isEmpty())
                at = i + 1;
        lines_.insert(lines_.begin() + at, std::move(entry));
    }
    dirty_ = true;
}

QStringList TIniFile::ReadSections() const
{
    QStringList names;
    for (const Line& l : lines_)
        if (l.kind == Line::Section)
            names << l.name;
    return names;
}

void TIniFile::UpdateFile()
{
    if (!dirty_)
        return;
    // What could not be read must not be replaced by the little that was written.
    if (!loadError_.isEmpty())
        throw EIniFileError(loadError_);
    QString text;
    for (const Line& l : lines_)
        text += l.text + QLatin1Char('\n');
    QDir().mkpath(QFileInfo(path_).absolutePath());
    WriteFileSafely(path_, text.toUtf8());
    dirty_ = false;
}

// ---- registry ------------------------------------------------------------------------

TRegistryIniFile::TRegistryIniFile(const QString& key) : TCustomIniFile(key) {}
TRegistryIniFile::~TRegistryIniFile() = default;

QString TRegistryIniFile::sectionKey(const QString& section) const
{
    return QLatin1Char('\\') + FileName() + QLatin1Char('\\') + section;
}

QString TRegistryIniFile::ReadString(const QString& section, const QString& ident, const QString& def)
{
    TRegistry reg;
    if (!reg.OpenKey(sectionKey(section), false) || !reg.ValueExists(ident))
        return def;
    return reg.ReadString(ident);
}

void TRegistryIniFile::WriteString(const QString& section, const QString& ident, const QString& value)
{
    TRegistry reg;
    if (!reg.OpenKey(sectionKey(section), true))
        throw EIniFileError(QStringLiteral("Cannot create the registry key \"%1\"").arg(sectionKey(section)));
    reg.WriteString(ident, value);
}

bool TRegistryIniFile::ValueExists(const QString& section, const QString& ident)
{
    TRegistry reg;
    return reg.OpenKey(sectionKey(section), false) && reg.ValueExists(ident);
}
