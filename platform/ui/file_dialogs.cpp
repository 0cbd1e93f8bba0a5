// The open, save and directory dialogs over QFileDialog.
#include "platform/ui/file_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

std::function<bool(TOpenDialog&)> TOpenDialog::ExecuteHook;

namespace {
std::function<bool(QString&)> g_selectDirHook;
}

TOpenDialog::TOpenDialog(QObject* owner, TFileDialogMode mode, bool picture)
    : QObject(owner), mode_(mode), picture_(picture)
{}

QStringList TOpenDialog::QtFilters(const QString& filter)
{
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        }
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' ')));
    }
    return out;
}

bool TOpenDialog::Execute()
{
    const bool ok = ExecuteHook ? ExecuteHook(*this) : runQtDialog();
    // A name typed without an extension gets the default one; only the file's own
    // name counts, a folder with a dot in it does not.
    if (ok && mode_ == fdSave && !DefaultExt.isEmpty() && !FileName.isEmpty() &&
        QFileInfo(FileName).suffix().isEmpty() && !FileName.endsWith(QLatin1Char('.'))) {
        const QString named = FileName + QLatin1Char('.') + DefaultExt;
        if (!Files.isEmpty() && Files.first() == FileName)
            Files.first() = named;
        FileName = named;
    }
    return ok;
}

bool TOpenDialog::runQtDialog()
{
    QFileDialog dlg(QApplication::activeWindow(), Title);
    dlg.setAcceptMode(mode_ == fdSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (mode_ == fdOpen)
        dlg.setFileMode((Options & ofAllowMultiSelect) ? QFileDialog::ExistingFiles
                        : (Options & ofFileMustExist)  ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    if (!InitialDir.isEmpty())
        dlg.setDirectory(InitialDir);
    const QStringList filters = QtFilters(Filter);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        if (FilterIndex >= 1 && FilterIndex <= filters.size())
            dlg.selectNameFilter(filters[FilterIndex - 1]);
    }
    if (!DefaultExt.isEmpty())
        dlg.setDefaultSuffix(DefaultExt);
    if (!FileName.isEmpty())
        dlg.selectFile(FileName);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    Files = dlg.selectedFiles();
    FileName = Files.isEmpty() ? QString() : Files.first();
    const int index = filters.indexOf(dlg.selectedNameFilter());
    if (index >= 0)
        FilterIndex = index + 1;
    return true;
}

void SetSelectDirectoryHook(std::function<bool(QString&)> hook) { g_selectDirHook = std::move(hook); }

bool SelectDirectory(QString& directory, TSelectDirOpts, int)
{
    if (g_selectDirHook)
        return g_selectDirHook(directory);
    const QString chosen = QFileDialog::getExistingDirectory(QApplication::activeWindow(), QString(), directory);
    if (chosen.isEmpty())
        return false;
    directory = chosen;
    return true;
}
