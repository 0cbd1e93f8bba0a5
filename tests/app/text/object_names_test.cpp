// Every object-name constant finds its control in the real main window and dialogs.
#include "app/text/object_names.h"

#include "app/batch/batch_dialog.h"
#include "app/batch/batch_source_dialog.h"
#include "app/catalog/catalog_window.h"
#include "app/comments/sound_comment_dialog.h"
#include "app/dialogs/black_white_dialog.h"
#include "app/dialogs/color_reduce_dialog.h"
#include "app/forms/color_select_dialog.h"
#include "app/dialogs/histogram_dialog.h"
#include "app/dialogs/merge_dialog.h"
#include "app/dialogs/new_image_dialog.h"
#include "app/dialogs/rotate_dialog.h"
#include "app/dialogs/welcome_window.h"
#include "app/image_window/drawing_style_picker.h"
#include "app/options/options_dialog.h"
#include "app/print/print_dialog.h"
#include "app/slideshow/slide_options_dialog.h"
#include "app/slideshow/slide_player.h"
#include "app/video/video_import_dialog.h"
#include "app/app_test_util.h"

#include <functional>
#include <memory>
#include <vector>

namespace {

#define OBJECT_NAME_ENTRY(name) #name,

// One window and the names it must carry: the window's own name (empty where the names
// belong to a part several windows share) and the X-macro list of its controls.
struct NamedWindow {
    const char* what;
    const char* form;
    std::vector<const char*> controls;
    std::function<std::unique_ptr<QWidget>(Tform1&)> make;
};

template <class W, class... A> std::function<std::unique_ptr<QWidget>(Tform1&)> plain(A... args)
{
    return [=](Tform1&) { return std::unique_ptr<QWidget>(new W(args...)); };
}

class ObjectNames : public MainWindowTest {};

// Every constant names a real object of its window, so neither a renamed member nor a
// rebuilt form can silently leave translation or tests looking for nothing.
TEST_F(ObjectNames, EveryConstantResolvesToAnObjectOfItsWindow)
{
    Tform1& main = make();
    EXPECT_EQ(main.objectName(), QLatin1String(ObjectName::MainWindow::Form));
    for (const char* name : {OBJECT_NAMES_MAINWINDOW(OBJECT_NAME_ENTRY)})
        EXPECT_NE(main.findChild<QObject*>(QLatin1String(name)), nullptr) << "main window: " << name;

    static const tslideshowoptions slides = tslideshowoptions::Defaults();
    const std::vector<NamedWindow> windows = {
        {"image window",
         ObjectName::ImageWindow::Form,
         {OBJECT_NAMES_IMAGEWINDOW(OBJECT_NAME_ENTRY)},
         [](Tform1& f) { return std::make_unique<Tchild>(&f); }},
        {"drawing style picker",
         ObjectName::DrawingStylePicker::Form,
         {OBJECT_NAMES_DRAWINGSTYLEPICKER(OBJECT_NAME_ENTRY)},
         plain<Tzeichenform>()},
        {"catalog",
         ObjectName::CatalogWindow::Form,
         {OBJECT_NAMES_CATALOGWINDOW(OBJECT_NAME_ENTRY)},
         [](Tform1& f) { return std::make_unique<Tkataform>(&f); }},
        {"options",
         ObjectName::OptionsDialog::Form,
         {OBJECT_NAMES_OPTIONSDIALOG(OBJECT_NAME_ENTRY)},
         [](Tform1& f) { return std::make_unique<Toptionform>(f.options, QString()); }},
        {"slide options",
         ObjectName::SlideOptionsDialog::Form,
         {OBJECT_NAMES_SLIDEOPTIONSDIALOG(OBJECT_NAME_ENTRY)},
         plain<Tslideform>()},
        {"slide player",
         ObjectName::SlidePlayer::Form,
         {OBJECT_NAMES_SLIDEPLAYER(OBJECT_NAME_ENTRY)},
         [](Tform1&) { return std::make_unique<Tdoslide>(nullptr, slides); }},
        {"black and white",
         ObjectName::BlackWhiteDialog::Form,
         {OBJECT_NAMES_BLACKWHITEDIALOG(OBJECT_NAME_ENTRY) OBJECT_NAMES_PREVIEWPAIR(OBJECT_NAME_ENTRY)},
         plain<Tblackwhiteform>()},
        {"colour reduction",
         ObjectName::ColorReduceDialog::Form,
         {OBJECT_NAMES_COLORREDUCEDIALOG(OBJECT_NAME_ENTRY) OBJECT_NAMES_PREVIEWPAIR(OBJECT_NAME_ENTRY)},
         plain<Tfarbredform>()},
        {"rotation",
         ObjectName::RotateDialog::Form,
         {OBJECT_NAMES_ROTATEDIALOG(OBJECT_NAME_ENTRY) OBJECT_NAMES_PREVIEWPAIR(OBJECT_NAME_ENTRY)},
         plain<TfRotate>()},
        {"colour selection",
         ObjectName::ColorSelectDialog::Form,
         {OBJECT_NAMES_COLORSELECTDIALOG(OBJECT_NAME_ENTRY)},
         plain<TfColorSel>()},
        {"histogram",
         ObjectName::HistogramDialog::Form,
         {OBJECT_NAMES_HISTOGRAMDIALOG(OBJECT_NAME_ENTRY)},
         plain<TfHistogram>()},
        {"merge", ObjectName::MergeDialog::Form, {OBJECT_NAMES_MERGEDIALOG(OBJECT_NAME_ENTRY)}, plain<TfMergeDialog>()},
        {"new image",
         ObjectName::NewImageDialog::Form,
         {OBJECT_NAMES_NEWIMAGEDIALOG(OBJECT_NAME_ENTRY)},
         plain<TNeuGrafik>()},
        {"welcome",
         ObjectName::WelcomeWindow::Form,
         {OBJECT_NAMES_WELCOMEWINDOW(OBJECT_NAME_ENTRY)},
         [](Tform1& f) { return std::make_unique<Tinfoform>(f.options, QString()); }},
        {"sound comment",
         ObjectName::SoundCommentDialog::Form,
         {OBJECT_NAMES_SOUNDCOMMENTDIALOG(OBJECT_NAME_ENTRY)},
         plain<Tkomform>()},
        {"video import",
         ObjectName::VideoImportDialog::Form,
         {OBJECT_NAMES_VIDEOIMPORTDIALOG(OBJECT_NAME_ENTRY)},
         [](Tform1& f) { return std::make_unique<Tvideoform>(f); }},
        {"batch", ObjectName::BatchDialog::Form, {OBJECT_NAMES_BATCHDIALOG(OBJECT_NAME_ENTRY)}, plain<Tautoform>()},
        {"batch source",
         ObjectName::BatchSourceDialog::Form,
         {OBJECT_NAMES_BATCHSOURCEDIALOG(OBJECT_NAME_ENTRY)},
         [](Tform1&) { return std::make_unique<Taufverzform>(tverzdialog::Defaults()); }},
        {"print",
         ObjectName::PrintDialog::Form,
         {OBJECT_NAMES_PRINTDIALOG(OBJECT_NAME_ENTRY)},
         [](Tform1& f) { return std::make_unique<Tprintform>(f); }},
    };
    for (const NamedWindow& w : windows) {
        std::unique_ptr<QWidget> window = w.make(main);
        ASSERT_NE(window, nullptr) << w.what;
        EXPECT_EQ(window->objectName(), QLatin1String(w.form)) << w.what;
        EXPECT_FALSE(w.controls.empty()) << w.what;
        for (const char* name : w.controls)
            EXPECT_NE(window->findChild<QObject*>(QLatin1String(name)), nullptr) << w.what << ": " << name;
    }
}

}  // namespace
