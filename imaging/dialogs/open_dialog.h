// The open dialog with its picture and information panels (TOpenImageKitDialog).
#pragma once
#include "imaging/dialogs/common_dialog.h"
#include "imaging/dialogs/multi_preview_loader.h"
#include "imaging/dialogs/preview_loader.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;
class QWidget;
class TImageKitIO;
class TImageKitMIO;
class TImageKitMView;
class TImageKitView;
class TIOParamsVals;

enum TOpenOption : unsigned {
    ofReadOnly = 1u << 0,
    ofOverwritePrompt = 1u << 1,
    ofHideReadOnly = 1u << 2,
    ofNoChangeDir = 1u << 3,
    ofShowHelp = 1u << 4,
    ofNoValidate = 1u << 5,
    ofAllowMultiSelect = 1u << 6,
    ofExtensionDifferent = 1u << 7,
    ofPathMustExist = 1u << 8,
    ofFileMustExist = 1u << 9,
    ofCreatePrompt = 1u << 10,
    ofShareAware = 1u << 11,
    ofNoReadOnlyReturn = 1u << 12,
    ofNoTestFileCreate = 1u << 13,
    ofNoNetworkButton = 1u << 14,
    ofNoLongNames = 1u << 15,
    ofOldStyleDialog = 1u << 16,
    ofNoDereferenceLinks = 1u << 17,
    ofEnableIncludeNotify = 1u << 18,
    ofEnableSizing = 1u << 19,
};
using TOpenOptions = unsigned;

// Sender and the flag that keeps the dialog open when cleared.
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& canClose)>;

// The open dialog with a picture panel beside the file list (a zoomable preview of the
// selected file with a zoom box, a full-size preview button and the size, colours and
// resolution) and an information panel below it (format, file size and memory).
class TOpenImageKitDialog : public TIKCommonDialog {
    Q_OBJECT
public:
    explicit TOpenImageKitDialog(QObject* owner = nullptr);
    ~TOpenImageKitDialog() override;

    bool Execute() override;

    TOpenOptions Options = ofHideReadOnly;
    QString Filter;
    QString Title;
    QString DefaultExt;
    bool ShowPreview = true;
    // Every chosen full name after a confirmed Execute, the first equal to FileName.
    QStringList Files;

    // While the dialog is on screen the dialog's current values, else the stored ones.
    QString FileName() const;
    void SetFileName(const QString& name) { fileName_ = name; }
    int FilterIndex() const;
    void SetFilterIndex(int index) { filterIndex_ = index; }
    QString InitialDir() const { return initialDir_; }
    void SetInitialDir(const QString& dir);
    // The mask of the filter in use ("*.jpg").
    QString FilterMask() const { return filterMask_; }

    TNotifyEvent OnSelectionChange;
    TNotifyEvent OnFolderChange;
    TNotifyEvent OnTypeChange;
    TCloseQueryEvent OnCanClose;

    // Child controls; they live with the component and join the dialog while it shows.
    QWidget* PicturePanel;
    QLabel* PicLabel1;
    QLabel* PicLabel2;
    QLabel* PicLabel3;
    QWidget* InfoPanel;
    QLabel* InfoLabel1;
    QLabel* InfoLabel2;
    QToolButton* PreviewButton;
    QComboBox* ZoomCombo;
    QProgressBar* ProgressBar;
    QToolButton* PlayButton;
    QPushButton* AdvancedButton;
    QCheckBox* PreviewCheck;
    TImageKitView* ImageKitView;
    // The preview of files of several frames, with playback.
    TImageKitMView* ImageKitMView;
    TImageKitMIO* MultiIO() const { return mio_; }
    // Reads the previewed file's parameters; attached to ImageKitView.
    TImageKitIO* ImageKitIO() const { return io_; }

    // The five lines for a parameter record; null empties them all.
    void ShowInfo(const TIOParamsVals* params);
    virtual void ApplyZoom();
    // Modal full-size preview of what the picture panel shows.
    void ShowPreviewForm();
    void PreviewCheckClick();
    // True while a preview is being loaded.
    bool Busy() const;
    int64_t PreviewFileSize() const { return fileSize_; }
    int FrameCount() const { return frameCount_; }

protected:
    void DialogShown() override;
    void DialogClosed() override;
    virtual bool AcceptClose();
    virtual void SelectionChanged();
    virtual void FolderChanged();
    virtual void TypeChanged();
    // Files of several frames (every video, an animated GIF, a TIFF of two or more pages)
    // go to the multi-image view; returns false for every other file. GIF frames and TIFF
    // pages are decoded off the window's thread and arrive later (Busy meanwhile).
    virtual bool LoadMultiPreview(const QString& fileName);

    // Builds, runs and reads back the dialog; true when confirmed.
    bool RunSystemDialog(QFileDialog::AcceptMode mode);
    // The extension typed names get while the dialog runs.
    virtual QString TypedNameSuffix() const { return DefaultExt; }
    // The text of the file-name box while the dialog is on screen.
    QString GetFileSpec() const;
    void SetFileSpec(const QString& text);

    int currentFilterIndex_ = 1;
    QString filterMask_;

private:
    void buildPicturePanel();
    void buildInfoPanel();
    void layOutPanels(TIKFileDialog& dialog);
    void releasePanels();
    void clearPreview();
    void previewLoaded(const TPreviewLoader::TResult& result);
    void onCurrentChanged(const QString& path);
    void onFilterSelected();
    bool acceptFromDialog();
    int dialogFilterIndex() const;

    void clearMultiPreview();
    void multiImageSelected(int index);
    void multiFrameLoaded(const TMultiPreviewLoader::TFrame& frame);
    void multiPreviewLoaded(bool ok);

    TImageKitIO* io_;
    TImageKitMIO* mio_;
    QString multiPath_;
    std::unique_ptr<TPreviewLoader> loader_;
    std::unique_ptr<TMultiPreviewLoader> multiLoader_;
    QString currentPath_;
    QString fileName_;
    QString initialDir_;
    int filterIndex_ = 1;
    int64_t fileSize_ = 0;
    int frameCount_ = 0;
};
