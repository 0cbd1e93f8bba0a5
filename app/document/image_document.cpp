// The image document's state and its one save.
#include "app/document/image_document.h"

#include "imaging/io/image_kit_io.h"
#include "imaging/kit/image_kit.h"
#include "platform/ui/application.h"

QString TImageDocument::FileName() const { return kit_.IOParams().FileName; }

void TImageDocument::SetFileName(const QString& fileName) { kit_.IOParams().FileName = fileName; }

void TImageDocument::SetModified(bool modified)
{
    if (modified_ == modified)
        return;
    modified_ = modified;
    if (OnModifiedChanged)
        OnModifiedChanged();
}

TIOParamsVals& TImageDocument::SaveParams() { return kit_.IOParams(); }

TSaveOutcome TImageDocument::Save(const QString& fileName, QString* error)
{
    lastSave_ = TSaveOutcome::Failed;
    try {
        if (SaveBehind) {
            if (std::unique_ptr<TDetachedSave> save = kit_.IO()->DetachSave(fileName)) {
                SaveBehind(std::move(save));
                lastSave_ = TSaveOutcome::Pending;
                return *lastSave_;
            }
        } else {
            kit_.IO()->SaveToFile(fileName);
        }
    } catch (const std::exception& e) {
        // The writer went through a temporary file: the old file is untouched.
        if (error)
            *error = TApplication::ExceptionText(e);
        return *lastSave_;
    }
    if (kit_.IO()->Aborting) {
        // A stopped writer leaves the old file; the image keeps its edits and its name.
        lastSave_ = TSaveOutcome::Cancelled;
        return *lastSave_;
    }
    SavedBehind(fileName);
    return *lastSave_;
}

void TImageDocument::SavedBehind(const QString& fileName)
{
    SetFileName(fileName);
    SetModified(false);
    lastSave_ = TSaveOutcome::Saved;
}

void TImageDocument::Restore(const TState& state)
{
    SetFileName(state.fileName);
    SetModified(state.modified);
}
