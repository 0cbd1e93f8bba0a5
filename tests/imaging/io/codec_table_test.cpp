// What the codec table tells the save dialog and the format parameter dialog.
#include "imaging/dialogs/io_previews_settings.h"
#include "imaging/io/codec_table.h"

#include <gtest/gtest.h>

// A name's extension picks the format's parameter page and its place in the save
// dialog's list; formats the dialog does not offer, and names that only look like one,
// get none.
TEST(CodecTable, SaveDialogFormatsByExtension)
{
    const struct {
        const char* name;
        int page;
        int filterIndex;
    } cases[] = {{"a.jpg", iopgJPEG, 1}, {"B.JPEG", iopgJPEG, 1}, {"c.bmp", iopgBMP, 2},      {"d.pcx", iopgPCX, 3},
                 {"e.tif", iopgTIFF, 4}, {"f.Tiff", iopgTIFF, 4}, {"/x.y/g.png", iopgPNG, 5}, {"h.gif", 0, 0},
                 {"i.ico", 0, 0},        {"jpg", 0, 0},           {"k.jpg.txt", 0, 0},        {"", 0, 0}};
    for (const auto& c : cases) {
        const TCodec* codec = SaveDialogCodecForFileName(QString::fromLatin1(c.name));
        EXPECT_EQ(codec ? codec->ParamPage : 0, c.page) << c.name;
        EXPECT_EQ(codec ? codec->SaveFilterIndex : 0, c.filterIndex) << c.name;
    }
}

// Each parameter page writes one file type and each such type has its page; the other
// bits and types have none.
TEST(CodecTable, ParameterPagesAndFileTypesMatch)
{
    const struct {
        int page;
        TIOFileType type;
    } pairs[] = {{iopgJPEG, ioJPEG}, {iopgTIFF, ioTIFF}, {iopgGIF, ioGIF},
                 {iopgBMP, ioBMP},   {iopgPCX, ioPCX},   {iopgPNG, ioPNG}};
    for (const auto& p : pairs) {
        EXPECT_EQ(PageOfFileType(p.type), p.page) << p.type;
        EXPECT_EQ(FileTypeOfPage(p.page), p.type) << p.page;
    }
    for (const int type : {int(ioUnknown), int(ioICO), int(ioWMF), 99})
        EXPECT_EQ(PageOfFileType(type), 0) << type;
    for (const int page : {0, int(iopgAll), int(iopgFileType), iopgJPEG | iopgPNG})
        EXPECT_EQ(FileTypeOfPage(page), ioUnknown) << page;
}
