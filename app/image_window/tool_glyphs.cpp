// Tool-bar pictures, drawn in code so that the program ships no image files for them.
#include "app/image_window/tool_glyphs.h"
#include "app/text/object_names.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>
#include <map>

namespace {

using Draw = void (*)(QPainter&);

void page(QPainter& p)
{
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({QPoint(4, 2), QPoint(12, 2), QPoint(16, 6), QPoint(16, 18), QPoint(4, 18)}));
    p.drawPolyline(QPolygon({QPoint(12, 2), QPoint(12, 6), QPoint(16, 6)}));
}
void folder(QPainter& p)
{
    p.setBrush(QColor(230, 200, 90));
    p.drawRect(2, 6, 15, 11);
    p.drawRect(2, 4, 6, 2);
}
void disk(QPainter& p)
{
    p.setBrush(QColor(60, 80, 160));
    p.drawRect(3, 3, 14, 14);
    p.setBrush(Qt::white);
    p.drawRect(6, 3, 8, 5);
    p.drawRect(6, 11, 8, 6);
}
void printer(QPainter& p)
{
    p.setBrush(Qt::white);
    p.drawRect(6, 2, 8, 6);
    p.setBrush(QColor(180, 180, 180));
    p.drawRect(2, 8, 16, 7);
    p.setBrush(Qt::white);
    p.drawRect(6, 13, 8, 5);
}
void scissors(QPainter& p)
{
    p.drawLine(5, 2, 13, 13);
    p.drawLine(15, 2, 7, 13);
    p.drawEllipse(3, 13, 5, 5);
    p.drawEllipse(12, 13, 5, 5);
}
void copyGlyph(QPainter& p)
{
    p.setBrush(Qt::white);
    p.drawRect(2, 2, 10, 12);
    p.drawRect(7, 6, 10, 12);
}
void paste(QPainter& p)
{
    p.setBrush(QColor(200, 160, 90));
    p.drawRect(3, 4, 12, 14);
    p.setBrush(Qt::white);
    p.drawRect(8, 8, 9, 10);
}
void undo(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.drawArc(4, 5, 12, 11, 90 * 16, -200 * 16);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygon({QPoint(2, 5), QPoint(8, 2), QPoint(8, 8)}));
}
void pencil(QPainter& p)
{
    p.setBrush(QColor(240, 200, 60));
    p.drawPolygon(QPolygon({QPoint(3, 17), QPoint(4, 12), QPoint(14, 2), QPoint(18, 6), QPoint(8, 16)}));
}
void line(QPainter& p) { p.drawLine(3, 17, 17, 3); }
void rect(QPainter& p) { p.drawRect(3, 5, 14, 10); }
void ellipse(QPainter& p) { p.drawEllipse(2, 4, 16, 12); }
void roundRect(QPainter& p) { p.drawRoundedRect(2, 4, 16, 12, 4, 4); }
void bucket(QPainter& p)
{
    p.setBrush(QColor(80, 140, 230));
    p.drawPolygon(QPolygon({QPoint(3, 9), QPoint(10, 2), QPoint(17, 9), QPoint(10, 16)}));
    p.drawEllipse(15, 12, 3, 5);
}
void text(QPainter& p)
{
    QFont f = p.font();
    f.setPixelSize(16);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral("A"));
}
void pipette(QPainter& p)
{
    p.drawLine(3, 17, 12, 8);
    p.setBrush(Qt::black);
    p.drawEllipse(11, 3, 6, 6);
}
void redEye(QPainter& p)
{
    p.setBrush(Qt::white);
    p.drawEllipse(2, 5, 16, 10);
    p.setBrush(Qt::red);
    p.drawEllipse(7, 7, 6, 6);
}
void stamp(QPainter& p)
{
    p.setBrush(QColor(150, 110, 70));
    p.drawRect(8, 2, 4, 8);
    p.drawRect(3, 10, 14, 4);
    p.drawLine(3, 17, 17, 17);
}
void selRect(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.drawRect(3, 4, 14, 12);
}
void selPoly(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.drawPolygon(QPolygon({QPoint(3, 15), QPoint(6, 3), QPoint(17, 6), QPoint(12, 17)}));
}
void selCircle(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.drawEllipse(3, 3, 14, 14);
}
void hand(QPainter& p)
{
    p.setBrush(QColor(240, 210, 180));
    p.drawRoundedRect(5, 8, 10, 10, 3, 3);
    for (int i = 0; i < 4; ++i)
        p.drawRect(5 + i * 3 - (i == 3 ? 1 : 0), 3 + (i == 0 ? 2 : 0), 2, 6);
}
void magnifier(QPainter& p)
{
    p.setBrush(QColor(210, 230, 250));
    p.drawEllipse(2, 2, 11, 11);
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(12, 12, 17, 17);
}
void camera(QPainter& p)
{
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(2, 6, 12, 9);
    p.drawPolygon(QPolygon({QPoint(14, 9), QPoint(18, 6), QPoint(18, 15), QPoint(14, 12)}));
}
void slides(QPainter& p)
{
    p.setBrush(Qt::white);
    p.drawRect(2, 4, 16, 12);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygon({QPoint(8, 7), QPoint(13, 10), QPoint(8, 13)}));
}
void scanner(QPainter& p)
{
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(2, 9, 16, 7);
    p.drawLine(4, 12, 16, 12);
}
void palette(QPainter& p)
{
    p.setBrush(Qt::red);
    p.drawEllipse(2, 2, 8, 8);
    p.setBrush(Qt::green);
    p.drawEllipse(10, 2, 8, 8);
    p.setBrush(Qt::blue);
    p.drawEllipse(6, 10, 8, 8);
}
void sparkle(QPainter& p)
{
    p.drawLine(10, 2, 10, 18);
    p.drawLine(2, 10, 18, 10);
    p.drawLine(5, 5, 15, 15);
    p.drawLine(15, 5, 5, 15);
}
void play(QPainter& p)
{
    p.setBrush(QColor(40, 150, 40));
    p.drawPolygon(QPolygon({QPoint(5, 3), QPoint(16, 10), QPoint(5, 17)}));
}
void record(QPainter& p)
{
    p.setBrush(Qt::red);
    p.drawEllipse(4, 4, 12, 12);
}
void stop(QPainter& p)
{
    p.setBrush(Qt::black);
    p.drawRect(5, 5, 10, 10);
}
void help(QPainter& p)
{
    QFont f = p.font();
    f.setPixelSize(16);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(30, 60, 170));
    p.drawText(QRect(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
}
void drawBar(QPainter& p)
{
    p.drawRect(2, 6, 16, 8);
    pencil(p);
}

const std::map<QString, Draw>& glyphs()
{
    static const std::map<QString, Draw> table = {
        {ObjectName::MainWindow::SpeedButton1, page},
        {ObjectName::MainWindow::OpenBtn, folder},
        {ObjectName::MainWindow::SaveBtn, disk},
        {ObjectName::MainWindow::printbtn, printer},
        {ObjectName::MainWindow::scanbtn, scanner},
        {ObjectName::MainWindow::SpeedButton57, camera},
        {ObjectName::MainWindow::SpeedButton9, slides},
        {ObjectName::MainWindow::CutBtn, scissors},
        {ObjectName::MainWindow::CopyBtn, copyGlyph},
        {ObjectName::MainWindow::PasteBtn, paste},
        {ObjectName::MainWindow::SpeedButton3, undo},
        {ObjectName::MainWindow::SpeedButton2, sparkle},
        {ObjectName::MainWindow::SpeedButton4, palette},
        {ObjectName::MainWindow::SpeedButton35, play},
        {ObjectName::MainWindow::SpeedButton37, record},
        {ObjectName::MainWindow::SpeedButton13, play},
        {ObjectName::MainWindow::SpeedButton11, record},
        {ObjectName::MainWindow::SpeedButton8, stop},
        {ObjectName::MainWindow::SpeedButton32, drawBar},
        {ObjectName::MainWindow::SpeedButton58, help},
        {ObjectName::MainWindow::speedbutton30, pencil},
        {ObjectName::MainWindow::SpeedButton5, selRect},
        {ObjectName::MainWindow::SpeedButton34, selPoly},
        {ObjectName::MainWindow::SpeedButton33, selCircle},
        {ObjectName::MainWindow::SpeedButton6, hand},
        {ObjectName::MainWindow::SpeedButton7, magnifier},
        {ObjectName::MainWindow::PenButton, pencil},
        {ObjectName::MainWindow::SpeedButton36, line},
        {ObjectName::MainWindow::SpeedButton63, rect},
        {ObjectName::MainWindow::SpeedButton64, ellipse},
        {ObjectName::MainWindow::SpeedButton65, roundRect},
        {ObjectName::MainWindow::fillbutton, bucket},
        {ObjectName::MainWindow::SpeedButton31, text},
        {ObjectName::MainWindow::SpeedButton55, pipette},
        {ObjectName::MainWindow::SpeedButton56, redEye},
        {ObjectName::MainWindow::SpeedButton38, stamp},
    };
    return table;
}

}  // namespace

QIcon ToolGlyph(const QString& buttonName)
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    const auto it = glyphs().find(buttonName);
    if (it != glyphs().end()) {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::black);
        it->second(p);
    }
    return QIcon(pm);
}
