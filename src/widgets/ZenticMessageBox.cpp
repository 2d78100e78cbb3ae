#include "ZenticMessageBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTextDocumentFragment>

namespace {

constexpr int iconSize = 96;
constexpr int maxFirstWordWidth = 450;
constexpr int labelWidth = 475;
constexpr int maxMinimumWidth = 500;
constexpr int footerMargin = 15;

const char houseStyleSheet[] =
    "QMessageBox { padding: 10px; }"
    "QMessageBox QLabel#qt_msgbox_label { margin-right: 0px; padding-left: 6px; }"
    "QMessageBox QLabel#qt_msgbox_informativelabel { margin-top: 5px; margin-left: 5px; "
    "padding-left: 2px;margin-bottom: 10px; }";

ZenticMessageBox::AnswerHook& answerHook()
{
    static ZenticMessageBox::AnswerHook hook;
    return hook;
}

// Undoes QString::toHtmlEscaped(), keeping every other character (no-break spaces included).
QString unescaped(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

const QString informativePrefix = QStringLiteral("<p style='font-weight:normal; white-space: normal;'>");
const QString informativeSuffix = QStringLiteral("</p>");

// The caller's text back from the box's markup, for recording what a box said.
QString plainInformativeText(const QString& html)
{
    if (html.startsWith(informativePrefix) && html.endsWith(informativeSuffix))
        return unescaped(html.mid(informativePrefix.size(),
                                  html.size() - informativePrefix.size() - informativeSuffix.size()));
    return QTextDocumentFragment::fromHtml(html).toPlainText();
}

QString withoutMnemonic(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// The house's own buttons that stand for a standard one ("Cancel" of a confirmation) carry it
// here, so that whoever asks the box for that standard button finds them.
const char standsForProperty[] = "zenticStandsFor";

QAbstractButton* buttonStandingFor(const ZenticMessageBox& box, QMessageBox::StandardButton standard)
{
    const QList<QAbstractButton*> boxButtons = box.buttons();
    for (QAbstractButton* button : boxButtons) {
        if (button->property(standsForProperty).toInt() == int(standard))
            return button;
    }
    return nullptr;
}

} // namespace

bool ZenticMessageBox::footerEnabled = false;

ZenticMessageBox::ZenticMessageBox(QWidget* parent, QMessageBox::Icon icon, QString text,
                                   QString informativeText)
    : QMessageBox(parent)
{
    setIcon(icon);

    QString pixmapPath;
    switch (icon) {
    case QMessageBox::Critical:
        setWindowTitle(tr("Error"));
        pixmapPath = QStringLiteral(":/icons/dozerozozu_error");
        break;
    case QMessageBox::Question:
        setWindowTitle(tr("Question"));
        pixmapPath = QStringLiteral(":/icons/dozerozozu_question");
        break;
    case QMessageBox::Warning:
        setWindowTitle(tr("Warning"));
        pixmapPath = QStringLiteral(":/icons/dozerozozu_warning");
        break;
    default:
        setWindowTitle(tr("Information"));
        pixmapPath = QStringLiteral(":/icons/dozerozozu_information");
        break;
    }
    const QPixmap pixmap(pixmapPath);
    if (!pixmap.isNull())
        setIconPixmap(pixmap.scaled(iconSize, iconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        setIcon(icon);

    setText(QStringLiteral("<b>") + text.toHtmlEscaped() + QStringLiteral("</b>"));
    if (!informativeText.isEmpty()) {
        setInformativeText(informativePrefix + informativeText.toHtmlEscaped() + informativeSuffix);
    }
    applyHouseStyle();
}

ZenticMessageBox::~ZenticMessageBox() = default;

QMessageBox::StandardButton ZenticMessageBox::runStandard(QWidget* parent, QMessageBox::Icon icon,
                                                          const QString& text,
                                                          const QString& informativeText,
                                                          QMessageBox::StandardButtons buttons,
                                                          QMessageBox::StandardButton defaultButton)
{
    // On the heap: the parent may be deleted while the box runs, taking the box with it.
    QPointer<ZenticMessageBox> box = new ZenticMessageBox(parent, icon, text, informativeText);
    box->setStandardButtons(buttons);
    box->setDefaultButton(defaultButton);
    const int result = box->exec();
    if (!box)
        return QMessageBox::NoButton;
    delete box;
    return static_cast<QMessageBox::StandardButton>(result);
}

QMessageBox::StandardButton ZenticMessageBox::warning(QWidget* parent, const QString& text,
                                                      const QString& informativeText,
                                                      QMessageBox::StandardButtons buttons,
                                                      QMessageBox::StandardButton defaultButton)
{
    return runStandard(parent, QMessageBox::Warning, text, informativeText, buttons, defaultButton);
}

QMessageBox::StandardButton ZenticMessageBox::information(QWidget* parent, const QString& text,
                                                          const QString& informativeText,
                                                          QMessageBox::StandardButtons buttons,
                                                          QMessageBox::StandardButton defaultButton)
{
    return runStandard(parent, QMessageBox::Information, text, informativeText, buttons, defaultButton);
}

QMessageBox::StandardButton ZenticMessageBox::critical(QWidget* parent, const QString& text,
                                                       const QString& informativeText,
                                                       QMessageBox::StandardButtons buttons,
                                                       QMessageBox::StandardButton defaultButton)
{
    return runStandard(parent, QMessageBox::Critical, text, informativeText, buttons, defaultButton);
}

QMessageBox::StandardButton ZenticMessageBox::question(QWidget* parent, const QString& text,
                                                       const QString& informativeText,
                                                       QMessageBox::StandardButtons buttons,
                                                       QMessageBox::StandardButton defaultButton)
{
    return runStandard(parent, QMessageBox::Question, text, informativeText, buttons, defaultButton);
}

bool ZenticMessageBox::confirm(QWidget* parent, QMessageBox::Icon icon, const QString& buttonText,
                               const QString& text, const QString& informativeText)
{
    QPointer<ZenticMessageBox> box = new ZenticMessageBox(parent, icon, text, informativeText);
    box->setWindowTitle(tr("Confirmation"));
    // Its own text, not Qt's standard Cancel, but answered as that by AnswerGuard(QMessageBox::Cancel).
    box->addButton(tr("Cancel"), QMessageBox::RejectRole)->setProperty(standsForProperty, int(QMessageBox::Cancel));
    QPushButton* actionButton = box->addButton(buttonText, QMessageBox::AcceptRole);
    box->setDefaultButton(actionButton);
    box->exec();
    if (!box)
        return false;
    const bool accepted = box->clickedButton() == actionButton;
    delete box;
    return accepted;
}

bool ZenticMessageBox::confirmDelete(QWidget* parent, const QString& text, const QString& informativeText)
{
    return confirm(parent, QMessageBox::Question, tr("Delete"), text, informativeText);
}

bool ZenticMessageBox::confirmReplace(QWidget* parent, const QString& text, const QString& informativeText)
{
    return confirm(parent, QMessageBox::Question, tr("Replace"), text, informativeText);
}

void ZenticMessageBox::setFooterEnabled(bool enabled)
{
    footerEnabled = enabled;
}

ZenticMessageBox::AnswerHook ZenticMessageBox::setAnswerHook(AnswerHook hook)
{
    AnswerHook previous = std::move(answerHook());
    answerHook() = std::move(hook);
    return previous;
}

int ZenticMessageBox::exec()
{
    if (answerHook()) {
        // The hook sees the box styled as its show would style it (buttons added later included).
        applyHouseStyle();
        // Copied so that a hook which replaces itself while deciding stays alive until it returns.
        const AnswerHook hook = answerHook();
        QAbstractButton* button = hook(*this);
        if (button && buttons().contains(button)) {
            // A click on a button of the box closes it through QDialog::done() even when it
            // was never shown, so result() holds what exec() would have returned.
            button->click();
            return result();
        }
    }
    return QMessageBox::exec();
}

void ZenticMessageBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    dragOffset = event->globalPos() - frameGeometry().topLeft();
    event->accept();
}

void ZenticMessageBox::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        event->ignore();
        return;
    }
    move(event->globalPos() - dragOffset);
    event->accept();
}

void ZenticMessageBox::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    const QList<QAbstractButton*> boxButtons = buttons();
    if (!footerEnabled || boxButtons.isEmpty())
        return;
    const qreal y = boxButtons.first()->mapTo(this, QPoint(0, -footerMargin)).y();
    QPainter painter(this);
    painter.fillRect(QRectF(0, y, width(), height() - y), palette().brush(QPalette::Link));
}

