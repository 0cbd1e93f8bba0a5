// The save dialog (TSaveImageKitDialog).
#pragma once
#include "imaging/dialogs/open_dialog.h"

#include <QPointer>
#include <memory>

class TImageKitIO;
class TIOParamsVals;

enum TIKSaveDlgOptItem : unsigned { sdShowPreview = 1u << 0, sdShowAdvanced = 1u << 1 };
using TIKSaveDlgOpt = unsigned;

// The save dialog: the same panels, the file name's extension kept in step with the
// chosen filter, and an Advanced button that edits the format parameters of an attached
// input/output component. A cancelled run puts those parameters back as they were.
class TSaveImageKitDialog : public TOpenImageKitDialog {
    Q_OBJECT
public:
    explicit TSaveImageKitDialog(QObject* owner = nullptr);
    ~TSaveImageKitDialog() override;

    bool Execute() override;

    TIKSaveDlgOpt ExOptions = sdShowPreview | sdShowAdvanced;

    // The component whose parameters Advanced edits. Only an input/output component is
    // taken; anything else, null included, leaves the old value.
    QObject* AttachedImageKitIO() const;
    void SetAttachedImageKitIO(QObject* component);
    // The copy of the attached parameters taken when Execute starts.
    const TIOParamsVals& SavedParams() const { return *saved_; }

    // Opens the format parameter dialog on the pages for the current name's extension
    // (else DefaultExt); nothing for other extensions or without a component.
    void AdvancedClick();
    // The pages for an extension or default extension; 0 when neither names a format.
    static int AdvancedPageSet(const QString& fileName, const QString& defaultExt);

protected:
    // Replaces the last extension in the file-name box by the filter's.
    virtual void UpdateExtension();
    void TypeChanged() override;
    QString TypedNameSuffix() const override;

private:
    QPointer<QObject> attached_;
    TIOParamsVals* attachedParams() const;
    std::unique_ptr<TIOParamsVals> saved_;
};
