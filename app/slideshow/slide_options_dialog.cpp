// The slide-show options dialog: its controls and the block they edit.
#include "app/slideshow/slide_options_dialog.h"
#include "app/text/help_contexts.h"

#include "app/text/language.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "controls/buttons/spin_button.h"
#include "controls/edits/file_edit.h"
#include "controls/edits/num_edit.h"
#include "controls/edits/spin_edit.h"
#include "platform/core/exceptions.h"
#include "platform/core/rounding.h"
#include "platform/ui/application.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {


template <class T> T* named(T* w, const char* name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QRadioButton* radio(QWidget* parent, QLayout* layout, const char* name, const char* caption)
{
    auto* b = named(new QRadioButton(QString::fromUtf8(caption), parent), name);
    layout->addWidget(b);
    return b;
}

QCheckBox* check(QWidget* parent, QLayout* layout, const char* name, const char* caption)
{
    auto* b = named(new QCheckBox(QString::fromUtf8(caption), parent), name);
    layout->addWidget(b);
    return b;
}

// A radio group: a titled box whose buttons are its items, in order.
QGroupBox* radioGroup(QWidget* parent, const char* name, const char* caption, std::initializer_list<const char*> items,
                      QButtonGroup*& group)
{
    auto* box = named(new QGroupBox(QString::fromUtf8(caption), parent), name);
    auto* l = new QVBoxLayout(box);
    group = new QButtonGroup(box);
    int id = 0;
    for (const char* item : items) {
        auto* b = new QRadioButton(QString::fromUtf8(item), box);
        b->setObjectName(QStringLiteral("%1Item%2").arg(QLatin1String(name)).arg(id));
        group->addButton(b, id++);
        l->addWidget(b);
    }
    return box;
}

// Three exclusive buttons standing for the values 0, 1, 2: the first is whatever
// the other two are not.
int choice(QRadioButton* one, QRadioButton* two) { return two->isChecked() ? 2 : one->isChecked() ? 1 : 0; }

void choose(int value, QRadioButton* a, QRadioButton* b, QRadioButton* c)
{
    (value == 2 ? c : value == 1 ? b : a)->setChecked(true);
}

void chooseIndex(QButtonGroup* group, int index)
{
    QAbstractButton* b = group->button(index);
    if (!b)
        b = group->button(0);
    b->setChecked(true);
}

}  // namespace

Tslideform::Tslideform(QWidget* owner) : QDialog(owner)
{
    setObjectName(QLatin1String(ObjectName::SlideOptionsDialog::Form));
    setWindowTitle(QStringLiteral("Optionen für Diashow"));
    slideoptions = tslideshowoptions::Defaults();
    build();
}

Tslideform::~Tslideform() = default;

