// A text in a fixed 256-byte slot of the option file (TShortString).
#pragma once
#include <QByteArray>
#include <QString>

class TStream;

// A text stored in a fixed 256-byte slot: a length byte and up to 255 bytes of
// UTF-8. A longer text is refused, never cut.
class TShortString {
public:
    static constexpr int MaxBytes = 255;
    static constexpr int SlotSize = 256;

    TShortString() = default;
    // False (and nothing changed) when the text needs more than 255 bytes.
    bool Assign(const QString& text);
    // The text, or as many of its first characters as fit: a copy for a slot that need
    // not hold the whole (the image keeps its own text).
    static TShortString Cut(const QString& text);
    static bool Fits(const QString& text) { return text.toUtf8().size() <= MaxBytes; }
    QString Text() const { return QString::fromUtf8(bytes_); }
    const QByteArray& Bytes() const { return bytes_; }
    bool IsEmpty() const { return bytes_.isEmpty(); }

    // The 256-byte slot; unused bytes are written as zero.
    void Write(TStream& s) const;
    void Read(TStream& s);

    bool operator==(const TShortString& o) const { return bytes_ == o.bytes_; }

private:
    QByteArray bytes_;
};
