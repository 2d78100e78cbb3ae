#include "FileButton.h"
#include "PickColorButton.h"
#include "tst_ConfigOption_Modal.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

/// Types the path into the next file dialog's name field, as a user would, and confirms; an empty
/// path cancels.
void chooseFile(const QString& path)
{
    ModalAnswer::whenModal("QFileDialog", [path](QWidget* dialog) {
        if (path.isEmpty())
            return static_cast<QFileDialog*>(dialog)->reject();
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
}

void pickColour(QColor colour, bool accept)
{
    ModalAnswer::whenModal("QColorDialog", [colour, accept](QWidget* dialog) {
        static_cast<QColorDialog*>(dialog)->setCurrentColor(Qt::green);
        static_cast<QColorDialog*>(dialog)->setCurrentColor(colour);
        QMetaObject::invokeMethod(dialog, accept ? "accept" : "reject", Qt::QueuedConnection);
    });
}

void clickOn(QWidget* button)
{
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
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
        QVERIFY(inside.open(QIODevice::WriteOnly) && outside.open(QIODevice::WriteOnly));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(work.path());
        FileButton button(QStringLiteral("start.yaml"), QStringLiteral("YAML files (*.yaml)"), nullptr);
        QSignalSpy selected(&button, &FileButton::fileSelected);

        chooseFile(inside.fileName());
        button.click();
        QCOMPARE(button.text(), QStringLiteral("inside.yaml"));
        chooseFile(outside.fileName());
        button.click();
        chooseFile(QString());
        button.click();
        QCOMPARE(selected.count(), 2);
        QCOMPARE(button.text(), QFileInfo(outside.fileName()).filePath());

        // A path holding the working directory further in is shown whole
        const QString nestedDir = elsewhere.path() + QDir::currentPath();
        QVERIFY(QDir().mkpath(nestedDir));
        QFile nested(nestedDir + QStringLiteral("/nested.yaml"));
        QVERIFY(nested.open(QIODevice::WriteOnly));
        chooseFile(nested.fileName());
        button.click();
        QCOMPARE(button.text(), QFileInfo(nested.fileName()).filePath());
        QDir::setCurrent(previous);
    }

    void colourButtonCancelRestoresPreviewAndAcceptSelectsOnce()
    {
        PickColorButton button(QStringLiteral("Change..."), nullptr);
        button.setColor(Qt::red);
        QSignalSpy selected(&button, &PickColorButton::colorSelected);
        QSignalSpy tried(&button, &PickColorButton::currentColorChanged);

        pickColour(Qt::blue, false);
        clickOn(&button);
        QCOMPARE(selected.count(), 0);
        QVERIFY(tried.count() >= 2);
        QCOMPARE(tried.last().at(0).value<QColor>(), QColor(Qt::red));
        QCOMPARE(button.getColor(), QColor(Qt::red));

        pickColour(Qt::blue, true);
        clickOn(&button);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(button.getColor(), QColor(Qt::blue));
    }

    void colourButtonDestroyedWhileChoosing()
    {
        auto* button = new PickColorButton(QStringLiteral("Change..."), nullptr);
        QPointer<PickColorButton> guard(button);
        ModalAnswer::whenModal("QColorDialog", [button](QWidget* dialog) {
            delete button;
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
        QTest::mousePress(button, Qt::LeftButton);
        QVERIFY(!guard);
    }

};

QTEST_MAIN(SettingsButtonsTest)
#include "tst_SettingsButtons.moc"
