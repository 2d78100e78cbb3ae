#include "NumpadDialog.h"

#include "HexSpinBox.h"
#include "ZenticDoubleSpinBox.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {

// Keys that show a glyph are named for screen readers and tooltips.
void nameKey(QPushButton* key, const QString& name)
{
    key->setAccessibleName(name);
    key->setToolTip(name);
}

const QString numpadKeyStyle = QStringLiteral("font-size: 30px;");
const QString numpadSmallKeyStyle = QStringLiteral("font-size: 20px;");
const QString numpadOkStyle = numpadKeyStyle + QStringLiteral(" background-color: green; border: none");
const QString numpadSpinBoxStyle = QStringLiteral(
    "QAbstractSpinBox { font-size: 30px; border: 1 solid #b2b4b6; border-radius: 3px; height: %1px; margin: 0px; "
    "padding: 0px; }"
    "QAbstractSpinBox::down-button, QAbstractSpinBox::up-button { subcontrol-origin: border; background: #eaebec; "
    "border: 1 solid #b2b4b6; width: %1px; height: %1px; }"
    "QAbstractSpinBox::down-button { subcontrol-position: center left; border-radius: 3px; }"
    "QAbstractSpinBox::up-button { subcontrol-position: center right; border-radius: 3px; }"
    "QAbstractSpinBox::up-arrow, QAbstractSpinBox::down-arrow { subcontrol-origin: content; width: %2px; "
    "height: %2px; }"
    "QAbstractSpinBox::up-arrow { image: url(:/icons/dozerozozu_collapse); }"
    "QAbstractSpinBox::down-arrow { image: url(:/icons/dozerozozu_expand); }"
    "QAbstractSpinBox::up-button:hover, QAbstractSpinBox::down-button:hover { background: #cccccc; }"
    "QAbstractSpinBox::up-button:pressed, QAbstractSpinBox::down-button:pressed { background: #eaebec; }");

constexpr int keyMinWidth = 50;
constexpr int keyMinHeight = 60;
constexpr int editorWidth = 280;
constexpr int editorHeight = 40;
const QChar noBreakSpace(0x00A0);

QLocale padLocale()
{
    return QLocale(QLocale::Zarma, QLocale::Niger);
}

// Truncates toward zero like a cast, but a caller's start value outside the int range (or NaN)
// must not be undefined behaviour: it lands on the nearest int and the spin box clamps it.
int truncatedToInt(double value)
{
    if (std::isnan(value))
        return 0;
    return int(qBound(double(std::numeric_limits<int>::min()), std::trunc(value),
                      double(std::numeric_limits<int>::max())));
}

NumpadDialog::AnswerHook& answerHook()
{
    static NumpadDialog::AnswerHook hook;
    return hook;
}

} // namespace

NumpadDialog::NumpadDialog(QWidget* parent, const QString& title, const QString& suffix, double value, int min,
                           int max, int step, bool* ok, Qt::WindowFlags flags)
    : QDialog(parent, flags)
{
    Q_UNUSED(ok)
    QCoreApplication::instance()->installEventFilter(this);
    numpadInitialization(title, suffix, value, min, max, step, -1);
}

NumpadDialog::NumpadDialog(QWidget* parent, const QString& title, const QString& suffix, double value, double min,
                           double max, int decimals, bool* ok, Qt::WindowFlags flags, double step)
    : QDialog(parent, flags)
{
    Q_UNUSED(ok)
    QCoreApplication::instance()->installEventFilter(this);
    numpadInitialization(title, suffix, value, min, max, step, decimals);
}

NumpadDialog::~NumpadDialog() = default;

int NumpadDialog::run(NumpadDialog* pad)
{
    if (answerHook()) {
        const AnswerHook hook = answerHook();
        switch (hook(*pad)) {
        case Answer::Accept:
            pad->accept();
            // An out-of-range value leaves the pad open; without a user it counts as cancelled.
            return pad->isVisible() || pad->result() != QDialog::Accepted ? int(QDialog::Rejected)
                                                                          : int(QDialog::Accepted);
        case Answer::Reject:
            pad->reject();
            return QDialog::Rejected;
        case Answer::RunModal:
            break;
        }
    }
    return pad->exec();
}

