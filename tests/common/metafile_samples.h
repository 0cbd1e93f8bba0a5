// Metafiles for the metafile tests of the platform layer and of the input/output
// component: placeable Windows metafiles written one record at a time, and enhanced
// metafiles drawn through libEMF.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <dlfcn.h>
#include <initializer_list>
#include <type_traits>

namespace wmftest {

class WmfWriter {
public:
    void rec(uint16_t func, std::initializer_list<int> words, const QByteArray& tail = {})
    {
        QByteArray r;
        const uint32_t size = uint32_t(3 + words.size() + (tail.size() + 1) / 2);
        put32(r, size);
        put16(r, func);
        for (int w : words)
            put16(r, uint16_t(w));
        r += tail;
        if (tail.size() % 2)
            r += '\0';
        records_ += r;
    }
    QByteArray build(int right, int bottom, int inch, int objects) const
    {
        QByteArray f;
        put32(f, 0x9AC6CDD7u);
        put16(f, 0);
        for (int v : {0, 0, right, bottom})
            put16(f, uint16_t(v));
        put16(f, uint16_t(inch));
        put32(f, 0);
        uint16_t sum = 0;
        for (int i = 0; i < 20; i += 2)
            sum ^= uint16_t(uint8_t(f[i]) | (uint8_t(f[i + 1]) << 8));
        put16(f, sum);
        QByteArray all = records_;
        put32(all, 3);
        put16(all, 0);  // EOF
        put16(f, 1);
        put16(f, 9);
        put16(f, 0x300);
        put32(f, uint32_t((18 + all.size()) / 2));
        put16(f, uint16_t(objects));
        put32(f, 64);
        put16(f, 0);
        return f + all;
    }
    static void put16(QByteArray& b, uint16_t v)
    {
        b += char(v & 255);
        b += char(v >> 8);
    }
    static void put32(QByteArray& b, uint32_t v)
    {
        put16(b, uint16_t(v));
        put16(b, uint16_t(v >> 16));
    }

private:
    QByteArray records_;
};

inline int lo(uint32_t c) { return int(c & 0xFFFF); }
inline int hi(uint32_t c) { return int(c >> 16); }

// Red rectangle, blue ellipse, green triangle and a black line on 200 × 100 units at 96
// units per inch.
inline QByteArray SampleWmf()
{
    WmfWriter w;
    w.rec(0x020B, {0, 0});      // window origin
    w.rec(0x020C, {100, 200});  // window extent (y, x)
    const uint32_t red = 0x0000FF, blue = 0xFF0000, green = 0x00A000, black = 0;
    w.rec(0x02FC, {0, lo(red), hi(red), 0});         // brush 0 solid red
    w.rec(0x02FA, {5, 0, 0, lo(black), hi(black)});  // pen 1 null
    w.rec(0x012D, {0});
    w.rec(0x012D, {1});
    w.rec(0x041B, {60, 90, 10, 10});            // rectangle 10,10 – 90,60
    w.rec(0x02FC, {0, lo(blue), hi(blue), 0});  // brush 2 blue
    w.rec(0x012D, {2});
    w.rec(0x0418, {90, 190, 10, 110});            // ellipse 110,10 – 190,90
    w.rec(0x01F0, {0});                           // delete the red brush
    w.rec(0x02FC, {0, lo(green), hi(green), 0});  // lands in slot 0
    w.rec(0x012D, {0});
    w.rec(0x0324, {3, 10, 95, 50, 65, 90, 95});      // triangle
    w.rec(0x02FA, {0, 3, 0, lo(black), hi(black)});  // pen 3 black width 3
    w.rec(0x012D, {3});
    w.rec(0x0214, {5, 100});   // move to 100,5
    w.rec(0x0213, {95, 100});  // line to 100,95
    return w.build(200, 100, 96, 4);
}

// libEMF's drawing calls, found at run time.
struct LibEmf {
    struct Rect {
        int left, top, right, bottom;
    };
    void* (*create)(void*, const char*, const Rect*, const char*) = nullptr;
    void* (*close)(void*) = nullptr;
    int (*del)(void*) = nullptr;
    void* (*brush)(uint32_t) = nullptr;
    void* (*select)(void*, void*) = nullptr;
    int (*rectangle)(void*, int, int, int, int) = nullptr;
    int (*ellipse)(void*, int, int, int, int) = nullptr;
    void* (*stock)(int) = nullptr;
};

// nullptr when libEMF is not installed.
inline const LibEmf* OpenLibEmf()
{
    static const LibEmf* lib = []() -> const LibEmf* {
        void* h = dlopen("libEMF.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!h)
            return nullptr;
        static LibEmf l;
        auto get = [h](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(h, name));
        };
        get(l.create, "CreateEnhMetaFileA");
        get(l.close, "CloseEnhMetaFile");
        get(l.del, "DeleteEnhMetaFile");
        get(l.brush, "CreateSolidBrush");
        get(l.select, "SelectObject");
        get(l.rectangle, "Rectangle");
        get(l.ellipse, "Ellipse");
        get(l.stock, "GetStockObject");
        const bool all = l.create && l.close && l.del && l.brush && l.select && l.rectangle && l.ellipse && l.stock;
        return all ? &l : nullptr;
    }();
    return lib;
}

}  // namespace wmftest
