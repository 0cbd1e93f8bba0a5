// The kit's small string routines, positions counted from 1.
#pragma once
#include <QString>

// The kit's small string routines. Positions count from 1; every routine returns a new
// string and leaves its arguments alone. A delimiter set is given as the characters it
// holds. Comparisons are exact.

QString ReplaceSubstring(const QString& text, const QString& search, const QString& replacement);
QString DeleteChars(const QString& text, QChar ch);
// Only the space character counts as a blank here; tabs and the like stay.
QString TrimLeadingBlanks(const QString& text);
QString TrimTrailingBlanks(const QString& text);
QString TrimBlanks(const QString& text);
QString RepeatChar(QChar ch, int count);
// Position of the first character of the n-th word (from 1), 0 when there is none.
int WordStart(int n, const QString& text, const QString& delimiters);
QString NthWord(int n, const QString& text, const QString& delimiters);
// The text from pos up to the next delimiter; pos then stands after that delimiter,
// or at length + 1 at the end.
QString NextItem(const QString& text, int& pos, const QString& delimiters);
