// Catalog files as a catalog window loads them: the records, each entry's text as the
// cells caption it, and each thumbnail through the PCX stream load at the cells' size.
// max_len: 4096
#include "fuzz/fuzz_support.h"

#include "app/catalog/catalog_entry.h"
#include "app/catalog/catalog_file.h"
#include "imaging/io/image_kit_io.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnsureApplication();
    TMemoryStream file(fuzz::Bytes(data, size));
    TBitmap working;
    TImageKitIO io;
    io.SetAttachedBitmap(&working);
    io.StreamHeaders = false;
    fuzz::Refusable([&] {
        ReadCatalogRecords(file, [&](TCatalogRecord&& record) {
            const TCatalogEntry e = TCatalogEntry::FromText(record.Text);
            (void)CatalogDateText(e.Time);
            (void)CatalogSizeText(e.Size, e.Width, e.Height);
            (void)e.Text();
            TMemoryStream thumb(record.Thumbnail);
            working.SetSize(0, 0);
            io.LoadFromStreamPCX(thumb);
            TBitmap cell;
            cell.Assign(working);
            cell.SetPixelFormat(pf24bit);
            cell.SetSize(100, 100);
        });
    });
    return 0;
}
