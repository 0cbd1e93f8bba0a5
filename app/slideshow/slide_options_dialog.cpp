// The slide-show options dialog: its controls and the block they edit.
#include "app/slideshow/slide_options_dialog.h"
#include "app/text/help_contexts.h"

#include "app/text/language.h"
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


template <class T>
T* named(T* w, const char* name)
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
QGroupBox* radioGroup(QWidget* parent, const char* name, const char* caption,
                      std::initializer_list<const char*> items, QButtonGroup*& group)
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

} // namespace

Tslideform::Tslideform(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("slideform"));
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
    PageControl1 = named(new QTabWidget(this), "PageControl1");
    PageControl1->addTab(buildOutputPage(), QStringLiteral("&Ausgabe"));
    PageControl1->addTab(buildNextPage(), QStringLiteral("&nächstes Bild"));
    PageControl1->addTab(buildOptionsPage(), QStringLiteral("&Optionen"));
    row->addWidget(PageControl1, 1);

    auto* buttons = new QHBoxLayout;
    top->addLayout(buttons);
    buttons->addStretch(1);
    Button5 = named(new QPushButton(LangText(QStringLiteral("Diashow"), QStringLiteral("Slideshow")), this),
                    "Button5");
    Button2 = named(new QPushButton(QStringLiteral("&Abbrechen"), this), "Button2");
    Button1 = named(new QPushButton(QStringLiteral("&Hilfe"), this), "Button1");
    Button5->setDefault(true);
    for (QPushButton* b : {Button5, Button2, Button1})
        buttons->addWidget(b);

    auto on = [this](QAbstractButton* b, void (Tslideform::*handler)()) {
        connect(b, &QAbstractButton::clicked, this, [this, handler] { TApplication::Guard([&] { (this->*handler)(); }); });
    };
    on(Button5, &Tslideform::PlayClick);
    connect(Button2, &QPushButton::clicked, this, [this] { done(ResultNone); });
    connect(Button1, &QPushButton::clicked, this, [] { TApplication::HelpContext(hcSlideOptions); });
    on(Button3, &Tslideform::LoadListClick);
    on(Button4, &Tslideform::SaveListClick);
    on(Button6, &Tslideform::AddClick);
    on(Button7, &Tslideform::DeleteClick);
    on(Button8, &Tslideform::DeleteAllClick);
    on(Button9, &Tslideform::SelectAllTypesClick);
    SpinButton1->OnTopClick = [this](TObject*) { MoveFocused(-1); };
    SpinButton1->OnBottomClick = [this](TObject*) { MoveFocused(1); };
    for (QRadioButton* b : {RadioButton1, RadioButton2, RadioButton6, RadioButton10, RadioButton11, RadioButton12})
        connect(b, &QRadioButton::clicked, this, [this] { SortList(); });
    connect(sourceGroup, &QButtonGroup::idClicked, this, [this] { EnableControls(); });
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{RadioButton3, RadioButton4, RadioButton5,
                                                                      RadioButton7, RadioButton8, RadioButton9,
                                                                      RadioButton13, RadioButton14, RadioButton15,
                                                                      CheckBox1})
        connect(b, &QAbstractButton::toggled, this, [this] { EnableControls(); });
}

