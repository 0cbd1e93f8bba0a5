// The video import dialog (Tvideoform).
#pragma once
#include <QDialog>
#include "app/text/help_contexts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class TImageKitVideoView;
class TMainWindowServices;

// "Video": live video from a capture driver, frozen frames imported as new images.
class Tvideoform : public QDialog {
    Q_OBJECT
public:
    explicit Tvideoform(TMainWindowServices& main, QWidget* owner = nullptr);
    ~Tvideoform() override;

    static constexpr int HelpContextNumber = 4111;
    static constexpr int HelpButtonContext = hcVideoImport;

    void FormActivate();
    void ComboBox1Change();
    void SpeedButton2Click();
    void SpeedButton1Click();
    void CheckBox1Click();
    void Button5Click();   // source
    void Button4Click();   // format
    void Button6Click();   // display
    void Button1Click();   // import
    // Shows the capture size and fits the view to it; nothing until a size is known.
    void showSize();

    TImageKitVideoView* ImageKitVideoView2;
    QComboBox* ComboBox1;
    QPushButton* Button5;
    QPushButton* Button4;
    QPushButton* Button6;
    QCheckBox* CheckBox1;
    QPushButton* SpeedButton2;
    QPushButton* SpeedButton1;
    QLabel* Label6;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    TMainWindowServices& main_;
    bool importing_ = false;  // an import waits for the frame to freeze
};

// The video import form, modal (command code 34).
void RunVideoImport(TMainWindowServices& main);
