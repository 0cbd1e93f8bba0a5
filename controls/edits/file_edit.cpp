// The file and directory edits: names in the text and the dialogs their button opens.
#include "controls/edits/file_edit.h"

#include "controls/draw/draw_utils.h"
#include "controls/draw/kit_resources.h"
#include "controls/util/file_utils.h"
#include "controls/util/str_utils.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

QString FileNamePart(const QString& text)
{
    if (!text.isEmpty() && QFileInfo::exists(text))
        return text;
    return CommandLineItem(text, 0);
}

QString QuoteFileName(const QString& name)
{
    if (!name.contains(QLatin1Char(' ')) || name.startsWith(QLatin1Char('"')))
        return name;
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// ---- common ---------------------------------------------------------------------------

TFileDirEdit::TFileDirEdit(QWidget* parent) : TCustomComboEdit(parent) { SetGlyphKind(gkDefault); }

const TBitmap* TFileDirEdit::DefaultGlyphBitmap() const
{
    // Loaded once and shared by every file and directory edit.
    static const std::unique_ptr<TBitmap> glyph = LoadResourceBitmap(rmKit, TResId::Named(QStringLiteral("FEDITBMP")));
    return glyph.get();
}

void TFileDirEdit::SetAcceptFiles(bool on)
{
    acceptFiles_ = on;
    setAcceptDrops(on);
}

void TFileDirEdit::DoBeforeDialog(QString& name, bool& action)
{
    if (OnBeforeDialog)
        OnBeforeDialog(this, name, action);
}

void TFileDirEdit::DoAfterDialog(QString& name, bool& action)
{
    if (OnAfterDialog)
        OnAfterDialog(this, name, action);
}

void TFileDirEdit::DropNames(const QStringList& names)
{
    if (names.isEmpty())
        return;
    ForgetSelectedFiles();
    for (const QString& n : names) {
        ReceiveDroppedName(n);
        if (!multiple_)
            break;
    }
    if (OnDropFiles)
        OnDropFiles(this);
}

void TFileDirEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (acceptFiles_ && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        TCustomComboEdit::dragEnterEvent(event);
}

void TFileDirEdit::dropEvent(QDropEvent* event)
{
    if (!acceptFiles_ || !event->mimeData()->hasUrls()) {
        TCustomComboEdit::dropEvent(event);
        return;
    }
    QStringList names;
    for (const QUrl& u : event->mimeData()->urls())
        if (u.isLocalFile())
            names << u.toLocalFile();
    DropNames(names);
    event->acceptProposedAction();
}

// ---- file name --------------------------------------------------------------------------

TFilenameEdit::TFilenameEdit(QWidget* parent) : TFileDirEdit(parent)
{
    dialog_ = new TOpenDialog(this, fdOpen, false);
    dialog_->Title = QStringLiteral("Browse");
    dialog_->Filter = QStringLiteral("All files (*.*)|*.*");
    dialog_->Options = ofHideReadOnly;
}

void TFilenameEdit::SetDialogKind(TFileDialogKind kind)
{
    if (kind == kind_)
        return;
    kind_ = kind;
    auto* d = new TOpenDialog(this, kind == dkSave || kind == dkSavePicture ? fdSave : fdOpen,
                              kind == dkOpenPicture || kind == dkSavePicture);
    d->DefaultExt = dialog_->DefaultExt;
    d->FileEditStyle = dialog_->FileEditStyle;
    d->FileName = dialog_->FileName;
    d->Filter = dialog_->Filter;
    d->FilterIndex = dialog_->FilterIndex;
    d->InitialDir = dialog_->InitialDir;
    d->HistoryList = dialog_->HistoryList;
    d->Files = dialog_->Files;
    d->Options = dialog_->Options;
    d->Title = dialog_->Title;
    delete dialog_;
    dialog_ = d;
}

void TFilenameEdit::SetDialogOptions(TOpenOptions options)
{
    if (options == dialog_->Options)
        return;
    dialog_->Options = options;
    SetMultipleNames(options & ofAllowMultiSelect);
    if (!(options & ofAllowMultiSelect))
        ForgetSelectedFiles();
}

void TFilenameEdit::SetFileName(const QString& name)
{
    if (!name.isEmpty() && !ValidFileName(FileNamePart(name)))
        throw EComboEditError(QStringLiteral("Invalid file name - %1").arg(name));
    setText(QuoteFileName(name));
    ForgetSelectedFiles();
}

void TFilenameEdit::ButtonClick()
{
    if (ReadOnly())
        return;
    EditButtonPressed();
    QString name = FileNamePart(text());
    bool action = true;
    DoBeforeDialog(name, action);
    if (!action)
        return;
    if (ValidFileName(name)) {
        const QFileInfo fi(name);
        if (DirExists(fi.path()))
            dialog_->InitialDir = fi.path();
        if (!ValidFileName(fi.fileName()))
            name.clear();
        dialog_->FileName = name;
    }
    dialog_->HelpContext = HelpContext;
    action = dialog_->Execute();
    if (action)
        name = dialog_->FileName;
    if (isEnabled())
        setFocus(Qt::OtherFocusReason);
    DoAfterDialog(name, action);
    if (action) {
        setText(QuoteFileName(name));
        dialog_->InitialDir = QFileInfo(dialog_->FileName).path();
    }
}

QString TFilenameEdit::LongNameOf() const { return LongPathOf(FileName()); }
QString TFilenameEdit::ShortNameOf() const { return ShortPathOf(FileName()); }

void TFilenameEdit::ForgetSelectedFiles() { dialog_->Files.clear(); }

void TFilenameEdit::ReceiveDroppedName(const QString& name)
{
    // Whole paths: nothing is cut.
    if (!MultipleNames()) {
        SetFileName(name);
        return;
    }
    if (dialog_->Files.isEmpty())
        SetFileName(name);
    dialog_->Files << name;
}

// ---- directory --------------------------------------------------------------------------

TDirectoryEdit::TDirectoryEdit(QWidget* parent) : TFileDirEdit(parent) {}

void TDirectoryEdit::addName(const QString& name)
{
    if (MultipleDirs() && !text().isEmpty())
        setText(text() + QLatin1Char(';') + name);
    else
        setText(name);
}

void TDirectoryEdit::ButtonClick()
{
    if (ReadOnly())
        return;
    EditButtonPressed();
    QString name = text();
    bool action = true;
    DoBeforeDialog(name, action);
    if (action) {
        if (name.isEmpty())
            name = InitialDir;
        if (name.isEmpty() || !DirExists(name))
            name = QStringLiteral("/");
        if (NewStyleControls() && DialogKind == dkWin32)
            action = BrowseDirectory(name, DialogText, HelpContext);
        else
            action = SelectDirectory(name, DialogOptions, HelpContext);
    }
    if (isEnabled())
        setFocus(Qt::OtherFocusReason);
    DoAfterDialog(name, action);
    if (action) {
        deselect();
        addName(name);
        if (!name.isEmpty() && DirExists(name))
            InitialDir = name;
    }
}

void TDirectoryEdit::ReceiveDroppedName(const QString& name)
{
    const QFileInfo fi(name);
    if (fi.isFile())
        addName(fi.absolutePath() + QLatin1Char('/'));
    else
        addName(name);
}

static QString convertList(const QString& text, bool multiple, QString (*convert)(const QString&))
{
    if (!multiple)
        return convert(text);
    QStringList out;
    int pos = 1;
    const QString sep = QStringLiteral(";");
    while (pos <= text.size()) {
        const QString item = convert(NextItem(text, pos, sep));
        if (!item.isEmpty())
            out << item;
    }
    return out.join(sep);
}

QString TDirectoryEdit::LongNameOf() const { return convertList(text(), MultipleDirs(), LongPathOf); }
QString TDirectoryEdit::ShortNameOf() const { return convertList(text(), MultipleDirs(), ShortPathOf); }