QWidget* Tslideform::buildListGroups()
{
    auto* page = new QWidget(this);
    auto* col = new QVBoxLayout(page);
    col->setContentsMargins(0, 0, 0, 0);
    RadioGroup1 = radioGroup(page, "RadioGroup1", "Bilder aus", {"Dateiliste", "Verzeichnis"}, sourceGroup);
    col->addWidget(RadioGroup1);

    GroupBox2 = named(new QGroupBox(QStringLiteral("Bilder aus Dateiliste"), page), "GroupBox2");
    auto* g2 = new QGridLayout(GroupBox2);
    ListBox1 = named(new QListWidget(GroupBox2), "ListBox1");
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    g2->addWidget(ListBox1, 0, 0, 6, 1);
    SpinButton1 = named(new TKitSpinButton(GroupBox2), "SpinButton1");
    SpinButton1->setFixedSize(20, 40);
    g2->addWidget(SpinButton1, 0, 1);
    const std::pair<QPushButton**, std::pair<const char*, const char*>> buttons[] = {
        {&Button3, {"Button3", "Liste &Laden"}},  {&Button4, {"Button4", "Liste &Speichern"}},
        {&Button6, {"Button6", "&Hinzufügen"}},   {&Button7, {"Button7", "&Löschen"}},
        {&Button8, {"Button8", "&Alle Löschen"}},
    };
    auto* bl = new QVBoxLayout;
    for (const auto& [field, text] : buttons) {
        *field = named(new QPushButton(QString::fromUtf8(text.second), GroupBox2), text.first);
        bl->addWidget(*field);
    }
    bl->addStretch(1);
    g2->addLayout(bl, 1, 1, 5, 1);
    auto* sorts = new QHBoxLayout;
    RadioButton1 = radio(GroupBox2, sorts, "RadioButton1", "keine Sortierung");
    RadioButton2 = radio(GroupBox2, sorts, "RadioButton2", "Zufall");
    RadioButton6 = radio(GroupBox2, sorts, "RadioButton6", "Name");
    g2->addLayout(sorts, 6, 0, 1, 2);
    col->addWidget(GroupBox2, 1);

    GroupBox6 = named(new QGroupBox(QStringLiteral("Bilder aus Verzeichnis"), page), "GroupBox6");
    auto* g6 = new QVBoxLayout(GroupBox6);
    auto* g7 = named(new QGroupBox(QStringLiteral("Verzeichnis"), GroupBox6), "GroupBox7");
    auto* l7 = new QVBoxLayout(g7);
    DirectoryEdit1 = named(new TDirectoryEdit(g7), "DirectoryEdit1");
    l7->addWidget(DirectoryEdit1);
    CheckBox6 = check(g7, l7, "CheckBox6", "Unterverzeichnisse einbeziehen");
    auto* dirSorts = new QHBoxLayout;
    RadioButton10 = radio(g7, dirSorts, "RadioButton10", "keine Sortierung");
    RadioButton11 = radio(g7, dirSorts, "RadioButton11", "Zufall");
    RadioButton12 = radio(g7, dirSorts, "RadioButton12", "Name");
    l7->addLayout(dirSorts);
    g6->addWidget(g7);
    auto* g8 = named(new QGroupBox(QStringLiteral("Für Bildtypen:"), GroupBox6), "GroupBox8");
    auto* l8 = new QGridLayout(g8);
    static const char* const typeCaptions[] = {"Jpeg (JPG)",           "Windows Bitmap (BMP)",
                                               "PaintBrush (PCX)",     "Tiff Bitmap (TIFF)",
                                               "Windows Metafile (WMF)", "Windows E-Metafile (EMF)",
                                               "Microsoft Icon (ICO)", "Microsoft Cursor (CUR)",
                                               "PNG (PNG)"};
    for (int i = 0; i < 9; ++i) {
        TypeBoxes[size_t(i)] = new QCheckBox(QString::fromUtf8(typeCaptions[i]), g8);
        TypeBoxes[size_t(i)]->setObjectName(QStringLiteral("CheckBox%1").arg(7 + i));
        l8->addWidget(TypeBoxes[size_t(i)], i / 2, i % 2);
    }
    Button9 = named(new QPushButton(QStringLiteral("A&lle markieren"), g8), "Button9");
    l8->addWidget(Button9, 4, 1);
    g6->addWidget(g8);
    g6->addStretch(1);
    col->addWidget(GroupBox6, 1);
    return page;
}

QWidget* Tslideform::buildOutputPage()
{
    auto* page = named(new QWidget(this), "TabSheet1");
    auto* col = new QVBoxLayout(page);
    auto* g3 = named(new QGroupBox(QStringLiteral("Leinwandgröße"), page), "GroupBox3");
    auto* l3 = new QGridLayout(g3);
    RadioButton3 = named(new QRadioButton(QStringLiteral("Vollbild"), g3), "RadioButton3");
    RadioButton4 = named(new QRadioButton(QStringLiteral("Bildgröße"), g3), "RadioButton4");
    RadioButton5 = named(new QRadioButton(QStringLiteral("Größe festlegen:"), g3), "RadioButton5");
    l3->addWidget(RadioButton3, 0, 0, 1, 3);
    l3->addWidget(RadioButton4, 1, 0, 1, 3);
    l3->addWidget(RadioButton5, 2, 0, 1, 3);
    KitCalcEdit1 = named(new TKitCalcEdit(g3), "KitCalcEdit1");
    KitCalcEdit2 = named(new TKitCalcEdit(g3), "KitCalcEdit2");
    l3->addWidget(named(new QLabel(QStringLiteral("Breite"), g3), "Label2"), 3, 0);
    l3->addWidget(KitCalcEdit1, 3, 1);
    l3->addWidget(new QLabel(QStringLiteral("Pixel"), g3), 3, 2);
    l3->addWidget(named(new QLabel(QStringLiteral("Höhe"), g3), "Label3"), 4, 0);
    l3->addWidget(KitCalcEdit2, 4, 1);
    l3->addWidget(new QLabel(QStringLiteral("Pixel"), g3), 4, 2);
    for (TKitCalcEdit* e : {KitCalcEdit1, KitCalcEdit2}) {
        e->SetDecimalPlaces(0);
        e->SetMinValue(1);
        e->SetMaxValue(100000);
    }
    col->addWidget(g3);

    auto* g5 = named(new QGroupBox(QStringLiteral("Bildgröße"), page), "GroupBox5");
    auto* l5 = new QVBoxLayout(g5);
    RadioButton8 = radio(g5, l5, "RadioButton8", "Originalgröße");
    RadioButton9 = radio(g5, l5, "RadioButton9", "Auf Leinwand anpassen");
    RadioButton7 = radio(g5, l5, "RadioButton7", "Bild füllt Leinwand");
    auto* fl = new QHBoxLayout;
    fl->addWidget(new QLabel(QStringLiteral("Filter"), g5));
    ComboBox4 = named(new QComboBox(g5), "ComboBox4");
    ComboBox4->addItems({QStringLiteral("Keinen"), QStringLiteral("Triangle"), QStringLiteral("Hermite"),
                         QStringLiteral("Bell"), QStringLiteral("BSpline"), QStringLiteral("Lanczos3"),
                         QStringLiteral("Mitchell")});
    fl->addWidget(ComboBox4, 1);
    l5->addLayout(fl);
    col->addWidget(g5);
    col->addStretch(1);
    return page;
}

