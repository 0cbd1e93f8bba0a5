// The main window (Tform1): menus, tool bars, image windows and the commands on them.
#pragma once
#include "app/commands/command_host.h"
#include "app/commands/command_record.h"
#include "app/document/image_document.h"
#include "app/image_window/image_window_host.h"
#include "app/main_window/drawing_bar.h"
#include "app/main_window/file_commands.h"
#include "app/main_window/main_window_dialogs.h"
#include "app/services/feature_routes.h"
#include "app/services/main_window_services.h"
#include "app/options/options.h"
#include "platform/graphics/bitmap.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <array>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
struct TDecodedPicture;
class TBatchRunner;
struct TBatchControls;
class QButtonGroup;
class QComboBox;
class QFrame;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class TThrottledProgress;
class QToolBar;
class QToolButton;
class TImage;
class TFontComboBox;
class TKitSpinEdit;
class THistoryList;
class Tautoform;
class Tchild;
class Tzeichenform;
class TImageKitIO;
class TCommandInterpreter;
class TOpenImageKitDialog;
class TSaveImageKitDialog;

// What kind of MDI child a window is: image windows are Tchild, catalog and welcome
// windows are known by their form names "kataform" and "infoform".
enum TChildKind { ckNone, ckImage, ckCatalog, ckWelcome, ckOther };
TChildKind ChildKind(const QWidget* child);

