// Deleting one frame from a GIF file.
#include "imaging/io/gif/gif.h"
#include "imaging/io/gif/gif_blocks.h"

#include "platform/core/streams.h"

int DeleteGIFFrame(const QString& fileName, int index, bool save)
{
    TMemoryStream in;
    {
        const QByteArray whole = ReadWholeFile(fileName);
        in.WriteBuffer(whole.constData(), whole.size());
        in.SetPosition(0);
    }
    TGifScreen screen;
    ReadGifScreen(in, screen);
    QByteArray out = screen.Raw;
    out.replace(3, 3, "89a");
    out.append(screen.RawTable);

    int count = 0;  // image descriptors met
    int kept = 0;
    bool done = false;
    while (!done) {
        uint8_t tag = 0;
        if (in.Read(&tag, 1) != 1 || tag == kGifTrailer)
            break;
        if (tag == kGifExtension) {
            uint8_t label = 0;
            if (in.Read(&label, 1) != 1)
                break;
            QByteArray block;
            block.append(char(tag));
            block.append(char(label));
            done = !SkipGifSubBlocks(in, &block);
            if (!(label == kGifControlLabel && count == index))
                out.append(block);
        } else if (tag == kGifImage) {
            TGifDescriptor d;
            if (!ReadGifDescriptor(in, d))
                break;
            QByteArray block;
            block.append(char(tag));
            block.append(d.Raw);
            block.append(d.RawTable);
            // A descriptor cut short still counts, as the reader counts it.
            uint8_t codeSize = 0;
            if (in.Read(&codeSize, 1) == 1) {
                block.append(char(codeSize));
                done = !SkipGifSubBlocks(in, &block);
            } else {
                done = true;
            }
            if (count++ != index) {
                out.append(block);
                ++kept;
            }
        }
        // Other bytes open no block and are dropped.
    }
    out.append(char(kGifTrailer));
    if (save)
        WriteFileSafely(fileName, out);
    return kept;
}
