// An open scanner device and typed access to its options. Every descriptor and value
// the device hands over is checked before use: sizes, list lengths and strings are
// bounded, and an option that does not make sense is reported as missing.
#pragma once

#include "platform/scan/sane_manager.h"

#include <QString>
#include <QStringList>
#include <vector>

struct TScanOption {
    int Index = -1;
    QByteArray Name;
    QString Title;
    SANE_Value_Type Type = SANE_TYPE_INT;
    SANE_Unit Unit = SANE_UNIT_NONE;
    bool Active = false;
    bool Settable = false;
    // Constraint: a string list, a word list (numbers) or a range; none of them when free.
    QStringList Strings;
    std::vector<double> Words;
    bool HasRange = false;
    double Min = 0, Max = 0, Quant = 0;
};

class TScanSource {
public:
    TScanSource(TSaneManager& manager, SANE_Handle handle) : manager_(manager), handle_(handle) {}

    // The number of options (option 0's value); -1 when it cannot be read.
    int OptionCount();
    // The option of that name, Index -1 when the device has none.
    TScanOption Find(const char* name);
    bool Describe(int index, TScanOption& out);

    // Integer and fixed-point options read and written as numbers (first element).
    bool GetNumber(const TScanOption& option, double& value);
    SANE_Status SetNumber(const TScanOption& option, double value, SANE_Int* info = nullptr);
    bool GetString(const TScanOption& option, QString& value);
    SANE_Status SetString(const TScanOption& option, const QString& value, SANE_Int* info = nullptr);

    TSaneManager& Manager() { return manager_; }
    SANE_Handle Handle() const { return handle_; }

    static constexpr int kMaxOptions = 4096;
    static constexpr int kMaxValueSize = 65536;
    static constexpr int kMaxListLength = 4096;

private:
    TSaneManager& manager_;
    SANE_Handle handle_;
};
