// The captions of the library's dialogs in five languages, looked up by row.
#include "imaging/common/msg_tables.h"

namespace {

// Row-major, five cells per row: English, Italian, German, Spanish, French.
// clang-format off
const char* const kPreviewTable[PreviewMsg::Count * kMsgLanguages] = {
    "Preview", "Anteprima", "Vorschau", "Vista Previa", "Prévisualisation",
    "Source", "Originale", "Quelle", "Original", "Source",
    "Result", "Elaborata", "Ergebnis", "Resultado", "Résultat",
    "OK", "OK", "OK", "Aceptar", "Ok",
    "Cancel", "Annulla", "Abbrechen", "Cancelar", "Annuler",
    "Lock preview", "Blocca anteprima", "Vorschau einfrieren", "Bloquear Vista Previa", "Bloquear Vista Previa",
    "Copy Result to Source", "Copia Risultato nell'Originale", "Kopiere Ergebnis zur Quelle",
    "Copia Resultado al Original", "Copia Resultado al Original",
    "Contrast", "Contrasto", "Kontrast", "Contraste", "Contraste",
    "Brightness", "Luminosità", "Helligkeit", "Brillo", "Luminosité",
};
// clang-format on

// clang-format off
const char* const kLabelTable[LabelMsg::Count * kMsgLanguages] = {
    "Hue", "Tonalità", "Farbe", "Matiz", "Teinte",
    "Saturation", "Saturazione", "Sättigung", "Saturación", "Saturation",
    "Value", "Valore", "Helligkeit", "Valor", "Valeur",
    "Base color", "Colore base", "Basisfarbe", "Color base", "Couleur de base",
    "New color", "Nuovo colore", "Neue Farbe", "Color nuevo", "Nouvelle couleur",
    "Luminosity", "Luminosità", "Helligkeit", "Luminosidad", "Luminosité",
    "Red", "Rosso", "Rot", "Rojo", "Rouge",
    "Green", "Verde", "Grün", "Verde", "Vert",
    "Blue", "Blu", "Blau", "Azul", "Bleu",
    "User filter", "Filtro utente", "Benutzer Filter", "Filtro de usuario", "Filtre utilisateur",
    "Filter values", "Valori filtro", "Filter Werte", "Valores del filtro", "Valeurs du filtre",
    "Presets", "Predefiniti", "Voreinstellungen", "Predefinidos", "Préréglages",
    "Divisor", "Divisore", "Teiler", "Divisor", "Diviseur",
    "Load", "Carica", "Laden", "Cargar", "Charger",
    "Save", "Salva", "Speichern", "Guardar", "Enregistrer",
    "Equalization", "Equalizzazione", "Ausgleichen", "Ecualización", "Égalisation",
    "Threshold", "Soglia", "Durchsatz", "Umbral", "Seuil",
    "Equalize", "Equalizza", "Ausgleichen", "Ecualizar", "Égaliser",
    "Histogram", "Istogramma", "Histogramm", "Histograma", "Histogramme",
    "Gray", "Grigio", "Grau", "Gris", "Gris",
    "Light", "Luce", "Licht", "Luz", "Lumière",
    "Left", "Sinistra", "Links", "Izquierda", "Gauche",
    "Top", "Alto", "Oben", "Arriba", "Haut",
    "Width", "Larghezza", "Breite", "Ancho", "Largeur",
    "Height", "Altezza", "Höhe", "Alto", "Hauteur",
    "Color", "Colore", "Lichtfarbe", "Color", "Couleur",
    "Source image quantity", "Quantità immagine originale", "Quellbild Quantität", "Cantidad de imagen original",
    "Quantité d'image source",
    "Lens", "Lente", "Linse", "Lente", "Lentille",
    "Refraction", "Rifrazione", "Brechung", "Refracción", "Réfraction",
    "Parameters Preview", "Anteprima parametri", "Parameter Vorschau", "Vista previa de parámetros",
    "Aperçu des paramètres",
    "Quality", "Qualità", "Qualität", "Calidad", "Qualité",
    "DCT method", "Metodo DCT", "DCT Methode", "Método DCT", "Méthode DCT",
    "Smoothing factor", "Fattore di smussamento", "Glättungsfaktor", "Factor de suavizado", "Facteur de lissage",
    "Gray scale", "Scala di grigi", "Graustufen", "Escala de grises", "Niveaux de gris",
    "Optimal Huffman", "Huffman ottimale", "Optimal Huffman", "Huffman óptimo", "Huffman optimal",
    "Original size", "Dimensione originale", "Originalgröße", "Tamaño original", "Taille originale",
    "Compressed size", "Dimensione compressa", "Komprimierte Größe", "Tamaño comprimido", "Taille compressée",
    "Advanced", "Avanzate", "Fortgeschritten", "Avanzado", "Avancé",
    "Progressive", "Progressivo", "Progressiv", "Progresivo", "Progressif",
    "Compression", "Compressione", "Kompression", "Compresión", "Compression",
    "Image index", "Indice immagine", "Bild Index", "Índice de imagen", "Index de l'image",
    "Photometric", "Fotometria", "Photometric", "Fotometría", "Photométrie",
    "Scanned document info", "Informazioni documento acquisito", "Info über gescanntes Dokument",
    "Información del documento escaneado", "Informations sur le document numérisé",
    "Name", "Nome", "Name", "Nombre", "Nom",
    "Description", "Descrizione", "Beschreibung", "Descripción", "Description",
    "Page name", "Nome pagina", "Seitenname", "Nombre de página", "Nom de la page",
    "Page number", "Numero pagina", "Seitennummer", "Número de página", "Numéro de page",
    "of", "di", "von", "de", "de",
    "Horiz. Position (inch)", "Posizione orizz. (pollici)", "Horiz.Position (inch)", "Posición horiz. (pulgadas)",
    "Position horiz. (pouces)",
    "Vert. Position (inch)", "Posizione vert. (pollici)", "Vert.Position (inch)", "Posición vert. (pulgadas)",
    "Position vert. (pouces)",
    "Colors", "Colori", "Farben", "Colores", "Couleurs",
    "Transparent", "Trasparente", "Transparent", "Transparente", "Transparent",
    "Transparent color", "Colore trasparente", "Transparente Farbe", "Color transparente", "Couleur transparente",
    "Interlaced", "Interlacciato", "Interlaced", "Entrelazado", "Entrelacé",
    "Background", "Sfondo", "Hintergrund", "Fondo", "Arrière-plan",
    "Horiz. Position", "Posizione orizz.", "Horiz.Position", "Posición horiz.", "Position horiz.",
    "Vert. Position", "Posizione vert.", "Vert.Position", "Posición vert.", "Position vert.",
    "Delay time", "Tempo di ritardo", "Verzögerungszeit", "Tiempo de retardo", "Délai",
    "Filter", "Filtro", "Filter", "Filtro", "Filtre",
    "Wave", "Onda", "Welle", "Onda", "Onde",
    "Amplitude", "Ampiezza", "Amplitude", "Amplitud", "Amplitude",
    "Wave length", "Lunghezza d'onda", "Wellenlänge", "Longitud de onda", "Longueur d'onde",
    "Phase", "Fase", "Phase", "Fase", "Phase",
    "Reflective", "Riflettente", "Reflektierend", "Reflectante", "Réfléchissant",
};
// clang-format on

QString cell(const char* const* table, int rows, int row, int language)
{
    if (row < 0 || row >= rows)
        return QString();
    return QString::fromUtf8(table[row * kMsgLanguages + MsgColumn(language)]);
}

}  // namespace

int MsgColumn(int language)
{
    const int l = language & 0x7F;
    return l <= msFrench ? l : msEnglish;
}

QString PreviewText(int row, int language) { return cell(kPreviewTable, PreviewMsg::Count, row, language); }
QString LabelText(int row, int language) { return cell(kLabelTable, LabelMsg::Count, row, language); }
QString PreviewText(int row, TMsgLanguage language) { return PreviewText(row, int(language)); }
QString LabelText(int row, TMsgLanguage language) { return LabelText(row, int(language)); }
