// The English caption and text pairs, and each form's translated controls.
#include "app/text/translation_tables.h"

// The order of the caption pairs decides overlaps: the first fragment found wins,
// so short fragments further down only catch what the longer ones above left.
const std::vector<TCaptionPair>& CaptionPairs()
{
    static const std::vector<TCaptionPair> pairs = {
        {"Fenstergröße", "Window size"},                          // 1
        {"Willko", "&Welcome ..."},                               // 2
        {"Speichern als", "Save as"},                             // 3
        {"Katalog speichern als", "Save catalog as"},             // 4
        {"Liste laden", "Load list"},                             // 5
        {"Liste speichern", "Save List"},                         // 6
        {"8 x 8 Bitmap laden", "Load 8 x 8 Bitmap"},              // 7
        {"&kommentar auf", "&Record comment"},                    // 8
        {"k&ommentar l", "&Delete comment"},                      // 9
        {"kommentar a&b", "&Play comment"},                       // 10
        {"kommentar &i", "&Import comment"},                      // 11
        {"&Textkommentar fe", "&Set text comment"},               // 12
        {"&Katalog speichern", "Save Catalog"},                   // 13
        {"Katalog s&peichern als", "Sa&ve Catalog as ..."},       // 14
        {"&Datei hin", "A&dd file"},                              // 15
        {"ei &entfer", "Re&move file"},                           // 16
        {"Katalog &schli", "&Close Catalog"},                     // 17
        {"uf Bildgr", "Fit to &image size"},                      // 18
        {"&Bilder neu", "R&eload images"},                        // 19
        {"Alle B&i", "Re&load all images"},                       // 20
        {"Bilder &akt", "U&pdate images"},                        // 21
        {"&Fehlen", "Remove m&issing images"},                    // 22
        {"Alles &mar", "Sele&ct all"},                            // 23
        {"S&peich", "&Save"},                                     // 24
        {"hern a", "S&ave as ..."},                               // 25
        {"All&e Speichern", "Sa&ve all"},                         // 26
        {"&Schliessen", "&Close"},                                // 27
        {"lle Schl", "C&lose all"},                               // 28
        {"rucken", "&Print ..."},                                 // 29
        {"Videob", "Import from &Video ..."},                     // 30
        {"&Optionen ...", "&Options ..."},                        // 31
        {"eenden", "&Exit"},                                      // 32
        {"Diasho&w", "Slidesho&w"},                               // 33
        {"rafi", "&Image ..."},                                   // 34
        {"&Katalog", "&Catalog"},                                 // 35
        {"s&canne", "&Scan ..."},                                 // 36
        {"er wä", "&Choose Scanner ..."},                         // 37
        {"ptionen ...", "&Options ..."},                          // 38
        {"direkt vom", "Slideshow &from Catalog"},                // 39
        {"D&iashow", "&Slideshow ..."},                           // 40
        {"o&ptionen", "&Options ..."},                            // 41
        {"eu aufnehmen", "&New Record"},                          // 42
        {"e stopp", "&Stop Record"},                              // 43
        {"aktuelles Bild", "Play / Use on &active Image"},        // 44
        {"eladen", "Use on all &loades Images"},                  // 45
        {"A&bspie", "&Play"},                                     // 46
        {"Dateiliste an", "Use on &Directory / Filelist ..."},    // 47
        {"aus &S", "Images from &Scanner"},                       // 48
        {"Unterst", "Supported Batch-Functions ..."},             // 49
        {"uffer f", "Clear Und&o-Buffer"},                        // 50
        {"ückgä", "&Undo"},                                       // 51
        {"Zum &Bearbeiten", "Cut for proce&ssing"},               // 52
        {"&Ausschne", "&Cut"},                                    // 53
        {"&Kopieren", "Cop&y"},                                   // 54
        {"&Einfüg", "&Paste"},                                    // 55
        {"n Mark", "Paste in Se&lection"},                        // 56
        {"Alles &m", "Selec&t all"},                              // 57
        {"ichts mar", "Select &none"},                            // 58
        {"arben be", "&Process colors ..."},                      // 59
        {"ffekte", "Effects ..."},                                // 60
        {"banzahl ä", "Reduce colors"},                           // 61
        {"stufen u", "Convert to Grayscale"},                     // 62
        {"arz wei", "Convert to Black/White ..."},                // 63
        {"Histog", "Histogram"},                                  // 64
        {"HSV", "HSV-Channels"},                                  // 65
        {"2 Far", "&2 colors (Black/White)"},                     // 66
        {"16 Far", "&16 colors (4 Bit per Pixel)"},               // 67
        {"25&6 Fa", "25&6 colors (8 Bit per Pixel)"},             // 68
        {"16 Mi", "16 Mi&llion colors (24 Bit per Pixel)"},       // 69
        {"anzahl eing", "&Set number of colors ..."},             // 70
        {"zahl der F", "Sho&w number of colors"},                 // 71
        {"Resize", "Resi&ze ..."},                                // 72
        {"Resample", "Resam&ple ..."},                            // 73
        {"rehen/", "Rotate/Flip"},                                // 74
        {"erschmel", "&Merge ..."},                               // 75
        {"plizier", "&Duplicate"},                                // 76
        {"Hintergrundfarbe &l", "&Clear with Background color"},  // 77
        {"Als &Hin", "Use as &Background for Windows"},           // 78
        {"&Kommentar", "C&omment"},                               // 79
        {"Hin&tergrundfarbe se", "Set Ba&ckground color ..."},    // 80
        {"Uhrzeig", "Rotate -90° (&clockwise)"},                  // 81
        {"drehe&n", "&Rotate 90°"},                               // 82
        {"180", "Rot&ate 180°"},                                  // 83
        {"inkel ein", "&Set angle ..."},                          // 84
        {"ertikal", "Flip &vertical"},                            // 85
        {"orizon", "Flip &horizontal"},                           // 86
        {"entriert", "&Centered"},                                // 87
        {"acheln", "&Tile"},                                      // 88
        {"&Füllen", "&Fill"},                                     // 89
        {"&Stift", "&Pen"},                                       // 90
        {"&Rechte", "&Rectangle / Square"},                       // 91
        {"Ellip", "&Ellipse / Circle"},                           // 92
        {"R&undes", "Ro&und Rectangle"},                          // 93
        {"bfüll", "Fl&ood fill"},                                 // 94
        {"Farbe ü&b", "Get colo&r"},                              // 95
        {"Rote", "Re&move red eye"},                              // 96
        {"Bild&k", "&Paint with copy of Image"},                  // 97
        {"optionen für T", "Te&xt options ..."},                  // 98
        {"Textin", "Set &text ..."},                              // 99
        {"Pinselar", "Set pen style ..."},                        // 100
        {"inienart", "&Line style ..."},                          // 101
        {"Linien&brei", "Line width ..."},                        // 102
        {"Mal&farbe", "Paint &color ..."},                        // 103
        {"Füllf&ar", "&Fill color ..."},                          // 104
        {"Fülla&rt", "Fill &style ..."},                          // 105
        {"Li&nie", "&Line"},                                      // 106
        {"&Linie", "&Line"},                                      // 107
        {"tandardl", "&Standard bar"},                            // 108
        {"eichenlei", "&Draw bar"},                               // 109
        {"Bild", "Image"},                                        // 110
        {"Zoom", "Zoom"},                                         // 111
        {"Maus&z", "Mousepointer"},                               // 112
        {"Suche Hil", "S&earch for help on ..."},                 // 113
        {"lineal", "&Ruler"},                                     // 114
        {"Statuslei", "&Status bar"},                             // 115
        {"Fensterg", "&Window size"},                             // 116
        {"Größe ang", "&Set ..."},                                // 117
        {"Rechteckigen &Ber", "&Region select"},                  // 118
        {"Polyg", "Polygon select"},                              // 119
        {"Kreisaus", "&Circle select"},                           // 120
        {"ebenein", "&Tile horizontal"},                          // 121
        {"nterein", "T&ile vertikal"},                            // 122
        {"Ü&berein", "&Cascade"},                                 // 123
        {"Hilfe&th", "Help &topics ..."},                         // 124
        {"ilfe verw", "H&ow to use help ..."},                    // 125
        {"eitere Pr", "&Other programs ..."},                     // 126
        {"er das Progr", "&About the program ..."},               // 127
        {"&Neu", "&New"},                                         // 128
        {"&Datei", "&File"},                                      // 129
        {"&Bearbeiten", "&Edit"},                                 // 130
        {"&Farben", "&Colors"},                                   // 131
        {"&Bild", "&Image"},                                      // 132
        {"&Zeichnen", "&Draw"},                                   // 133
        {"&Katalog", "&Catalog"},                                 // 134
        {"&Fenster", "&Window"},                                  // 135
        {"&Hilfe", "&Help"},                                      // 136
        {"&Ansicht", "&View"},                                    // 137
        {"Ö&ffnen ...", "O&pen ..."},                             // 138
        {"&Erneut laden", "&Reload"},                             // 139
        {"!unbenannt", "!noname"},                                // 140
        {"öffnen", "Open"},                                       // 141
        {"Datei hinzufügen", "Add file"},                         // 142
        {"WAV-Datei importieren", "Import WAV-file"},             // 143
        {"Hinzufügen", "Add"},                                    // 144
        {"Aufnahmeein", "Record Settings ..."},                   // 145
    };
    return pairs;
}

