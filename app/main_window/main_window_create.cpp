// The main window's creation, first activation and closing, and the way files named on
// the command line reach an image window.
#include "app/batch/batch_dialog.h"
#include "app/batch/batch_runner.h"
#include "app/catalog/catalog_window.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/main_window/startup_rules.h"
#include "app/commands/interpreter.h"
#include "app/main_window/main_window_dialogs.h"
#include "app/image_window/drawing_style_picker.h"
#include "app/options/option_file.h"
#include "app/main_window/history_list.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "app/util/cancellable_work.h"
#include "app/util/decode_ahead.h"
#include "app/util/paths.h"
#include "controls/combos/kit_combos.h"
#include "imaging/io/io_params.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/exceptions.h"
#include "platform/ui/application.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include "app/util/progress_throttle.h"
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <cstdlib>
#include <ctime>

QStringList Tform1::DefaultArguments() { return QCoreApplication::arguments().mid(1); }

Tform1::Tform1(const QStringList& arguments, QWidget* parent, std::unique_ptr<TMainWindowDialogs> dialogs)
    : QMainWindow(parent), arguments_(arguments),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<TMainWindowDialogs>()),
      interpreter_(std::make_unique<TCommandInterpreter>(*this, *dialogs_)), startDirectory_(QDir::currentPath()),
      files_(std::make_unique<TFileCommands>(*this))
{
    TApplication::ShareStandardIcons();
    dialogs_->Attach(*this);
    startStartupDecode();
    setObjectName(QLatin1String(ObjectName::MainWindow::Form));
    setWindowTitle(QStringLiteral("Kandrivel"));
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QLatin1String(ObjectName::MainWindow::ClientArea));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) { childActivated(sub); });
    buildMenus();
    buildToolBars();
    wireCommands();
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QLatin1String(ObjectName::MainWindow::ProgressBar1));
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->setMaximumWidth(200);
    statusBar()->addPermanentWidget(progressBar);
    Progress = new TThrottledProgress(progressBar);
    Progress->setParent(this);
    // The two resident forms live as long as the main window.
    batch_ = std::make_unique<TBatchRunner>(*this);
    batch_->SetControls(BatchControls());
    zeichenform_ = new Tzeichenform(this);
    zeichenform_->Options = &options;
    FormCreate();
}

Tform1::~Tform1()
{
    // A start-up decode still running holds no reference to the window, but ends first.
    if (startupDecode_.valid())
        startupDecode_.wait();
    // Children go while the frame is still whole: they call back into it.
    disconnect(mdi_, nullptr, this, nullptr);
    qDeleteAll(mdi_->subWindowList());
    // FormDestroy: the recent-file list goes with the window.
    delete history_;
    history_ = nullptr;
    // Help failures are reported through this window's messages.
    TApplication::OnHelpFailure = nullptr;
}

void Tform1::runautomatitem(QObject* sender, const tautomatitem& item) { interpreter_->Run(sender, item); }

void Tform1::startStartupDecode()
{
    if (arguments_.isEmpty())
        return;
    // Building the window takes about as long as decoding a photograph: the two overlap.
    // The name the window will open, made absolute now: the working folder changes below.
    startupName_ = CommandLineFileName(arguments_, startDirectory_);
    // The reader asks for the screen's resolution, which is read here, on the UI thread.
    ScreenDpiX();
    ScreenDpiY();
    auto params = std::make_shared<TIOParamsVals>();
    const QString name = startupName_;
    startupDecode_ = std::async(std::launch::async, [name, params] { return DecodePicture(name, *params, 0); });
}

std::unique_ptr<TDecodedPicture> Tform1::takeStartupPicture(const QString& fileName, const TIOParamsVals& params)
{
    if (!startupDecode_.valid())
        return nullptr;
    std::unique_ptr<TDecodedPicture> picture = startupDecode_.get();
    if (!picture || !picture->Ok || fileName != startupName_ ||
        picture->Params->JpegDctMethod != params.JpegDctMethod || params.JpegMinLongSide != 0)
        return nullptr;
    return picture;
}

