// The document behind an image window: file name, modified state, save parameters, saving.
#pragma once
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class TDetachedSave;
class TImageKit;
class TIOParamsVals;

// How a save ended. Only Saved clears the modified state; a window may close on nothing
// else. Pending: handed to SaveBehind, not yet written.
enum class TSaveOutcome { Saved, Cancelled, Failed, Pending };

// One image's document state. The parameters live in the image component's input/output
// record, which loads fill; the document is the one place that writes them to a file and
// the one place the file name and the modified flag change.
class TImageDocument {
public:
    explicit TImageDocument(TImageKit& kit) : kit_(kit) {}
    TImageDocument(const TImageDocument&) = delete;
    TImageDocument& operator=(const TImageDocument&) = delete;

    // The file the image was loaded from or last saved to; empty while untitled.
    QString FileName() const;
    void SetFileName(const QString& fileName);
    bool Untitled() const { return FileName().isEmpty(); }

    bool Modified() const { return modified_; }
    void SetModified(bool modified);

    // The parameters the image will be saved with.
    TIOParamsVals& SaveParams();

    // Writes the image to fileName with its save parameters. Saved: the document takes the
    // name and is no longer modified. Failed: name, flag and the file on disk stay as they
    // were, and error (when given) holds the reason.
    TSaveOutcome Save(const QString& fileName, QString* error = nullptr);

    // While set, Save does what must happen on this thread and hands the encoding to
    // this, ending Pending: the file, the name and the modified flag stay as they were
    // until whoever took it commits it and calls SavedBehind (or drops it).
    std::function<void(std::unique_ptr<TDetachedSave> save)> SaveBehind;
    // A save handed to SaveBehind was committed under fileName.
    void SavedBehind(const QString& fileName);

    // The outcome of the last Save since ForgetLastSave, none when none ran. Lets a caller
    // that saves through a recorded command learn what happened.
    std::optional<TSaveOutcome> LastSave() const { return lastSave_; }
    void ForgetLastSave() { lastSave_.reset(); }

    // What the document was, to be put back when a step after a save fails.
    struct TState {
        QString fileName;
        bool modified = false;
    };
    TState State() const { return {FileName(), modified_}; }
    void Restore(const TState& state);

    // Told after the modified flag changed.
    std::function<void()> OnModifiedChanged;

private:
    TImageKit& kit_;
    bool modified_ = false;
    std::optional<TSaveOutcome> lastSave_;
};
