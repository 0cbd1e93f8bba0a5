// What the commands ask of the window they run in (TCommandHost).
#pragma once
#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class QObject;
class QWidget;
class Tchild;
class TImageKitIO;
class TIOParamsVals;
class tautomatitem;
struct toptions;
struct tsaveparams;
struct TDecodedPicture;

// The main window as the interpreter and the command table see it: its children, its
// settings and the parts of it the commands change.
class TCommandHost {
public:
    // The window that owns the commands' windows and is the sender of their view changes.
    virtual QWidget* Window() = 0;
    virtual toptions& Options() = 0;

    // Children: the active one, new image windows (with the view options, or plain ones
    // without), catalogs.
    virtual QWidget* ActiveMDIChild() const = 0;
    virtual void ActivateChild(QWidget* child) = 0;
    virtual Tchild* NewImageWindow() = 0;
    virtual Tchild* NewPlainImageWindow() = 0;
    virtual void ApplyViewOptions(Tchild* image) = 0;
    virtual QString UntitledCaption() const = 0;
    // A new, empty catalog window, shown and active; null when none could be made.
    virtual QWidget* NewCatalogWindow() = 0;
    // A catalog window on fileName, its entries loaded and maintained as the options say.
    virtual void OpenCatalog(const QString& fileName) = 0;
    virtual void FitWindowToImage(QObject* sender, Tchild* image) = 0;
    // Both passes: the second sees the scroll bars the first one added or removed.
    virtual void FitWindowToImageTwice(QObject* sender, Tchild* image) = 0;
    // The zoom box set to the window's size, as if the user had chosen it.
    virtual void ZoomToWindow() = 0;

    // Recording: every record that runs is kept as its block while this is on.
    virtual bool IsRecording() const = 0;
    virtual void SetRecording(bool recording) = 0;
    virtual std::vector<QByteArray>& RecordedBlocks() = 0;

    // A picture decoded before the open of fileName asked for it (at start-up, read as
    // params would read it, or by a batch); null when there is none for that name.
    virtual std::unique_ptr<TDecodedPicture> TakeStartupPicture(const QString& fileName,
                                                                const TIOParamsVals& params) = 0;
    virtual TDecodedPicture* TakeHandedOver(const QString& fileName) = 0;
    // Where a batch wants load errors instead of a message box; null when none.
    virtual QString* LoadErrorSink() const = 0;

    // The save parameters the save command uses from now on.
    virtual void AssignSaveParams(const tsaveparams& block) = 0;
    virtual void ChangeWallpaper(const QString& fileName, bool tiled) = 0;
    // The input/output component the scanner selection uses.
    virtual TImageKitIO& SharedIO() = 0;
    // The comment commands (record, text, delete, play, import) on image.
    virtual void RunComment(const tautomatitem& item, Tchild* image) = 0;

    virtual void UpdateAvailability(bool closing) = 0;
    virtual void ResetProgress() = 0;

protected:
    ~TCommandHost() = default;
};