void Tform1::FormCreate()
{
    // Where the program lives; the files it writes go to the data directory.
    QDir::setCurrent(ProgramDirectoryWithSlash());
    try {
        readOptionFile(options);
    } catch (const Exception&) {
        // Whatever the file holds, start-up goes on with the defaults.
        options = DefaultOptions();
        SetLanguage(options.language);
    }
    firstActivation_ = true;
    drawing_->SetFontName(options.fontname);
    SetLanguage(options.language);
    translateToEnglish();
    TApplication::SetHelpFile(ProgramDirectoryWithSlash() + HelpFileName(options.language));
    insertSeparators();
    UpdateAvailability(false);
    batch_->UpdateBatchBox();

    history_ = new THistoryList();
    history_->SetMaxCount(10);
    history_->SetMenuItem(Menu(QLatin1String(ObjectName::MainWindow::Erneutladen1)));
    history_->SetOnClick(this, [this](QObject*, QMenu*, const QString& name) { files_->historyItemClicked(name); });
    history_->Clear();
    Control<QToolButton>(ObjectName::MainWindow::SpeedButton8)->setChecked(true);
    for (int i = 9; i >= 0; --i)
        if (!options.recent[size_t(i)].isEmpty())
            history_->PushName(options.recent[size_t(i)]);
    std::srand(unsigned(std::time(nullptr)));

    Item(ObjectName::MainWindow::Standardleiste1)->setChecked(options.standardbar != 0);
    Item(ObjectName::MainWindow::Zeichenleiste1)->setChecked(options.drawbar != 0);
    standardBar->setVisible(options.standardbar != 0);
    drawingBar->setVisible(options.drawbar != 0);

    buildFilters();
    SaveDialogFilter = SaveFilter;
    OpenwavFilter = WavFilter;
    files_->OpenFilterIndex = options.openfilter;
    placeWindow();
}

void Tform1::buildFilters()
{
    const QString all = TranslatedText(QStringLiteral("Alle"));
    const QString allFiles = TranslatedText(QStringLiteral("Alle Dateien"));
    const QString types = QStringLiteral(
        "Jpeg (JPG)|*.jpg;*.jpeg|Windows Bitmap (BMP)|*.bmp|PaintBrush (PCX)|*.pcx|Tiff Bitmap (TIFF)|*.tif|"
        "Windows Metafile (WMF)|*.wmf|Windows E-Metailfe (EMF)|*.emf|Microsoft Icon (ICO)|*.ico|"
        "Microsoft Cursor (CUR)|*.cur|");
    const QString catalog = TranslatedText(QStringLiteral("Katalog (PCA)"));
    ImageFilter = types + catalog + QStringLiteral("|*.pca|PNG (PNG)|*.png|") + all +
                  QStringLiteral(" (JPG;PNG;BMP;PCX;TIF;WMF;EMF;ICO;CUR;PCA)") +
                  QStringLiteral("|*.jpg;*.jpeg;*.png;*.bmp;*.pcx;*.tif;*.wmf;*.emf;*.ico;*.cur;*.pca|") + allFiles +
                  QStringLiteral("|*.*");
    ImageFilterNoCatalog = types + QStringLiteral("PNG (PNG)|*.png|") + all +
                           QStringLiteral(" (JPG;PNG;BMP;PCX;TIF;WMF;EMF;ICO;CUR)") +
                           QStringLiteral("|*.jpg;*.jpeg;*.png;*.bmp;*.pcx;*.tif;*.wmf;*.emf;*.ico;*.cur;|") +
                           allFiles + QStringLiteral("|*.*");
    SaveFilter = QStringLiteral("Jpeg (JPG)|*.jpg;*.jpeg|Windows Bitmap (BMP)|*.bmp|PaintBrush (PCX)|*.pcx|"
                                "TIFF Bitmap (TIF)|*.tif|PNG (PNG)|*.png|") +
                 all + QStringLiteral(" (JPG;BMP;PCX;TIFF)|*.jpg;*.jpeg;*.png;*.bmp;*.pcx;*.tif|") + allFiles +
                 QStringLiteral("|*.*");
    WavFilter = QStringLiteral("WAV - Dateien (*.wav)|*.wav|") + allFiles + QStringLiteral("|*.*");
}