void Tslideform::build()
{
    auto* top = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    top->addLayout(row);
    row->addWidget(buildListGroups(), 1);
    pages = named(new QTabWidget(this), ObjectName::SlideOptionsDialog::PageControl1);
    pages->addTab(buildOutputPage(), QStringLiteral("&Ausgabe"));
    pages->addTab(buildNextPage(), QStringLiteral("&nächstes Bild"));
    pages->addTab(buildOptionsPage(), QStringLiteral("&Optionen"));
    row->addWidget(pages, 1);

    auto* buttons = new QHBoxLayout;
    top->addLayout(buttons);
    buttons->addStretch(1);
    playButton = named(new QPushButton(LangText(QStringLiteral("Diashow"), QStringLiteral("Slideshow")), this),
                       ObjectName::SlideOptionsDialog::Button5);
    cancelButton = named(new QPushButton(QStringLiteral("&Abbrechen"), this), ObjectName::SlideOptionsDialog::Button2);
    helpButton = named(new QPushButton(QStringLiteral("&Hilfe"), this), ObjectName::SlideOptionsDialog::Button1);
    playButton->setDefault(true);
    for (QPushButton* b : {playButton, cancelButton, helpButton})
        buttons->addWidget(b);

    auto on = [this](QAbstractButton* b, void (Tslideform::*handler)()) {
        connect(b, &QAbstractButton::clicked, this,
                [this, handler] { TApplication::Guard([&] { (this->*handler)(); }); });
    };
    on(playButton, &Tslideform::playClicked);
    connect(cancelButton, &QPushButton::clicked, this, [this] { done(ResultNone); });
    connect(helpButton, &QPushButton::clicked, this, [] { TApplication::HelpContext(hcSlideOptions); });
    on(loadListButton, &Tslideform::loadListClicked);
    on(saveListButton, &Tslideform::saveListClicked);
    on(addButton, &Tslideform::addClicked);
    on(deleteButton, &Tslideform::deleteClicked);
    on(deleteAllButton, &Tslideform::deleteAllClicked);
    on(selectAllTypesButton, &Tslideform::selectAllTypesClicked);
    moveButton->OnTopClick = [this](TObject*) { MoveFocused(-1); };
    moveButton->OnBottomClick = [this](TObject*) { MoveFocused(1); };
    for (QRadioButton* b :
         {listUnsortedRadio, listRandomRadio, listByNameRadio, dirUnsortedRadio, dirRandomRadio, dirByNameRadio})
        connect(b, &QRadioButton::clicked, this, [this] { SortList(); });
    connect(sourceGroup, &QButtonGroup::idClicked, this, [this] { EnableControls(); });
    for (QAbstractButton* b :
         std::initializer_list<QAbstractButton*>{fullScreenRadio, imageSizeRadio, fixedSizeRadio, fillCanvasRadio,
                                                 originalSizeRadio, fitCanvasRadio, playFileRadio, playCommentRadio,
                                                 noSoundRadio, afterSecondsCheck})
        connect(b, &QAbstractButton::toggled, this, [this] { EnableControls(); });
}

