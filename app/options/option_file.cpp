// Reading and writing the option file, with defaults and range checks on what is read.
#include "app/options/option_file.h"

#include "app/text/language.h"
#include "app/util/stream_strings.h"
#include "platform/core/data_directory.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <functional>
#include <vector>

namespace {

const QString kOptionFile = QStringLiteral("Kandrivel.cgf");

void writeZeros(TStream& s, int n)
{
    for (int i = 0; i < n; ++i)
        s.WriteU8(0);
}

void skip(TStream& s, int n)
{
    for (int i = 0; i < n; ++i)
        s.ReadU8();
}

struct Block {
    int size;
    std::function<void(const toptions&, TStream&)> write;
    std::function<void(toptions&, TStream&)> read;
};

#define U8(field) \
    Block \
    { \
        1, [](const toptions& o, TStream& s) { s.WriteU8(o.field); }, \
            [](toptions& o, TStream& s) { o.field = s.ReadU8(); } \
    }
#define I32(field) \
    Block \
    { \
        4, [](const toptions& o, TStream& s) { s.WriteI32(o.field); }, \
            [](toptions& o, TStream& s) { o.field = s.ReadI32(); } \
    }
#define U32(field) \
    Block \
    { \
        4, [](const toptions& o, TStream& s) { s.WriteU32(o.field); }, \
            [](toptions& o, TStream& s) { o.field = s.ReadU32(); } \
    }
#define SUB(field, type) \
    Block \
    { \
        type::Size, [](const toptions& o, TStream& s) { o.field.Write(s); }, \
            [](toptions& o, TStream& s) { o.field.Read(s); } \
    }

// The fixed blocks in file order; each is read only when all its bytes are there.
const std::vector<Block>& blocks()
{
    static const std::vector<Block> table = {
        U32(newbackground),
        Block{8,
              [](const toptions& o, TStream& s) {
                  s.WriteU8(o.rotatepreview);
                  s.WriteU8(o.rotateantialias);
                  writeZeros(s, 2);
                  s.WriteI32(o.rotateangle);
              },
              [](toptions& o, TStream& s) {
                  o.rotatepreview = s.ReadU8();
                  o.rotateantialias = s.ReadU8();
                  skip(s, 2);
                  o.rotateangle = s.ReadI32();
              }},
        U8(mergelock),
        I32(mergetrack),
        I32(reserved1),
        SUB(neudialog, tneudialog),
        I32(openfilter),
        I32(savefilter),
        SUB(printdialog, tprintdialog),
        SUB(saveparams, tsaveparams),
        SUB(slideshow, tslideshowoptions),
        I32(linestyle),
        I32(linewidth),
        I32(fillstyle),
        U8(fontstyle),
        I32(fontsize),
        U32(pencolor),
        U32(fillcolor),
        I32(mousemode),
        I32(tool),
        SUB(verzdialog, tverzdialog),
        U8(reserved2),
        U8(DelayZoomFilter),
        U8(DoubleBuffer),
        U8(ZoomFilter),
        Block{12,
              [](const toptions& o, TStream& s) {
                  s.WriteI32(o.bwmode);
                  s.WriteI32(o.bwthreshold);
                  s.WriteU8(o.bwoption);
                  writeZeros(s, 3);
              },
              [](toptions& o, TStream& s) {
                  o.bwmode = s.ReadI32();
                  o.bwthreshold = s.ReadI32();
                  o.bwoption = s.ReadU8();
                  skip(s, 3);
              }},
        I32(reserved3),
        Block{8,
              [](const toptions& o, TStream& s) {
                  s.WriteI32(o.colorcount);
                  s.WriteU8(o.colorautopreview);
                  writeZeros(s, 3);
              },
              [](toptions& o, TStream& s) {
                  o.colorcount = s.ReadI32();
                  o.colorautopreview = s.ReadU8();
                  skip(s, 3);
              }},
        U8(RulerUnit),
        Block{8, [](const toptions& o, TStream& s) { s.WriteF64(o.RulerResolution); },
              [](toptions& o, TStream& s) { o.RulerResolution = s.ReadF64(); }},
        I32(katspacing),
        I32(katwidth),
        I32(katheight),
        U8(katflags),
        U8(katautoupdate),
        U8(katautoremove),
        U8(katfontstyle),
        I32(katfontsize),
        I32(brushsize),
        U8(zoomonload),
        U8(fitonload),
        U8(language),
        Block{16,
              [](const toptions& o, TStream& s) {
                  s.WriteI32(o.winleft);
                  s.WriteI32(o.wintop);
                  s.WriteI32(o.winright);
                  s.WriteI32(o.winbottom);
              },
              [](toptions& o, TStream& s) {
                  o.winleft = s.ReadI32();
                  o.wintop = s.ReadI32();
                  o.winright = s.ReadI32();
                  o.winbottom = s.ReadI32();
              }},
        U8(winstate),
        Block{71, [](const toptions& o, TStream& s) { s.WriteBuffer(o.reserved4.data(), 71); },
              [](toptions& o, TStream& s) { s.ReadBuffer(o.reserved4.data(), 71); }},
        U8(showwelcome),
        U8(standardbar),
        U8(drawbar),
        U8(rulers),
        U8(statusbar),
        I32(undodepth),
    };
    return table;
}

#undef U8
#undef I32
#undef U32
#undef SUB

std::vector<QString*> strings(toptions& o)
{
    std::vector<QString*> list;
    for (QString& r : o.recent)
        list.push_back(&r);
    list.push_back(&o.lastdir);
    list.push_back(&o.fillpattern);
    list.push_back(&o.texttext);
    list.push_back(&o.fontname);
    list.push_back(&o.batchrecord);
    for (QString& q : o.quickstart)
        list.push_back(&q);
    list.push_back(&o.verzdialog.lastfolder);
    list.push_back(&o.verzdialog.directory);
    return list;
}

template <typename T> void clamp(T& v, T lo, T hi)
{
    if (v < lo)
        v = lo;
    else if (v > hi)
        v = hi;
}

}  // namespace

