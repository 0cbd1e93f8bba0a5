// Playing metafile records over QPainter: objects, coordinates, shapes and text.
#include "platform/core/little_endian.h"
#include "platform/graphics/wmf_player.h"

#include "platform/core/exceptions.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

[[noreturn]] void bad(const char* why) { throw EInvalidGraphic(QString::fromLatin1(why)); }

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7u;
// A file of nothing but SAVEDC records would otherwise grow the saved states with its
// size; deeper saves are counted, not stored, and restoring one of them returns to the
// deepest stored state.
constexpr size_t kMaxSavedStates = 1024;
// Each exclusion costs time in the clip region's size, and each excluded rectangle can
// add several: past this many rectangles further exclusions are dropped, so playing
// stays linear in the file's size.
constexpr int kMaxClipRects = 1024;

QColor colorRef(uint32_t c) { return QColor(int(c & 255), int((c >> 8) & 255), int((c >> 16) & 255)); }

struct Pen {
    int style = 0;  // PS_SOLID
    int width = 0;
    QColor color = Qt::black;
};
struct Brush {
    int style = 0;  // BS_SOLID
    int hatch = 0;
    QColor color = Qt::white;
    QImage pattern;
};
struct Font {
    int height = 0;
    int weight = 400;
    bool italic = false, underline = false, strike = false;
    int escapement = 0;
    QString face = QStringLiteral("DejaVu Sans");
};
struct Object {
    enum Kind { Empty, PenObj, BrushObj, FontObj, Other } kind = Empty;
    Pen pen;
    Brush brush;
    Font font;
};

struct DC {
    double wox = 0, woy = 0, wex = 1, wey = 1;
    Pen pen;
    Brush brush;
    Font font;
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    int bkMode = 2;  // OPAQUE
    int textAlign = 0;
    int polyFill = 1;  // ALTERNATE
    QPointF pos;
};

class Player {
public:
    Player(const uint8_t* d, size_t n, const TWmfInfo& info, QPainter& p, const TRect& dest)
        : d_(d), n_(n), info_(info), p_(p), dest_(dest)
    {
        if (info.Placeable) {
            dc_.wox = info.BoxLeft;
            dc_.woy = info.BoxTop;
            dc_.wex = info.BoxRight - info.BoxLeft;
            dc_.wey = info.BoxBottom - info.BoxTop;
        } else {
            dc_.wex = dest.Width();
            dc_.wey = dest.Height();
        }
        if (dc_.wex == 0)
            dc_.wex = 1;
        if (dc_.wey == 0)
            dc_.wey = 1;
        const uint16_t objects = le16(d + info.RecordsOffset + 10);
        objects_.resize(objects);
    }

    void play()
    {
        p_.save();
        p_.setRenderHint(QPainter::Antialiasing, false);
        p_.setRenderHint(QPainter::TextAntialiasing, false);
        p_.setClipRect(QRect(dest_.Left, dest_.Top, dest_.Width(), dest_.Height()));
        size_t pos = size_t(info_.RecordsOffset) + 18;
        while (n_ - pos >= 6) {
            const uint32_t words = le32(d_ + pos);
            const uint16_t func = le16(d_ + pos + 4);
            if (words < 3 || uint64_t(words) * 2 > n_ - pos)
                break;
            if (func == 0)
                break;
            rec_ = d_ + pos + 6;
            count_ = (size_t(words) * 2 - 6) / 2;
            record(func);
            pos += size_t(words) * 2;
        }
        while (saved_ > 0) {
            p_.restore();
            --saved_;
        }
        p_.restore();
    }

private:
    // Parameter i (16-bit words) of the current record; callers check count_ first.
    int16_t s(size_t i) const { return int16_t(le16(rec_ + 2 * i)); }
    uint16_t u(size_t i) const { return le16(rec_ + 2 * i); }
    uint32_t u32(size_t i) const { return uint32_t(u(i)) | (uint32_t(u(i + 1)) << 16); }

