// The video import dialog: live video, frozen frames and their import as images.
#include "app/video/video_import_dialog.h"

#include "app/image_window/image_window.h"
#include "app/services/main_window_services.h"
#include "app/commands/command_record.h"
#include "app/options/options.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "imaging/kit/image_kit.h"
#include "imaging/view/video_view.h"
#include "platform/ui/application.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

template <class W> W* named(W* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, bool toggle = false)
{
    auto* b = named(new QPushButton(QString::fromUtf8(caption), parent), name);
    b->setCheckable(toggle);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

Tvideoform::Tvideoform(TMainWindowServices& main, QWidget* owner) : QDialog(owner), main_(main)
{
    setObjectName(QLatin1String(ObjectName::VideoImportDialog::Form));
    setWindowTitle(QStringLiteral("Video"));
    videoView = named(new TImageKitVideoView(this), ObjectName::VideoImportDialog::ImageKitVideoView2);
    // No frame: the view's size is its client size, so that a frame of the displayed size
    // freezes into the bitmap as it came (a frame would take two pixels off each side).
    videoView->SetBorderStyle(bsNone);
    videoView->setFixedSize(320, 240);

    auto* settings =
        named(new QGroupBox(QStringLiteral("Einstellungen"), this), ObjectName::VideoImportDialog::GroupBox1);
    driverCombo = named(new QComboBox(settings), ObjectName::VideoImportDialog::ComboBox1);
    sourceButton = button(settings, ObjectName::VideoImportDialog::Button5, "&Quelle");
    formatButton = button(settings, ObjectName::VideoImportDialog::Button4, "&Format");
    displayButton = button(settings, ObjectName::VideoImportDialog::Button6, "&Display");
    overlayCheck = named(new QCheckBox(QStringLiteral("Overlay"), settings), ObjectName::VideoImportDialog::CheckBox1);
    auto* sl = new QVBoxLayout(settings);
    sl->addWidget(named(new QLabel(QStringLiteral("Treiber"), settings), ObjectName::VideoImportDialog::Label1));
    sl->addWidget(driverCombo);
    auto* dialogs = new QHBoxLayout;
    dialogs->addWidget(sourceButton);
    dialogs->addWidget(formatButton);
    dialogs->addWidget(displayButton);
    sl->addLayout(dialogs);
    sl->addWidget(overlayCheck);

    auto* window =
        named(new QGroupBox(QStringLiteral("&Videofenster"), this), ObjectName::VideoImportDialog::GroupBox2);
    videoOnButton = button(window, ObjectName::VideoImportDialog::SpeedButton2, "&Video an", true);
    freezeButton = button(window, ObjectName::VideoImportDialog::SpeedButton1, "&Bild Einfrieren", true);
    sizeLabel = named(new QLabel(window), ObjectName::VideoImportDialog::Label6);
    auto* wl = new QVBoxLayout(window);
    wl->addWidget(videoOnButton);
    wl->addWidget(freezeButton);
    auto* size = new QHBoxLayout;
    size->addWidget(named(new QLabel(QStringLiteral("Videogröße:"), window), ObjectName::VideoImportDialog::Label5));
    size->addWidget(sizeLabel, 1);
    wl->addLayout(size);

    importButton = button(this, ObjectName::VideoImportDialog::Button1, "&Bild importieren");
    closeButton = button(this, ObjectName::VideoImportDialog::Button2, "B&eenden");
    helpButton = button(this, ObjectName::VideoImportDialog::Button3, "&Hilfe");
    auto* side = new QVBoxLayout;
    side->addWidget(settings);
    side->addWidget(window);
    side->addStretch(1);
    side->addWidget(importButton);
    side->addWidget(closeButton);
    side->addWidget(helpButton);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(videoView, 1, Qt::AlignTop);
    layout->addLayout(side);

    auto guarded = [this](void (Tvideoform::*fn)()) {
        return [this, fn] { TApplication::Guard([this, fn] { (this->*fn)(); }); };
    };
    connect(driverCombo, &QComboBox::activated, this, guarded(&Tvideoform::driverChanged));
    connect(videoOnButton, &QPushButton::clicked, this, guarded(&Tvideoform::videoOnClicked));
    connect(freezeButton, &QPushButton::clicked, this, guarded(&Tvideoform::freezeClicked));
    connect(overlayCheck, &QCheckBox::clicked, this, guarded(&Tvideoform::previewClicked));
    connect(sourceButton, &QPushButton::clicked, this, guarded(&Tvideoform::sourceClicked));
    connect(formatButton, &QPushButton::clicked, this, guarded(&Tvideoform::formatClicked));
    connect(displayButton, &QPushButton::clicked, this, guarded(&Tvideoform::displayClicked));
    connect(importButton, &QPushButton::clicked, this, guarded(&Tvideoform::importClicked));
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [] { TApplication::HelpContext(HelpButtonContext); });
}

