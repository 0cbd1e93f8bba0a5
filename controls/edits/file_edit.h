// File name and directory edits with a browse button.
#pragma once
#include "controls/edits/combo_edit.h"
#include "platform/core/exceptions.h"
#include "platform/ui/file_dialogs.h"

KANDRIVEL_EXCEPTION(EComboEditError, Exception)

enum TFileDialogKind { dkOpen, dkSave, dkOpenPicture, dkSavePicture };
enum TDirDialogKind { dkVCL, dkWin32 };

using TExecOpenDialogEvent = std::function<void(TObject* Sender, QString& Name, bool& Action)>;

// The text when a file of that name exists, else the first item of the text taken as a
// command line (quotes removed).
QString FileNamePart(const QString& text);
// The name in double quotes when it holds a blank and does not start with a quote.
QString QuoteFileName(const QString& name);

// Base of the file and directory edits: dropped names and the dialog notifications.
class TFileDirEdit : public TCustomComboEdit {
    Q_OBJECT
public:
    explicit TFileDirEdit(QWidget* parent = nullptr);

    bool AcceptFiles() const { return acceptFiles_; }
    void SetAcceptFiles(bool on);
    int HelpContext = 0;
    TExecOpenDialogEvent OnBeforeDialog;
    TExecOpenDialogEvent OnAfterDialog;
    TNotifyEvent OnDropFiles;

    virtual QString LongNameOf() const = 0;
    virtual QString ShortNameOf() const = 0;
    // Takes dropped paths whole: only the first unless several names are allowed.
    void DropNames(const QStringList& names);

protected:
    const TBitmap* DefaultGlyphBitmap() const override;
    virtual void ReceiveDroppedName(const QString& name) = 0;
    virtual void ForgetSelectedFiles() {}
    virtual void DoBeforeDialog(QString& name, bool& action);
    virtual void DoAfterDialog(QString& name, bool& action);
    bool MultipleNames() const { return multiple_; }
    void SetMultipleNames(bool on) { multiple_ = on; }

    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool acceptFiles_ = false;
    bool multiple_ = false;
};

// A file name with a button that runs the open or save dialog.
class TFilenameEdit : public TFileDirEdit {
    Q_OBJECT
public:
    explicit TFilenameEdit(QWidget* parent = nullptr);

    TFileDialogKind DialogKind() const { return kind_; }
    void SetDialogKind(TFileDialogKind kind);
    // The owned dialog holding DefaultExt, FileEditStyle, Filter, FilterIndex,
    // InitialDir, HistoryList, options and title.
    TOpenDialog* Dialog() const { return dialog_; }
    QString Filter() const { return dialog_->Filter; }
    void SetFilter(const QString& f) { dialog_->Filter = f; }
    QString InitialDir() const { return dialog_->InitialDir; }
    void SetInitialDir(const QString& d) { dialog_->InitialDir = d; }
    QString DefaultExt() const { return dialog_->DefaultExt; }
    void SetDefaultExt(const QString& e) { dialog_->DefaultExt = e; }
    int FilterIndex() const { return dialog_->FilterIndex; }
    void SetFilterIndex(int i) { dialog_->FilterIndex = i; }
    QString DialogTitle() const { return dialog_->Title; }
    void SetDialogTitle(const QString& t) { dialog_->Title = t; }
    TOpenOptions DialogOptions() const { return dialog_->Options; }
    void SetDialogOptions(TOpenOptions options);

    QString FileName() const { return FileNamePart(text()); }
    // Raises EComboEditError for a name that is not a valid file name.
    void SetFileName(const QString& name);

    void ButtonClick() override;
    QString LongNameOf() const override;
    QString ShortNameOf() const override;

protected:
    void ReceiveDroppedName(const QString& name) override;
    void ForgetSelectedFiles() override;

private:
    TFileDialogKind kind_ = dkOpen;
    TOpenDialog* dialog_ = nullptr;
};

// A directory (or a ";"-separated list of them) with a button that runs a chooser.
class TDirectoryEdit : public TFileDirEdit {
    Q_OBJECT
public:
    explicit TDirectoryEdit(QWidget* parent = nullptr);

    TDirDialogKind DialogKind = dkVCL;
    QString DialogText;
    TSelectDirOpts DialogOptions = 0;
    QString InitialDir;
    bool MultipleDirs() const { return MultipleNames(); }
    void SetMultipleDirs(bool on) { SetMultipleNames(on); }

    void ButtonClick() override;
    QString LongNameOf() const override;
    QString ShortNameOf() const override;

protected:
    void ReceiveDroppedName(const QString& name) override;

private:
    void addName(const QString& name);
};
