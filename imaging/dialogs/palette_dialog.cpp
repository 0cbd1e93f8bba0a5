// The palette picker: its grid of cells, highlight and pick.
#include "imaging/dialogs/palette_dialog.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {
constexpr int kCell = 16;
constexpr int kColumns = 32;
}  // namespace

TImageKitPaletteDialog::TImageKitPaletteDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(QString());
    setFixedSize(539, 199);
    setMouseTracking(true);
    cancel_ = new QPushButton(tr("&Cancel"), this);
    cancel_->setGeometry(8, 144, 75, 25);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TImageKitPaletteDialog::SetPalette(const std::vector<TColor>& palette, int count)
{
    // The count may promise more colours than the map has (2^bits of a small map).
    const size_t n = size_t(std::clamp<int64_t>(count, 0, int64_t(palette.size())));
    palette_.assign(palette.begin(), palette.begin() + ptrdiff_t(n));
    if (highlighted_ >= int(palette_.size()))
        highlighted_ = -1;
    update();
}

bool TImageKitPaletteDialog::Execute() { return exec() == QDialog::Accepted; }

QRect TImageKitPaletteDialog::CellRect(int index)
{
    const int col = index % kColumns;
    const int row = index / kColumns;
    return QRect(QPoint(col * kCell + 1, row * kCell + 1), QPoint(col * kCell + 15, row * kCell + 15));
}

int TImageKitPaletteDialog::IndexAt(int x, int y) const
{
    // Division toward zero, so the one-pixel margin at the left and top still hits the
    // first column and row; right of the grid there is no cell.
    const int col = (x - 1) / kCell;
    const int row = (y - 1) / kCell;
    if (x < 0 || y < 0 || col >= kColumns)
        return -1;
    const int64_t index = int64_t(row) * kColumns + col;
    return index < int64_t(palette_.size()) ? int(index) : -1;
}

void TImageKitPaletteDialog::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    for (int i = 0; i < int(palette_.size()); ++i) {
        const QRect r = CellRect(i);
        p.fillRect(r, ToQColor(palette_[size_t(i)]));
        p.setPen(i == highlighted_ ? Qt::black : Qt::white);
        // The outline covers the cell's edge pixels.
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

void TImageKitPaletteDialog::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int index = IndexAt(pos.x(), pos.y());
    if (index >= 0 && index != highlighted_) {
        highlighted_ = index;
        update();
    }
}

void TImageKitPaletteDialog::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    // Nothing highlighted yet: there is no colour to take.
    if (highlighted_ < 0 || highlighted_ >= int(palette_.size()))
        return;
    chosen_ = palette_[size_t(highlighted_)];
    accept();
}