int NumpadDialog::getInt(QWidget* parent, const QString& title, const QString& suffix, double value, int min,
                         int max, int step, bool* ok, Qt::WindowFlags flags)
{
    QPointer<NumpadDialog> pad = new NumpadDialog(parent, title, suffix, value, min, max, step, ok, flags);
    const int result = run(pad);
    int answer = truncatedToInt(value);
    const bool accepted = pad && result == QDialog::Accepted;
    if (accepted) {
        pad->spinBox->interpretText();
        answer = pad->spinBox->value();
    }
    if (ok)
        *ok = accepted;
    delete pad;
    return answer;
}

double NumpadDialog::getDouble(QWidget* parent, const QString& title, const QString& suffix, double value,
                               double min, double max, int decimals, bool* ok, Qt::WindowFlags flags, double step)
{
    // -1 would select the integer pad, which has no real-number editor.
    decimals = qMax(0, decimals);
    QPointer<NumpadDialog> pad = new NumpadDialog(parent, title, suffix, value, min, max, decimals, ok, flags, step);
    const int result = run(pad);
    double answer = value;
    const bool accepted = pad && result == QDialog::Accepted;
    if (accepted) {
        pad->doubleSpinBox->interpretText();
        answer = pad->doubleSpinBox->value();
    }
    if (ok)
        *ok = accepted;
    delete pad;
    return answer;
}

QAbstractSpinBox* NumpadDialog::editor() const
{
    if (spinBox)
        return spinBox;
    return doubleSpinBox;
}

NumpadDialog::AnswerHook NumpadDialog::setAnswerHook(AnswerHook hook)
{
    AnswerHook previous = std::move(answerHook());
    answerHook() = std::move(hook);
    return previous;
}

