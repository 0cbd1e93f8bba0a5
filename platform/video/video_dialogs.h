// The capture driver's format and source dialogs.
#pragma once
#include <QDialog>
#include <vector>

#include "platform/video/capture_driver.h"

class QComboBox;
class QSpinBox;

// The driver's format dialog: frame size, pixel format and frame rate out of what the
// driver lists. OK sets the chosen format on the driver.
class TVideoFormatDialog : public QDialog {
    Q_OBJECT
public:
    TVideoFormatDialog(TCaptureDriver& driver, QWidget* owner = nullptr);
    QComboBox* SizeBox() const { return sizes_; }
    QComboBox* PixelFormatBox() const { return pixelFormats_; }
    QComboBox* RateBox() const { return rates_; }
    // The format the three boxes describe.
    TVideoFormat Chosen() const;
    // Sets it on the driver; false when the driver refused it.
    bool Apply();

private:
    void fillPixelFormats();
    void fillRates();
    TCaptureDriver& driver_;
    std::vector<TVideoFormat> formats_;
    QComboBox* sizes_;
    QComboBox* pixelFormats_;
    QComboBox* rates_;
};

// The driver's source dialog: one number box per setting. Changes apply at once, so
// that the picture shows them; Cancel puts the old values back.
class TVideoSourceDialog : public QDialog {
    Q_OBJECT
public:
    TVideoSourceDialog(TCaptureDriver& driver, QWidget* owner = nullptr);
    int ControlCount() const { return int(boxes_.size()); }
    QSpinBox* ControlBox(int i) const { return boxes_[size_t(i)]; }
    void reject() override;

private:
    TCaptureDriver& driver_;
    std::vector<TVideoControl> controls_;
    std::vector<QSpinBox*> boxes_;
};
