// The pages of the format parameter dialog, one per format with save parameters; each
// codec entry names its page.
#pragma once

// Page bits of the page set; 1 offers every page, 2 the page of the record's file type.
enum TIOPreviewsPage : int {
    iopgAll = 1,
    iopgFileType = 2,
    iopgJPEG = 4,
    iopgTIFF = 8,
    iopgGIF = 16,
    iopgBMP = 32,
    iopgPCX = 64,
    iopgPNG = 128
};
