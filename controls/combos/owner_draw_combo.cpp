// The owner-drawn combo box: its item delegate, styles and item heights.
#include "controls/combos/owner_draw_combo.h"

#include "platform/graphics/canvas.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>
#include <algorithm>

class TOwnerDrawComboBox::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(TOwnerDrawComboBox* box) : QStyledItemDelegate(box), box_(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        {
            TCanvas canvas(painter);
            const QRect q = option.rect;
            prepare(canvas, selected);
            box_->DrawItem(index.row(), canvas, TRect(q.left(), q.top(), q.right() + 1, q.bottom() + 1), selected);
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), box_->ItemHeight());
    }

    void prepare(TCanvas& canvas, bool selected) const
    {
        canvas.Brush.Color = selected ? clHighlight : clWindow;
        canvas.Brush.Style = bsSolid;
        canvas.Font.Name = box_->font().family();
        if (box_->font().pointSize() > 0)
            canvas.Font.Size = box_->font().pointSize();
        canvas.Font.Color = selected ? clHighlightText : clWindowText;
    }

private:
    TOwnerDrawComboBox* box_;
};

TOwnerDrawComboBox::TOwnerDrawComboBox(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new Delegate(this));
    connect(this, qOverload<int>(&QComboBox::activated), this, [this](int) {
        typed_ = false;
        Click();
        Change();
    });
    itemHeight_ = StyleItemHeight();
}

TOwnerDrawComboBox::~TOwnerDrawComboBox()
{
    OnChange = nullptr;
    OnClick = nullptr;
}

void TOwnerDrawComboBox::SetStyle(TOwnerDrawComboStyle s)
{
    if (s == style_)
        return;
    style_ = s;
    setEditable(s != csDropDownList);
    // Typed text is a value, never a new item.
    setInsertPolicy(QComboBox::NoInsert);
    // The typed text is taken as it stands, never completed behind the user's back.
    if (isEditable())
        setCompleter(nullptr);
    connectEditor();
    CreateWnd();
}

void TOwnerDrawComboBox::connectEditor()
{
    QLineEdit* edit = lineEdit();
    if (!edit || edit == connectedEdit_)
        return;
    connectedEdit_ = edit;
    connect(edit, &QLineEdit::textEdited, this, [this](const QString&) {
        typed_ = true;
        Change();
    });
}

int TOwnerDrawComboBox::FontLineHeight() const { return fontMetrics().height() + 1; }

int TOwnerDrawComboBox::StyleItemHeight() { return std::max(FontLineHeight(), 9); }

void TOwnerDrawComboBox::CreateWnd()
{
    itemHeight_ = StyleItemHeight();
    PopulateList();
}

void TOwnerDrawComboBox::Click()
{
    if (OnClick)
        OnClick(this);
}

void TOwnerDrawComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

void TOwnerDrawComboBox::selectItem(int index)
{
    typed_ = false;
    setCurrentIndex(index);
}

void TOwnerDrawComboBox::setTypedText(const QString& text)
{
    setEditText(text);
    typed_ = true;
}

void TOwnerDrawComboBox::changeEvent(QEvent* event)
{
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        CreateWnd();
}

void TOwnerDrawComboBox::paintEvent(QPaintEvent* event)
{
    if (isEditable()) {
        QComboBox::paintEvent(event);
        return;
    }
    // A closed list box shows its item drawn the same way as in the list.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0)
        return;
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    painter.save();
    {
        TCanvas canvas(&painter);
        const bool selected = hasFocus();
        static_cast<Delegate*>(itemDelegate())->prepare(canvas, selected);
        DrawItem(currentIndex(), canvas, TRect(field.left(), field.top(), field.right() + 1, field.bottom() + 1),
                 selected);
    }
    painter.restore();
}
