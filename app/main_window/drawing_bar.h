// The drawing bar: mouse modes, drawing tools and the settings the tools draw with.
#pragma once
#include "platform/graphics/bitmap.h"

#include <QString>

class QButtonGroup;
class QFrame;
class QLineEdit;
class QToolBar;
class QToolButton;
class QWidget;
class TFontComboBox;
class TImage;
class TKitSpinEdit;
class Tform1;

// The first down mouse-mode and tool buttons are the current mode and tool; the line,
// colours, styles, font and text it shows are kept in the main window's options.
class TDrawingBar {
public:
    // Builds the bar's controls on bar and wires them and their menu items.
    TDrawingBar(Tform1& form, QToolBar* bar);

    QToolBar* Bar() const { return bar_; }
    int MouseModeCode() const;  // first down button, −1 when none
    int ToolCode() const;       // first down button, −1 when none
    bool DrawingMode() const;
    void SelectMouseMode(int code);
    void SelectTool(int code);
    QToolButton* MouseModeButton(int code) const;
    QToolButton* ToolButton(int code) const;
    // Gives every image window the current mode's interaction and cursor.
    void ApplyMouseMode();
    // The stored mode and tool, at the first activation and for the first image window.
    void RestoreModesAndTools();
    // The samples, line width and colours from the options.
    void UpdateBrushAndPen();

    TColor PenColor() const;
    TColor FillColor() const;
    void SetPenColor(TColor c);
    void SetFillColor(TColor c);
    const TBitmap* FillPatternBitmap() const { return &fillPattern_; }
    QString Text() const;
    void SetText(const QString& text);
    void SetFontName(const QString& name);

private:
    void toolClicked(QToolButton* toolButton);
    void stylePictureClicked(int page, QWidget* picture);
    void lineWidthChanged();
    void lineWidthClicked();
    void enterTextClicked();
    void chooseFontClicked();
    void penColorClicked();
    void fillColorClicked();
    void buildSettings();
    void wireItems();

    Tform1& form_;
    QToolBar* bar_;
    QButtonGroup* modeGroup_ = nullptr;
    QButtonGroup* toolGroup_ = nullptr;
    TKitSpinEdit* lineWidthEdit_ = nullptr;
    QLineEdit* textEdit_ = nullptr;
    TFontComboBox* fontCombo_ = nullptr;
    QFrame* penColorPanel_ = nullptr;
    QFrame* fillColorPanel_ = nullptr;
    TImage* lineStylePicture_ = nullptr;
    TImage* brushStylePicture_ = nullptr;
    TImage* fillStylePicture_ = nullptr;
    TBitmap fillPattern_;
};

// The colour dialog from start; false when it was cancelled.
bool ChooseColor(QWidget* parent, TColor start, TColor& chosen);
