#pragma once
#include "app/options/options.h"
#include "platform/graphics/bitmap.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <map>

class QAction;
class QButtonGroup;
class QComboBox;
class QFontComboBox;
class QFrame;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QToolBar;
class QToolButton;
class TImage;
class THistoryList;
class Tautoform;
class Tchild;
class Tzeichenform;

// What kind of MDI child a window is: image windows are Tchild, catalog and welcome
// windows are known by their form names "kataform" and "infoform".
enum TChildKind { ckNone, ckImage, ckCatalog, ckWelcome, ckOther };
TChildKind ChildKind(const QWidget* child);

// The main window: the MDI frame with its menus, the standard bar and the drawing bar.
// It owns the settings for the whole run; the option file is written only when it
// closes with every child closed.
class Tform1 : public QMainWindow {
    Q_OBJECT
public:
    // arguments: the command line without the program name.
    explicit Tform1(const QStringList& arguments = DefaultArguments(), QWidget* parent = nullptr);
    ~Tform1() override;
    static QStringList DefaultArguments();

    toptions options;

    // Life cycle.
    void FormCreate();
    void FormActivate();
    // False when a child stayed open; then nothing was stored.
    bool FormClose();
    bool FirstActivation() const { return firstActivation_; }

    // Command availability for the current children (closing: a child is closing and
    // still counted). Availability is kept apart from whether a command is built yet:
    // a command that comes later stays disabled whatever its availability says.
    void checkbuttonsenabled(bool closing);
    void multienabled(QMenu* item, bool enabled);
    static bool Available(const QObject* control);

    void setmodueses();
    void updatebrushpen();
    void zoomboxChange();
    void zoomboxKeyPress(QChar key);
    void onprogressany(QObject* sender, int percent);
    void Nebeneinander1Click();
    void Untereinander1Click();
    void bereinander1Click();
    void Beenden1Click();

    // Mouse modes and drawing tools.
    void SpeedButton5Click();
    void SpeedButton36Click(QToolButton* toolButton);
    void SelectTool(int code);
    void SelectMouseMode(int code);
    int MouseModeCode() const;   // first down button, −1 when none
    int ToolCode() const;        // first down button, −1 when none
    bool DrawingMode() const;
    QToolButton* MouseModeButton(int code) const;
    QToolButton* ToolButton(int code) const;
    static QString MouseModeItemName(int code);
    static QString ToolItemName(int code);

    // Bars, rulers and zoom items.
    void Standardleiste1Click();
    void Zeichenleiste1Click();
    void Lineal1Click();
    void Statusleiste1Click();
    void SetZoomOfActive(int zoom);
    void Fenstergre1Click();

    // Drawing settings shown on the drawing bar.
    TColor PenColor() const;
    TColor FillColor() const;
    void SetPenColor(TColor c);
    void SetFillColor(TColor c);
    const TBitmap* FillPatternBitmap() const;

    // File commands as far as they exist yet.
    void openit();
    void historyadd(const QString& name);
    bool Speichern1Click();
    bool AlleSchliessen1Click();
    void NichtsAuswhlen1Click();
    bool SaveCancelled = false;
    // The file list and filter index the open dialog hands to openit.
    QStringList OpenFileList;
    int OpenFilterIndex = 0;

    // The image window for a new image; the command interpreter takes this over.
    Tchild* CreateImageWindow();
    // Opens a file in a new image window through the image component.
    Tchild* OpenImageFile(const QString& fileName);

    QMdiArea* ClientArea() const { return mdi_; }
    QList<QWidget*> MDIChildren() const;
    int MDIChildCount() const { return int(MDIChildren().size()); }
    QWidget* ActiveMDIChild() const;
    Tchild* ActiveImageWindow() const;
    void ActivateChild(QWidget* child);

    THistoryList* History() const { return history_; }
    Tautoform* autoform() const { return autoform_; }
    Tzeichenform* zeichenform() const { return zeichenform_; }

    // Menu items, menus and tool-bar controls by their names.
    QAction* Item(const QString& name) const;
    QMenu* Menu(const QString& name) const;
    template <class T>
    T* Control(const QString& name) const { return findChild<T*>(name); }

    QString ImageFilter, ImageFilterNoCatalog, CatalogFilter, SaveFilter, WavFilter;
    QString SaveDialogFilter, OpenwavFilter;

    QProgressBar* ProgressBar1 = nullptr;
    QComboBox* zoombox = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QLineEdit* spinedit1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QFontComboBox* FontComboBox1 = nullptr;
    QFrame* Panel5 = nullptr;
    QFrame* Panel6 = nullptr;
    TImage* clearpen = nullptr;
    TImage* pinselartn = nullptr;
    TImage* Image2 = nullptr;

    // Fires after the first paint of an image window's view (start-up measurement).
    std::function<void()> OnFirstImagePaint;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend struct MainWindowBuilder;
    void buildMenus();
    void buildToolBars();
    void insertSeparators();
    void transenglish();
    void buildFilters();
    void placeWindow();
    void wire(QAction* action, std::function<void()> handler);
    void wireButton(QToolButton* button, std::function<void()> handler);
    void setAvail(QObject* control, bool on);
    void childActivated(QMdiSubWindow* sub);
    void fitZoomToWindow(Tchild* child);

    QStringList arguments_;
    bool firstActivation_ = false;
    bool created_ = false;
    QMdiArea* mdi_ = nullptr;
    std::map<QString, QAction*> items_;
    std::map<QString, QMenu*> menus_;
    QButtonGroup* modeGroup_ = nullptr;
    QButtonGroup* toolGroup_ = nullptr;
    THistoryList* history_ = nullptr;
    Tautoform* autoform_ = nullptr;
    Tzeichenform* zeichenform_ = nullptr;
    TBitmap fillPattern_;
    bool firstPaintSeen_ = false;
};
