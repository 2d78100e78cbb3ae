#include "SharedConstants.h"

#include <QtTest>

class TestSharedConstants : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void categoriesKeepTheirExactSpelling()
    {
        QCOMPARE(CategoryGeneral, DefaultCategory);
        QVERIFY(&CategoryGeneral != &DefaultCategory);
        QVERIFY(CategoryIO != QString("io"));
        QCOMPARE(CategoryDataProcessing, QString("dataProcessing"));
        const QStringList categories{CategoryGeneral, CategorySystem, CategoryConverters, CategoryDataProcessing,
                                     CategoryIO, CategorySensors, CategoryBus, CategoryFilesystem,
                                     CategoryFilters, CategoryMaths, CategoryAlgorithms, CategoryDebug,
                                     CategoryLogic, CategoryString, CategoryNetwork, CategoryArray,
                                     CategoryAudio, CategoryConstant, CategoryRos};
        QCOMPARE(categories.join(','), QString("General,system,converters,dataProcessing,IO,sensors,bus,filesystem,"
                                              "filters,maths,algorithms,debug,logic,string,network,array,audio,"
                                              "constant,ros"));
        QCOMPARE(CategoryGui, QString("GUI"));
        QCOMPARE(WidgetKind, QString("widget"));
        QVERIFY(WidgetKind != QString("Widget"));
    }

    void widgetKeysAreLowerCaseUnderWidget()
    {
        const QStringList keys{WidgetRowParam, WidgetColumnParam, WidgetRowspanParam, WidgetColspanParam,
                               WidgetAreaParam};
        QCOMPARE(keys.join(','), QString("widget/row,widget/column,widget/rowspan,widget/colspan,widget/area"));
        for (const QString& key : keys) {
            QCOMPARE(key, key.toLower());
            QCOMPARE(key.count('/'), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestSharedConstants)
#include "tst_SharedConstants.moc"