void ZenticMessageBox::showEvent(QShowEvent* event)
{
    QMessageBox::showEvent(event);
    applyHouseStyle();
}

void ZenticMessageBox::styleButtons()
{
    const QFontMetrics appMetrics(QApplication::font());
    const QList<QAbstractButton*> boxButtons = buttons();
    for (QAbstractButton* button : boxButtons) {
        auto* pushButton = qobject_cast<QPushButton*>(button);
        if (!pushButton)
            continue;
        pushButton->setIcon(QIcon());
        pushButton->setMinimumSize(8 * appMetrics.averageCharWidth(), int(0.8 * appMetrics.height()));
    }
    if (auto* defaultPushButton = qobject_cast<QPushButton*>(defaultButton())) {
        defaultPushButton->setProperty("highlightButton", true);
        defaultPushButton->style()->unpolish(defaultPushButton);
        defaultPushButton->style()->polish(defaultPushButton);
    }
}

QString ZenticMessageBox::shortenedHeadline(const QString& headline) const
{
    const QFontMetrics metrics(QApplication::font());
    const int space = headline.indexOf(QLatin1Char(' '));
    QString word = space < 0 ? headline : headline.left(space);
    if (space < 0 || metrics.boundingRect(word).width() > maxFirstWordWidth) {
        const QChar quote(QLatin1Char('"'));
        const bool quoted = word.size() >= 2 && word.startsWith(quote) && word.endsWith(quote);
        if (quoted) {
            const int innerWidth = maxFirstWordWidth - 2 * metrics.boundingRect(quote).width();
            word = quote + metrics.elidedText(word.mid(1, word.size() - 2), Qt::ElideRight, innerWidth)
                   + quote;
        } else {
            word = metrics.elidedText(word, Qt::ElideRight, maxFirstWordWidth);
        }
    }
    return space < 0 ? word : word + QLatin1Char(' ') + headline.mid(space + 1);
}