QWidget* Tslideform::buildListGroups()
{
    auto* page = new QWidget(this);
    auto* col = new QVBoxLayout(page);
    col->setContentsMargins(0, 0, 0, 0);
    sourceBox = radioGroup(page, ObjectName::SlideOptionsDialog::RadioGroup1, "Bilder aus",
                           {"Dateiliste", "Verzeichnis"}, sourceGroup);
    col->addWidget(sourceBox);

    listGroup =
        named(new QGroupBox(QStringLiteral("Bilder aus Dateiliste"), page), ObjectName::SlideOptionsDialog::GroupBox2);
    auto* g2 = new QGridLayout(listGroup);
    fileList = named(new QListWidget(listGroup), ObjectName::SlideOptionsDialog::ListBox1);
    fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    g2->addWidget(fileList, 0, 0, 6, 1);
    moveButton = named(new TKitSpinButton(listGroup), ObjectName::SlideOptionsDialog::SpinButton1);
    moveButton->setFixedSize(20, 40);
    g2->addWidget(moveButton, 0, 1);
    const std::pair<QPushButton**, std::pair<const char*, const char*>> buttons[] = {
        {&loadListButton, {ObjectName::SlideOptionsDialog::Button3, "Liste &Laden"}},
        {&saveListButton, {ObjectName::SlideOptionsDialog::Button4, "Liste &Speichern"}},
        {&addButton, {ObjectName::SlideOptionsDialog::Button6, "&Hinzufügen"}},
        {&deleteButton, {ObjectName::SlideOptionsDialog::Button7, "&Löschen"}},
        {&deleteAllButton, {ObjectName::SlideOptionsDialog::Button8, "&Alle Löschen"}},
    };
    auto* bl = new QVBoxLayout;
    for (const auto& [field, text] : buttons) {
        *field = named(new QPushButton(QString::fromUtf8(text.second), listGroup), text.first);
        bl->addWidget(*field);
    }
    bl->addStretch(1);
    g2->addLayout(bl, 1, 1, 5, 1);
    auto* sorts = new QHBoxLayout;
    listUnsortedRadio = radio(listGroup, sorts, ObjectName::SlideOptionsDialog::RadioButton1, "keine Sortierung");
    listRandomRadio = radio(listGroup, sorts, ObjectName::SlideOptionsDialog::RadioButton2, "Zufall");
    listByNameRadio = radio(listGroup, sorts, ObjectName::SlideOptionsDialog::RadioButton6, "Name");
    g2->addLayout(sorts, 6, 0, 1, 2);
    col->addWidget(listGroup, 1);

    directoryGroup =
        named(new QGroupBox(QStringLiteral("Bilder aus Verzeichnis"), page), ObjectName::SlideOptionsDialog::GroupBox6);
    auto* g6 = new QVBoxLayout(directoryGroup);
    auto* g7 =
        named(new QGroupBox(QStringLiteral("Verzeichnis"), directoryGroup), ObjectName::SlideOptionsDialog::GroupBox7);
    auto* l7 = new QVBoxLayout(g7);
    directoryEdit = named(new TDirectoryEdit(g7), ObjectName::SlideOptionsDialog::DirectoryEdit1);
    l7->addWidget(directoryEdit);
    subfoldersCheck = check(g7, l7, ObjectName::SlideOptionsDialog::CheckBox6, "Unterverzeichnisse einbeziehen");
    auto* dirSorts = new QHBoxLayout;
    dirUnsortedRadio = radio(g7, dirSorts, ObjectName::SlideOptionsDialog::RadioButton10, "keine Sortierung");
    dirRandomRadio = radio(g7, dirSorts, ObjectName::SlideOptionsDialog::RadioButton11, "Zufall");
    dirByNameRadio = radio(g7, dirSorts, ObjectName::SlideOptionsDialog::RadioButton12, "Name");
    l7->addLayout(dirSorts);
    g6->addWidget(g7);
    auto* g8 = named(new QGroupBox(QStringLiteral("Für Bildtypen:"), directoryGroup),
                     ObjectName::SlideOptionsDialog::GroupBox8);
    auto* l8 = new QGridLayout(g8);
    static const char* const typeCaptions[] = {
        "Jpeg (JPG)",           "Windows Bitmap (BMP)",   "PaintBrush (PCX)",
        "Tiff Bitmap (TIFF)",   "Windows Metafile (WMF)", "Windows E-Metafile (EMF)",
        "Microsoft Icon (ICO)", "Microsoft Cursor (CUR)", "PNG (PNG)"};
    for (int i = 0; i < 9; ++i) {
        TypeBoxes[size_t(i)] = new QCheckBox(QString::fromUtf8(typeCaptions[i]), g8);
        TypeBoxes[size_t(i)]->setObjectName(QStringLiteral("CheckBox%1").arg(7 + i));
        l8->addWidget(TypeBoxes[size_t(i)], i / 2, i % 2);
    }
    selectAllTypesButton =
        named(new QPushButton(QStringLiteral("A&lle markieren"), g8), ObjectName::SlideOptionsDialog::Button9);
    l8->addWidget(selectAllTypesButton, 4, 1);
    g6->addWidget(g8);
    g6->addStretch(1);
    col->addWidget(directoryGroup, 1);
    return page;
}

