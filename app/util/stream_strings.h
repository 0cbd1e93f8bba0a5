// Length-prefixed UTF-8 strings on a stream.
#pragma once
#include <QString>

class TStream;

// A signed 32-bit length N and N bytes of UTF-8 text, no terminator.
void WriteStreamString(const QString& text, TStream& stream);
// N <= 0 gives an empty text. A length beyond the bytes left raises EReadError
// before anything is allocated, and short input raises it as well.
void ReadStreamString(QString& text, TStream& stream);
