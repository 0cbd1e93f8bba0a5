// The slide-show block as the option file holds it (clamped as start-up clamps it),
// followed by a slide list, through the player's arithmetic: the order, the sorting,
// the type filter, the scaling, the centring and the text comment.
// max_len: 2048
#include "fuzz/fuzz_support.h"

#include "app/options/option_blocks.h"
#include "app/options/option_file.h"
#include "app/slideshow/slide_list.h"
#include "app/slideshow/slide_show.h"
#include "app/util/text_lines.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnsureApplication();
    QByteArray block = fuzz::Bytes(data, std::min<size_t>(size, tslideshowoptions::Size));
    block.append(QByteArray(tslideshowoptions::Size - block.size(), '\0'));
    const QByteArray list = size > size_t(tslideshowoptions::Size)
                              ? fuzz::Bytes(data + tslideshowoptions::Size, size - tslideshowoptions::Size)
                              : QByteArray();
    fuzz::Refusable([&] {
        tslideshowoptions o;
        TMemoryStream in(block);
        o.Read(in);
        ClampSlideShowOptions(o);
        QStringList files = SplitNameLines(list);
        // A fixed sequence of draws instead of the random source: runs repeat.
        unsigned seed = 7;
        const TSlideRandom random = [&seed](int n) { return int((seed = seed * 1103515245u + 12345u) >> 8) % n; };
        SortSlides(files, o.listsort, random);
        SortSlides(files, o.dirsort, random);
        for (const QString& f : files)
            (void)SlideFileTypeIncluded(f, o);
        TSlideSequence sequence(int(files.size()), o.order, o.repeat != 0, random);
        for (int i = 0; i < 3 * int(files.size()) + 3 && sequence.Next() >= 0; ++i) {}
        const int sides[][2] = {{o.fixedwidth, o.fixedheight}, {2000, 1000}, {1, 65535}};
        for (const auto& bitmap : sides)
            for (const auto& window : sides) {
                const TSlideResample r = SlideResampleFor(o.scaling, bitmap[0], bitmap[1], window[0], window[1]);
                (void)SlideViewOrigin(r.width, o.fixedwidth, window[0]);
                (void)SlideViewOrigin(bitmap[1], o.fixedheight, window[1]);
            }
        TBitmap picture;
        fuzz::SamplePicture(picture, false);
        picture.SetSize(64, 24);
        WriteSlideComment(picture, files.isEmpty() ? QStringLiteral("Kommentar") : files.first().left(40), o.fontsize);
    });
    return 0;
}
