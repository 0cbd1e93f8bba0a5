// The black-and-white conversion dialog (Tblackwhiteform).
#pragma once
#include "app/dialogs/preview_pair.h"

#include <cstdint>

class QCheckBox;
class QRadioButton;

// "Schwarz Weiss Konvertierung": ordered dither or a threshold (a typed one or the
// image's average grey), with a preview.
class Tblackwhiteform : public TPreviewPairDialog {
    Q_OBJECT
public:
    explicit Tblackwhiteform(QWidget* parent = nullptr);

    uint8_t Mode = 0;         // 0 ordered dither, 1 threshold
    int32_t Threshold = 128;  // −1: the average grey
    bool AutoPreview = false;
    bool Accepted = false;

    void ControlStep(bool forced);
    void PreviewStep(bool forced);
    void okClicked();
    void copyBackClicked();

    QRadioButton* geordnet = nullptr;
    QRadioButton* Grenzwert = nullptr;
    QCheckBox* averageCheck = nullptr;
    TKitSpinEdit* valueEdit = nullptr;
    TKitSlider* valueSlider = nullptr;

protected:
    void FormActivate() override;

private:
    // The threshold chosen, false when the typed one is no number.
    bool chosenThreshold(int32_t& threshold) const;
};