void ZenticMessageBox::applyHouseStyle()
{
    // A new style sheet makes the button box lay its buttons out again, which shows every one
    // of them: a button its caller hid (a Cancel kept only for Escape and closing) stays hidden.
    QList<QAbstractButton*> hiddenButtons;
    const QList<QAbstractButton*> boxButtons = buttons();
    for (QAbstractButton* button : boxButtons) {
        if (button->isHidden())
            hiddenButtons.append(button);
    }

    styleButtons();

    // Styling runs at construction and on every show: a headline this box set itself is
    // styled again from its source, so repeated shows neither stack breaks nor re-elide.
    if (m_styledText.isNull() || text() != m_styledText) {
        m_sourceHeadline = text();
        m_sourceHeadline.remove(QStringLiteral("<b>"));
        m_sourceHeadline.remove(QStringLiteral("</b>"));
    }
    QString headline = shortenedHeadline(m_sourceHeadline);
    if (informativeText().isEmpty())
        headline += QStringLiteral("<br>");

    setStyleSheet(QString::fromLatin1(houseStyleSheet));
    setText(QStringLiteral("<b>") + headline + QStringLiteral("</b>"));
    m_styledText = text();
    for (QAbstractButton* button : qAsConst(hiddenButtons))
        button->hide();

    for (const char* labelName : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
        auto* label = findChild<QLabel*>(QLatin1String(labelName));
        if (!label)
            continue;
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft);
        label->setFixedWidth(labelWidth);
    }

    const QFontMetrics metrics(QApplication::font());
    setMinimumWidth(qMin(metrics.boundingRect(headline).width() + 100, maxMinimumWidth));
    adjustSize();
    if (layout())
        layout()->activate();
}

ZenticMessageBox::AnswerGuard::AnswerGuard(QMessageBox::StandardButton button)
    : AnswerGuard(AnswerHook([button](ZenticMessageBox& box) -> QAbstractButton* {
          if (QAbstractButton* standard = box.button(button))
              return standard;
          return buttonStandingFor(box, button);
      }))
{
}

ZenticMessageBox::AnswerGuard::AnswerGuard(Choice choice)
    : AnswerGuard(AnswerHook([choice](ZenticMessageBox& box) -> QAbstractButton* {
          const QList<QAbstractButton*> boxButtons = box.buttons();
          for (QAbstractButton* button : boxButtons) {
              const QMessageBox::ButtonRole role = box.buttonRole(button);
              const bool matches = choice == AcceptRole
                                       ? (role == QMessageBox::AcceptRole || role == QMessageBox::YesRole
                                          || role == QMessageBox::ApplyRole)
                                       : (role == QMessageBox::RejectRole || role == QMessageBox::NoRole);
              if (matches)
                  return button;
          }
          return nullptr;
      }))
{
}

ZenticMessageBox::AnswerGuard::AnswerGuard(const QString& buttonText)
    : AnswerGuard(AnswerHook([buttonText](ZenticMessageBox& box) -> QAbstractButton* {
          const QList<QAbstractButton*> boxButtons = box.buttons();
          for (QAbstractButton* button : boxButtons) {
              if (withoutMnemonic(button->text()) == withoutMnemonic(buttonText))
                  return button;
          }
          return nullptr;
      }))
{
}

ZenticMessageBox::AnswerGuard::AnswerGuard(AnswerHook hook)
    : m_decide(std::move(hook))
{
    m_previous = setAnswerHook([this](ZenticMessageBox& box) { return answer(box); });
}

ZenticMessageBox::AnswerGuard::~AnswerGuard()
{
    setAnswerHook(std::move(m_previous));
}

int ZenticMessageBox::AnswerGuard::count() const
{
    return m_texts.size();
}

QStringList ZenticMessageBox::AnswerGuard::texts() const
{
    return m_texts;
}

QStringList ZenticMessageBox::AnswerGuard::informativeTexts() const
{
    return m_informativeTexts;
}

QStringList ZenticMessageBox::AnswerGuard::titles() const
{
    return m_titles;
}

QAbstractButton* ZenticMessageBox::AnswerGuard::answer(ZenticMessageBox& box)
{
    if (box.text() == box.m_styledText) {
        m_texts << unescaped(box.m_sourceHeadline);
    } else {
        QString headline = box.text();
        m_texts << unescaped(headline.remove(QStringLiteral("<b>")).remove(QStringLiteral("</b>")));
    }
    m_informativeTexts << plainInformativeText(box.informativeText());
    m_titles << box.windowTitle();
    return m_decide ? m_decide(box) : nullptr;
}
