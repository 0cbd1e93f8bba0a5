// The colour reduction dialog (Tfarbredform).
#pragma once
#include "app/dialogs/preview_pair.h"

#include <cstdint>

// "Farben reduzieren": a colour count from 2 to 10000 with a preview of the reduction.
class Tfarbredform : public TPreviewPairDialog {
    Q_OBJECT
public:
    explicit Tfarbredform(QWidget* parent = nullptr);

    int32_t ColorCount = 256;
    bool AutoPreview = false;
    bool Accepted = false;

    static constexpr int MinColors = 2;
    static constexpr int MaxColors = 10000;

    void PreviewStep(bool forced);
    void okClicked();
    void copyBackClicked();

    TKitSpinEdit* valueEdit = nullptr;
    TKitSlider* valueSlider = nullptr;

protected:
    void FormActivate() override;
};