QString OptionFileName()
{
    const QDir dir(DataDirectory());
    if (QFileInfo::exists(dir.filePath(kOptionFile)))
        return dir.filePath(kOptionFile);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& n : names)
        if (n.compare(kOptionFile, Qt::CaseInsensitive) == 0)
            return dir.filePath(n);
    return dir.filePath(kOptionFile);
}

bool EnglishHelpPresent(const QString& helpDirectory)
{
    const QString dir = helpDirectory.isEmpty() ? ProgramDirectory() : helpDirectory;
    return QFileInfo(QDir(dir).filePath(HelpFileName(langEnglish))).isFile();
}

uint8_t FirstStartLanguage(const QString& helpDirectory)
{
    // Both help pages are installed, so the user's locale speaks first.
    const int fromLocale = LocaleLanguage();
    if (fromLocale >= 0)
        return uint8_t(fromLocale);
    return EnglishHelpPresent(helpDirectory) ? langEnglish : langGerman;
}

toptions DefaultOptions(const QString& helpDirectory)
{
    toptions o;
    o.newbackground = 0;
    o.rotatepreview = 1;
    o.rotateantialias = 1;
    o.mergelock = 1;
    o.mergetrack = 50;
    o.neudialog = tneudialog::Defaults();
    o.openfilter = 11;
    o.savefilter = 6;
    o.printdialog = tprintdialog::Defaults();
    o.slideshow = tslideshowoptions::Defaults();
    o.fontsize = 8;
    o.pencolor = 255;
    o.fillcolor = 0xFF0000;
    o.mousemode = 5;
    o.tool = 2;
    o.verzdialog = tverzdialog::Defaults();
    o.DelayZoomFilter = 1;
    o.DoubleBuffer = 1;
    o.bwthreshold = 128;
    o.bwoption = 1;
    o.colorcount = 256;
    o.colorautopreview = 1;
    o.RulerResolution = 600.0;
    o.katspacing = 5;
    o.katwidth = 85;
    o.katheight = 85;
    o.katflags = 5;
    o.katautoupdate = 1;
    o.katfontsize = 7;
    o.zoomonload = 1;
    o.fitonload = 1;
    o.language = FirstStartLanguage(helpDirectory);
    o.showwelcome = 1;
    o.standardbar = 1;
    o.drawbar = 1;
    o.rulers = 1;
    o.statusbar = 1;
    o.undodepth = 1;
    o.texttext = QStringLiteral("1999");
    o.fontname = QStringLiteral("Times New Roman");
    o.katfontname = QStringLiteral("Times New Roman");
    // The start name is translated in the language of these settings.
    const uint8_t saved = CurrentLanguage();
    SetLanguage(o.language);
    o.autodialog = tautodialog::Defaults();
    SetLanguage(saved);
    return o;
}