void NumpadDialog::numpadInitialization(const QString& title, const QString& suffix, double value, double min,
                                        double max, double step, int decimals)
{
    setFocusPolicy(Qt::NoFocus);
    auto* mainLayout = new QVBoxLayout(this);
    mainLayout->setSizeConstraint(QLayout::SetFixedSize);
    setWindowTitle(title);
    setObjectName(QStringLiteral("NumpadDialog"));
    this->decimals = decimals;
    minimum = min;
    maximum = max;
    this->suffix = suffix;

    const QString shownSuffix =
        !suffix.isEmpty() && suffix.at(0).isLetter() ? noBreakSpace + suffix : suffix;
    const QString editorStyle = numpadSpinBoxStyle.arg(QStringLiteral("40"), QStringLiteral("26"));

    QAbstractSpinBox* editorBox = nullptr;
    auto* hexParent = qobject_cast<HexSpinBox*>(parentWidget());
    if (decimals != -1) {
        doubleSpinBox = new ZenticDoubleSpinBox(nullptr);
        editorBox = doubleSpinBox;
    } else if (hexParent) {
        spinBox = new HexSpinBox(nullptr, hexParent->getUseDecimalBase());
        editorBox = spinBox;
    } else {
        spinBox = new QSpinBox(nullptr);
        editorBox = spinBox;
    }
    editorBox->setLocale(padLocale());
    editorBox->setGroupSeparatorShown(true);
    editorBox->setFocusPolicy(Qt::StrongFocus);
    editorBox->setFocus(Qt::OtherFocusReason);
    if (doubleSpinBox) {
        doubleSpinBox->setRange(min, max);
        doubleSpinBox->setSingleStep(step);
        doubleSpinBox->setDecimals(decimals);
        doubleSpinBox->setValue(value);
        doubleSpinBox->setSuffix(shownSuffix);
    } else {
        spinBox->setRange(int(min), int(max));
        spinBox->setSingleStep(int(step));
        spinBox->setValue(truncatedToInt(value));
        spinBox->setSuffix(shownSuffix);
    }
    editorBox->setStyleSheet(editorStyle);
    editorBox->setFixedSize(editorWidth, editorHeight);
    editorBox->setAlignment(Qt::AlignHCenter);
    editorBox->selectAll();

    if (auto* hexEditor = qobject_cast<HexSpinBox*>(spinBox)) {
        auto* editorRow = new QGridLayout;
        editorRow->addWidget(hexEditor, 0, 0, Qt::AlignVCenter);
        auto* baseButton = new QPushButton(hexEditor->getUseDecimalBase() ? QStringLiteral("10")
                                                                          : QStringLiteral("16"));
        baseButton->setCheckable(true);
        baseButton->setFocusPolicy(Qt::NoFocus);
        baseButton->setStyleSheet(QStringLiteral("height: %0; width: %0; margin: 0px; padding: 0px;").arg(40));
        editorRow->addWidget(baseButton, 0, 1, Qt::AlignVCenter);
        connect(baseButton, &QPushButton::toggled, hexEditor, &HexSpinBox::useDecimalBase);
        connect(baseButton, &QPushButton::toggled, baseButton, [baseButton](bool checked) {
            baseButton->setText(checked ? QStringLiteral("10") : QStringLiteral("16"));
        });
        baseButton->setChecked(hexEditor->getUseDecimalBase());
        mainLayout->addLayout(editorRow);
    } else {
        mainLayout->addWidget(editorBox);
    }

    auto* keys = new QGridLayout;
    mainLayout->addLayout(keys);
    for (int n = 0; n < 9; ++n) {
        QPushButton* digitKey =
            createNumpadButton(QStringLiteral("%0").arg(n + 1), keyMinWidth, keyMinHeight, numpadKeyStyle);
        keys->addWidget(digitKey, 3 - n / 3, n % 3);
        connect(digitKey, &QPushButton::clicked, this, [this, n] { setNumpadClickedValue(n + 1); });
    }
    QPushButton* zeroKey = createNumpadButton(QStringLiteral("0"), keyMinWidth, keyMinHeight, numpadKeyStyle);
    keys->addWidget(zeroKey, 4, 0);
    connect(zeroKey, &QPushButton::clicked, this, [this] { setNumpadClickedValue(0); });

    QPushButton* backspaceKey = createNumpadButton(QString(QChar(0x232B)) + tr(" Backspace"),
                                                   keyMinWidth, keyMinHeight, numpadSmallKeyStyle);
    QSizePolicy backspacePolicy = backspaceKey->sizePolicy();
    backspacePolicy.setVerticalPolicy(QSizePolicy::Expanding);
    backspaceKey->setSizePolicy(backspacePolicy);
    connect(backspaceKey, &QPushButton::clicked, this,
            [this] { sendNumpadButtonClickedEvent(Qt::Key_Backspace, QString()); });
    nameKey(backspaceKey, tr("Backspace"));
    if (decimals == -1) {
        keys->addWidget(backspaceKey, 4, 1, 1, 2);
    } else {
        backspaceKey->setText(backspaceKey->text().remove(tr(" Backspace")));
        backspaceKey->setStyleSheet(numpadKeyStyle);
        const QString point(padLocale().decimalPoint());
        QPushButton* pointKey = createNumpadButton(point, keyMinWidth, keyMinHeight, numpadKeyStyle);
        connect(pointKey, &QPushButton::clicked, this,
                [this, point] { sendNumpadButtonClickedEvent(Qt::Key_Comma, point); });
        keys->addWidget(pointKey, 4, 1);
        keys->addWidget(backspaceKey, 4, 2);
    }

    QPushButton* leftKey = createNumpadButton(QString(QChar(0x140A)), keyMinWidth, keyMinHeight, numpadKeyStyle);
    connect(leftKey, &QPushButton::clicked, this, [this] { sendNumpadButtonClickedEvent(Qt::Key_Left, QString()); });
    QPushButton* rightKey = createNumpadButton(QString(QChar(0x1405)), keyMinWidth, keyMinHeight, numpadKeyStyle);
    connect(rightKey, &QPushButton::clicked, this,
            [this] { sendNumpadButtonClickedEvent(Qt::Key_Right, QString()); });
    signButton = createNumpadButton(QStringLiteral("+/-"), keyMinWidth, keyMinHeight, numpadKeyStyle);
    connect(signButton, &QPushButton::clicked, this, &NumpadDialog::changeValueSign);
    nameKey(leftKey, tr("Cursor left"));
    nameKey(rightKey, tr("Cursor right"));
    nameKey(signButton, tr("Change sign"));
    signButton->setEnabled(std::signbit(min) != std::signbit(max));
    keys->addWidget(leftKey, 5, 0);
    keys->addWidget(rightKey, 5, 1);
    keys->addWidget(signButton, 5, 2);

    QPushButton* okKey = createNumpadButton(tr("OK"), keyMinWidth, keyMinHeight, numpadOkStyle);
    connect(okKey, &QPushButton::clicked, this, &NumpadDialog::accept);
    keys->addWidget(okKey, 6, 0, 1, 3);
}

