// An open scanner and checked, typed access to its options.
#include "platform/scan/scan_source.h"

#include <QByteArray>
#include <cstring>

namespace {

QString boundedText(const char* s, size_t most = 1024)
{
    if (!s)
        return {};
    size_t n = 0;
    while (n < most && s[n])
        ++n;
    return QString::fromUtf8(s, qsizetype(n));
}

double fromWord(SANE_Value_Type type, SANE_Word w) { return type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : double(w); }

}  // namespace

int TScanSource::OptionCount()
{
    const SANE_Option_Descriptor* d = manager_.OptionDescriptor(handle_, 0);
    if (!d || d->type != SANE_TYPE_INT || d->size < int(sizeof(SANE_Word)))
        return -1;
    SANE_Word n = 0;
    if (manager_.ControlOption(handle_, 0, SANE_ACTION_GET_VALUE, &n, nullptr) != SANE_STATUS_GOOD)
        return -1;
    return n >= 1 && n <= kMaxOptions ? n : -1;
}

bool TScanSource::Describe(int index, TScanOption& out)
{
    out = TScanOption{};
    const SANE_Option_Descriptor* d = manager_.OptionDescriptor(handle_, index);
    if (!d || d->size < 0 || d->size > kMaxValueSize)
        return false;
    out.Index = index;
    out.Name = boundedText(d->name).toUtf8();
    out.Title = boundedText(d->title);
    out.Type = d->type;
    out.Unit = d->unit;
    out.Active = SANE_OPTION_IS_ACTIVE(d->cap);
    out.Settable = SANE_OPTION_IS_SETTABLE(d->cap);
    const bool numeric = d->type == SANE_TYPE_INT || d->type == SANE_TYPE_FIXED;
    if (numeric && d->size < int(sizeof(SANE_Word)))
        return false;
    if (d->type == SANE_TYPE_STRING && d->size < 1)
        return false;
    switch (d->constraint_type) {
    case SANE_CONSTRAINT_STRING_LIST:
        if (d->type == SANE_TYPE_STRING && d->constraint.string_list) {
            for (int i = 0; i < kMaxListLength && d->constraint.string_list[i]; ++i)
                out.Strings << boundedText(d->constraint.string_list[i], size_t(d->size));
        }
        break;
    case SANE_CONSTRAINT_WORD_LIST:
        if (numeric && d->constraint.word_list) {
            const SANE_Word n = d->constraint.word_list[0];
            for (SANE_Word i = 1; i <= n && i <= kMaxListLength; ++i)
                out.Words.push_back(fromWord(d->type, d->constraint.word_list[i]));
        }
        break;
    case SANE_CONSTRAINT_RANGE:
        if (numeric && d->constraint.range) {
            out.HasRange = true;
            out.Min = fromWord(d->type, d->constraint.range->min);
            out.Max = fromWord(d->type, d->constraint.range->max);
            out.Quant = fromWord(d->type, d->constraint.range->quant);
            if (out.Max < out.Min)
                out.HasRange = false;
        }
        break;
    default: break;
    }
    return true;
}

TScanOption TScanSource::Find(const char* name)
{
    const int n = OptionCount();
    TScanOption o;
    for (int i = 1; i < n; ++i)
        if (Describe(i, o) && o.Name == name)
            return o;
    return TScanOption{};
}

bool TScanSource::GetNumber(const TScanOption& option, double& value)
{
    if (option.Index < 0 || !option.Active || (option.Type != SANE_TYPE_INT && option.Type != SANE_TYPE_FIXED))
        return false;
    // The device writes its whole value (an array for some options): give it the room
    // its descriptor asked for.
    const SANE_Option_Descriptor* d = manager_.OptionDescriptor(handle_, option.Index);
    if (!d || d->size < int(sizeof(SANE_Word)) || d->size > kMaxValueSize)
        return false;
    std::vector<SANE_Word> buf(size_t(d->size) / sizeof(SANE_Word) + 1, 0);
    if (manager_.ControlOption(handle_, option.Index, SANE_ACTION_GET_VALUE, buf.data(), nullptr) != SANE_STATUS_GOOD)
        return false;
    value = fromWord(option.Type, buf[0]);
    return true;
}

SANE_Status TScanSource::SetNumber(const TScanOption& option, double value, SANE_Int* info)
{
    if (option.Index < 0 || (option.Type != SANE_TYPE_INT && option.Type != SANE_TYPE_FIXED))
        return SANE_STATUS_INVAL;
    const SANE_Option_Descriptor* d = manager_.OptionDescriptor(handle_, option.Index);
    if (!d || d->size < int(sizeof(SANE_Word)) || d->size > kMaxValueSize)
        return SANE_STATUS_INVAL;
    std::vector<SANE_Word> buf(size_t(d->size) / sizeof(SANE_Word) + 1, 0);
    // Arrays are read first so that only their first element changes.
    if (d->size > int(sizeof(SANE_Word)))
        manager_.ControlOption(handle_, option.Index, SANE_ACTION_GET_VALUE, buf.data(), nullptr);
    buf[0] = option.Type == SANE_TYPE_FIXED ? SANE_FIX(value) : SANE_Word(qRound(value));
    return manager_.ControlOption(handle_, option.Index, SANE_ACTION_SET_VALUE, buf.data(), info);
}

bool TScanSource::GetString(const TScanOption& option, QString& value)
{
    if (option.Index < 0 || !option.Active || option.Type != SANE_TYPE_STRING)
        return false;
    const SANE_Option_Descriptor* d = manager_.OptionDescriptor(handle_, option.Index);
    if (!d || d->size < 1 || d->size > kMaxValueSize)
        return false;
    QByteArray buf(d->size + 1, '\0');
    if (manager_.ControlOption(handle_, option.Index, SANE_ACTION_GET_VALUE, buf.data(), nullptr) != SANE_STATUS_GOOD)
        return false;
    value = boundedText(buf.constData(), size_t(d->size));
    return true;
}

SANE_Status TScanSource::SetString(const TScanOption& option, const QString& value, SANE_Int* info)
{
    if (option.Index < 0 || option.Type != SANE_TYPE_STRING)
        return SANE_STATUS_INVAL;
    const SANE_Option_Descriptor* d = manager_.OptionDescriptor(handle_, option.Index);
    if (!d || d->size < 1 || d->size > kMaxValueSize)
        return SANE_STATUS_INVAL;
    const QByteArray utf8 = value.toUtf8();
    if (utf8.size() >= d->size)
        return SANE_STATUS_INVAL;
    QByteArray buf(d->size, '\0');
    std::memcpy(buf.data(), utf8.constData(), size_t(utf8.size()));
    return manager_.ControlOption(handle_, option.Index, SANE_ACTION_SET_VALUE, buf.data(), info);
}