QWidget* Tslideform::buildNextPage()
{
    auto* page = named(new QWidget(this), "TabSheet2");
    auto* col = new QVBoxLayout(page);
    auto* g1 = named(new QGroupBox(QStringLiteral("nächstes Bild"), page), "GroupBox1");
    auto* l1 = new QGridLayout(g1);
    CheckBox1 = named(new QCheckBox(QStringLiteral("nach"), g1), "CheckBox1");
    KitCalcEdit3 = named(new TKitCalcEdit(g1), "KitCalcEdit3");
    KitCalcEdit3->SetDecimalPlaces(0);
    KitCalcEdit3->SetMinValue(0);
    KitCalcEdit3->SetMaxValue(2000000);
    l1->addWidget(CheckBox1, 0, 0);
    l1->addWidget(KitCalcEdit3, 0, 1);
    l1->addWidget(named(new QLabel(QStringLiteral("Sekunden"), g1), "Label1"), 0, 2);
    l1->addWidget(named(new QLabel(QStringLiteral("(Pause mit \"S\"-Taste)"), g1), "Label7"), 1, 0, 1, 3);
    CheckBox2 = named(new QCheckBox(QStringLiteral("bei Leertaste- / Mausdruck"), g1), "CheckBox2");
    l1->addWidget(CheckBox2, 2, 0, 1, 3);
    col->addWidget(g1);
    RadioGroup3 = radioGroup(page, "RadioGroup3", "Reihenfolge",
                             {"wie Dateiliste", "umgekehrte Dateiliste", "nächstes Bild per Zufall"}, orderGroup);
    col->addWidget(RadioGroup3);
    col->addStretch(1);
    return page;
}

