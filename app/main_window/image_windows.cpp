// New image and catalog windows, their untitled captions, and fitting a window to its image.
#include "app/catalog/catalog_window.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/text/language.h"
#include "app/text/translation.h"
#include "imaging/kit/image_kit.h"
#include "imaging/ruler/ruler_box.h"
#include "platform/core/exceptions.h"
#include "platform/ui/application.h"

#include <QComboBox>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>

Tchild* Tform1::addImageWindow()
{
    auto* child = new Tchild(this);
    // Its effects, colour and format dialogs speak the program's language.
    child->imageKit->SetMsgLanguage(LibraryLanguage());
    QMdiSubWindow* sub = mdi_->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    const QSize area = mdi_->viewport()->size();
    sub->resize(std::max(320, area.width() * 3 / 4), std::max(240, area.height() * 3 / 4));
    child->imageKit->installEventFilter(this);
    sub->show();
    // Where the area places it, but wholly inside what can be seen of the area.
    const QSize size = sub->size().boundedTo(area);
    sub->setGeometry(QRect(QPoint(std::clamp(sub->x(), 0, std::max(area.width() - size.width(), 0)),
                                  std::clamp(sub->y(), 0, std::max(area.height() - size.height(), 0))),
                           size));
    return child;
}

Tchild* Tform1::NewImageWindow()
{
    Tchild* child = addImageWindow();
    child->imageKit->IOParams().FileName.clear();
    child->setWindowTitle(QString());
    child->imageKit->SetBackground(TColor(options.newbackground & 0xFFFFFF));
    child->imageKit->Proc()->UndoLimit = options.undodepth;
    // The current mouse mode, cursor and tool; the stored ones only before any is chosen.
    if (drawing_->MouseModeCode() < 0 || drawing_->ToolCode() < 0)
        drawing_->RestoreModesAndTools();
    drawing_->ApplyMouseMode();
    return child;
}

QWidget* Tform1::newCatalogWindow()
{
    Tkataform* k = CreateCatalogWindow(*this);
    k->setWindowTitle(QString());
    return k;
}

int Tform1::NextUntitledNumber() const
{
    const QString prefix = TranslatedCaption(QStringLiteral("!unbenannt")).toLower();
    const QList<QWidget*> children = MDIChildren();
    int largest = 0;
    for (qsizetype i = children.size() - 1; i >= 0; --i) {
        const QString caption = children[i]->windowTitle().toLower();
        if (!caption.startsWith(prefix))
            continue;
        // The digits read before the first other character count, as far as they go.
        int64_t n = 0;
        for (qsizetype k = prefix.size(); k < caption.size() && caption[k].isDigit(); ++k)
            n = std::min<int64_t>(n * 10 + caption[k].digitValue(), 1'000'000'000);
        largest = std::max(largest, int(n));
    }
    return largest + 1;
}

QString Tform1::UntitledCaption() const
{
    return TranslatedCaption(QStringLiteral("!unbenannt")) + QString::number(NextUntitledNumber());
}

void Tform1::fitWindowToImage(QObject* sender, Tchild* image)
{
    QMdiSubWindow* sub = image ? qobject_cast<QMdiSubWindow*>(image->parentWidget()) : nullptr;
    if (!sub || sub->isMinimized() || sub->isMaximized())
        return;
    image->LaidOutForImage();
    const QSize main = mdi_->viewport()->size();
    const int avail = main.height();  // the bars sit outside the client area here
    // What the rulers, the status bar and the gaps between them take: the window's size less
    // the view's, so that the view gets exactly its extent whatever the layout's spacing.
    const int extraH = image->height() - image->imageKit->height();
    const int extraW = image->width() - image->imageKit->width();
    // The frame around the child's client area.
    const int frameW = sub->width() - image->width();
    const int frameH = sub->height() - image->height();
    QRect r(sub->pos(),
            QSize(extraW + image->imageKit->ExtentWidth() + frameW, extraH + image->imageKit->ExtentHeight() + frameH));
    // A small image still gets a window that shows its status line whole and that the
    // sub-window's title bar does not widen later, so the bounds below see its real size.
    r.setSize(r.size().expandedTo(sub->minimumSizeHint()).expandedTo(QSize(image->StatusLineWidth() + frameW, 0)));
    r.moveTopLeft(QPoint(std::max(r.left(), 0), std::max(r.top(), 0)));
    if (r.right() + 1 > main.width() - 20) {
        r.moveLeft(0);
        if (r.width() > main.width() - 20)
            r.setSize(QSize(main.width() - 20, r.height() + 15));
    }
    if (r.bottom() + 1 > avail - 15) {
        r.moveTop(0);
        if (r.height() > avail - 15)
            r.setHeight(avail - 15);
    }
    sub->setGeometry(r);
    image->viewChanged(sender, -1);
}

void Tform1::fitWindowToImageTwice(QObject* sender, Tchild* image)
{
    fitWindowToImage(sender, image);
    fitWindowToImage(sender, image);
}

Tchild* Tform1::imageWindowOf(QWidget* window) { return qobject_cast<Tchild*>(window); }