    double sx() const { return dest_.Width() / dc_.wex; }
    double sy() const { return dest_.Height() / dc_.wey; }
    QPointF map(double x, double y) const
    {
        return QPointF(dest_.Left + (x - dc_.wox) * sx(), dest_.Top + (y - dc_.woy) * sy());
    }
    QRectF mapRect(double l, double t, double r, double b) const
    {
        const QPointF a = map(l, t), c = map(r, b);
        double x1 = std::round(std::min(a.x(), c.x())), x2 = std::round(std::max(a.x(), c.x()));
        double y1 = std::round(std::min(a.y(), c.y())), y2 = std::round(std::max(a.y(), c.y()));
        return QRectF(x1, y1, x2 - x1, y2 - y1);
    }

    QPen qpen() const
    {
        const Pen& pn = dc_.pen;
        if (pn.style == 5)
            return QPen(Qt::NoPen);
        double w = pn.width * std::fabs(sx());
        if (w < 1)
            w = 1;
        QPen q(pn.color);
        q.setWidthF(std::round(w) > 1 ? std::round(w) : 0);
        switch (pn.style) {
        case 1: q.setStyle(Qt::DashLine); break;
        case 2: q.setStyle(Qt::DotLine); break;
        case 3: q.setStyle(Qt::DashDotLine); break;
        case 4: q.setStyle(Qt::DashDotDotLine); break;
        default: q.setStyle(Qt::SolidLine); break;
        }
        q.setCapStyle(Qt::FlatCap);
        q.setJoinStyle(Qt::MiterJoin);
        return q;
    }

