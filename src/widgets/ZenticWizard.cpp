#include "ZenticWizard.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

ZenticWizard::ZenticWizard(QWidget* parent, bool useFooter)
    : QWizard(parent)
    , m_useFooter(useFooter)
{
    setWizardStyle(QWizard::ClassicStyle);

    footer = new QWidget(this);
    footer->setStyleSheet(QStringLiteral("background-color: #333333;"));
    footer->setVisible(m_useFooter);

    if (m_useFooter) {
        const QFontMetrics metrics(font());
        auto* backButton = new QPushButton(this);
        backButton->setStyleSheet(QStringLiteral("background-color: rgba(255, 255, 255, 0);"));
        backButton->setIcon(QIcon(QStringLiteral(":/icons/dozerozozu_backButton")));
        backButton->setIconSize(QSize(3 * metrics.averageCharWidth(), 3 * metrics.height()));
        backButton->setAccessibleName(tr("Back"));
        backButton->setToolTip(tr("Back"));
        setButton(QWizard::BackButton, backButton);

        const QList<QPair<QWizard::WizardButton, QString>> textButtons = {
            {QWizard::NextButton, tr("Next")},
            {QWizard::FinishButton, tr("Finish")},
            {QWizard::CancelButton, tr("Cancel")},
        };
        for (const auto& entry : textButtons) {
            auto* button = new QPushButton(entry.second, this);
            button->setMinimumWidth(metrics.boundingRect(entry.second).width() + 4 * metrics.averageCharWidth());
            setButton(entry.first, button);
        }
    }

    connect(this, SIGNAL(currentIdChanged(int)), this, SLOT(centerWidget()));
}

void ZenticWizard::useFooter(bool use)
{
    m_useFooter = use;
    footer->setVisible(use);
}

void ZenticWizard::reject()
{
    rejected = true;
    QDialog::reject();
}

void ZenticWizard::centerWidget()
{
    if (rejected || isMaximized() || isFullScreen())
        return;
    const QSize size = fittedSize();
    setFixedSize(0, 0);
    setFixedSize(size);
    lastFittedSize = size;

    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect screenRect = screen->geometry();
    QWidget* topLevel = window();
    const QRect frame = topLevel->frameGeometry();
    topLevel->move(qRound((screenRect.width() - frame.width()) * 0.5),
                   qRound((screenRect.height() - frame.height()) * 0.5));
}

QSize ZenticWizard::fittedSize()
{
    // A maximum that differs from the size fitted last was set by the owner since: it is the
    // new limit in that direction (setMaximumHeight() leaves the width as this wizard set it).
    const QSize maximum = maximumSize();
    if (!lastFittedSize.isValid() || maximum.width() != lastFittedSize.width())
        sizeLimit.setWidth(maximum.width());
    if (!lastFittedSize.isValid() || maximum.height() != lastFittedSize.height())
        sizeLimit.setHeight(maximum.height());
    return sizeHint().boundedTo(sizeLimit);
}

void ZenticWizard::paintEvent(QPaintEvent* event)
{
    if (!m_useFooter)
        return;
    QAbstractButton* backButton = button(QWizard::BackButton);
    const int top = int(backButton->mapTo(this, QPoint(0, 0)).y() - 14.5);
    footer->resize(width(), 10);
    footer->move(0, top);
    QWizard::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(QRect(0, top, width(), height() - top), palette().brush(QPalette::Link));
}
