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
    void ComboBox1Change();
    void ComboBox2Change();

    THistogramBox* HistogramBox1 = nullptr;
    TImageKitProc* ImageKitProc1 = nullptr;
    QComboBox* ComboBox1 = nullptr;  // channel
    QComboBox* ComboBox2 = nullptr;  // mode
    QPushButton* Button1 = nullptr;
    QPushButton* Button9 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool activated_ = false;
};
