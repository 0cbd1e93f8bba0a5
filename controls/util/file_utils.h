// File and directory helpers of the kit, and the folder browse dialog.
#pragma once
#include "platform/core/events.h"

#include <QObject>
#include <QString>
#include <functional>

class QFileDialog;

// True when the path names an existing directory.
bool DirExists(const QString& path);
// Not empty and free of the six characters < > " [ ] |.
bool ValidFileName(const QString& name);
// A path longer than one character loses its trailing "/"; the root "/" stays.
QString RemoveTrailingSlash(const QString& path);
// The path rebuilt element by element from what the file system holds: every element
// is looked up in the folder before it, and one that cannot be found becomes empty.
// Linux has no separate short names, so both forms come out the same.
QString LongPathOf(const QString& path);
QString ShortPathOf(const QString& path);

enum TBrowseKind { bfFolders, bfComputers };
enum TDialogPosition { dpDefault, dpScreenCenter };

// The folder browser: a directory chooser over QFileDialog. Browsing for computers has
// no meaning here and shows folders.
class TBrowseFolderDlg : public QObject {
    Q_OBJECT
public:
    explicit TBrowseFolderDlg(QObject* owner = nullptr);

    TBrowseKind BrowseKind = bfFolders;
    bool DesktopRoot = true;
    QString DialogText;
    QString FolderName;
    int HelpContext = 0;
    TDialogPosition Position = dpScreenCenter;
    TNotifyEvent OnInitialized;
    std::function<void(TObject* Sender, const QString& Folder)> OnSelChanged;

    // Runs the dialog modally; on confirmation FolderName is the chosen folder
    // without a trailing slash.
    bool Execute();
    // Tests answer the dialog instead of showing it (same contract as Execute).
    static std::function<bool(TBrowseFolderDlg&)> ExecuteHook;
    // The dialog while it runs (null otherwise).
    QFileDialog* Dialog() const { return dialog_; }
    // Where the tree starts: the desktop folder with DesktopRoot when there is one, else "/".
    QString RootFolder() const;

private:
    QFileDialog* dialog_ = nullptr;
};

// Lets the user pick a directory; on OK the directory is replaced and true returned.
bool BrowseDirectory(QString& directory, const QString& title, int helpContext);