QWidget* Tslideform::buildOptionsPage()
{
    auto* page = named(new QWidget(this), "TabSheet3");
    auto* col = new QVBoxLayout(page);
    CheckBox4 = check(page, col, "CheckBox4", "nach Beenden wiederhohlen");
    CheckBox5 = check(page, col, "CheckBox5", "Maus verstecken");
    CheckBox16 = check(page, col, "CheckBox16", "Taskleiste verstecken");
    auto* tl = new QHBoxLayout;
    CheckBox3 = check(page, tl, "CheckBox3", "Textkommentare zeigen");
    tl->addWidget(named(new QLabel(QStringLiteral("Schriftgröße"), page), "Label14"));
    SpinEdit1 = named(new TKitSpinEdit(page), "SpinEdit1");
    SpinEdit1->SetMinValue(1);
    SpinEdit1->SetMaxValue(500);
    tl->addWidget(SpinEdit1);
    col->addLayout(tl);
    auto* g4 = named(new QGroupBox(QStringLiteral("Sound"), page), "GroupBox4");
    auto* l4 = new QVBoxLayout(g4);
    RadioButton13 = radio(g4, l4, "RadioButton13", "WAV / Midi-Datei abspielen:");
    FilenameEdit1 = named(new TFilenameEdit(g4), "FilenameEdit1");
    FilenameEdit1->SetFilter(QStringLiteral("WAV / Midi (WAV;MID)|*.wav;*.mid;*.midi"));
    l4->addWidget(FilenameEdit1);
    RadioButton14 = radio(g4, l4, "RadioButton14", "Tonkommentar abspielen (falls vorhanden)");
    RadioButton15 = radio(g4, l4, "RadioButton15", "Kein Sound");
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
    ListBox1->clear();
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
    choose(o.sound, RadioButton15, RadioButton13, RadioButton14);
    choose(o.window, RadioButton3, RadioButton4, RadioButton5);
    KitCalcEdit1->SetValue(o.fixedwidth);
    KitCalcEdit2->SetValue(o.fixedheight);
    chooseIndex(orderGroup, o.order);
    choose(o.scaling, RadioButton8, RadioButton9, RadioButton7);
    ComboBox4->setCurrentIndex(o.filter >= 0 && o.filter < ComboBox4->count() ? int(o.filter) : 0);
    KitCalcEdit3->SetValue(o.seconds);
    choose(o.listsort, RadioButton1, RadioButton2, RadioButton6);
    chooseIndex(sourceGroup, o.source);
    choose(o.dirsort, RadioButton10, RadioButton11, RadioButton12);
    SpinEdit1->SetValue(o.fontsize);
    CheckBox1->setChecked(o.nexttimed);
    CheckBox2->setChecked(o.nextonkey);
    CheckBox5->setChecked(o.hidemouse);
    CheckBox4->setChecked(o.repeat);
    CheckBox6->setChecked(o.subdirs);
    CheckBox16->setChecked(o.hidetaskbar);
    CheckBox3->setChecked(o.showtext);
    FilenameEdit1->setText(o.soundfile.Text());
    DirectoryEdit1->setText(o.directory.Text());
    // The ".gif" flag (index 3) has no box.
    static const int kFlag[] = {0, 1, 2, 4, 5, 6, 7, 8, 9};
    for (int i = 0; i < 9; ++i)
        TypeBoxes[size_t(i)]->setChecked(o.types[size_t(kFlag[i])] != 0);
}

bool Tslideform::ControlsToBlock()
{
    const QString sound = FilenameEdit1->text();
    const QString directory = DirectoryEdit1->text();
    for (const QString& text : {sound, directory})
        if (!TShortString::Fits(text)) {
            LangShowMessage(QStringLiteral("Der Name ist zu lang (höchstens 255 Bytes):\n%1").arg(text),
                            QStringLiteral("The name is too long (at most 255 bytes):\n%1").arg(text));
            return false;
        }
    tslideshowoptions& o = slideoptions;
    o.sound = choice(RadioButton13, RadioButton14);
    o.window = choice(RadioButton4, RadioButton5);
    o.fixedwidth = Round(KitCalcEdit1->Value());
    o.fixedheight = Round(KitCalcEdit2->Value());
    o.order = std::max(0, orderGroup->checkedId());
    o.scaling = choice(RadioButton9, RadioButton7);
    o.filter = std::max(0, ComboBox4->currentIndex());
    o.seconds = Round(KitCalcEdit3->Value());
    o.listsort = choice(RadioButton2, RadioButton6);
    o.source = std::max(0, sourceGroup->checkedId());
    o.dirsort = choice(RadioButton11, RadioButton12);
    o.fontsize = Round(SpinEdit1->Value());
    o.nexttimed = CheckBox1->isChecked();
    o.nextonkey = CheckBox2->isChecked();
    o.hidemouse = CheckBox5->isChecked();
    o.repeat = CheckBox4->isChecked();
    o.subdirs = CheckBox6->isChecked();
    o.hidetaskbar = CheckBox16->isChecked();
    o.showtext = CheckBox3->isChecked();
    o.soundfile.Assign(sound);
    o.directory.Assign(directory);
    static const int kFlag[] = {0, 1, 2, 4, 5, 6, 7, 8, 9};
    for (int i = 0; i < 9; ++i)
        o.types[size_t(kFlag[i])] = TypeBoxes[size_t(i)]->isChecked();
    return true;
}

void Tslideform::EnableControls()
{
    KitCalcEdit1->setEnabled(RadioButton5->isChecked());
    KitCalcEdit2->setEnabled(RadioButton5->isChecked());
    KitCalcEdit3->setEnabled(CheckBox1->isChecked());
    FilenameEdit1->setEnabled(RadioButton13->isChecked());
    ComboBox4->setEnabled(!RadioButton8->isChecked());
    const bool directory = sourceGroup->checkedId() == 1;
    GroupBox6->setVisible(directory);
    GroupBox2->setVisible(!directory);
}

void Tslideform::PlayClick()
{
    if (!CheckBox1->isChecked() && !CheckBox2->isChecked()) {
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
    TranslateForm(QStringLiteral("slideform"), &dlg);
    dlg.slideoptions = options;
    if (prepare)
        prepare(dlg);
    dlg.exec();
    const int result = dlg.Result();
    if (result > 0)
        options = dlg.slideoptions;
    return result;
}
