// What the features (batch, catalog, slide show, print, comments, video) may ask of the
// main window; they hold this instead of the whole window.
#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <vector>

class QAction;
class QObject;
class tautomatitem;
struct toptions;
struct tsaveparams;
class QMdiArea;
class TCommandDialogs;
class TFeatureRoutes;
class Tchild;
class TThrottledProgress;
struct TDecodedPicture;
enum class TSaveOutcome;

class TMainWindowServices {
public:
    // The window that owns dialogs, progress and messages of the features.
    virtual QWidget* Window() = 0;
    // The forms commands open (tests give ones that watch instead).
    virtual TCommandDialogs& Dialogs() = 0;
    // The settings of the whole run; stored when the main window closes.
    virtual toptions& Options() = 0;

    // The MDI children, and the one commands act on.
    virtual QMdiArea* ClientArea() const = 0;
    virtual QList<QWidget*> MDIChildren() const = 0;
    virtual QWidget* ActiveMDIChild() const = 0;
    virtual void ActivateChild(QWidget* child) = 0;
    // Commands act on the pinned child whichever one the user activates; unpin with
    // PinChild(nullptr, false).
    virtual void PinChild(QWidget* child, bool pinned = true) = 0;
    virtual Tchild* NewImageWindow() = 0;
    virtual QString UntitledCaption() const = 0;
    // The window's frame fitted to its image (and the zoom to the frame).
    virtual void FitWindowToImage(QObject* sender, Tchild* image) = 0;
    // Opens each file as the open command does, with the events running.
    virtual void OpenFiles(const QStringList& files) = 0;
    virtual void AddToHistory(const QString& fileName) = 0;

    // The command record: a command's bytes it does not write keep the previous
    // command's values, so features fill this one and run it.
    virtual tautomatitem& Record() = 0;
    virtual void RunRecord(QObject* sender, const tautomatitem& item) = 0;
    void RunCode(uint8_t code);
    // Recording: every record that runs is kept as its block while this is on.
    virtual bool IsRecording() const = 0;
    virtual void SetRecording(bool recording) = 0;
    virtual std::vector<QByteArray>& RecordedBlocks() = 0;

    // Saves the image as the menu's Save does (an untitled one asks for its name).
    virtual TSaveOutcome SaveImage(Tchild* image) = 0;
    // Saves the image under fileName with block through the recorded save command; a
    // failure's reason lands in error when given, else the user is shown it.
    virtual TSaveOutcome RunSave(Tchild* image, const QString& fileName, const tsaveparams& block,
                                 QString* error = nullptr) = 0;
    // The save parameters of the active image, or of the batch dialog's picker.
    virtual void ActiveSaveParams(tsaveparams& block) = 0;
    virtual void DialogSaveParams(tsaveparams& block) = 0;

    // The next open takes this picture instead of reading its file, but only when it
    // opens `fileName`; load errors of opens land in errorSink while one is set.
    virtual void HandOverDecoded(TDecodedPicture* picture, const QString& fileName) = 0;
    virtual void SetLoadErrorSink(QString* errorSink) = 0;

    // What the bars and menus show.
    virtual void UpdateAvailability(bool closing) = 0;
    virtual QAction* Item(const QString& name) const = 0;
    // The command's availability; a control that is not wired stays disabled.
    virtual void SetAvailable(QObject* control, bool on) = 0;
    virtual void ShowProgress(QObject* sender, int percent) = 0;
    virtual void ResetProgress() = 0;
    // The bar's throttle, held by long work that shows its own steps; may be null.
    virtual TThrottledProgress* ProgressThrottle() = 0;
    virtual void ShowStatus(const QString& text) = 0;
    // The open dialogs' filters.
    virtual QString ImageFilterWithoutCatalogs() const = 0;
    virtual QString WaveFilter() const = 0;

    // The other features' commands a feature starts; null where the host routes none.
    virtual TFeatureRoutes* Routes() { return nullptr; }

protected:
    ~TMainWindowServices() = default;
};