QPushButton* NumpadDialog::createNumpadButton(QString text, int minWidth, int minHeight, QString styleSheet)
{
    auto* button = new QPushButton(text);
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(styleSheet);
    button->setMinimumSize(minWidth, minHeight);
    button->setAutoDefault(false);
    return button;
}

void NumpadDialog::changeValueSign()
{
    if (spinBox)
        spinBox->setValue(-spinBox->value());
    else if (doubleSpinBox)
        doubleSpinBox->setValue(-doubleSpinBox->value());
}

void NumpadDialog::setNumpadClickedValue(int digit)
{
    const QString text = QStringLiteral("%0").arg(digit);
    sendNumpadButtonClickedEvent(QKeySequence(text)[0], text);
}

void NumpadDialog::sendNumpadButtonClickedEvent(int key, QString text)
{
    QObject* receiver = editor();
    if (!receiver)
        return;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text, false, 1);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text, false, 1);
    QCoreApplication::sendEvent(receiver, &press);
    QCoreApplication::sendEvent(receiver, &release);
}

bool NumpadDialog::isAimedAtPad(QObject* watched) const
{
    if (QApplication::activeModalWidget() != this)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    // isAncestorOf() stops at window boundaries, so the pad's own warning box is not "the pad".
    return widget && (widget == this || isAncestorOf(widget));
}

bool NumpadDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && !m_accepting) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const bool propagated =
                event == m_lastReturnEvent && m_lastReturnReceiver && watched == m_lastReturnReceiver->parent();
            m_lastReturnEvent = event;
            m_lastReturnReceiver = watched;
            if (!propagated && isAimedAtPad(watched))
                accept();
        }
    }
    return QObject::eventFilter(watched, event);
}

bool NumpadDialog::editorNumber(double* number) const
{
    if (auto* hexEditor = qobject_cast<HexSpinBox*>(spinBox)) {
        // Hexadecimal digits do not read as a decimal number: judge what the editor shows by
        // its own reading of its text.
        QString text = hexEditor->text();
        int pos = 0;
        if (hexEditor->validate(text, pos) != QValidator::Acceptable)
            return false;
        *number = hexEditor->valueFromText(text);
        return true;
    }
    QString text = spinBox ? spinBox->cleanText() : doubleSpinBox->cleanText();
    text.remove(noBreakSpace);
    text.remove(QLatin1Char(' '));
    bool parsed = false;
    *number = editor()->locale().toDouble(text, &parsed);
    return parsed;
}

void NumpadDialog::accept()
{
    if (m_accepting)
        return;
    double number = 0;
    if (editorNumber(&number) && minimum <= number && number <= maximum) {
        QDialog::accept();
        return;
    }
    m_accepting = true;
    const QString informativeText =
        tr("Enter value between %1%0and%0%2%3")
            .arg(QString(noBreakSpace), QString::number(minimum, 'g', 7), QString::number(maximum, 'g', 7), suffix);
    ZenticMessageBox::warning(this, tr("Value is out of range."), informativeText, QMessageBox::Ok, QMessageBox::Ok);
    m_accepting = false;
}

NumpadDialog::AnswerGuard::AnswerGuard(Answer answer)
    : AnswerGuard(AnswerHook([answer](NumpadDialog&) { return answer; }))
{
}

NumpadDialog::AnswerGuard::AnswerGuard(double value)
    : AnswerGuard(AnswerHook([value](NumpadDialog& pad) {
          if (pad.spinBox)
              pad.spinBox->setValue(truncatedToInt(value));
          else if (pad.doubleSpinBox)
              pad.doubleSpinBox->setValue(value);
          return Answer::Accept;
      }))
{
}

NumpadDialog::AnswerGuard::AnswerGuard(AnswerHook hook)
    : m_decide(std::move(hook))
{
    m_previous = setAnswerHook([this](NumpadDialog& pad) {
        m_titles << pad.windowTitle();
        return m_decide ? m_decide(pad) : Answer::RunModal;
    });
}

NumpadDialog::AnswerGuard::~AnswerGuard()
{
    setAnswerHook(std::move(m_previous));
}

int NumpadDialog::AnswerGuard::count() const
{
    return m_titles.size();
}

QStringList NumpadDialog::AnswerGuard::titles() const
{
    return m_titles;
}