const std::vector<TCaptionPair>& TextPairs()
{
    static const std::vector<TCaptionPair> pairs = {
        {"Alle Dateien", "All files"},
        {"Alle", "All"},
        {"unbenannt", "noname"},
        {"Importiere Kommentar. Bitte warten ...", "Importing comment. Please wait ..."},
        {"Kommentar importieren", "Import comment"},
        {"Aufnahme läuft !!!", "Recording started !!!"},
        {"Kommentar aufnehmen", "Record comment"},
        {"Kommentar wird abgespielt !!!", "Comment is playing !!!"},
        {"Kandrivel.hlp", "Kandrivel(e).hlp"},
    };
    return pairs;
}

const std::vector<TCaptionPair>& AddedCaptionPairs()
{
    static const std::vector<TCaptionPair> pairs = {
        {"&Negativ", "&Negative"},
    };
    return pairs;
}

const std::vector<TCaptionPair>& AddedTextPairs()
{
    static const std::vector<TCaptionPair> pairs = {
        {"Kommentar abspielen", "Play comment"},
        {"Katalog (PCA)", "Catalog (PCA)"},
    };
    return pairs;
}

const std::vector<TFormTranslation>& FormTranslations()
{
    static const std::vector<TFormTranslation> forms = {
        {"aufverzform",
         {
             {"Button3", tpCaption, -1, "&Help"},
             {"", tpWindow, -1, "Use on Directory / Filelist ..."},
             {"RadioGroup1", tpCaption, -1, "Images from"},
             {"RadioGroup1", tpItem, 0, "Filelist"},
             {"RadioGroup1", tpItem, 1, "Directory"},
             {"Label2", tpCaption, -1, "Selected Record"},
             {"GroupBox2", tpCaption, -1, "Images from Filelist"},
             {"Button6", tpCaption, -1, "&Add"},
             {"Button7", tpCaption, -1, "&Delete"},
             {"Button8", tpCaption, -1, "Delete &all"},
             {"Button1", tpCaption, -1, "&Go"},
             {"Button2", tpCaption, -1, "&Cancel"},
             {"GroupBox6", tpCaption, -1, "Use on directory"},
             {"GroupBox7", tpCaption, -1, "Directory"},
             {"CheckBox6", tpCaption, -1, "Include subdirectories"},
             {"GroupBox8", tpCaption, -1, "Use on image types:"},
             {"Button9", tpCaption, -1, "&Select all"},
         }},
        {"autoform",
         {
             {"Button9", tpCaption, -1, "&Help"},
             {"GroupBox1", tpCaption, -1, "when done"},
             {"RadioButton1", tpCaption, -1, "Nothing"},
             {"RadioButton2", tpCaption, -1, "Save and close"},
             {"RadioButton3", tpCaption, -1, "in Directory:"},
             {"Label1", tpCaption, -1, "Startfile:"},
             {"Label2", tpCaption, -1, "Image format"},
             {"CheckBox1", tpCaption, -1, "Keep Format/Parameter"},
             {"CheckBox2", tpCaption, -1, "Keep filename"},
             {"Label3", tpCaption, -1, "If file exists:"},
             {"ComboBox1", tpItem, 0, "Overwrite"},
             {"ComboBox1", tpItem, 1, "Increment number"},
             {"ComboBox1", tpItem, 2, "Don´t save"},
             {"Button2", tpCaption, -1, "&New Record"},
             {"Button1", tpCaption, -1, "&Delete"},
             {"Schnelllader", tpCaption, -1, "Quickstarter"},
             {"Button6", tpCaption, -1, "Close"},
             {"Button3", tpCaption, -1, "Play / Use on &active Image"},
             {"Button4", tpCaption, -1, "Use on all &loaded Images"},
             {"Button5", tpCaption, -1, "Use on &Directory / Filelist ..."},
             {"Button7", tpCaption, -1, "Images from &Scanner"},
         }},
        {"blackwhiteform",
         {
             {"Button9", tpCaption, -1, "&Help"},
             {"", tpWindow, -1, "Convert to Black/White"},
             {"Label1", tpCaption, -1, "Source:"},
             {"Label2", tpCaption, -1, "Result:"},
             {"Button2", tpCaption, -1, "&Cancel"},
             {"Button4", tpCaption, -1, "Preview"},
             {"Button3", tpHint, -1, "Copy result to source"},
             {"SpeedButton1", tpHint, -1, "Lock preview"},
             {"GroupBox2", tpCaption, -1, "Dithering"},
             {"geordnet", tpCaption, -1, "Ordered"},
             {"Grenzwert", tpCaption, -1, "Threshold"},
             {"CheckBox1", tpCaption, -1, "Use average"},
         }},
        {"fcolorsel",
         {
             {"", tpWindow, -1, "Choose color"},
             {"Button2", tpCaption, -1, "Cancel"},
             {"Label1", tpCaption, -1, "Color:"},
             {"Label8", tpCaption, -1, "Manual:"},
         }},
        {"farbredform",
         {
             {"", tpWindow, -1, "Reduce colors"},
             {"Label1", tpCaption, -1, "Source:"},
             {"Label2", tpCaption, -1, "Result:"},
             {"Button2", tpCaption, -1, "&Cancel"},
             {"Button4", tpCaption, -1, "Preview"},
             {"Button3", tpHint, -1, "Copy result to source"},
             {"SpeedButton1", tpHint, -1, "Lock preview"},
             {"GroupBox2", tpCaption, -1, "Please enter number of colors"},
         }},
        {"fhistogram",
         {
             {"", tpWindow, -1, "Histogram"},
             {"Button9", tpCaption, -1, "&Help"},
             {"Label1", tpCaption, -1, "Channel"},
             {"Label2", tpCaption, -1, "Mode"},
             {"ComboBox2", tpItem, 0, "Bars"},
             {"ComboBox2", tpItem, 1, "Lines"},
             {"ComboBox1", tpItem, 0, "RGB (gray)"},
             {"ComboBox1", tpItem, 1, "Red"},
             {"ComboBox1", tpItem, 2, "Green"},
             {"ComboBox1", tpItem, 3, "Blue"},
         }},
        {"fmergedialog",
         {
             {"Button5", tpCaption, -1, "&Help"},
             {"", tpWindow, -1, "Merge"},
             {"Label1", tpCaption, -1, "Source:"},
             {"Label2", tpCaption, -1, "Result:"},
             {"Button2", tpCaption, -1, "&Cancel"},
             {"Button4", tpCaption, -1, "Preview"},
             {"SpeedButton1", tpHint, -1, "Lock preview"},
         }},
        {"neugrafik",
         {
             {"Button3", tpCaption, -1, "&Help"},
             {"", tpWindow, -1, "New Image"},
             {"GroupBox1", tpCaption, -1, "Size"},
             {"Label1", tpCaption, -1, "Width"},
             {"Label2", tpCaption, -1, "Height"},
             {"Label4", tpCaption, -1, "Needed memory:"},
             {"Label3", tpCaption, -1, "Resolution"},
             {"RadioGroup2", tpItem, 4, "Double"},
             {"RadioGroup2", tpItem, 5, "Half"},
             {"RadioGroup2", tpItem, 6, "Window size"},
             {"RadioGroup1", tpCaption, -1, "Background color"},
             {"RadioGroup1", tpItem, 1, "White"},
             {"RadioGroup1", tpItem, 2, "Black"},
             {"Button2", tpCaption, -1, "&Cancel"},
             {"ComboBox4", tpItem, 0, "None"},
         }},
        {"optionform",
         {
             {"TabSheet1", tpCaption, -1, "General"},
             {"TabSheet2", tpCaption, -1, "Catalog"},
             {"", tpWindow, -1, "Options"},
             {"TabSheet3", tpCaption, -1, "File types"},
             {"Label1", tpCaption, -1, "Default Background Color for new images"},
             {"Label2", tpCaption, -1, "Zoomfilter:"},
             {"Label3", tpCaption, -1, "Ruler unit"},
             {"CheckBox1", tpCaption, -1, "Delay filter"},
             {"CheckBox9", tpCaption, -1, "Fit on image size when loaded"},
             {"CheckBox8", tpCaption, -1, "Zoom on window size when loaded"},
             {"Label4", tpCaption, -1, "Image distance"},
             {"Label5", tpCaption, -1, "Image width"},
             {"Label6", tpCaption, -1, "Image height"},
             {"CheckBox2", tpCaption, -1, "Auto update"},
             {"CheckBox3", tpCaption, -1, "Auto remove missing images"},
             {"CheckBox4", tpCaption, -1, "Show file name"},
             {"CheckBox7", tpCaption, -1, "Show file name with path"},
             {"CheckBox6", tpCaption, -1, "Show file date"},
             {"CheckBox5", tpCaption, -1, "Show file size"},
             {"Button3", tpCaption, -1, "&Font options"},
             {"Button2", tpCaption, -1, "&Cancel"},
             {"ComboBox4", tpItem, 0, "None"},
             {"Button9", tpCaption, -1, "Select &all"},
             {"Button4", tpCaption, -1, "Select &none"},
             {"Button5", tpCaption, -1, "&Help"},
             {"Label8", tpCaption, -1, "Undo-buffer"},
         }},
        {"printform",
         {
             {"Button5", tpCaption, -1, "&Help"},
             {"", tpWindow, -1, "Print"},
             {"TabSheet1", tpCaption, -1, "Image"},
             {"TabSheet2", tpCaption, -1, "Printer options"},
             {"TabSheet3", tpCaption, -1, "Other options"},
             {"GroupBox2", tpCaption, -1, "Preview"},
             {"Label10", tpCaption, -1, "Left margin"},
             {"Label11", tpCaption, -1, "Top margin"},
             {"Label12", tpCaption, -1, "Width"},
             {"Label13", tpCaption, -1, "Height"},
             {"RadioButton5", tpCaption, -1, "Move up"},
             {"RadioButton6", tpCaption, -1, "Move left"},
             {"RadioButton7", tpCaption, -1, "Move right"},
             {"RadioButton8", tpCaption, -1, "Move down"},
             {"RadioButton3", tpCaption, -1, "Fit on page"},
             {"RadioButton4", tpCaption, -1, "Original size"},
             {"RadioButton1", tpCaption, -1, "Center horizontal"},
             {"RadioButton2", tpCaption, -1, "Center vertikal"},
             {"RadioButton9", tpCaption, -1, "Double"},
             {"RadioButton10", tpCaption, -1, "Half"},
             {"RadioGroup1", tpCaption, -1, "Mode"},
             {"RadioGroup1", tpItem, 1, "Tile"},
             {"Label3", tpCaption, -1, "Printer"},
             {"Label9", tpCaption, -1, "Resolution"},
             {"Label7", tpCaption, -1, "Printable Area"},
             {"Label5", tpCaption, -1, "Width"},
             {"Label1", tpCaption, -1, "Height"},
             {"Button1", tpCaption, -1, "Printer-Setup"},
             {"Label15", tpCaption, -1, "Columns"},
             {"Label16", tpCaption, -1, "Rows"},
             {"CheckBox1", tpCaption, -1, "Cutlines"},
             {"CheckBox3", tpCaption, -1, "Print seperately"},
             {"CheckBox4", tpCaption, -1, "Print file name"},
             {"CheckBox7", tpCaption, -1, "Print file name with path"},
             {"CheckBox6", tpCaption, -1, "Print file date"},
             {"CheckBox5", tpCaption, -1, "Print file size"},
             {"Label14", tpCaption, -1, "Font size"},
             {"Label18", tpCaption, -1, "Number of prints"},
             {"Button4", tpCaption, -1, "&Preview"},
             {"SpeedButton1", tpHint, -1, "Lock Preview"},
             {"Button2", tpCaption, -1, "&Print"},
             {"Button3", tpCaption, -1, "&Cancel"},
         }},
        {"frotate",
         {
             {"Button9", tpCaption, -1, "&Help"},
             {"Label4", tpCaption, -1, "Source:"},
             {"Label3", tpCaption, -1, "Result:"},
             {"Button2", tpCaption, -1, "&Cancel"},
             {"Button4", tpCaption, -1, "Preview"},
             {"Button5", tpHint, -1, "Copy result to source"},
             {"SpeedButton1", tpHint, -1, "Lock preview"},
             {"Label1", tpCaption, -1, "Angle"},
         }},
        {"slideform",
         {
             {"", tpWindow, -1, "Slideshow options"},
             {"GroupBox2", tpCaption, -1, "Images from filelist"},
             {"TabSheet1", tpCaption, -1, "Output"},
             {"TabSheet2", tpCaption, -1, "Next Picture"},
             {"TabSheet3", tpCaption, -1, "Options"},
             {"GroupBox3", tpCaption, -1, "Canvas size"},
             {"RadioButton3", tpCaption, -1, "Full screen"},
             {"RadioButton4", tpCaption, -1, "Image size"},
             {"RadioButton5", tpCaption, -1, "Set size:"},
             {"Label2", tpCaption, -1, "Width"},
             {"Label3", tpCaption, -1, "Height"},
             {"GroupBox5", tpCaption, -1, "Image size"},
             {"RadioButton8", tpCaption, -1, "Original size"},
             {"RadioButton9", tpCaption, -1, "Fit on canvas"},
             {"RadioButton7", tpCaption, -1, "Image fills canvas"},
             {"ComboBox4", tpItem, 0, "none"},
             {"RadioGroup1", tpCaption, -1, "Images from"},
             {"RadioGroup1", tpItem, 0, "Filelist"},
             {"RadioGroup1", tpItem, 1, "Directory"},
             {"RadioButton1", tpCaption, -1, "Not sorted"},
             {"RadioButton2", tpCaption, -1, "Random"},
             {"Button6", tpCaption, -1, "&Add"},
             {"Button7", tpCaption, -1, "&Delete"},
             {"Button8", tpCaption, -1, "Delete &all"},
             {"Button3", tpCaption, -1, "Load &List"},
             {"Button4", tpCaption, -1, "&Save List"},
             {"Button2", tpCaption, -1, "&Cancel"},
             {"RadioGroup3", tpCaption, -1, "Order"},
             {"RadioGroup3", tpItem, 0, "Same as filelist"},
             {"RadioGroup3", tpItem, 1, "Reverse filelist"},
             {"RadioGroup3", tpItem, 2, "Next image by chance"},
             {"GroupBox1", tpCaption, -1, "Next image"},
             {"CheckBox1", tpCaption, -1, "After"},
             {"Label1", tpCaption, -1, "seconds"},
             {"Label7", tpCaption, -1, "(Stop with \"S\"-Key)"},
             {"CheckBox2", tpCaption, -1, "when Space / Mousebutton"},
             {"RadioButton15", tpCaption, -1, "No Sound"},
             {"RadioButton13", tpCaption, -1, "Play WAV / Midi files:"},
             {"RadioButton14", tpCaption, -1, "Play sound comment (if exists)"},
             {"CheckBox5", tpCaption, -1, "Hide mouse"},
             {"CheckBox16", tpCaption, -1, "Hide task bar"},
             {"CheckBox4", tpCaption, -1, "Repeat when finish"},
             {"GroupBox6", tpCaption, -1, "Images from directory"},
             {"GroupBox7", tpCaption, -1, "Directory"},
             {"CheckBox6", tpCaption, -1, "Include subdirectories"},
             {"RadioButton10", tpCaption, -1, "Not sorted"},
             {"RadioButton11", tpCaption, -1, "Random"},
             {"GroupBox8", tpCaption, -1, "Use on image types:"},
             {"Button9", tpCaption, -1, "&Select all"},
             {"Button1", tpCaption, -1, "&Help"},
             {"CheckBox3", tpCaption, -1, "Show text comments"},
             {"Label14", tpCaption, -1, "Font size"},
         }},
        {"videoform",
         {
             {"GroupBox2", tpCaption, -1, "Video window"},
             {"GroupBox1", tpCaption, -1, "Setup"},
             {"Button5", tpCaption, -1, "&Source"},
             {"Label1", tpCaption, -1, "Driver"},
             {"Button1", tpCaption, -1, "Import &Image"},
             {"Button2", tpCaption, -1, "&Close"},
             {"SpeedButton2", tpCaption, -1, "&Video on"},
             {"SpeedButton1", tpCaption, -1, "Free&ze Image"},
             {"Label5", tpCaption, -1, "Video size:"},
             {"Button3", tpCaption, -1, "&Help"},
         }},
        {"zeichenform",
         {
             {"Label3", tpCaption, -1, "Select fill style or define it by a Bitmap:"},
             {"Label1", tpCaption, -1, "Defined Bitmap (8 x 8)"},
             {"Label2", tpCaption, -1, "Select line style:"},
             {"Label4", tpCaption, -1, "Select pen style"},
         }},
        {"form1",
         {
             {"SpeedButton1", tpHint, -1, "New image"},
             {"OpenBtn", tpHint, -1, "Open"},
             {"SaveBtn", tpHint, -1, "Save"},
             {"SpeedButton58", tpHint, -1, "Help"},
             {"printbtn", tpHint, -1, "Print"},
             {"scanbtn", tpHint, -1, "Scan"},
             {"SpeedButton57", tpHint, -1, "Import Video"},
             {"SpeedButton9", tpHint, -1, "Play slideshow"},
             {"CutBtn", tpHint, -1, "Cut"},
             {"CopyBtn", tpHint, -1, "Copy"},
             {"PasteBtn", tpHint, -1, "Paste"},
             {"SpeedButton3", tpHint, -1, "Undo"},
             {"zoombox", tpHint, -1, "Zoomvalue"},
             {"SpeedButton2", tpHint, -1, "Effects"},
             {"SpeedButton4", tpHint, -1, "Process colors"},
             {"speedbutton30", tpHint, -1, "Draw"},
             {"SpeedButton5", tpHint, -1, "Region select"},
             {"SpeedButton34", tpHint, -1, "Polygon select"},
             {"SpeedButton33", tpHint, -1, "Circle select"},
             {"SpeedButton7", tpHint, -1, "Zoom"},
             {"autobox", tpHint, -1, "Batch"},
             {"SpeedButton13", tpHint, -1, "Play / Use on active Image"},
             {"SpeedButton11", tpHint, -1, "New batch record"},
             {"SpeedButton8", tpHint, -1, "Stop batch record"},
             {"SpeedButton32", tpHint, -1, "Show draw bar"},
             {"SpeedButton35", tpHint, -1, "Play comment"},
             {"SpeedButton37", tpHint, -1, "Record comment"},
             {"clearpen", tpHint, -1, "Line style"},
             {"spinedit1", tpHint, -1, "Line width"},
             {"Panel5", tpHint, -1, "Paint color"},
             {"Panel6", tpHint, -1, "Fill color"},
             {"Image2", tpHint, -1, "Fill style"},
             {"pinselartn", tpHint, -1, "Pen style"},
             {"PenButton", tpHint, -1, "Pen"},
             {"SpeedButton36", tpHint, -1, "Line"},
             {"SpeedButton63", tpHint, -1, "Rectangle / Square"},
             {"SpeedButton64", tpHint, -1, "Ellipse / Circle"},
             {"SpeedButton65", tpHint, -1, "Round Rectangle"},
             {"fillbutton", tpHint, -1, "Flood fill"},
             {"SpeedButton55", tpHint, -1, "Get color"},
             {"SpeedButton56", tpHint, -1, "Remove red eye"},
             {"SpeedButton38", tpHint, -1, "Paint with copy of image"},
             {"FontComboBox1", tpHint, -1, "Set font"},
             {"Edit1", tpHint, -1, "Set text"},
             {"zoombox", tpItem, 9, "Window size"},
         }},
        {"infoform",
         {
             {"", tpWindow, -1, "Welcome"},
             {"Label1", tpCaption, -1, "Welcome to Kandrivel"},
             {"Label2", tpCaption, -1,
              "If you would like to know what Kandrivel can do, just press one of the buttons.\n\nOr close this window "
              "and simply try out the menu."},
             {"Button1", tpCaption, -1, "Opening and saving images"},
             {"Button2", tpCaption, -1, "Printing"},
             {"Button3", tpCaption, -1, "Scanning"},
             {"Button4", tpCaption, -1, "Importing Video images"},
             {"Button5", tpCaption, -1, "Slideshow"},
             {"Button6", tpCaption, -1, "Processing images"},
             {"Button7", tpCaption, -1, "Working with catalogs"},
             {"Button8", tpCaption, -1, "Working with comments"},
             {"CheckBox1", tpCaption, -1, "Don´t show this dialog again"},
             {"Button9", tpCaption, -1, "Explorer links"},
             {"Button10", tpCaption, -1, "Close window"},
         }},
    };
    return forms;
}
