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
    void driverChanged();
    void videoOnClicked();
    void freezeClicked();
    void previewClicked();
    void sourceClicked();   // source
    void formatClicked();   // format
    void displayClicked();  // display
    void importClicked();   // import
    // Shows the capture size and fits the view to it; nothing until a size is known.
    void showSize();

    TImageKitVideoView* videoView;
    QComboBox* driverCombo;
    QPushButton* sourceButton;
    QPushButton* formatButton;
    QPushButton* displayButton;
    QCheckBox* overlayCheck;
    QPushButton* videoOnButton;
    QPushButton* freezeButton;
    QLabel* sizeLabel;
    QPushButton* importButton;
    QPushButton* closeButton;
    QPushButton* helpButton;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    TMainWindowServices& main_;
    bool importing_ = false;  // an import waits for the frame to freeze
};

// The video import form, modal (command code 34).
void RunVideoImport(TMainWindowServices& main);
