// The drawing-style picker (Tzeichenform): line style, fill style and brush size.
#pragma once
#include "platform/graphics/bitmap.h"

#include <QDialog>
#include <array>

class QFrame;
class QToolButton;
class TImage;
class TOpenDialog;
struct toptions;

// The resident drawing-style picker: one page each for the line style, the fill style
// (with a user bitmap) and the brush size. A click on a picture stores the choice in
// the option record and closes the picker. It also draws the samples of the drawing bar.
class Tzeichenform : public QDialog {
    Q_OBJECT
public:
    explicit Tzeichenform(QWidget* owner = nullptr);
    ~Tzeichenform() override;

    static constexpr int HelpContextNumber = 45;
    enum Page { LinePage = 0, FillPage = 1, BrushPage = 2 };

    // The record the choices go to; the main window sets it once.
    toptions* Options = nullptr;
    // The page shown on activation.
    int PageNumber = LinePage;

    // Out-of-range numbers give the first sample.
    const TBitmap& LineStyleSample(int style) const;  // 0 … 5
    const TBitmap& BrushSample(int size) const;       // 0 … 4
    const TBitmap& FillSample(int style) const;       // 0 … 7

    void FormActivate();
    void lineStyleClicked(int style);
    void fillStyleClicked(int style);  // 8: the user bitmap, only once one is loaded
    void brushSizeClicked(int size);
    void openBitmapClicked();
    // Loads a bitmap file into Image9; false (the picture unchanged) when it cannot.
    bool LoadUserBitmap(const QString& fileName, QString* error = nullptr);

    QFrame* fillPanel;                     // fill styles
    QFrame* linePanel;                     // line styles
    QFrame* brushPanel;                    // brush sizes
    std::array<TImage*, 9> FillImages{};   // Image1 … Image9
    std::array<TImage*, 6> LineImages{};   // Image10 … Image15
    std::array<TImage*, 5> BrushImages{};  // brush sizes 0 … 4: Image16, 17, 18, 20, 19
    QToolButton* openBitmapButton;

protected:
    void buildPages();
    void showEvent(QShowEvent* event) override;

private:
    std::array<TBitmap, 6> lines_;
    std::array<TBitmap, 5> brushes_;
    std::array<TBitmap, 8> fills_;
    TOpenDialog* openDialog_ = nullptr;
};
