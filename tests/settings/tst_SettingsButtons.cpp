#include "FileButton.h"
#include "PickColorButton.h"
#include "PickIconButton.h"
#include "tst_ConfigOption_Modal.h"

#include <QColorDialog>
#include <QDir>
#include <QLineEdit>
#include <QFileDialog>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

template<typename T>
void answerModal(std::function<void(T*)> answer)
{
    ModalAnswer::whenModal(T::staticMetaObject.className(), [answer](QWidget* modal) { answer(static_cast<T*>(modal)); });
}

/// Types the path into the dialog's name field, as a user would, and confirms.
void chooseFile(QFileDialog* dialog, const QString& path)
{
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
}

} // namespace

class SettingsButtonsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fileButtonShowsPathsRelativeToWorkingDirectory()
    {
        QTemporaryDir work;
        QTemporaryDir elsewhere;
        QFile inside(work.filePath(QStringLiteral("inside.yaml")));
        QFile outside(elsewhere.filePath(QStringLiteral("outside.yaml")));
        QVERIFY(inside.open(QIODevice::WriteOnly));
        QVERIFY(outside.open(QIODevice::WriteOnly));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(work.path());

        FileButton button(QStringLiteral("start.yaml"), QStringLiteral("YAML files (*.yaml)"), nullptr);
        QCOMPARE(button.text(), QStringLiteral("start.yaml"));
        QSignalSpy selected(&button, &FileButton::fileSelected);

        answerModal<QFileDialog>([&](QFileDialog* dialog) {
            chooseFile(dialog, inside.fileName());
        });
        button.click();
        QCOMPARE(selected.count(), 1);
        QCOMPARE(button.text(), QStringLiteral("inside.yaml"));
        QCOMPARE(button.getFileInfo().absoluteFilePath(), QFileInfo(inside.fileName()).absoluteFilePath());

        answerModal<QFileDialog>([&](QFileDialog* dialog) {
            chooseFile(dialog, outside.fileName());
        });
        button.click();
        QCOMPARE(button.text(), QFileInfo(outside.fileName()).filePath());

        answerModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
        button.click();
        QCOMPARE(selected.count(), 2);
        QCOMPARE(button.text(), QFileInfo(outside.fileName()).filePath());
        QDir::setCurrent(previous);
    }

    void colourButtonCancelRestoresPreviewAndAcceptSelectsOnce()
    {
        PickColorButton button(QStringLiteral("Change..."), nullptr);
        QVERIFY(!button.getColor().isValid());
        button.setColor(Qt::red);
        QSignalSpy selected(&button, &PickColorButton::colorSelected);
        QSignalSpy tried(&button, &PickColorButton::currentColorChanged);

        answerModal<QColorDialog>([](QColorDialog* dialog) {
            dialog->setCurrentColor(Qt::blue);
            dialog->reject();
        });
        QTest::mousePress(&button, Qt::LeftButton);
        QTest::mouseRelease(&button, Qt::LeftButton);
        QCOMPARE(selected.count(), 0);
        QVERIFY(tried.count() >= 2);
        QCOMPARE(tried.last().at(0).value<QColor>(), QColor(Qt::red));
        QCOMPARE(button.getColor(), QColor(Qt::red));

        answerModal<QColorDialog>([](QColorDialog* dialog) {
            dialog->setCurrentColor(Qt::green);
            dialog->setCurrentColor(Qt::blue);
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
        QTest::mousePress(&button, Qt::LeftButton);
        QTest::mouseRelease(&button, Qt::LeftButton);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.at(0).at(0).value<QColor>(), QColor(Qt::blue));
        QCOMPARE(button.getColor(), QColor(Qt::blue));
        const QImage swatch = button.icon().pixmap(64, 64).toImage();
        QCOMPARE(QColor(swatch.pixel(32, 32)), QColor(Qt::blue));
        QCOMPARE(QColor(swatch.pixel(0, 0)), button.palette().color(QPalette::Current, QPalette::Text));
    }

    void colourButtonDestroyedWhileChoosing()
    {
        auto* button = new PickColorButton(QStringLiteral("Change..."), nullptr);
        QPointer<PickColorButton> guard(button);
        answerModal<QColorDialog>([button](QColorDialog* dialog) {
            delete button;
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
        QTest::mousePress(button, Qt::LeftButton);
        QVERIFY(!guard);
    }

    void iconButtonScalesOnRequest()
    {
        PickIconButton empty(QStringLiteral("Icon"), nullptr);
        QVERIFY(empty.getImage(QSize(10, 10)).isNull());

        QImage image(100, 50, QImage::Format_ARGB32);
        image.fill(Qt::red);
        empty.setIcon(image);
        QCOMPARE(empty.getImage(QSize(-1, -1)).size(), QSize(100, 50));
        QCOMPARE(empty.getImage(QSize(10, 20)).size(), QSize(10, 20));
    }

    void iconButtonPicksImageFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("logo.png"));
        QImage image(20, 10, QImage::Format_ARGB32);
        image.fill(Qt::green);
        QVERIFY(image.save(file));

        PickIconButton button(QStringLiteral("Icon"), nullptr);
        QSignalSpy selected(&button, &PickIconButton::iconSelected);
        answerModal<QFileDialog>([&](QFileDialog* dialog) {
            chooseFile(dialog, file);
        });
        QTest::mousePress(&button, Qt::LeftButton);
        QTest::mouseRelease(&button, Qt::LeftButton);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.at(0).at(0).value<QImage>().size(), QSize(20, 10));

        PickIconButton unreadable(dir.filePath(QStringLiteral("missing.png")), QStringLiteral("Icon"), nullptr);
        QVERIFY(unreadable.getImage(QSize(-1, -1)).isNull());
    }
};

QTEST_MAIN(SettingsButtonsTest)
#include "tst_SettingsButtons.moc"