QWidget* Tslideform::buildOutputPage()
{
    auto* page = named(new QWidget(this), ObjectName::SlideOptionsDialog::TabSheet1);
    auto* col = new QVBoxLayout(page);
    auto* g3 = named(new QGroupBox(QStringLiteral("Leinwandgröße"), page), ObjectName::SlideOptionsDialog::GroupBox3);
    auto* l3 = new QGridLayout(g3);
    fullScreenRadio =
        named(new QRadioButton(QStringLiteral("Vollbild"), g3), ObjectName::SlideOptionsDialog::RadioButton3);
    imageSizeRadio =
        named(new QRadioButton(QStringLiteral("Bildgröße"), g3), ObjectName::SlideOptionsDialog::RadioButton4);
    fixedSizeRadio =
        named(new QRadioButton(QStringLiteral("Größe festlegen:"), g3), ObjectName::SlideOptionsDialog::RadioButton5);
    l3->addWidget(fullScreenRadio, 0, 0, 1, 3);
    l3->addWidget(imageSizeRadio, 1, 0, 1, 3);
    l3->addWidget(fixedSizeRadio, 2, 0, 1, 3);
    canvasWidthEdit = named(new TKitCalcEdit(g3), ObjectName::SlideOptionsDialog::KitCalcEdit1);
    canvasHeightEdit = named(new TKitCalcEdit(g3), ObjectName::SlideOptionsDialog::KitCalcEdit2);
    l3->addWidget(named(new QLabel(QStringLiteral("Breite"), g3), ObjectName::SlideOptionsDialog::Label2), 3, 0);
    l3->addWidget(canvasWidthEdit, 3, 1);
    l3->addWidget(new QLabel(QStringLiteral("Pixel"), g3), 3, 2);
    l3->addWidget(named(new QLabel(QStringLiteral("Höhe"), g3), ObjectName::SlideOptionsDialog::Label3), 4, 0);
    l3->addWidget(canvasHeightEdit, 4, 1);
    l3->addWidget(new QLabel(QStringLiteral("Pixel"), g3), 4, 2);
    for (TKitCalcEdit* e : {canvasWidthEdit, canvasHeightEdit}) {
        e->SetDecimalPlaces(0);
        e->SetMinValue(1);
        e->SetMaxValue(100000);
    }
    col->addWidget(g3);

    auto* g5 = named(new QGroupBox(QStringLiteral("Bildgröße"), page), ObjectName::SlideOptionsDialog::GroupBox5);
    auto* l5 = new QVBoxLayout(g5);
    originalSizeRadio = radio(g5, l5, ObjectName::SlideOptionsDialog::RadioButton8, "Originalgröße");
    fitCanvasRadio = radio(g5, l5, ObjectName::SlideOptionsDialog::RadioButton9, "Auf Leinwand anpassen");
    fillCanvasRadio = radio(g5, l5, ObjectName::SlideOptionsDialog::RadioButton7, "Bild füllt Leinwand");
    auto* fl = new QHBoxLayout;
    fl->addWidget(new QLabel(QStringLiteral("Filter"), g5));
    filterCombo = named(new QComboBox(g5), ObjectName::SlideOptionsDialog::ComboBox4);
    filterCombo->addItems({QStringLiteral("Keinen"), QStringLiteral("Triangle"), QStringLiteral("Hermite"),
                           QStringLiteral("Bell"), QStringLiteral("BSpline"), QStringLiteral("Lanczos3"),
                           QStringLiteral("Mitchell")});
    fl->addWidget(filterCombo, 1);
    l5->addLayout(fl);
    col->addWidget(g5);
    col->addStretch(1);
    return page;
}

QWidget* Tslideform::buildNextPage()
{
    auto* page = named(new QWidget(this), ObjectName::SlideOptionsDialog::TabSheet2);
    auto* col = new QVBoxLayout(page);
    auto* g1 = named(new QGroupBox(QStringLiteral("nächstes Bild"), page), ObjectName::SlideOptionsDialog::GroupBox1);
    auto* l1 = new QGridLayout(g1);
    afterSecondsCheck = named(new QCheckBox(QStringLiteral("nach"), g1), ObjectName::SlideOptionsDialog::CheckBox1);
    secondsEdit = named(new TKitCalcEdit(g1), ObjectName::SlideOptionsDialog::KitCalcEdit3);
    secondsEdit->SetDecimalPlaces(0);
    secondsEdit->SetMinValue(0);
    secondsEdit->SetMaxValue(2000000);
    l1->addWidget(afterSecondsCheck, 0, 0);
    l1->addWidget(secondsEdit, 0, 1);
    l1->addWidget(named(new QLabel(QStringLiteral("Sekunden"), g1), ObjectName::SlideOptionsDialog::Label1), 0, 2);
    l1->addWidget(named(new QLabel(QStringLiteral("(Pause mit \"S\"-Taste)"), g1),
                        ObjectName::SlideOptionsDialog::Label7),
                  1, 0, 1, 3);
    onKeyOrClickCheck = named(new QCheckBox(QStringLiteral("bei Leertaste- / Mausdruck"), g1),
                              ObjectName::SlideOptionsDialog::CheckBox2);
    l1->addWidget(onKeyOrClickCheck, 2, 0, 1, 3);
    col->addWidget(g1);
    orderBox = radioGroup(page, ObjectName::SlideOptionsDialog::RadioGroup3, "Reihenfolge",
                          {"wie Dateiliste", "umgekehrte Dateiliste", "nächstes Bild per Zufall"}, orderGroup);
    col->addWidget(orderBox);
    col->addStretch(1);
    return page;
}

