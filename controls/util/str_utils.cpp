// The kit's small string routines: replacing, trimming, words and padding.
#include "controls/util/str_utils.h"

QString ReplaceSubstring(const QString& text, const QString& search, const QString& replacement)
{
    if (search.isEmpty())
        return text;
    QString out;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(search, from);
        if (at < 0)
            break;
        out += QStringView(text).mid(from, at - from);
        out += replacement;
        from = at + search.size();
    }
    out += QStringView(text).mid(from);
    return out;
}

QString DeleteChars(const QString& text, QChar ch)
{
    QString out = text;
    out.remove(ch);
    return out;
}

QString TrimLeadingBlanks(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    return text.mid(i);
}

QString TrimTrailingBlanks(const QString& text)
{
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == QLatin1Char(' '))
        --n;
    return text.left(n);
}

QString TrimBlanks(const QString& text) { return TrimLeadingBlanks(TrimTrailingBlanks(text)); }

QString RepeatChar(QChar ch, int count) { return count <= 0 ? QString() : QString(count, ch); }

int WordStart(int n, const QString& text, const QString& delimiters)
{
    int words = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool inWord = !delimiters.contains(text[i]);
        const bool starts = inWord && (i == 0 || delimiters.contains(text[i - 1]));
        if (starts && ++words == n)
            return int(i + 1);
    }
    return 0;
}

QString NthWord(int n, const QString& text, const QString& delimiters)
{
    const int start = WordStart(n, text, delimiters);
    if (start == 0)
        return QString();
    qsizetype end = start - 1;
    while (end < text.size() && !delimiters.contains(text[end]))
        ++end;
    return text.mid(start - 1, end - (start - 1));
}

QString NextItem(const QString& text, int& pos, const QString& delimiters)
{
    const qsizetype len = text.size();
    if (pos < 1)
        pos = 1;
    if (pos > len) {
        pos = int(len) + 1;
        return QString();
    }
    qsizetype i = pos - 1;
    while (i < len && !delimiters.contains(text[i]))
        ++i;
    const QString item = text.mid(pos - 1, i - (pos - 1));
    pos = int(i < len ? i + 2 : len + 1);
    return item;
}
