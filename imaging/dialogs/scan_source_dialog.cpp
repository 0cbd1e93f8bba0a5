// The scanner settings dialog: the options that shape a scan, read from the device.
#include "imaging/dialogs/scan_source_dialog.h"

#include "imaging/common/msg_tables.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

// The options that matter for a scan, in the order shown.
const char* const kOptionNames[] = {"source",       "mode", "depth", "resolution", "x-resolution",
                                    "y-resolution", "tl-x", "tl-y",  "br-x",       "br-y"};

QString unitSuffix(SANE_Unit unit)
{
    switch (unit) {
    case SANE_UNIT_MM: return QStringLiteral(" mm");
    case SANE_UNIT_DPI: return QStringLiteral(" dpi");
    case SANE_UNIT_BIT: return QStringLiteral(" bit");
    case SANE_UNIT_PIXEL: return QStringLiteral(" px");
    case SANE_UNIT_PERCENT: return QStringLiteral(" %");
    default: return {};
    }
}

QString numberText(double v, SANE_Value_Type type)
{
    return type == SANE_TYPE_INT ? QString::number(qRound(v)) : QString::number(v, 'g', 8);
}

}  // namespace

TScanSourceDialog::TScanSourceDialog(TScanSource& source, const QString& caption, QWidget* parent,
                                     TMsgLanguage language)
    : QDialog(parent), source_(source), language_(language)
{
    setObjectName(QStringLiteral("TScanSourceDialog"));
    setWindowTitle(caption);
    setModal(false);
    build();
}

void TScanSourceDialog::build()
{
    auto* form = new QFormLayout;
    const int count = source_.OptionCount();
    valid_ = count > 0;
    for (const char* name : kOptionNames) {
        TScanOption o = source_.Find(name);
        if (o.Index < 0 || !o.Settable)
            continue;
        if (o.Type != SANE_TYPE_STRING && o.Type != SANE_TYPE_INT && o.Type != SANE_TYPE_FIXED)
            continue;
        Row row;
        row.Option = o;
        row.Label = new QLabel(o.Title.isEmpty() ? QString::fromUtf8(o.Name) : o.Title, this);
        if (!o.Strings.isEmpty() || !o.Words.empty() || o.Type == SANE_TYPE_STRING) {
            auto* box = new QComboBox(this);
            connect(box, &QComboBox::currentIndexChanged, this, [this, i = rows_.size()] { apply(rows_[i]); });
            row.Control = box;
        } else {
            auto* spin = new QDoubleSpinBox(this);
            spin->setDecimals(o.Type == SANE_TYPE_INT ? 0 : 2);
            spin->setKeyboardTracking(false);
            connect(spin, &QDoubleSpinBox::valueChanged, this, [this, i = rows_.size()] { apply(rows_[i]); });
            row.Control = spin;
        }
        row.Control->setObjectName(QString::fromUtf8(o.Name));
        form->addRow(row.Label, row.Control);
        rows_.push_back(row);
    }
    Reload();

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StatusLabel"));
    status_->setWordWrap(true);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ScanProgress"));
    progress_->setRange(0, 100);
    progress_->hide();
    const bool german = MsgColumn(language_) == msGerman;
    scan_ = new QPushButton(german ? QStringLiteral("Scannen") : QStringLiteral("Scan"), this);
    scan_->setObjectName(QStringLiteral("ScanButton"));
    scan_->setDefault(true);
    cancel_ = new QPushButton(PreviewText(PreviewMsg::Cancel, language_), this);
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    connect(scan_, &QPushButton::clicked, this, &TScanSourceDialog::ScanRequested);
    connect(cancel_, &QPushButton::clicked, this, &TScanSourceDialog::CancelRequested);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(scan_);
    buttons->addWidget(cancel_);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(status_);
    top->addWidget(progress_);
    top->addLayout(buttons);
}

void TScanSourceDialog::fill(Row& row)
{
    // Values, lists and active states may all change after any other option is set.
    TScanOption fresh;
    if (!source_.Describe(row.Option.Index, fresh) || fresh.Name != row.Option.Name)
        fresh.Active = false;
    else
        row.Option = fresh;
    const TScanOption& o = row.Option;
    row.Control->setEnabled(o.Active);
    row.Label->setEnabled(o.Active);
    if (auto* box = qobject_cast<QComboBox*>(row.Control)) {
        box->clear();
        QString current;
        if (o.Type == SANE_TYPE_STRING) {
            box->addItems(o.Strings);
            source_.GetString(o, current);
        } else {
            for (double w : o.Words)
                box->addItem(numberText(w, o.Type) + unitSuffix(o.Unit), w);
            double v = 0;
            if (source_.GetNumber(o, v))
                current = numberText(v, o.Type) + unitSuffix(o.Unit);
        }
        int i = box->findText(current);
        if (i < 0 && !current.isEmpty()) {
            box->addItem(current);
            i = box->count() - 1;
        }
        box->setCurrentIndex(i);
    } else if (auto* spin = qobject_cast<QDoubleSpinBox*>(row.Control)) {
        spin->setSuffix(unitSuffix(o.Unit));
        if (o.HasRange) {
            spin->setRange(o.Min, o.Max);
            spin->setSingleStep(o.Quant > 0 ? o.Quant : 1.0);
        } else {
            spin->setRange(-1e9, 1e9);
        }
        double v = 0;
        if (source_.GetNumber(o, v))
            spin->setValue(v);
    }
}

void TScanSourceDialog::Reload()
{
    filling_ = true;
    for (Row& row : rows_) {
        row.Control->blockSignals(true);
        fill(row);
        row.Control->blockSignals(false);
    }
    filling_ = false;
}

void TScanSourceDialog::apply(Row& row)
{
    if (filling_)
        return;
    SANE_Int info = 0;
    SANE_Status st = SANE_STATUS_INVAL;
    if (auto* box = qobject_cast<QComboBox*>(row.Control)) {
        const int i = box->currentIndex();
        if (i < 0)
            return;
        if (row.Option.Type == SANE_TYPE_STRING)
            st = source_.SetString(row.Option, box->itemText(i), &info);
        else if (box->itemData(i).isValid())
            st = source_.SetNumber(row.Option, box->itemData(i).toDouble(), &info);
    } else if (auto* spin = qobject_cast<QDoubleSpinBox*>(row.Control)) {
        st = source_.SetNumber(row.Option, spin->value(), &info);
    }
    SetStatus(st == SANE_STATUS_GOOD ? QString() : source_.Manager().StatusText(st));
    // Whatever the device made of it (rounded, refused, other options changed) is shown.
    Reload();
}

void TScanSourceDialog::SetBusy(bool busy)
{
    for (Row& row : rows_)
        row.Control->setEnabled(!busy && row.Option.Active);
    scan_->setEnabled(!busy);
    progress_->setValue(0);
    progress_->setVisible(busy);
}

void TScanSourceDialog::SetProgress(int percent)
{
    if (progress_)
        progress_->setValue(percent);
}

void TScanSourceDialog::SetStatus(const QString& text)
{
    if (status_)
        status_->setText(text);
}

QWidget* TScanSourceDialog::OptionControl(const QByteArray& name) const
{
    for (const Row& row : rows_)
        if (row.Option.Name == name)
            return row.Control;
    return nullptr;
}

void TScanSourceDialog::closeEvent(QCloseEvent* event)
{
    // Closing the window is the user's Cancel; the acquisition takes it down.
    event->ignore();
    emit CancelRequested();
}

void TScanSourceDialog::reject() { emit CancelRequested(); }
