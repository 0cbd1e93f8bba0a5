// The histogram dialog (TfHistogram).
#pragma once
#include <QDialog>

class QComboBox;
class QPushButton;
class THistogramBox;
class TImageKitProc;
class TImageKitView;

// "Histogramm": the histogram of an image by channel, as bars or lines.
class TfHistogram : public QDialog {
    Q_OBJECT
public:
    explicit TfHistogram(QWidget* parent = nullptr);

    // The image whose histogram is shown (its selection, if any, counts).
    void Attach(TImageKitView* view);
    void FormActivate();
    void channelChanged();
    void modeChanged();

    THistogramBox* histogramBox = nullptr;
    TImageKitProc* proc = nullptr;
    QComboBox* channelCombo = nullptr;  // channel
    QComboBox* modeCombo = nullptr;     // mode
    QPushButton* okButton = nullptr;
    QPushButton* helpButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool activated_ = false;
};
