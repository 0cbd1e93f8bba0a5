// Batch files: every whole record through the record check the replay makes; a save
// record that passes has its parameters applied as the interpreter does and a small
// picture written by every writer with them.
// max_len: 4400
#include "fuzz/fuzz_support.h"

#include "app/commands/command_record.h"
#include "imaging/io/io_params.h"
#include "platform/graphics/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnsureApplication();
    const QByteArray bytes = fuzz::Bytes(data, size);
    TBitmap pictures[2];
    fuzz::SamplePicture(pictures[0], false);
    fuzz::SamplePicture(pictures[1], true);
    for (qsizetype pos = 0; pos + tautomatitem::Size <= bytes.size(); pos += tautomatitem::Size) {
        tautomatitem item;
        item.FromBytes(bytes.mid(pos, tautomatitem::Size));
        if (!CheckRecord(item).ok() || item.Code() != cmdSave)
            continue;
        // As a replayed save does: the record's choices, the picture's own depth.
        for (const TBitmap& picture : pictures) {
            TIOParamsVals params;
            item.SaveParams().ApplyChoicesTo(params, [&] { return picture.PixelFormat() == pf1bit; });
            fuzz::SaveEveryFormat(picture, params);
        }
    }
    return 0;
}
