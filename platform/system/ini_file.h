// Settings in sections of named values: ini files and the registry stand-in.
#pragma once
#include "platform/core/exceptions.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

KANDRIVEL_EXCEPTION(EIniFileError, Exception)

// Settings in sections of named values. Section and value names compare without regard
// to case; a missing value reads as the default.
class TCustomIniFile {
public:
    explicit TCustomIniFile(QString fileName) : fileName_(std::move(fileName)) {}
    virtual ~TCustomIniFile() = default;
    TCustomIniFile(const TCustomIniFile&) = delete;
    TCustomIniFile& operator=(const TCustomIniFile&) = delete;

    const QString& FileName() const { return fileName_; }

    virtual QString ReadString(const QString& section, const QString& ident, const QString& def) = 0;
    virtual void WriteString(const QString& section, const QString& ident, const QString& value) = 0;
    virtual bool ValueExists(const QString& section, const QString& ident) = 0;
    // Decimal, or hexadecimal after "$" or "0x"; anything else gives the default.
    int ReadInteger(const QString& section, const QString& ident, int def);
    void WriteInteger(const QString& section, const QString& ident, int value);
    // Stored as "1" and "0"; any other number than 0 reads as true.
    bool ReadBool(const QString& section, const QString& ident, bool def);
    void WriteBool(const QString& section, const QString& ident, bool value);
    // Writes what was changed; raises EIniFileError (or the write error) on failure.
    virtual void UpdateFile() {}

private:
    QString fileName_;
};

// A text file of "[section]" headers and "name=value" lines, in the data directory when
// the name has no folder of its own. Reading strips blanks around names and values and
// one pair of matching quotes around a value; writing stores the value as it is.
// Changes stay in memory until UpdateFile, which replaces the file through a temporary
// one; lines it does not understand are kept.
class TIniFile : public TCustomIniFile {
public:
    // Files larger than this are not read; writing to them is refused.
    static constexpr qint64 kMaxFileSize = 1 << 20;

    explicit TIniFile(const QString& fileName);
    ~TIniFile() override;

    // The file on disk this object reads and writes.
    const QString& Path() const { return path_; }
    // Empty when the file was read (or did not exist), else why it was not.
    const QString& LoadError() const { return loadError_; }

    QString ReadString(const QString& section, const QString& ident, const QString& def) override;
    void WriteString(const QString& section, const QString& ident, const QString& value) override;
    bool ValueExists(const QString& section, const QString& ident) override;
    QStringList ReadSections() const;
    void UpdateFile() override;

private:
    struct Line;
    int findSection(const QString& section) const;
    int findValue(int sectionLine, const QString& ident) const;

    QString path_;
    QString loadError_;
    std::vector<Line> lines_;
    bool dirty_ = false;
};

// The same interface over the registry stand-in: the file name is a key below
// HKEY_CURRENT_USER, each section a key below it.
class TRegistryIniFile : public TCustomIniFile {
public:
    explicit TRegistryIniFile(const QString& key);
    ~TRegistryIniFile() override;

    QString ReadString(const QString& section, const QString& ident, const QString& def) override;
    void WriteString(const QString& section, const QString& ident, const QString& value) override;
    bool ValueExists(const QString& section, const QString& ident) override;

private:
    QString sectionKey(const QString& section) const;
};