Tvideoform::~Tvideoform() = default;

void Tvideoform::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    TApplication::Guard([this] { FormActivate(); });
}

void Tvideoform::done(int result)
{
    // Closing always ends live video, whichever way the window goes.
    videoView->SetShowVideo(false);
    QDialog::done(result);
}

void Tvideoform::FormActivate()
{
    freezeButton->setChecked(false);
    videoOnButton->setChecked(false);
    videoView->SetFreeze(false);
    videoView->SetShowVideo(false);
    {
        const QSignalBlocker block(driverCombo);
        driverCombo->clear();
        driverCombo->addItems(videoView->VideoSourceList());
        driverCombo->setCurrentIndex(videoView->VideoSource() < driverCombo->count() ? videoView->VideoSource() : -1);
    }
    showSize();
}

void Tvideoform::showSize()
{
    const TRect r = videoView->GetVideoSize();
    const int w = r.Right + 1, h = r.Bottom + 1;
    if (w <= 0 || h <= 0) {
        sizeLabel->clear();
        return;
    }
    sizeLabel->setText(QStringLiteral("%1 x %2").arg(w).arg(h));
    if (h < w)
        videoView->setFixedSize(320, h * 320 / w);
    else
        videoView->setFixedSize(w * 320 / h, 320);
    videoView->Bitmap()->SetSize(videoView->ClientWidth(), videoView->ClientHeight());
    videoView->Update();
}

void Tvideoform::driverChanged()
{
    if (videoView->ShowVideo())
        videoView->SetShowVideo(false);
    videoView->SetVideoSource(driverCombo->currentIndex());
    FormActivate();
}

void Tvideoform::videoOnClicked()
{
    freezeButton->setChecked(false);
    videoView->SetFreeze(false);
    try {
        videoView->SetShowVideo(videoOnButton->isChecked());
    } catch (...) {
        videoOnButton->setChecked(false);
        throw;
    }
}

void Tvideoform::freezeClicked() { videoView->SetFreeze(freezeButton->isChecked()); }

void Tvideoform::previewClicked() { videoView->SetDisplayMode(overlayCheck->isChecked() ? dmOverlay : dmPreview); }

void Tvideoform::sourceClicked()
{
    videoView->ShowVideoSourceDialog();
    showSize();
}

void Tvideoform::formatClicked()
{
    videoView->ShowVideoFormatDialog();
    showSize();
}

void Tvideoform::displayClicked() { videoView->ShowVideoDisplayDialog(); }

void Tvideoform::importClicked()
{
    if (importing_)
        return;
    TImageKitVideoView* v = videoView;
    const bool wasFrozen = v->Frozen();
    if (v->ShowVideo() && !wasFrozen) {
        v->FreezeFrame();
        // The device hands its next frame over when it comes (within its own time limit):
        // events run meanwhile, and this form may be closed and freed under them.
        if (v->FreezePending()) {
            QPointer<Tvideoform> alive(this);
            importing_ = true;
            QEventLoop wait;
            QTimer poll;
            connect(&poll, &QTimer::timeout, &wait, [&] {
                if (!alive || !v->FreezePending())
                    wait.quit();
            });
            poll.start(10);
            wait.exec();
            if (!alive)
                return;
            importing_ = false;
        }
    }
    main_.Record().SetArg(1, 100);
    main_.Record().SetArg(2, 100);
    main_.Record().SetArg(3, main_.Options().neudialog.background);
    main_.RunCode(cmdNewImage);
    if (auto* c = qobject_cast<Tchild*>(main_.ActiveMDIChild())) {
        c->imageKit->Bitmap()->Assign(*v->Bitmap());
        c->imageKit->Update();
        main_.FitWindowToImage(this, c);
    }
    if (!wasFrozen)
        v->SetFreeze(false);
}

void RunVideoImport(TMainWindowServices& main)
{
    Tvideoform form(main, main.Window());
    TranslateForm(QLatin1String(ObjectName::VideoImportDialog::Form), &form);
    form.exec();
}
