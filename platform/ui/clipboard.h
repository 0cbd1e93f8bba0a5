// Images on the system clipboard.
#pragma once
#include <QByteArray>
#include <QImage>

// Images on the system clipboard. Copying puts "image/bmp" (a whole BMP file: the 14-byte
// file header and a packed DIB) and, for other programs, the same picture as an image.
// Pasting prefers "image/bmp"; without it an image is taken and converted to 24 bits, or
// to 1 bit (black, white) for a monochrome one.
namespace Clipboard {

inline constexpr const char* BmpMimeType = "image/bmp";

// False when there is no clipboard (no GUI application); every call then does nothing.
bool Available();
void Clear();
// Empties the clipboard and puts the BMP file and the image on it.
void SetBitmap(const QByteArray& bmpFile, const QImage& image);
bool HasBitmap();
// The "image/bmp" bytes; false when the clipboard has none.
bool GetBmpFile(QByteArray& bmpFile);
// The clipboard's image as Format_BGR888, or Format_Mono with the table (black, white);
// false when there is none.
bool GetImage(QImage& image);

}  // namespace Clipboard
