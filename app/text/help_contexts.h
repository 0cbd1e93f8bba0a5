#pragma once
// The help pages' context numbers, as the help files' anchors know them.

enum THelpContext : int {
    hcUsingHelp = 1,
    hcAbout = 11,
    hcOtherPrograms = 14,
    hcWelcomeFirstTopic = 21,  // the welcome window's topics follow in order
    hcColorReduce = 43,
    hcHistogram = 43,
    hcRotate = 44,
    hcMerge = 44,
    hcNewImage = 411,
    hcVideoImport = 418,
    hcBlackWhite = 436,
    hcResize = 441,
    hcResample = 442,
    hcSlideOptions = 4112,
    hcOptions = 4114,
    hcBatch = 41139,
};