void Tform1::placeWindow()
{
    if (options.winstate != 0)
        return;
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    if (StoredRectFits(options.winleft, options.wintop, options.winright, options.winbottom, avail.width(),
                       avail.height())) {
        move(options.winleft, options.wintop);
        resize(options.winright - options.winleft, options.winbottom - options.wintop);
        return;
    }
    const QSize size(std::min(1000, avail.width()), std::min(720, avail.height()));
    resize(size);
    move(avail.x() + (avail.width() - size.width()) / 2, avail.y() + (avail.height() - size.height()) / 2);
}

void Tform1::FormActivate()
{
    if (!firstActivation_)
        return;
    firstActivation_ = false;
    if (Item(ObjectName::MainWindow::Lineal1)->isChecked() != (options.rulers != 0))
        rulerClicked();
    if (Item(ObjectName::MainWindow::Statusleiste1)->isChecked() != (options.statusbar != 0))
        statusBarClicked();
    standardBar->setVisible(Item(ObjectName::MainWindow::Standardleiste1)->isChecked());
    drawingBar->setVisible(Item(ObjectName::MainWindow::Zeichenleiste1)->isChecked());
    drawing_->RestoreModesAndTools();
    drawing_->UpdateBrushAndPen();
    drawing_->SetText(options.texttext);
    TranslateForm(QLatin1String(ObjectName::BatchDialog::Form), autoform());
    TranslateForm(QLatin1String(ObjectName::DrawingStylePicker::Form), zeichenform_);
    TranslateForm(QLatin1String(ObjectName::MainWindow::Form), this);
    if (options.winstate == 1)
        setWindowState(windowState() | Qt::WindowMinimized);
    else if (options.winstate == 2)
        setWindowState(windowState() | Qt::WindowMaximized);
    TApplication::ProcessMessages();
    if (options.showwelcome && ShowWelcomeAtStart)
        welcomeClicked();
    if (!arguments_.isEmpty()) {
        const QString name = CommandLineFileName(arguments_, startDirectory_);
        files_->OpenFileList = QStringList{name};
        options.lastdir = AddTrailingBackslash(QFileInfo(name).absolutePath());
        options.openfilter = files_->OpenFilterIndex;
        files_->openChosenFiles();
    }
}

bool Tform1::FormClose()
{
    files_->closeAllClicked();
    TApplication::ProcessMessages();
    if (MDIChildCount() > 0)
        return false;
    if (const int m = drawing_->MouseModeCode(); m >= 0)
        options.mousemode = m;
    if (const int t = drawing_->ToolCode(); t >= 0)
        options.tool = t;
    for (int i = 0; i < 10; ++i)
        options.recent[size_t(i)] = history_->Strings(i);
    options.winleft = x();
    options.wintop = y();
    options.winright = x() + width();
    options.winbottom = y() + height();
    options.winstate = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    try {
        writeOptionFile(options);
    } catch (const Exception& e) {
        // The settings are lost, but the program must still be able to end.
        TApplication::HandleException(e);
    }
    return true;
}

void Tform1::closeEvent(QCloseEvent* event)
{
    // Asked while long work lets the events run: the work stops, and the program
    // closes as usual once it has ended.
    if (HoldCloseWhileWorkRuns(this, [this] { close(); })) {
        TCancellableWork::CancelWorkOn(this);
        event->ignore();
        return;
    }
    // A batch or a multi-file open works on the windows it would close: the main window
    // waits for it (the batch's progress has its Cancel).
    if (batch_->Running() || files_->Opening()) {
        event->ignore();
        LangMessageDlg(QStringLiteral(
                           "Bitte warten Sie, bis der Batch oder das Laden beendet ist, oder brechen Sie ihn ab."),
                       mtInformation, mbOK,
                       QStringLiteral("Please wait until the batch or the loading has finished, or cancel it."));
        return;
    }
    if (CatalogsHoldTheClose(*this)) {
        event->ignore();
        return;
    }
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

void Tform1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (firstActivation_)
        QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void Tform1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && firstActivation_)
        FormActivate();
}

bool Tform1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && !firstPaintSeen_ && OnFirstImagePaint) {
        firstPaintSeen_ = true;
        // After this paint has been drawn and shown.
        QTimer::singleShot(0, this, [this] {
            if (OnFirstImagePaint)
                OnFirstImagePaint();
        });
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tform1::addToHistory(const QString& name) { history_->PushName(name); }