QWidget* Tslideform::buildOptionsPage()
{
    auto* page = named(new QWidget(this), ObjectName::SlideOptionsDialog::TabSheet3);
    auto* col = new QVBoxLayout(page);
    repeatCheck = check(page, col, ObjectName::SlideOptionsDialog::CheckBox4, "nach Beenden wiederhohlen");
    hideMouseCheck = check(page, col, ObjectName::SlideOptionsDialog::CheckBox5, "Maus verstecken");
    hideTaskbarCheck = check(page, col, ObjectName::SlideOptionsDialog::CheckBox16, "Taskleiste verstecken");
    auto* tl = new QHBoxLayout;
    showCommentsCheck = check(page, tl, ObjectName::SlideOptionsDialog::CheckBox3, "Textkommentare zeigen");
    tl->addWidget(named(new QLabel(QStringLiteral("Schriftgröße"), page), ObjectName::SlideOptionsDialog::Label14));
    fontSizeEdit = named(new TKitSpinEdit(page), ObjectName::SlideOptionsDialog::SpinEdit1);
    fontSizeEdit->SetMinValue(1);
    fontSizeEdit->SetMaxValue(500);
    tl->addWidget(fontSizeEdit);
    col->addLayout(tl);
    auto* g4 = named(new QGroupBox(QStringLiteral("Sound"), page), ObjectName::SlideOptionsDialog::GroupBox4);
    auto* l4 = new QVBoxLayout(g4);
    playFileRadio = radio(g4, l4, ObjectName::SlideOptionsDialog::RadioButton13, "WAV / Midi-Datei abspielen:");
    soundFileEdit = named(new TFilenameEdit(g4), ObjectName::SlideOptionsDialog::FilenameEdit1);
    soundFileEdit->SetFilter(QStringLiteral("WAV / Midi (WAV;MID)|*.wav;*.mid;*.midi"));
    l4->addWidget(soundFileEdit);
    playCommentRadio =
        radio(g4, l4, ObjectName::SlideOptionsDialog::RadioButton14, "Tonkommentar abspielen (falls vorhanden)");
    noSoundRadio = radio(g4, l4, ObjectName::SlideOptionsDialog::RadioButton15, "Kein Sound");
    col->addWidget(g4);
    col->addStretch(1);
    return page;
}

void Tslideform::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!activated_)
        FormActivate();
}

void Tslideform::FormActivate()
{
    activated_ = true;
    fileList->clear();
    result_ = ResultNone;
    BlockToControls();
    try {
        SetListItems(ReadSlideList(SlideListFile));
    } catch (const Exception&) {
        // An unreadable list opens as an empty one; saving writes a fresh file.
    }
    SortList();
    EnableControls();
}

void Tslideform::BlockToControls()
{
    const tslideshowoptions& o = slideoptions;
    choose(o.sound, noSoundRadio, playFileRadio, playCommentRadio);
    choose(o.window, fullScreenRadio, imageSizeRadio, fixedSizeRadio);
    canvasWidthEdit->SetValue(o.fixedwidth);
    canvasHeightEdit->SetValue(o.fixedheight);
    chooseIndex(orderGroup, o.order);
    choose(o.scaling, originalSizeRadio, fitCanvasRadio, fillCanvasRadio);
    filterCombo->setCurrentIndex(o.filter >= 0 && o.filter < filterCombo->count() ? int(o.filter) : 0);
    secondsEdit->SetValue(o.seconds);
    choose(o.listsort, listUnsortedRadio, listRandomRadio, listByNameRadio);
    chooseIndex(sourceGroup, o.source);
    choose(o.dirsort, dirUnsortedRadio, dirRandomRadio, dirByNameRadio);
    fontSizeEdit->SetValue(o.fontsize);
    afterSecondsCheck->setChecked(o.nexttimed);
    onKeyOrClickCheck->setChecked(o.nextonkey);
    hideMouseCheck->setChecked(o.hidemouse);
    repeatCheck->setChecked(o.repeat);
    subfoldersCheck->setChecked(o.subdirs);
    hideTaskbarCheck->setChecked(o.hidetaskbar);
    showCommentsCheck->setChecked(o.showtext);
    soundFileEdit->setText(o.soundfile.Text());
    directoryEdit->setText(o.directory.Text());
    // The ".gif" flag (index 3) has no box.
    static const int kFlag[] = {0, 1, 2, 4, 5, 6, 7, 8, 9};
    for (int i = 0; i < 9; ++i)
        TypeBoxes[size_t(i)]->setChecked(o.types[size_t(kFlag[i])] != 0);
}

