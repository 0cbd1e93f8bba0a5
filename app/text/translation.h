// English captions and texts for the German ones the forms are built with.
#pragma once
#include <QString>

class QWidget;

// In English, a caption becomes the English text of the first pair whose German
// fragment occurs in it (upper-cased on both sides); in German nothing changes.
void TranslateCaption(QString& caption);
QString TranslatedCaption(const QString& caption);

// In English, a text equal (ignoring case) to a German entry becomes its English twin.
void TranslateText(QString& text);
QString TranslatedText(const QString& text);

// In English, puts the English texts of the form key on the form. Controls are
// found by objectName; a missing control is skipped. Returns the number of texts
// set (0 in German and for keys without entries). The key "form1" also sets the
// dynamic property "MsgLanguage" of the form to msEnglish, which the main window
// forwards to its own input/output component.
int TranslateForm(const QString& formKey, QWidget* form);
// The same for the form whose objectName is the key, searched among all widgets.
int TranslateForm(const QString& formKey);

// A caption of an untitled window, "!unbenannt…" or "!noname…" in either language
// (a window keeps its caption when the language changes between runs).
bool IsUntitledCaption(const QString& caption);
