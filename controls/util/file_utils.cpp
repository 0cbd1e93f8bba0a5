// Directory and file name checks, path forms and the folder browse dialog.
#include "controls/util/file_utils.h"

#include "controls/draw/draw_utils.h"
#include "platform/ui/application.h"
#include "platform/ui/control.h"
#include "platform/ui/file_dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QStandardPaths>

bool DirExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo fi(path);
    return fi.exists() && fi.isDir();
}

bool ValidFileName(const QString& name)
{
    static const QString bad = QStringLiteral("<>\"[]|");
    if (name.isEmpty())
        return false;
    for (QChar c : name)
        if (bad.contains(c))
            return false;
    return true;
}

QString RemoveTrailingSlash(const QString& path)
{
    if (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        return path.left(path.size() - 1);
    return path;
}

static QString rebuildPath(const QString& path)
{
    const QStringList parts = path.split(QLatin1Char('/'));
    if (parts.size() < 2)
        return path;  // no separator: nothing to look up
    // The part before the first separator stays (empty for an absolute path).
    QStringList out{parts.first()};
    QString prefix = parts.first();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString element = parts[i];
        const QString folder = prefix.isEmpty() ? QStringLiteral("/") : prefix;
        QString found;
        if (!element.isEmpty() && element != QLatin1String(".") && element != QLatin1String("..")) {
            if (QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System).contains(element))
                found = element;
        } else {
            found = element;
        }
        out << found;
        prefix += QLatin1Char('/') + element;
    }
    return out.join(QLatin1Char('/'));
}

QString LongPathOf(const QString& path) { return rebuildPath(path); }
QString ShortPathOf(const QString& path) { return rebuildPath(path); }

std::function<bool(TBrowseFolderDlg&)> TBrowseFolderDlg::ExecuteHook;

TBrowseFolderDlg::TBrowseFolderDlg(QObject* owner) : QObject(owner) {}

QString TBrowseFolderDlg::RootFolder() const
{
    if (BrowseKind == bfFolders && DesktopRoot) {
        const QString desk = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        if (DirExists(desk))
            return desk;
    }
    return QStringLiteral("/");
}

bool TBrowseFolderDlg::Execute()
{
    if (ExecuteHook)
        return ExecuteHook(*this);
    QFileDialog dlg(QApplication::activeWindow(), DialogText);
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setOption(QFileDialog::ShowDirsOnly, true);
    dlg.setFileMode(QFileDialog::Directory);
    // Preselect only a folder that exists; otherwise the tree starts at its root.
    dlg.setDirectory(DirExists(FolderName) ? FolderName : RootFolder());
    if (HelpContext != 0) {
        if (auto* box = dlg.findChild<QDialogButtonBox*>()) {
            QPushButton* help = box->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
            const int ctx = HelpContext;
            connect(help, &QPushButton::clicked, &dlg, [ctx] { TApplication::HelpContext(ctx); });
        }
    }
    connect(&dlg, &QFileDialog::currentChanged, this, [this](const QString& path) {
        if (OnSelChanged)
            OnSelChanged(this, path);
    });
    dialog_ = &dlg;
    struct Forget {
        QFileDialog*& d;
        ~Forget() { d = nullptr; }
    } forget{dialog_};
    if (Position == dpScreenCenter) {
        dlg.adjustSize();
        CenterWindowOnScreen(&dlg);
    }
    if (OnInitialized)
        OnInitialized(this);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = dlg.selectedFiles();
    if (chosen.isEmpty())
        return false;
    FolderName = RemoveTrailingSlash(chosen.first());
    return true;
}

bool BrowseDirectory(QString& directory, const QString& title, int helpContext)
{
    if (!NewStyleControls())
        return SelectDirectory(directory, 0, helpContext);
    TBrowseFolderDlg dlg;
    dlg.DialogText = title;
    dlg.FolderName = directory;
    dlg.HelpContext = helpContext;
    if (!dlg.Execute())
        return false;
    directory = dlg.FolderName;
    return true;
}
