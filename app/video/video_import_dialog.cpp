// The video import dialog: live video, frozen frames and their import as images.
#include "app/video/video_import_dialog.h"

#include "app/image_window/image_window.h"
#include "app/services/main_window_services.h"
#include "app/commands/command_record.h"
#include "app/options/options.h"
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

template <class W>
W* named(W* w, const char* name)
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

} // namespace

Tvideoform::Tvideoform(TMainWindowServices& main, QWidget* owner) : QDialog(owner), main_(main)
{
    setObjectName(QStringLiteral("videoform"));
    setWindowTitle(QStringLiteral("Video"));
    ImageKitVideoView2 = named(new TImageKitVideoView(this), "ImageKitVideoView2");
    ImageKitVideoView2->setFixedSize(320, 240);

    auto* settings = named(new QGroupBox(QStringLiteral("Einstellungen"), this), "GroupBox1");
    ComboBox1 = named(new QComboBox(settings), "ComboBox1");
    Button5 = button(settings, "Button5", "&Quelle");
    Button4 = button(settings, "Button4", "&Format");
    Button6 = button(settings, "Button6", "&Display");
    CheckBox1 = named(new QCheckBox(QStringLiteral("Overlay"), settings), "CheckBox1");
    auto* sl = new QVBoxLayout(settings);
    sl->addWidget(named(new QLabel(QStringLiteral("Treiber"), settings), "Label1"));
    sl->addWidget(ComboBox1);
    auto* dialogs = new QHBoxLayout;
    dialogs->addWidget(Button5);
    dialogs->addWidget(Button4);
    dialogs->addWidget(Button6);
    sl->addLayout(dialogs);
    sl->addWidget(CheckBox1);

    auto* window = named(new QGroupBox(QStringLiteral("&Videofenster"), this), "GroupBox2");
    SpeedButton2 = button(window, "SpeedButton2", "&Video an", true);
    SpeedButton1 = button(window, "SpeedButton1", "&Bild Einfrieren", true);
    Label6 = named(new QLabel(window), "Label6");
    auto* wl = new QVBoxLayout(window);
    wl->addWidget(SpeedButton2);
    wl->addWidget(SpeedButton1);
    auto* size = new QHBoxLayout;
    size->addWidget(named(new QLabel(QStringLiteral("Videogröße:"), window), "Label5"));
    size->addWidget(Label6, 1);
    wl->addLayout(size);

    Button1 = button(this, "Button1", "&Bild importieren");
    Button2 = button(this, "Button2", "B&eenden");
    Button3 = button(this, "Button3", "&Hilfe");
    auto* side = new QVBoxLayout;
    side->addWidget(settings);
    side->addWidget(window);
    side->addStretch(1);
    side->addWidget(Button1);
    side->addWidget(Button2);
    side->addWidget(Button3);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(ImageKitVideoView2, 1, Qt::AlignTop);
    layout->addLayout(side);

    auto guarded = [this](void (Tvideoform::*fn)()) { return [this, fn] { TApplication::Guard([this, fn] { (this->*fn)(); }); }; };
    connect(ComboBox1, &QComboBox::activated, this, guarded(&Tvideoform::ComboBox1Change));
    connect(SpeedButton2, &QPushButton::clicked, this, guarded(&Tvideoform::SpeedButton2Click));
    connect(SpeedButton1, &QPushButton::clicked, this, guarded(&Tvideoform::SpeedButton1Click));
    connect(CheckBox1, &QCheckBox::clicked, this, guarded(&Tvideoform::CheckBox1Click));
    connect(Button5, &QPushButton::clicked, this, guarded(&Tvideoform::Button5Click));
    connect(Button4, &QPushButton::clicked, this, guarded(&Tvideoform::Button4Click));
    connect(Button6, &QPushButton::clicked, this, guarded(&Tvideoform::Button6Click));
    connect(Button1, &QPushButton::clicked, this, guarded(&Tvideoform::Button1Click));
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, [] { TApplication::HelpContext(HelpButtonContext); });
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
    ImageKitVideoView2->SetShowVideo(false);
    QDialog::done(result);
}

void Tvideoform::FormActivate()
{
    SpeedButton1->setChecked(false);
    SpeedButton2->setChecked(false);
    ImageKitVideoView2->SetFreeze(false);
    ImageKitVideoView2->SetShowVideo(false);
    {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->clear();
        ComboBox1->addItems(ImageKitVideoView2->VideoSourceList());
        ComboBox1->setCurrentIndex(ImageKitVideoView2->VideoSource() < ComboBox1->count() ? ImageKitVideoView2->VideoSource() : -1);
    }
    showSize();
}

void Tvideoform::showSize()
{
    const TRect r = ImageKitVideoView2->GetVideoSize();
    const int w = r.Right + 1, h = r.Bottom + 1;
    if (w <= 0 || h <= 0) {
        Label6->clear();
        return;
    }
    Label6->setText(QStringLiteral("%1 x %2").arg(w).arg(h));
    if (h < w)
        ImageKitVideoView2->setFixedSize(320, h * 320 / w);
    else
        ImageKitVideoView2->setFixedSize(w * 320 / h, 320);
    ImageKitVideoView2->Bitmap()->SetSize(ImageKitVideoView2->ClientWidth(), ImageKitVideoView2->ClientHeight());
    ImageKitVideoView2->Update();
}

void Tvideoform::ComboBox1Change()
{
    if (ImageKitVideoView2->ShowVideo())
        ImageKitVideoView2->SetShowVideo(false);
    ImageKitVideoView2->SetVideoSource(ComboBox1->currentIndex());
    FormActivate();
}

void Tvideoform::SpeedButton2Click()
{
    SpeedButton1->setChecked(false);
    ImageKitVideoView2->SetFreeze(false);
    try {
        ImageKitVideoView2->SetShowVideo(SpeedButton2->isChecked());
    } catch (...) {
        SpeedButton2->setChecked(false);
        throw;
    }
}

void Tvideoform::SpeedButton1Click() { ImageKitVideoView2->SetFreeze(SpeedButton1->isChecked()); }

void Tvideoform::CheckBox1Click() { ImageKitVideoView2->SetDisplayMode(CheckBox1->isChecked() ? dmOverlay : dmPreview); }

void Tvideoform::Button5Click()
{
    ImageKitVideoView2->ShowVideoSourceDialog();
    showSize();
}

void Tvideoform::Button4Click()
{
    ImageKitVideoView2->ShowVideoFormatDialog();
    showSize();
}

void Tvideoform::Button6Click() { ImageKitVideoView2->ShowVideoDisplayDialog(); }

void Tvideoform::Button1Click()
{
    if (importing_)
        return;
    TImageKitVideoView* v = ImageKitVideoView2;
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
        c->ImageKit1->Bitmap()->Assign(*v->Bitmap());
        c->ImageKit1->Update();
        main_.FitWindowToImage(this, c);
    }
    if (!wasFrozen)
        v->SetFreeze(false);
}

void RunVideoImport(TMainWindowServices& main)
{
    Tvideoform form(main, main.Window());
    TranslateForm(QStringLiteral("videoform"), &form);
    form.exec();
}
