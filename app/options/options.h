// The option record (toptions): every setting the program keeps between runs.
#pragma once
#include "app/options/option_blocks.h"

#include <QString>
#include <array>
#include <cstdint>

// Largest undo depth the options dialog offers; every undo step holds a full bitmap.
constexpr int32_t kMaxUndoDepth = 1000;
// The catalog cell's sides and the spacing between cells, in pixels: small enough for
// several cells on a screen, large enough to show a thumbnail.
constexpr int32_t kMinCatalogThumbSide = 20;
constexpr int32_t kMaxCatalogThumbSide = 1000;
constexpr int32_t kMaxCatalogSpacing = 100;

// All settings of the program, held by the main window for the whole run. Dialogs
// edit copies of its blocks; the option file stores it.
struct toptions {
    uint32_t newbackground = 0;  // colour of new images (0x00BBGGRR)
    // rotate dialog
    uint8_t rotatepreview = 0;
    uint8_t rotateantialias = 0;
    int32_t rotateangle = 0;
    // merge dialog
    uint8_t mergelock = 0;
    int32_t mergetrack = 0;
    std::array<QString, 10> recent;  // most recent first
    int32_t reserved1 = 0;
    tneudialog neudialog;
    QString lastdir;  // with a trailing separator
    int32_t openfilter = 0;
    int32_t savefilter = 0;
    tprintdialog printdialog;
    tsaveparams saveparams;
    tslideshowoptions slideshow;
    // drawing
    int32_t linestyle = 0;  // 0..5
    int32_t linewidth = 0;
    int32_t fillstyle = 0;  // 0..8
    QString fillpattern;
    QString texttext;
    QString fontname;
    uint8_t fontstyle = 0;  // bits: bold, italic, underline, strike-out
    int32_t fontsize = 0;
    uint32_t pencolor = 0;
    uint32_t fillcolor = 0;
    int32_t mousemode = 0;              // 0..5
    int32_t tool = 0;                   // 0..9
    std::array<QString, 8> quickstart;  // batch files for F2..F9
    tverzdialog verzdialog;
    QString batchrecord;
    uint8_t reserved2 = 0;
    // view options of new image windows
    uint8_t DelayZoomFilter = 0;
    uint8_t DoubleBuffer = 0;
    uint8_t ZoomFilter = 0;  // TResampleFilter 0..6
    // black-and-white dialog
    int32_t bwmode = 0;
    int32_t bwthreshold = 0;
    uint8_t bwoption = 0;
    int32_t reserved3 = 0;
    // colour-reduction dialog
    int32_t colorcount = 0;
    uint8_t colorautopreview = 0;
    // rulers
    uint8_t RulerUnit = 0;  // 0 pixel, 1 cm, 2 inch
    double RulerResolution = 0;
    // catalog
    int32_t katspacing = 0;
    int32_t katwidth = 0;
    int32_t katheight = 0;
    uint8_t katflags = 0;  // 1 name, 2 name with path, 4 date, 8 size
    uint8_t katautoupdate = 0;
    uint8_t katautoremove = 0;
    QString katfontname;  // not stored in the file
    uint8_t katfontstyle = 0;
    int32_t katfontsize = 0;
    int32_t brushsize = 0;  // 0..4
    uint8_t zoomonload = 0;
    uint8_t fitonload = 0;
    uint8_t language = 0;  // 0 German, 1 English
    int32_t winleft = 0;
    int32_t wintop = 0;
    int32_t winright = 0;
    int32_t winbottom = 0;
    uint8_t winstate = 0;    // 0 normal, 1 minimised, 2 maximised
    tautodialog autodialog;  // not stored in the file
    std::array<uint8_t, 71> reserved4{};
    uint8_t showwelcome = 0;
    uint8_t standardbar = 0;
    uint8_t drawbar = 0;
    uint8_t rulers = 0;
    uint8_t statusbar = 0;
    int32_t undodepth = 0;  // 0 … kMaxUndoDepth

    bool operator==(const toptions&) const = default;
};
