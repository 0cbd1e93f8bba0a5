// The catalog window (Tkataform): a grid of thumbnails of the images in a catalog file.
#pragma once
#include "app/services/catalog_view.h"
#include "platform/core/geometry.h"
#include "platform/graphics/bitmap.h"
#include "platform/ui/draw_grid.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <vector>

class QPushButton;
class QFrame;
class TCanvas;
class TImageKit;
class TKitDrawGrid;
class TMainWindowServices;
struct TCatalogEntry;
struct TCatalogRecord;
struct TDecodedPicture;

// One catalog entry: its stored text and its 100 × 100 thumbnail. Pcx keeps the bytes
// the thumbnail was read from, so an unchanged entry is written back exactly as read.
struct TCatalogItem {
    QByteArray Text;
    TBitmap Thumb;
    QByteArray Pcx;
};

// The catalog window: a grid of thumbnails with captions and the command buttons on
// the right. The main window knows it by its form name "kataform".
class Tkataform : public QWidget, public TCatalogView {
    Q_OBJECT
public:
    static constexpr int ThumbSize = 100;

    explicit Tkataform(TMainWindowServices* mainWindow, QWidget* parent = nullptr);
    ~Tkataform() override;

    QFrame* buttonPanel = nullptr;
    QWidget* scrollBox = nullptr;
    TKitDrawGrid* thumbGrid = nullptr;
    TImageKit* workKit = nullptr;  // hidden working component
    QPushButton *addFileButton = nullptr, *saveCatalogButton = nullptr, *removeFileButton = nullptr,
                *slideShowButton = nullptr, *reloadImagesButton = nullptr, *selectAllButton = nullptr,
                *reloadAllButton = nullptr, *closeCatalogButton = nullptr, *printThumbnailsButton = nullptr,
                *updateImagesButton = nullptr, *removeMissingButton = nullptr;

    // The entries in order: texts and thumbnails side by side.
    std::vector<TCatalogItem> Items;
    bool Modified = false;
    bool Aborting = false;  // set by Escape; ends add and reload loops
    // True while an add, reload or load lets the events run: the window's commands wait,
    // and a close ends the loop and closes the window after it.
    bool Busy() const { return busy_ > 0; }
    // While busy: tells the user that the command has to wait and returns true.
    bool RefuseWhileBusy() const override;
    // False after a removal until the user picks cells again: the cells that held the
    // removed entries show others now.
    bool HasSelection() const { return hasSelection_; }

    int Count() const override { return int(Items.size()); }
    TCatalogEntry Entry(int index) const;
    QString Path(int index) const override;
    const TBitmap& Thumb(int index) const override { return Items[size_t(index)].Thumb; }

    void FormCreate();
    void FormActivate();
    // False when the window stays open.
    bool FormClose();
    void FormKeyPress(QChar key);

    // Thumbnails (catalog_window_entries.cpp). addEntryFromFile: False when the file is missing.
    bool addEntryFromFile(const QString& path);
    void replaceEntryFromFile(const QString& path, int index);
    // Adds the files in order, re-laying out after each, until Escape aborts. A file
    // that cannot be read is skipped; the skipped ones are listed at the end.
    void AddFiles(const QStringList& files);
    void addFilesClicked();
    void removeFilesClicked();
    void reloadImagesClicked(bool all);
    void updateImagesClicked();
    void removeMissingClicked();
    void selectAllClicked();

    // The file (catalog_window_file.cpp). loadCatalog raises on a file that cannot be
    // read; the entries read before the fault stay.
    void loadCatalog(const QString& fileName);
    void addEntryFromRecord(TCatalogRecord&& record);
    // Writes under the given name through a temporary file; Modified is cleared and the
    // caption set only once the file is in place.
    void saveCatalogTo(const QString& fileName);
    bool saveCatalogClicked();
    bool saveCatalogAsClicked();
    void closeCatalogClicked();
    // The catalog after the automatic maintenance options, for the opener to call.
    void AutoMaintain();

    // Layout and painting (catalog_window.cpp).
    void reorder();
    void drawEntry(TCanvas& canvas, const TRect& rect, uint8_t flags, int fontSize, int index) override;
    void showProgress(QObject* sender, int percent);
    // Entry index of a cell, −1 when the cell holds none.
    int EntryAt(int col, int row) const;

    TMainWindowServices* MainWindow() const { return main_; }

signals:
    // The add, reload or load that kept the window busy has ended.
    void Idle();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildButtons();
    void setCaptions();
    // Makes the thumbnail of a file in workKit, from its picture when it was decoded and
    // scaled ahead (TDecodeAhead); False when the file is missing.
    bool makeThumb(const QString& path, TBitmap& thumb, TCatalogEntry& entry, TDecodedPicture* decoded = nullptr);
    bool addEntryFromFile(const QString& path, TDecodedPicture* decoded);
    TBitmap missingThumb();
    QByteArray encodeThumb(const TBitmap& thumb);
    void drawCell(int col, int row, const TRect& rect, TGridDrawState state);
    // The selected cells; after a removal there are none, which the user is told.
    bool selectedRange(TGridRect& range) const;
    void cellDoubleClicked();
    void resetProgress();
    // Sets the grid's column and row counts for the entries; True when they changed
    // (which repaints the grid).
    bool layGrid();
    // reorder after the entries from firstNew on were appended at the end.
    void reorderAfterAppend(int firstNew);
    // Marks the window busy for as long as it lives (see Busy).
    class TBusyScope {
    public:
        explicit TBusyScope(Tkataform& form);
        ~TBusyScope();
        TBusyScope(const TBusyScope&) = delete;
        TBusyScope& operator=(const TBusyScope&) = delete;

    private:
        Tkataform& form_;
    };
    void setCommandsEnabled(bool enabled);

    TMainWindowServices* main_;
    int busy_ = 0;
    bool closePending_ = false;
    bool initialised_ = false;
    bool hasSelection_ = true;
    static constexpr int kProgressStep = 20;
    bool quietProgress_ = false;  // the thumbnail's own scaling reports nothing
    // A JPEG needs decoding only to a few times the thumbnail (see makeThumb).
    static constexpr int kThumbDecodeSide = 4 * ThumbSize;
    int shownProgress_ = -1;  // last percentage handed to the bar
};

// A new, empty catalog window in the main window's client area, shown and active. The
// caller gives it its caption (the untitled name, or the file name after loadCatalog).
Tkataform* CreateCatalogWindow(TMainWindowServices& mainWindow);

// Closing the main window while catalogs still add or load files: asks whether to stop
// them, and if so stops them and closes the main window again once every one has ended.
// True when this close has to wait (answered or not).
bool CatalogsHoldTheClose(TMainWindowServices& mainWindow);

// Binds the main window's catalog menu items to the active catalog window; each does
// nothing while another kind of window is active.
void ConnectCatalogMenu(TMainWindowServices& mainWindow);
