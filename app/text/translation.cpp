// Translating captions, texts and forms into English by their objectNames.
#include "app/text/translation.h"

#include "app/text/language.h"
#include "app/text/translation_tables.h"
#include "imaging/common/types.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMetaProperty>
#include <QRadioButton>
#include <QTabWidget>
#include <QVariant>
#include <QWidget>

void TranslateCaption(QString& caption)
{
    if (!IsEnglish())
        return;
    const QString upper = caption.toUpper();
    for (const auto* pairs : {&CaptionPairs(), &AddedCaptionPairs()}) {
        for (const TCaptionPair& p : *pairs) {
            if (upper.contains(QString::fromUtf8(p.German).toUpper())) {
                caption = QString::fromUtf8(p.English);
                return;
            }
        }
    }
}

QString TranslatedCaption(const QString& caption)
{
    QString s = caption;
    TranslateCaption(s);
    return s;
}

void TranslateText(QString& text)
{
    if (!IsEnglish())
        return;
    const QString upper = text.toUpper();
    for (const auto* pairs : {&TextPairs(), &AddedTextPairs()}) {
        for (const TCaptionPair& p : *pairs) {
            if (upper == QString::fromUtf8(p.German).toUpper()) {
                text = QString::fromUtf8(p.English);
                return;
            }
        }
    }
}

QString TranslatedText(const QString& text)
{
    QString s = text;
    TranslateText(s);
    return s;
}

bool IsUntitledCaption(const QString& caption)
{
    return caption.startsWith(QLatin1String("!unbenannt"), Qt::CaseInsensitive) ||
           caption.startsWith(QLatin1String("!noname"), Qt::CaseInsensitive);
}

namespace {

// Sets a writable property when the object's class declares it.
bool setDeclaredProperty(QObject* obj, const char* name, const QString& value)
{
    const int idx = obj->metaObject()->indexOfProperty(name);
    if (idx < 0 || !obj->metaObject()->property(idx).isWritable())
        return false;
    return obj->setProperty(name, value);
}

bool setCaption(QObject* obj, const QString& text)
{
    if (auto* w = qobject_cast<QWidget*>(obj)) {
        // A tab page's caption is its tab's text.
        for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
            if (auto* tabs = qobject_cast<QTabWidget*>(p)) {
                const int i = tabs->indexOf(w);
                if (i >= 0) {
                    tabs->setTabText(i, text);
                    return true;
                }
                break;
            }
        }
    }
    if (auto* l = qobject_cast<QLabel*>(obj)) {
        l->setText(text);
        return true;
    }
    if (auto* b = qobject_cast<QAbstractButton*>(obj)) {
        b->setText(text);
        return true;
    }
    if (auto* g = qobject_cast<QGroupBox*>(obj)) {
        g->setTitle(text);
        return true;
    }
    if (auto* m = qobject_cast<QMenu*>(obj)) {
        m->setTitle(text);
        return true;
    }
    if (auto* a = qobject_cast<QAction*>(obj)) {
        a->setText(text);
        return true;
    }
    // Controls of the kit declare their caption as a property.
    return setDeclaredProperty(obj, "Caption", text) || setDeclaredProperty(obj, "text", text) ||
           setDeclaredProperty(obj, "title", text);
}

bool setItem(QObject* obj, int index, const QString& text)
{
    if (index < 0)
        return false;
    if (auto* c = qobject_cast<QComboBox*>(obj)) {
        if (index >= c->count())
            return false;
        c->setItemText(index, text);
        return true;
    }
    if (auto* l = qobject_cast<QListWidget*>(obj)) {
        if (index >= l->count())
            return false;
        l->item(index)->setText(text);
        return true;
    }
    const QVariant items = obj->property("Items");
    if (items.isValid() && items.canConvert<QStringList>()) {
        QStringList list = items.toStringList();
        if (index >= list.size())
            return false;
        list[index] = text;
        return obj->setProperty("Items", list);
    }
    // A radio group: its buttons in creation order are its items.
    const QList<QRadioButton*> buttons = obj->findChildren<QRadioButton*>();
    if (index < buttons.size()) {
        buttons[index]->setText(text);
        return true;
    }
    return false;
}

bool setHint(QObject* obj, const QString& text)
{
    if (auto* w = qobject_cast<QWidget*>(obj)) {
        w->setToolTip(text);
        return true;
    }
    if (auto* a = qobject_cast<QAction*>(obj)) {
        a->setToolTip(text);
        return true;
    }
    return setDeclaredProperty(obj, "Hint", text);
}

const TFormTranslation* findForm(const QString& key)
{
    for (const TFormTranslation& f : FormTranslations())
        if (key == QLatin1String(f.Key))
            return &f;
    return nullptr;
}

}  // namespace

int TranslateForm(const QString& formKey, QWidget* form)
{
    if (!IsEnglish() || !form)
        return 0;
    const TFormTranslation* entry = findForm(formKey);
    if (!entry)
        return 0;
    int done = 0;
    for (const TFormAssignment& a : entry->Assignments) {
        const QString text = QString::fromUtf8(a.English);
        if (a.Property == tpWindow) {
            form->setWindowTitle(text);
            ++done;
            continue;
        }
        QObject* obj = form->findChild<QObject*>(QString::fromLatin1(a.Control));
        if (!obj)
            continue;
        bool ok = false;
        switch (a.Property) {
        case tpCaption: ok = setCaption(obj, text); break;
        case tpItem: ok = setItem(obj, a.Index, text); break;
        case tpHint: ok = setHint(obj, text); break;
        case tpWindow: break;
        }
        if (ok)
            ++done;
    }
    if (formKey == QLatin1String("form1"))
        form->setProperty("MsgLanguage", static_cast<int>(msEnglish));
    return done;
}

int TranslateForm(const QString& formKey)
{
    if (!IsEnglish())
        return 0;
    for (QWidget* w : QApplication::allWidgets())
        if (w->objectName() == formKey)
            return TranslateForm(formKey, w);
    return 0;
}
