// The capture driver's format and source dialogs.
#include "platform/video/video_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QDialogButtonBox* okCancel(QDialog* d)
{
    auto* b = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    QObject::connect(b, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(b, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return b;
}

QString rateText(int intervalMs)
{
    return intervalMs > 0 ? QStringLiteral("%1 fps").arg(1000.0 / intervalMs, 0, 'f', 1) : QStringLiteral("default");
}

}  // namespace

TVideoFormatDialog::TVideoFormatDialog(TCaptureDriver& driver, QWidget* owner)
    : QDialog(owner), driver_(driver), formats_(driver.Formats())
{
    setWindowTitle(QStringLiteral("Video format"));
    sizes_ = new QComboBox(this);
    pixelFormats_ = new QComboBox(this);
    rates_ = new QComboBox(this);
    const TVideoFormat now = driver.Format();
    std::vector<std::pair<int, int>> sizes;
    for (const TVideoFormat& f : formats_)
        if (std::find(sizes.begin(), sizes.end(), std::pair{f.Width, f.Height}) == sizes.end())
            sizes.push_back({f.Width, f.Height});
    for (const auto& [w, h] : sizes) {
        sizes_->addItem(QStringLiteral("%1 x %2").arg(w).arg(h), QSize(w, h));
        if (w == now.Width && h == now.Height)
            sizes_->setCurrentIndex(sizes_->count() - 1);
    }
    fillPixelFormats();
    connect(sizes_, &QComboBox::currentIndexChanged, this, [this] { fillPixelFormats(); });
    connect(pixelFormats_, &QComboBox::currentIndexChanged, this, [this] { fillRates(); });
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Size:"), sizes_);
    form->addRow(QStringLiteral("Pixel format:"), pixelFormats_);
    form->addRow(QStringLiteral("Frame rate:"), rates_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
    connect(this, &QDialog::accepted, this, [this] { Apply(); });
}

void TVideoFormatDialog::fillPixelFormats()
{
    const QSize size = sizes_->currentData().toSize();
    const uint32_t keep = pixelFormats_->count() ? pixelFormats_->currentData().toUInt() : driver_.Format().PixelFormat;
    const QSignalBlocker block(pixelFormats_);
    pixelFormats_->clear();
    for (const TVideoFormat& f : formats_)
        if (f.Width == size.width() && f.Height == size.height() && pixelFormats_->findData(f.PixelFormat) < 0) {
            pixelFormats_->addItem(FourCCText(f.PixelFormat), f.PixelFormat);
            if (f.PixelFormat == keep)
                pixelFormats_->setCurrentIndex(pixelFormats_->count() - 1);
        }
    fillRates();
}

void TVideoFormatDialog::fillRates()
{
    const QSize size = sizes_->currentData().toSize();
    const uint32_t pf = pixelFormats_->currentData().toUInt();
    const int keep = rates_->count() ? rates_->currentData().toInt() : driver_.Format().IntervalMs;
    rates_->clear();
    for (const TVideoFormat& f : formats_)
        if (f.Width == size.width() && f.Height == size.height() && f.PixelFormat == pf) {
            rates_->addItem(rateText(f.IntervalMs), f.IntervalMs);
            if (f.IntervalMs == keep)
                rates_->setCurrentIndex(rates_->count() - 1);
        }
}

TVideoFormat TVideoFormatDialog::Chosen() const
{
    const QSize size = sizes_->currentData().toSize();
    return {size.width(), size.height(), pixelFormats_->currentData().toUInt(), rates_->currentData().toInt()};
}

bool TVideoFormatDialog::Apply()
{
    const TVideoFormat f = Chosen();
    return f.Width > 0 && driver_.SetFormat(f);
}

TVideoSourceDialog::TVideoSourceDialog(TCaptureDriver& driver, QWidget* owner)
    : QDialog(owner), driver_(driver), controls_(driver.Controls())
{
    setWindowTitle(QStringLiteral("Video source"));
    auto* form = new QFormLayout;
    for (const TVideoControl& c : controls_) {
        auto* box = new QSpinBox(this);
        box->setRange(c.Minimum, c.Maximum);
        box->setSingleStep(c.Step);
        box->setValue(c.Value);
        const uint32_t id = c.Id;
        connect(box, &QSpinBox::valueChanged, this, [this, id](int v) { driver_.SetControl(id, v); });
        form->addRow(c.Name + QLatin1Char(':'), box);
        boxes_.push_back(box);
    }
    if (controls_.empty())
        form->addRow(new QLabel(QStringLiteral("The source has no settings."), this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
}

void TVideoSourceDialog::reject()
{
    for (const TVideoControl& c : controls_)
        driver_.SetControl(c.Id, c.Value);
    QDialog::reject();
}
