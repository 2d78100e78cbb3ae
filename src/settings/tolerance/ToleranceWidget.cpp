#include "ToleranceWidget.h"

#include "NumpadDialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPolygon>
#include <QRegion>

namespace {

const char* const lowStyle =
    "QLineEdit {background-color: %0; border-width: 0px; border-top-left-radius: 7px; "
    "border-bottom-left-radius: 7px;} QLineEdit:hover {background-color: %1;}";
const char* const optimalStyle =
    "QLineEdit {background-color: %0; border-width: 0px; border-radius: 1px;} QLineEdit:hover {background-color: %1;}";
const char* const highStyle =
    "QLineEdit {background-color: %0; border-width: 0px; border-top-right-radius: 7px; "
    "border-bottom-right-radius: 7px;} QLineEdit:hover {background-color: %1;}";

QString fieldStyle(const char* style, const QColor& colour)
{
    return QString::fromLatin1(style).arg(colour.name(), colour.darker(150).name());
}

} // namespace

ToleranceWidget::ToleranceWidget(TolerancePalette palette, ToleranceValue value, QString suffix, QWidget* parent)
    : QWidget(parent)
    , palette(palette)
    , suffix(suffix)
    , value(value)
{
    setFixedHeight(100);
    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(0);
    const int height = int(fontMetrics().height() * 1.75);
    lowEdit = makeField(value.low, 120, height);
    optimalEdit = makeField(value.optimal, 150, height);
    optimalEdit->setFixedWidth(150);
    highEdit = makeField(value.high, 120, height);
    for (QLineEdit* field : {lowEdit, optimalEdit, highEdit}) {
        field->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
        layout->addWidget(field);
    }
    setTolerancePalette(palette);
}

QString ToleranceWidget::formatted(double fieldValue) const
{
    return QString::number(fieldValue, 'f', 0) + QLatin1Char(' ') + suffix;
}

QLineEdit* ToleranceWidget::makeField(double fieldValue, int minimumWidth, int height)
{
    auto* field = new QLineEdit;
    field->setText(formatted(fieldValue));
    field->setContextMenuPolicy(Qt::NoContextMenu);
    field->setAlignment(Qt::AlignHCenter);
    field->setMinimumWidth(minimumWidth);
    field->setFixedHeight(height);
    field->setFocusPolicy(Qt::NoFocus);
    field->installEventFilter(this);
    return field;
}

void ToleranceWidget::setTolerancePalette(TolerancePalette newPalette)
{
    palette = newPalette;
    lowEdit->setStyleSheet(fieldStyle(lowStyle, palette.low));
    optimalEdit->setStyleSheet(fieldStyle(optimalStyle, palette.optimal));
    highEdit->setStyleSheet(fieldStyle(highStyle, palette.high));
}

TolerancePalette ToleranceWidget::getTolerancePalette() const
{
    return palette;
}

ToleranceValue ToleranceWidget::getToleranceValue()
{
    return value;
}

QString ToleranceWidget::getSuffix()
{
    return suffix;
}

QLineEdit* ToleranceWidget::lowField() const
{
    return lowEdit;
}

QLineEdit* ToleranceWidget::optimalField() const
{
    return optimalEdit;
}

QLineEdit* ToleranceWidget::highField() const
{
    return highEdit;
}

bool ToleranceWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    auto* field = qobject_cast<QLineEdit*>(watched);
    double* edited = nullptr;
    QString title;
    if (field == lowEdit) {
        edited = &value.low;
        title = tr("Low value");
    } else if (field == optimalEdit) {
        edited = &value.optimal;
        title = tr("Optimal value");
    } else if (field == highEdit) {
        edited = &value.high;
        title = tr("High value");
    } else {
        return false;
    }

    bool ok = false;
    // The pad shows the unit the values are stored in, not a fixed "cm".
    const QString unit = suffix.isEmpty() ? QString() : QLatin1Char(' ') + suffix;
    // The pad has no parent: the settings dialog may be destroyed while it runs, and
    // the pressed field with it. Consuming the press then keeps Qt from delivering it.
    QPointer<ToleranceWidget> self(this);
    const int entered = NumpadDialog::getInt(nullptr, title, unit, *edited, -100, 100, 1, &ok, Qt::WindowFlags());
    if (!self)
        return true;
    if (ok) {
        *edited = entered;
        field->setText(formatted(entered));
        Q_EMIT toleranceValueChanged();
    }
    return false;
}

void ToleranceWidget::paintEvent(QPaintEvent* event)
{
    const int w = optimalEdit->width();
    const int h = optimalEdit->height();
    const int m = w / 2;
    const QPolygon notched({QPoint(0, 0), QPoint(m - 7, 0), QPoint(m, 10), QPoint(m + 7, 0), QPoint(w, 0),
                            QPoint(w, h), QPoint(m + 7, h), QPoint(m, h - 10), QPoint(m - 7, h), QPoint(0, h),
                            QPoint(0, 0)});
    optimalEdit->setMask(QRegion(notched, Qt::OddEvenFill));
    QWidget::paintEvent(event);
}