void ReadOptions(toptions& o, TStream& s)
{
    for (const Block& b : blocks()) {
        if (s.Remaining() < b.size)
            return;
        b.read(o, s);
    }
    for (QString* str : strings(o)) {
        QString text;
        try {
            ReadStreamString(text, s);
        } catch (const EStreamError&) {
            return;  // a length beyond the bytes left: this and the rest keep defaults
        }
        *str = text;
    }
}

void WriteOptions(const toptions& o, TStream& s)
{
    for (const Block& b : blocks())
        b.write(o, s);
    for (QString* str : strings(const_cast<toptions&>(o)))
        WriteStreamString(*str, s);
}

void ClampSlideShowOptions(tslideshowoptions& o)
{
    clamp<int32_t>(o.fontsize, 1, 500);
    clamp<int32_t>(o.fixedwidth, 1, 100000);
    clamp<int32_t>(o.fixedheight, 1, 100000);
    clamp<int32_t>(o.seconds, 0, 2000000);
    clamp<int32_t>(o.filter, 0, 6);
}

void ClampOptions(toptions& o)
{
    clamp<uint8_t>(o.language, 0, 1);
    clamp<uint8_t>(o.ZoomFilter, 0, 6);
    clamp<int32_t>(o.mousemode, 0, 5);
    clamp<int32_t>(o.tool, 0, 9);
    clamp<int32_t>(o.linestyle, 0, 5);
    clamp<int32_t>(o.fillstyle, 0, 8);
    clamp<int32_t>(o.brushsize, 0, 4);
    clamp<uint8_t>(o.RulerUnit, 0, 2);
    if (!(std::isfinite(o.RulerResolution) && o.RulerResolution > 0))
        o.RulerResolution = 600.0;
    clamp<int32_t>(o.undodepth, 0, kMaxUndoDepth);
    clamp<uint8_t>(o.winstate, 0, 2);
    ClampSlideShowOptions(o.slideshow);
    // The last save's parameters go into the next save as they are: their resolution is
    // held to what every format stores.
    o.saveparams.Clamp(65535);
}

void readOptionFile(toptions& o, const QString& helpDirectory)
{
    o = DefaultOptions(helpDirectory);
    const QString name = OptionFileName();
    if (QFileInfo(name).isFile()) {
        try {
            TFileStream s(name, fmOpenRead | fmShareExclusive);
            ReadOptions(o, s);
        } catch (const EStreamError&) {
            // An unreadable file leaves the defaults; start-up goes on.
        }
    }
    ClampOptions(o);
    // Not held by the file: defaults at every start.
    o.katfontname = QStringLiteral("Times New Roman");
    SetLanguage(o.language);
    o.autodialog = tautodialog::Defaults();
}

void writeOptionFile(const toptions& o)
{
    TSafeFileStream s(OptionFileName());
    WriteOptions(o, s);
    s.Commit();
}
