// The open and save dialogs (TOpenDialog) and the directory selection.
#pragma once
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

enum TOpenOption : unsigned {
    ofReadOnly = 1u << 0,
    ofOverwritePrompt = 1u << 1,
    ofHideReadOnly = 1u << 2,
    ofNoChangeDir = 1u << 3,
    ofShowHelp = 1u << 4,
    ofNoValidate = 1u << 5,
    ofAllowMultiSelect = 1u << 6,
    ofExtensionDifferent = 1u << 7,
    ofPathMustExist = 1u << 8,
    ofFileMustExist = 1u << 9,
    ofCreatePrompt = 1u << 10
};
using TOpenOptions = unsigned;
enum TFileEditStyle { fsEdit, fsComboBox };
enum TFileDialogMode { fdOpen, fdSave };

// The class library's open and save dialogs over QFileDialog. Filters are written the
// old way, "Description|*.a;*.b|...", FilterIndex counting from 1.
class TOpenDialog : public QObject {
    Q_OBJECT
public:
    explicit TOpenDialog(QObject* owner = nullptr, TFileDialogMode mode = fdOpen, bool picture = false);

    TFileDialogMode Mode() const { return mode_; }
    bool Picture() const { return picture_; }

    QString DefaultExt;
    TFileEditStyle FileEditStyle = fsEdit;
    QString FileName;
    QString Filter;
    int FilterIndex = 1;
    QString InitialDir;
    QStringList HistoryList;
    QStringList Files;
    TOpenOptions Options = ofHideReadOnly;
    QString Title;
    int HelpContext = 0;

    // Shows the dialog modally; on OK fills FileName and Files and returns true. A save
    // dialog appends DefaultExt to a name given without an extension.
    bool Execute();

    // Tests answer the dialog instead of showing it: the hook sees the dialog, may set
    // FileName and Files, and returns what Execute returns.
    static std::function<bool(TOpenDialog&)> ExecuteHook;

    // "Text|*.a;*.b" as Qt's "Text (*.a *.b)" list; "*.*" becomes "*".
    static QStringList QtFilters(const QString& filter);

private:
    bool runQtDialog();
    TFileDialogMode mode_;
    bool picture_;
};

enum TSelectDirOpt : unsigned { sdAllowCreate = 1u << 0, sdPerformCreate = 1u << 1, sdPrompt = 1u << 2 };
using TSelectDirOpts = unsigned;

// The class library's directory selection; on OK the directory is replaced by the choice.
bool SelectDirectory(QString& directory, TSelectDirOpts options, int helpContext);
// Test hook for SelectDirectory (same contract).
void SetSelectDirectoryHook(std::function<bool(QString& directory)> hook);
