// The open dialog's full-size preview window and its size on the screen.
#include "imaging/dialogs/preview_form.h"

#include "imaging/view/image_kit_view.h"
#include "platform/graphics/bitmap.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace {

int sideFor(int image, int screen)
{
    if (image <= 100)
        return 100;
    if (image < screen)
        return image;
    return screen;
}

}  // namespace

QSize TPreviewForm::SizeFor(QSize image, QSize screen)
{
    return QSize(sideFor(image.width(), screen.width()), sideFor(image.height(), screen.height()));
}

TPreviewForm::TPreviewForm(TImageKitView* source, const QString& fileName, QWidget* parent) : QDialog(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(fileName + QStringLiteral(": "));
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = new TImageKitView(this);
    view_->setObjectName(QStringLiteral("ImageKitView"));
    layout->addWidget(view_);
    view_->SetMouseInteract(miZoom | miScroll);
    view_->Assign(source);
    view_->SetBackground(RGB(255, 255, 255));
    view_->SetBackgroundStyle(ikbsChessboard);
    view_->SetCenter(true);
    view_->SetScrollBars(ssBoth);

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const TBitmap* bitmap = view_->Bitmap();
    resize(SizeFor(QSize(bitmap->Width(), bitmap->Height()), area.size()));
    move(area.center() - rect().center());
}