bool Tslideform::ControlsToBlock()
{
    const QString sound = soundFileEdit->text();
    const QString directory = directoryEdit->text();
    for (const QString& text : {sound, directory})
        if (!TShortString::Fits(text)) {
            LangShowMessage(QStringLiteral("Der Name ist zu lang (höchstens 255 Bytes):\n%1").arg(text),
                            QStringLiteral("The name is too long (at most 255 bytes):\n%1").arg(text));
            return false;
        }
    tslideshowoptions& o = slideoptions;
    o.sound = choice(playFileRadio, playCommentRadio);
    o.window = choice(imageSizeRadio, fixedSizeRadio);
    o.fixedwidth = Round(canvasWidthEdit->Value());
    o.fixedheight = Round(canvasHeightEdit->Value());
    o.order = std::max(0, orderGroup->checkedId());
    o.scaling = choice(fitCanvasRadio, fillCanvasRadio);
    o.filter = std::max(0, filterCombo->currentIndex());
    o.seconds = Round(secondsEdit->Value());
    o.listsort = choice(listRandomRadio, listByNameRadio);
    o.source = std::max(0, sourceGroup->checkedId());
    o.dirsort = choice(dirRandomRadio, dirByNameRadio);
    o.fontsize = Round(fontSizeEdit->Value());
    o.nexttimed = afterSecondsCheck->isChecked();
    o.nextonkey = onKeyOrClickCheck->isChecked();
    o.hidemouse = hideMouseCheck->isChecked();
    o.repeat = repeatCheck->isChecked();
    o.subdirs = subfoldersCheck->isChecked();
    o.hidetaskbar = hideTaskbarCheck->isChecked();
    o.showtext = showCommentsCheck->isChecked();
    o.soundfile.Assign(sound);
    o.directory.Assign(directory);
    static const int kFlag[] = {0, 1, 2, 4, 5, 6, 7, 8, 9};
    for (int i = 0; i < 9; ++i)
        o.types[size_t(kFlag[i])] = TypeBoxes[size_t(i)]->isChecked();
    return true;
}

void Tslideform::EnableControls()
{
    canvasWidthEdit->setEnabled(fixedSizeRadio->isChecked());
    canvasHeightEdit->setEnabled(fixedSizeRadio->isChecked());
    secondsEdit->setEnabled(afterSecondsCheck->isChecked());
    soundFileEdit->setEnabled(playFileRadio->isChecked());
    filterCombo->setEnabled(!originalSizeRadio->isChecked());
    const bool directory = sourceGroup->checkedId() == 1;
    directoryGroup->setVisible(directory);
    listGroup->setVisible(!directory);
}

void Tslideform::playClicked()
{
    if (!afterSecondsCheck->isChecked() && !onKeyOrClickCheck->isChecked()) {
        LangShowMessage(QStringLiteral("Bitte wählen Sie das nächste Bild entweder nach x Sekunden, bei Leertaste- / "
                                       "Mausdruck oder bei beiden."),
                        QStringLiteral("Please chosse either next Image after x seconds, when space / mousepointer "
                                       "pressed or both."));
        return;
    }
    if (!ControlsToBlock())
        return;
    WriteSlideList(SlideListFile, ListItems());
    result_ = ResultPlay;
    done(ResultPlay);
}

int RunSlideOptions(QWidget* owner, tslideshowoptions& options, const std::function<void(Tslideform&)>& prepare)
{
    Tslideform dlg(owner);
    TranslateForm(QLatin1String(ObjectName::SlideOptionsDialog::Form), &dlg);
    dlg.slideoptions = options;
    if (prepare)
        prepare(dlg);
    dlg.exec();
    const int result = dlg.Result();
    if (result > 0)
        options = dlg.slideoptions;
    return result;
}