    QBrush qbrush() const
    {
        const Brush& b = dc_.brush;
        switch (b.style) {
        case 1: return QBrush(Qt::NoBrush);
        case 2: {
            static const Qt::BrushStyle h[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                               Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
            return QBrush(b.color, b.hatch >= 0 && b.hatch < 6 ? h[b.hatch] : Qt::SolidPattern);
        }
        case 3:
        case 5:
            if (!b.pattern.isNull())
                return QBrush(b.pattern);
            return QBrush(b.color);
        default: return QBrush(b.color);
        }
    }

    // Hatched brushes show the background colour between their lines in opaque mode.
    void fillShape(const QPainterPath& path)
    {
        const QBrush br = qbrush();
        if (br.style() == Qt::NoBrush)
            return;
        if (dc_.brush.style == 2 && dc_.bkMode == 2)
            p_.fillPath(path, dc_.bkColor);
        p_.fillPath(path, br);
    }
    void strokeShape(const QPainterPath& path)
    {
        const QPen pen = qpen();
        if (pen.style() == Qt::NoPen)
            return;
        p_.strokePath(path, pen);
    }

    // GDI rectangles leave out their right and bottom edge: the outline runs on the
    // last pixel inside.
    QRectF outlineRect(const QRectF& r) const { return r.adjusted(0, 0, -1, -1); }

    void rectangleLike(int kind, size_t base)
    {
        // bottom, right, top, left from base
        const QRectF r = mapRect(s(base + 3), s(base + 2), s(base + 1), s(base));
        if (r.width() < 1 || r.height() < 1)
            return;
        QPainterPath fill, line;
        if (kind == 0) {
            fill.addRect(r);
            line.addRect(outlineRect(r));
        } else if (kind == 1) {
            fill.addEllipse(r);
            line.addEllipse(outlineRect(r));
        } else {
            const double rw = std::fabs(s(1) * sx()) / 2, rh = std::fabs(s(0) * sy()) / 2;
            fill.addRoundedRect(r, rw, rh);
            line.addRoundedRect(outlineRect(r), rw, rh);
        }
        fillShape(fill);
        strokeShape(line);
    }

    void arcLike(int kind)
    {
        if (count_ < 8)
            return;
        const QRectF r = outlineRect(mapRect(s(7), s(6), s(5), s(4)));
        if (r.width() <= 0 || r.height() <= 0)
            return;
        const QPointF c = r.center();
        const QPointF st = map(s(3), s(2)), en = map(s(1), s(0));
        const double a0 = std::atan2(-(st.y() - c.y()) * r.width(), (st.x() - c.x()) * r.height()) * 180 / M_PI;
        const double a1 = std::atan2(-(en.y() - c.y()) * r.width(), (en.x() - c.x()) * r.height()) * 180 / M_PI;
        // counter-clockwise in logical space; a mirrored mapping turns it around
        const bool ccw = sx() * sy() > 0;
        double span = ccw ? a1 - a0 : a0 - a1;
        while (span <= 0)
            span += 360;
        while (span > 360)
            span -= 360;
        if (!ccw)
            span = -span;
        QPainterPath path;
        if (kind == 0) {
            path.arcMoveTo(r, a0);
            path.arcTo(r, a0, span);
            strokeShape(path);
            return;
        }
        if (kind == 1) {
            path.moveTo(c);
            path.arcTo(r, a0, span);
            path.closeSubpath();
        } else {
            path.arcMoveTo(r, a0);
            path.arcTo(r, a0, span);
            path.closeSubpath();
        }
        fillShape(path);
        strokeShape(path);
    }

    QPolygonF points(size_t first, int n) const
    {
        QPolygonF poly;
        poly.reserve(n);
        for (int i = 0; i < n; ++i)
            poly << map(s(first + 2 * size_t(i)), s(first + 2 * size_t(i) + 1));
        return poly;
    }

    void text(double x, double y, const QByteArray& bytes, const QRectF* opaqueRect)
    {
        const Font& f = dc_.font;
        QFont qf(f.face);
        qf.setStyleStrategy(QFont::NoAntialias);
        double px = std::fabs(f.height * sy());
        if (px < 1)
            px = 12;
        qf.setPixelSize(std::max(1, int(std::lround(px))));
        if (f.height > 0) {
            // a positive height is the cell height: shrink to fit ascent + descent
            const QFontMetricsF fm(qf);
            if (fm.height() > 0)
                qf.setPixelSize(std::max(1, int(std::lround(px * px / fm.height()))));
        }
        qf.setBold(f.weight >= 600);
        qf.setItalic(f.italic);
        qf.setUnderline(f.underline);
        qf.setStrikeOut(f.strike);
        const QString str = QString::fromLatin1(bytes);
        const QFontMetricsF fm(qf);
        QPointF at = (dc_.textAlign & 1) ? dc_.pos : map(x, y);
        const double w = fm.horizontalAdvance(str);
        const int h = dc_.textAlign & 6;
        double dx = h == 6 ? -w / 2 : h == 2 ? -w : 0;
        const int v = dc_.textAlign & 24;
        double dy = v == 24 ? 0 : v == 8 ? -fm.descent() : fm.ascent();
        p_.save();
        p_.translate(at);
        if (f.escapement)
            p_.rotate(-f.escapement / 10.0);
        if (opaqueRect) {
            p_.save();
            p_.resetTransform();
            p_.fillRect(*opaqueRect, dc_.bkColor);
            p_.restore();
        }
        if (dc_.bkMode == 2)
            p_.fillRect(QRectF(dx, dy - fm.ascent(), w, fm.ascent() + fm.descent()), dc_.bkColor);
        p_.setFont(qf);
        p_.setPen(dc_.textColor);
        p_.drawText(QPointF(dx, dy), str);
        p_.restore();
        if (dc_.textAlign & 1)
            dc_.pos = at + QPointF(h == 2 ? -w : w, 0);
    }

    // A DIB placed into the logical rectangle (x, y, w, h) from its source rectangle.
    void blit(double x, double y, double w, double h, int srcX, int srcY, int srcW, int srcH, size_t dibWord,
              uint32_t rop)
    {
        QRectF target = mapRect(x, y, x + w, y + h);
        if (dibWord >= count_) {
            // no bitmap: a pattern operation
            if (rop == 0x00F00021)
                p_.fillRect(target, qbrush());
            else if (rop == 0x00000042)
                p_.fillRect(target, Qt::black);
            else if (rop == 0x00FF0062)
                p_.fillRect(target, Qt::white);
            return;
        }
        const uint8_t* dib = rec_ + 2 * dibWord;
        const size_t size = (count_ - dibWord) * 2;
        QImage img = DecodeWmfDib(dib, size);
        const bool bottomUp = size >= 12 && (le32(dib) == 12 ? true : int32_t(le32(dib + 8)) > 0);
        if (srcW == 0 || srcH == 0) {
            srcW = img.width();
            srcH = img.height();
            srcX = srcY = 0;
        }
        QRect src(srcX, bottomUp ? img.height() - srcY - std::abs(srcH) : srcY, std::abs(srcW), std::abs(srcH));
        src = src.intersected(img.rect());
        if (src.isEmpty())
            return;
        p_.save();
        if (rop == 0x008800C6)  // SRCAND
            p_.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        else if (rop == 0x00EE0086)  // SRCPAINT
            p_.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        else if (rop == 0x00660046)  // SRCINVERT
            p_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        else
            img = img.convertToFormat(QImage::Format_RGB32);
        p_.drawImage(target, img, src);
        p_.restore();
    }

    Brush dibBrush(size_t first)
    {
        Brush b;
        b.style = 5;
        if (first < count_) {
            try {
                b.pattern = DecodeWmfDib(rec_ + 2 * first, (count_ - first) * 2).convertToFormat(QImage::Format_RGB32);
            } catch (const EInvalidGraphic&) {
                b.style = 0;
            }
        }
        return b;
    }

    void addObject(const Object& o)
    {
        for (Object& slot : objects_)
            if (slot.kind == Object::Empty) {
                slot = o;
                return;
            }
    }

    void record(uint16_t func)
    {
        switch (func) {
        case 0x0201:
            if (count_ >= 2)
                dc_.bkColor = colorRef(u32(0));
            break;  // SETBKCOLOR
        case 0x0209:
            if (count_ >= 2)
                dc_.textColor = colorRef(u32(0));
            break;  // SETTEXTCOLOR
        case 0x0102:
            if (count_ >= 1)
                dc_.bkMode = u(0);
            break;  // SETBKMODE
        case 0x012E:
            if (count_ >= 1)
                dc_.textAlign = u(0);
            break;  // SETTEXTALIGN
        case 0x0106:
            if (count_ >= 1)
                dc_.polyFill = u(0);
            break;  // SETPOLYFILLMODE
        case 0x020B:
            if (count_ >= 2) {
                dc_.woy = s(0);
                dc_.wox = s(1);
            }
            break;    // SETWINDOWORG
        case 0x020C:  // SETWINDOWEXT
            if (count_ >= 2 && s(0) != 0 && s(1) != 0) {
                dc_.wey = s(0);
                dc_.wex = s(1);
            }
            break;
        case 0x020F:
            if (count_ >= 2) {
                dc_.woy += s(0);
                dc_.wox += s(1);
            }
            break;    // OFFSETWINDOWORG
        case 0x0410:  // SCALEWINDOWEXT
            if (count_ >= 4 && s(0) && s(2)) {
                dc_.wey = dc_.wey * s(1) / s(0);
                dc_.wex = dc_.wex * s(3) / s(2);
                if (dc_.wex == 0)
                    dc_.wex = 1;
                if (dc_.wey == 0)
                    dc_.wey = 1;
            }
            break;
        case 0x0214:
            if (count_ >= 2)
                dc_.pos = map(s(1), s(0));
            break;    // MOVETO
        case 0x0213:  // LINETO
            if (count_ >= 2) {
                const QPointF to = map(s(1), s(0));
                QPainterPath path;
                path.moveTo(dc_.pos);
                path.lineTo(to);
                strokeShape(path);
                dc_.pos = to;
            }
            break;
        case 0x041B:
            if (count_ >= 4)
                rectangleLike(0, 0);
            break;  // RECTANGLE
        case 0x0418:
            if (count_ >= 4)
                rectangleLike(1, 0);
            break;  // ELLIPSE
        case 0x061C:
            if (count_ >= 6)
                rectangleLike(2, 2);
            break;                       // ROUNDRECT
        case 0x0817: arcLike(0); break;  // ARC
        case 0x081A: arcLike(1); break;  // PIE
        case 0x0830: arcLike(2); break;  // CHORD
        case 0x041F:                     // SETPIXEL
            if (count_ >= 4) {
                const QPointF at = map(s(3), s(2));
                p_.fillRect(QRectF(std::floor(at.x()), std::floor(at.y()), 1, 1), colorRef(u32(0)));
            }
            break;
        case 0x0324:  // POLYGON
        case 0x0325:  // POLYLINE
            if (count_ >= 1) {
                const int n = u(0);
                if (size_t(n) * 2 + 1 > count_ || n < 2)
                    break;
                const QPolygonF poly = points(1, n);
                QPainterPath path;
                path.setFillRule(dc_.polyFill == 2 ? Qt::WindingFill : Qt::OddEvenFill);
                path.addPolygon(poly);
                if (func == 0x0324) {
                    path.closeSubpath();
                    fillShape(path);
                }
                strokeShape(path);
            }
            break;
        case 0x0538:  // POLYPOLYGON
            if (count_ >= 1) {
                const size_t polys = u(0);
                if (polys + 1 > count_)
                    break;
                size_t total = 0;
                for (size_t i = 0; i < polys; ++i)
                    total += u(1 + i);
                if (1 + polys + 2 * total > count_)
                    break;
                QPainterPath path;
                path.setFillRule(dc_.polyFill == 2 ? Qt::WindingFill : Qt::OddEvenFill);
                size_t at = 1 + polys;
                for (size_t i = 0; i < polys; ++i) {
                    const int n = u(1 + i);
                    path.addPolygon(points(at, n));
                    path.closeSubpath();
                    at += 2 * size_t(n);
                }
                fillShape(path);
                strokeShape(path);
            }
            break;
        case 0x0521:  // TEXTOUT
            if (count_ >= 1) {
                const int len = u(0);
                const size_t words = (size_t(len) + 1) / 2;
                if (1 + words + 2 > count_)
                    break;
                const QByteArray str(reinterpret_cast<const char*>(rec_ + 2), len);
                text(s(1 + words + 1), s(1 + words), str, nullptr);
            }
            break;
        case 0x0A32:  // EXTTEXTOUT
            if (count_ >= 4) {
                const int len = u(2);
                const int options = u(3);
                size_t at = 4;
                QRectF clip;
                const bool hasRect = options & 6;
                if (hasRect) {
                    if (count_ < 8)
                        break;
                    clip = mapRect(s(4), s(5), s(6), s(7));
                    at = 8;
                }
                if (at + (size_t(len) + 1) / 2 > count_)
                    break;
                const QByteArray str(reinterpret_cast<const char*>(rec_ + 2 * at), len);
                const bool opaque = options & 2;
                text(s(1), s(0), str, opaque ? &clip : nullptr);
            }
            break;
        case 0x02FA:  // CREATEPENINDIRECT
            if (count_ >= 5) {
                Object o;
                o.kind = Object::PenObj;
                o.pen.style = u(0) & 15;
                o.pen.width = s(1);
                o.pen.color = colorRef(u32(3));
                addObject(o);
            } else {
                addObject(Object{Object::Other, {}, {}, {}});
            }
            break;
        case 0x02FC:  // CREATEBRUSHINDIRECT
            if (count_ >= 4) {
                Object o;
                o.kind = Object::BrushObj;
                o.brush.style = u(0);
                o.brush.color = colorRef(u32(1));
                o.brush.hatch = u(3);
                addObject(o);
            } else {
                addObject(Object{Object::Other, {}, {}, {}});
            }
            break;
        case 0x0142:  // DIBCREATEPATTERNBRUSH
        {
            Object o;
            o.kind = Object::BrushObj;
            o.brush = dibBrush(2);
            addObject(o);
            break;
        }
        case 0x02FB:  // CREATEFONTINDIRECT
            if (count_ >= 9) {
                Object o;
                o.kind = Object::FontObj;
                o.font.height = s(0);
                o.font.escapement = s(2);
                o.font.weight = s(4);
                const uint8_t* b = rec_ + 10;
                o.font.italic = b[0];
                o.font.underline = b[1];
                o.font.strike = b[2];
                const size_t faceBytes = std::min<size_t>(32, count_ * 2 - 18);
                QByteArray face(reinterpret_cast<const char*>(rec_ + 18), qsizetype(faceBytes));
                const qsizetype nul = face.indexOf('\0');
                if (nul >= 0)
                    face.truncate(nul);
                if (!face.isEmpty())
                    o.font.face = QString::fromLatin1(face);
                addObject(o);
            } else {
                addObject(Object{Object::Other, {}, {}, {}});
            }
            break;
        case 0x00F7:  // CREATEPALETTE
        case 0x06FF:  // CREATEREGION
        case 0x01F9:  // CREATEPATTERNBRUSH
            addObject(Object{Object::Other, {}, {}, {}});
            break;
        case 0x012D:  // SELECTOBJECT
            if (count_ >= 1 && u(0) < objects_.size()) {
                const Object& o = objects_[u(0)];
                if (o.kind == Object::PenObj)
                    dc_.pen = o.pen;
                else if (o.kind == Object::BrushObj)
                    dc_.brush = o.brush;
                else if (o.kind == Object::FontObj)
                    dc_.font = o.font;
            }
            break;
        case 0x01F0:  // DELETEOBJECT
            if (count_ >= 1 && u(0) < objects_.size())
                objects_[u(0)] = Object{};
            break;
        case 0x001E:  // SAVEDC
            if (stack_.size() >= kMaxSavedStates) {
                ++uncounted_;
                break;
            }
            stack_.push_back(dc_);
            p_.save();
            ++saved_;
            break;
        case 0x0127:  // RESTOREDC
            if (count_ >= 1) {
                const int64_t n = s(0);
                const int64_t depth = int64_t(stack_.size()) + uncounted_;
                int64_t times = n < 0 ? -n : depth - n + 1;
                // The saves that were only counted go first; they return to the deepest
                // state that was stored, which stays stored.
                const int64_t dropped = std::min<int64_t>(std::max<int64_t>(times, 0), uncounted_);
                uncounted_ -= dropped;
                times -= dropped;
                if (dropped > 0 && !stack_.empty()) {
                    dc_ = stack_.back();
                    p_.restore();
                    p_.save();
                }
                while (times-- > 0 && !stack_.empty()) {
                    dc_ = stack_.back();
                    stack_.pop_back();
                    p_.restore();
                    --saved_;
                }
                clipRects_ = 0;
            }
            break;
        case 0x0416:  // INTERSECTCLIPRECT
            if (count_ >= 4) {
                p_.setClipRect(mapRect(s(3), s(2), s(1), s(0)), Qt::IntersectClip);
                clipRects_ = 0;  // not known: asked again at the next exclusion
            }
            break;
        case 0x0415:  // EXCLUDECLIPRECT
            if (count_ >= 4 && clipRects_ < kMaxClipRects) {
                const QRegion cur = p_.hasClipping() ? p_.clipRegion()
                                                     : QRegion(dest_.Left, dest_.Top, dest_.Width(), dest_.Height());
                const QRegion next = cur.subtracted(QRegion(mapRect(s(3), s(2), s(1), s(0)).toRect()));
                p_.setClipRegion(next);
                clipRects_ = next.rectCount();
            }
            break;
        case 0x061D:  // PATBLT
            if (count_ >= 6)
                blit(s(5), s(4), s(3), s(2), 0, 0, 0, 0, count_, u32(0));
            break;
        case 0x0940:  // DIBBITBLT
            if (count_ > 9) {
                // rop, ySrc, xSrc, height, width, yDest, xDest, bitmap
                blit(s(7), s(6), s(5), s(4), s(3), s(2), s(5), s(4), 8, u32(0));
            } else if (count_ >= 9) {
                // rop, ySrc, xSrc, reserved, height, width, yDest, xDest
                blit(s(8), s(7), s(6), s(5), 0, 0, 0, 0, count_, u32(0));
            }
            break;
        case 0x0B41:  // DIBSTRETCHBLT
            if (count_ > 11) {
                // rop, srcH, srcW, ySrc, xSrc, destH, destW, yDest, xDest, bitmap
                blit(s(9), s(8), s(7), s(6), s(5), s(4), s(3), s(2), 10, u32(0));
            } else if (count_ >= 11) {
                blit(s(10), s(9), s(8), s(7), 0, 0, 0, 0, count_, u32(0));
            }
            break;
        case 0x0F43:  // STRETCHDIB
            if (count_ > 11)
                // rop, usage, srcH, srcW, ySrc, xSrc, destH, destW, yDest, xDest, bitmap
                blit(s(10), s(9), s(8), s(7), s(6), s(5), s(4), s(3), 11, u32(0));
            break;
        case 0x0D33:  // SETDIBTODEV
            if (count_ > 9)
                // usage, scans, startScan, ySrc, xSrc, height, width, yDest, xDest, bitmap
                blit(s(8), s(7), s(6), s(5), s(4), s(3), s(6), s(5), 9, 0x00CC0020);
            break;
        default: break;  // records without a visible effect here
        }
    }

    const uint8_t* d_;
    size_t n_;
    TWmfInfo info_;
    QPainter& p_;
    TRect dest_;
    DC dc_;
    std::vector<DC> stack_;
    std::vector<Object> objects_;
    int saved_ = 0;
    int64_t uncounted_ = 0;  // saves past kMaxSavedStates
    int clipRects_ = 0;      // rectangles of the clip region after the last exclusion
    const uint8_t* rec_ = nullptr;
    size_t count_ = 0;
};

}  // namespace

TWmfInfo ParseWmfHeader(const QByteArray& data)
{
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    const size_t n = size_t(data.size());
    TWmfInfo info;
    size_t pos = 0;
    if (n >= 22 && le32(d) == kPlaceableKey) {
        info.Placeable = true;
        info.BoxLeft = int16_t(le16(d + 6));
        info.BoxTop = int16_t(le16(d + 8));
        info.BoxRight = int16_t(le16(d + 10));
        info.BoxBottom = int16_t(le16(d + 12));
        info.Inch = le16(d + 14);
        if (info.Inch == 0 || info.BoxRight == info.BoxLeft || info.BoxBottom == info.BoxTop)
            bad("placeable metafile header has no size");
        pos = 22;
    }
    if (n - pos < 18)
        bad("metafile header is truncated");
    const uint16_t type = le16(d + pos);
    const uint16_t headerWords = le16(d + pos + 2);
    if ((type != 1 && type != 2) || headerWords != 9)
        bad("not a Windows metafile");
    info.RecordsOffset = int64_t(pos);
    return info;
}

void PlayWmf(const QByteArray& data, const TWmfInfo& info, QPainter& painter, const TRect& dest)
{
    if (dest.IsEmpty())
        return;
    Player(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()), info, painter, dest).play();
}
