// The rotation dialog (TfRotate).
#pragma once
#include "app/dialogs/preview_pair.h"

#include <cstdint>

class QCheckBox;

// "Rotation Vorschau": a typed angle from −360 to 360 degrees with a preview.
class TfRotate : public TPreviewPairDialog {
    Q_OBJECT
public:
    explicit TfRotate(QWidget* parent = nullptr);

    bool AutoPreview = false;
    bool Antialias = false;
    int32_t Angle = 0;
    bool Accepted = false;

    static constexpr int MaxAngle = 360;

    void PreviewStep(bool forced);
    void okClicked();
    void copyBackClicked();

    TKitSpinEdit* valueEdit = nullptr;
    TKitSlider* valueSlider = nullptr;
    QCheckBox* antialiasCheck = nullptr;

protected:
    void FormActivate() override;

private:
    // The typed angle rounded; false for no number or one outside the range.
    bool typedAngle(int& angle) const;
};