// The main window: the MDI frame with its menus, the standard bar and the drawing bar.
// It owns the settings for the whole run; the option file is written only when it
// closes with every child closed.
class Tform1 : public QMainWindow,
               public TMainWindowServices,
               public TCommandHost,
               public TImageWindowHost,
               public TFeatureRoutes {
    Q_OBJECT
public:
    // arguments: the command line without the program name; dialogs: what the commands
    // open (the real forms when none is given).
    explicit Tform1(const QStringList& arguments = DefaultArguments(), QWidget* parent = nullptr,
                    std::unique_ptr<TMainWindowDialogs> dialogs = nullptr);
    ~Tform1() override;
    static QStringList DefaultArguments();

    toptions options;
    // Off in tests that want no welcome window at their first activation.
    static bool ShowWelcomeAtStart;
    // Fires after the first paint of an image window's view (start-up measurement).
    std::function<void()> OnFirstImagePaint;

    // Life cycle: the first activation restores bars, modes and tools and opens the file
    // named on the command line. False when a child stayed open; then nothing was stored.
    void FormActivate();
    bool FormClose();

    // The main window's parts.
    TDrawingBar& Drawing() const { return *drawing_; }
    TFileCommands& Files() const { return *files_; }
    // Batch recording and replay; the menu items and tool-bar controls route here.
    TBatchRunner& Batch() const { return *batch_; }
    THistoryList* History() const { return history_; }
    Tautoform* autoform() const;
    Tzeichenform* zeichenform() const { return zeichenform_; }

    // The children.
    QMdiArea* ClientArea() const override { return mdi_; }
    QList<QWidget*> MDIChildren() const override;
    int MDIChildCount() const { return int(MDIChildren().size()); }
    QWidget* ActiveMDIChild() const override;
    Tchild* ActiveImageWindow() const;
    void ActivateChild(QWidget* child) override;
    // While a batch runs, commands act on its window whichever one the user activates;
    // nullptr pinned means none. Unpin with PinChild(nullptr, false).
    void PinChild(QWidget* child, bool pinned = true) override;
    static Tchild* imageWindowOf(QWidget* window);
    Tchild* NewImageWindow() override;
    QString UntitledCaption() const override;
    // Save of one image window through the file commands; the outcome says whether it was saved.
    TSaveOutcome SaveImage(Tchild* image) override;

    // Menu items, menus and tool-bar controls by their names, and what is available for
    // the active child (closing: a child is closing and still counted).
    QAction* Item(const QString& name) const override;
    QMenu* Menu(const QString& name) const;
    template <class T> T* Control(const QString& name) const { return findChild<T*>(name); }
    static bool Available(const QObject* control);
    void UpdateAvailability(bool closing) override;
    void SetAvailable(QObject* control, bool on) override { setAvail(control, on); }

    // The command interpreter. Handlers fill `automatitem` and run it; its bytes that a
    // command does not write keep the previous command's values.
    tautomatitem automatitem;
    bool Recording = false;
    std::vector<QByteArray> RecordingList;  // 1424-byte blocks in execution order
    void runautomatitem(QObject* sender, const tautomatitem& item);
    // Runs the main window's own record.
    void runcode(uint8_t code)
    {
        automatitem.SetCode(code);
        runautomatitem(this, automatitem);
    }
    // The save parameters of the active image, and the image's from a block.
    void saveparams(tsaveparams& block);
    void assignparams(const tsaveparams& block);
    // The print dialog, then one print command per copy.
    void printClicked();
    void welcomeClicked();
    // Progress of long work, and the progress bar back at 0 when it has ended.
    void showProgressOf(QObject* sender, int percent);
    void ResetProgress() override;
    TThrottledProgress* ProgressThrottle() override { return Progress; }

    QString ImageFilter, ImageFilterNoCatalog, SaveFilter, WavFilter;
    QString SaveDialogFilter, OpenwavFilter;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend struct MainWindowBuilder;
    // Saves act on their image's window (onChild).
    friend class TFileCommands;

    // What the features ask of the main window (the rest in feature_routes.cpp).
    QWidget* Window() override { return this; }
    TCommandDialogs& Dialogs() override { return *dialogs_; }
    toptions& Options() override { return options; }
    void FitWindowToImage(QObject* sender, Tchild* image) override { fitWindowToImage(sender, image); }
    void OpenFiles(const QStringList& files) override;
    void AddToHistory(const QString& fileName) override { addToHistory(fileName); }
    tautomatitem& Record() override { return automatitem; }
    void RunRecord(QObject* sender, const tautomatitem& item) override { runautomatitem(sender, item); }
    bool IsRecording() const override { return Recording; }
    void SetRecording(bool recording) override { Recording = recording; }
    std::vector<QByteArray>& RecordedBlocks() override { return RecordingList; }
    void ActiveSaveParams(tsaveparams& block) override { saveparams(block); }
    void DialogSaveParams(tsaveparams& block) override { saveparamsautoform(block); }
    void HandOverDecoded(TDecodedPicture* picture, const QString& fileName) override;
    void SetLoadErrorSink(QString* errorSink) override { loadErrorSink_ = errorSink; }
    void ShowProgress(QObject* sender, int percent) override { showProgressOf(sender, percent); }
    void ShowStatus(const QString& text) override;
    QString ImageFilterWithoutCatalogs() const override { return ImageFilterNoCatalog; }
    QString WaveFilter() const override { return OpenwavFilter; }
    TSaveOutcome RunSave(Tchild* image, const QString& fileName, const tsaveparams& block,
                         QString* error = nullptr) override;

    // What the interpreter, the image windows and the features ask of the window
    // (feature_hosts.cpp).
    Tchild* NewPlainImageWindow() override;
    void ApplyViewOptions(Tchild* image) override;
    QWidget* NewCatalogWindow() override;
    void OpenCatalog(const QString& fileName) override;
    void FitWindowToImageTwice(QObject* sender, Tchild* image) override;
    void ZoomToWindow() override;
    std::unique_ptr<TDecodedPicture> TakeStartupPicture(const QString& fileName, const TIOParamsVals& params) override;
    TDecodedPicture* TakeHandedOver(const QString& fileName) override;
    QString* LoadErrorSink() const override;
    void AssignSaveParams(const tsaveparams& block) override;
    void ChangeWallpaper(const QString& fileName, bool tiled) override;
    TImageKitIO& SharedIO() override;
    void RunComment(const tautomatitem& item, Tchild* image) override;
    void RecordClose(Tchild* image) override;
    bool RulersShown() const override;
    bool StatusLineShown() const override;
    void ShowZoomText(const QString& text) override;
    int CurrentMouseMode() const override;
    int CurrentTool() const override;
    bool InDrawingMode() const override;
    TColor DrawingPenColor() const override;
    TColor DrawingFillColor() const override;
    void PickPenColor(TColor color) override;
    void PickFillColor(TColor color) override;
    const TBitmap* DrawingFillPattern() const override;
    QString DrawingText() const override;
    void DropSelection() override;
    TFeatureRoutes* Routes() override;
    void PrintActive() override;
    void CatalogSlideShow() override;
    // The batch feature's buttons, box and quick-start keys, handed to its runner.
    TBatchControls BatchControls() const;

    // New windows, their fit, and the wallpaper (through the host interfaces above).
    QWidget* newCatalogWindow();
    void fitWindowToImage(QObject* sender, Tchild* image);
    // Both passes: the second sees the scroll bars the first one added or removed.
    void fitWindowToImageTwice(QObject* sender, Tchild* image);
    void changeWallpaper(const QString& fileName, bool tiled);

    // Creation: the menus, the bars and their wiring.
    void FormCreate();
    void buildMenus();
    void buildToolBars();
    void insertSeparators();
    void translateToEnglish();
    void buildFilters();
    void placeWindow();
    // The command table's items and buttons at their places, and their wiring.
    void addCommandItems();
    void addCommandButtons();
    void wireCommandRows();
    void wire(QAction* action, std::function<void()> handler);
    void wireButton(QToolButton* button, std::function<void()> handler);
    void wireCommands();
    void wireFileCommands();
    void wireDialogCommands();
    void wireSlideShow();
    void wireDirectCommands();
    void wireBatch();

    // Availability.
    void setAvail(QObject* control, bool on);
    void multienabled(QMenu* item, bool enabled);
    void childActivated(QMdiSubWindow* sub);

    // Zoom, bars, rulers and windows.
    void zoomBoxChanged();
    void zoomBoxKeyPress(QChar key);
    void fitZoomToWindow(Tchild* child);
    void SetZoomOfActive(int zoom);
    void zoomToWindowClicked();
    void enterZoomClicked();
    void standardBarClicked();
    void drawingBarClicked();
    void rulerClicked();
    void statusBarClicked();
    void tileSideBySideClicked();
    void tileStackedClicked();
    void cascadeClicked();
    void exitClicked();
    void fitWindowToImageClicked();

    // Commands run with more than their row says.
    void scanClicked();
    void newCatalogClicked();
    // Commands that ask through a dialog first.
    void newImageClicked();
    void resizeDialog(bool resample);
    void resizeClicked();
    void resampleClicked();
    void setBackgroundColorClicked();
    void enterAngleClicked();
    void blackWhiteClicked();
    void reduceColorsDialogClicked();
    void tellColorsReached(Tchild* image, int wanted);
    void optionsClicked();
    // Slide shows: play (code 35), the options, and a show of the active catalog.
    void playSlideShowClicked();
    void slideShowOptionsClicked();
    void slideShowFromCatalogClicked();
    // Clipboard commands that act on the image directly and are not recorded.
    void cutClicked();
    void copyClicked();
    void pasteIntoSelectionClicked();
    void pasteButtonClicked();
    void cropForEditingClicked();
    // Handlers that act at once: undo buffer, help, sound settings, batch box.
    void clearUndoClicked();
    void helpTopicsClicked();
    void soundSettingsClicked();
    void quickStartBoxChanged();

    void addToHistory(const QString& name);
    void saveparamsautoform(tsaveparams& block);
    int NextUntitledNumber() const;
    void applyViewOptions(Tchild* image);
    Tchild* addImageWindow();
    void runComment(const tautomatitem& item, Tchild* image);
    // Runs fn with the commands on child; a batch's pin comes back afterwards.
    void onChild(QWidget* child, const std::function<void()>& fn);

    QStringList arguments_;
    std::unique_ptr<TMainWindowDialogs> dialogs_;
    std::unique_ptr<TCommandInterpreter> interpreter_;
    // The working folder at start, before the window moves to the program's folder.
    QString startDirectory_;
    bool firstActivation_ = false;
    QMdiArea* mdi_ = nullptr;
    std::map<QString, QAction*> items_;
    std::map<QString, QMenu*> menus_;
    // The bar buttons availability switches, found once by name.
    std::map<QString, QPointer<QToolButton>> availabilityButtons_;
    // What the availability was last set for (no child, catalog, image, undo): a batch
    // asks after every record, and the answer seldom changes.
    std::optional<std::array<bool, 4>> availableFor_;
    QProgressBar* progressBar = nullptr;
    TThrottledProgress* Progress = nullptr;  // every value for progressBar goes through it
    QComboBox* zoombox = nullptr;
    QToolBar* standardBar = nullptr;
    QToolBar* drawingBar = nullptr;
    std::unique_ptr<TDrawingBar> drawing_;
    std::unique_ptr<TFileCommands> files_;
    TImageKitIO* imageIO = nullptr;
    THistoryList* history_ = nullptr;
    std::unique_ptr<TBatchRunner> batch_;
    Tzeichenform* zeichenform_ = nullptr;
    bool firstPaintSeen_ = false;
    QPointer<QWidget> pinnedChild_;
    bool pinned_ = false;
    // Set while a batch opens its files: load errors land here instead of a message box.
    QString* loadErrorSink_ = nullptr;
    // The next open takes this picture instead of reading its file (a batch decodes ahead).
    TDecodedPicture* preloaded_ = nullptr;
    QString preloadedName_;  // the file preloaded_ was decoded from
    // The JPEG named on the command line, decoding while the window is being built; the
    // first open of that name waits for it (main_window_create.cpp).
    std::future<std::unique_ptr<TDecodedPicture>> startupDecode_;
    QString startupName_;
    void startStartupDecode();
    // The picture decoded at start-up when it is fileName's and was decoded as params
    // would have it; null otherwise (the file is then read as usual).
    std::unique_ptr<TDecodedPicture> takeStartupPicture(const QString& fileName, const TIOParamsVals& params);
};
