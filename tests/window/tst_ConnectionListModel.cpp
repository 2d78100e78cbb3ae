#include "ConnectionFilterModel.h"
#include "ConnectionListModel.h"
#include "ConnectionMeta.h"
#include "TypePair.h"

#include <QAbstractItemModelTester>
#include <QHash>
#include <QStringListModel>
#include <QtTest>

// Parsing of pair texts, the list model with its pressed rows, and the filter.
class TestConnectionListModel : public QObject
{
    Q_OBJECT

    static QStringList rowTexts(const QAbstractItemModel& model, int role)
    {
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row)
            texts.append(model.index(row, 0).data(role).toString());
        return texts;
    }

private Q_SLOTS:
    void parsesPairTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("signal"); // name, "|", types
        QTest::addColumn<QString>("slot");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("offered");

        QTest::newRow("pair") << "setValue(int)<valueChanged(int)" << "valueChanged|int" << "setValue|int" << true
                              << true;
        QTest::newRow("empty lists") << "reset()<crossed()" << "crossed|void" << "reset|void" << true << true;
        QTest::newRow("no <") << "set(int)" << "set|int" << "set|int" << true << false;
        QTest::newRow("several <") << "a(int)<b(int)<c(int)" << "b|int)<c(int" << "a|int" << true << false;
        QTest::newRow("unclosed") << "set(int<changed(int)" << "changed|int" << "set(int|" << false << false;
        QTest::newRow("unbalanced") << "set(int))<changed(int)" << "changed|int" << "set|int)" << true << false;
        QTest::newRow("empty") << "" << "|" << "|" << false << false;
    }

    void parsesPairTexts()
    {
        QFETCH(QString, text);
        QFETCH(QString, signal);
        QFETCH(QString, slot);
        QFETCH(bool, valid);
        QFETCH(bool, offered);

        const ConnectionMeta pair = ConnectionMeta::fromSignature(text);

        QCOMPARE(pair.first.name + "|" + pair.first.parameterTypes, signal);
        QCOMPARE(pair.second.name + "|" + pair.second.parameterTypes, slot);
        QCOMPARE(pair.isValid(), valid);
        QCOMPARE(ConnectionMeta::isPairText(text), offered);
        ConnectionListModel model;
        model.setConnectionSignatures({text});
        QCOMPARE(model.rowCount(), offered ? 1 : 0);
    }

    void typePairsAreUnordered()
    {
        const TypePair intDouble("int", "double");
        const TypePair doubleInt("double", "int");

        QVERIFY(intDouble == doubleInt);
        QVERIFY(!(intDouble < doubleInt) && !(doubleInt < intDouble));
        QCOMPARE(qHash(intDouble, 7), qHash(doubleInt, 7));
        QCOMPARE((QSet<TypePair>{intDouble, doubleInt}).size(), 1);
        QHash<TypePair, int> hash{{intDouble, 1}};
        hash.insert(doubleInt, 2);
        QCOMPARE(hash.size(), 1);
        QCOMPARE((QMap<TypePair, int>{{intDouble, 1}, {doubleInt, 2}}).size(), 1);
    }

    void pressingTogglesAndReports()
    {
        ConnectionListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setConnectionSignatures({"set(int)<changed(int)", "reset()<crossed()"});
        QSignalSpy selection(&model, &ConnectionListModel::selectionChanged);
        const QModelIndex second = model.index(1);

        QVERIFY(model.setData(second, QVariant(), ConnectionListModel::CheckedRole));
        QCOMPARE(second.data(ConnectionListModel::CheckedRole).toInt(), int(Qt::Checked));
        QVERIFY(model.setData(second, false, ConnectionListModel::CheckedRole));

        QCOMPARE(selection.count(), 2);
        QCOMPARE(selection.at(0).at(0).toBool(), true);
        QCOMPARE(selection.at(1).at(0).toBool(), false);
        QCOMPARE(selection.at(1).at(1).toModelIndex(), QModelIndex(second));
    }

    void refusesOtherRolesAndRowsItDoesNotHave_data()
    {
        QTest::addColumn<int>("row"); // -1: an invalid index; 10 and more: a row of another model
        QTest::addColumn<int>("role");
        QTest::newRow("invalid index") << -1 << int(ConnectionListModel::CheckedRole);
        QTest::newRow("row of another model") << 15 << int(ConnectionListModel::CheckedRole);
    }

    void refusesOtherRolesAndRowsItDoesNotHave()
    {
        QFETCH(int, row);
        QFETCH(int, role);
        ConnectionListModel model;
        model.setConnectionSignatures({"set(int)<changed(int)"});
        QStringListModel other(QVector<QString>(10, "x").toList());
        const QModelIndex index = row < 0 ? QModelIndex() : row >= 10 ? other.index(row - 10) : model.index(row);
        QSignalSpy selection(&model, &ConnectionListModel::selectionChanged);

        QVERIFY(!model.setData(index, QVariant(), role));

        QCOMPARE(selection.count(), 0);
        QCOMPARE(model.index(0).data(ConnectionListModel::CheckedRole).toInt(), int(Qt::Unchecked));
    }

    void newPairsStartReleased()
    {
        ConnectionListModel model;
        model.setConnectionSignatures({"set(int)<changed(int)", "reset()<crossed()"});
        model.setData(model.index(1), QVariant(), ConnectionListModel::CheckedRole);

        model.setConnectionSignatures({"a(int)<b(int)", "c()<d()"});

        QCOMPARE(model.index(1).data(ConnectionListModel::CheckedRole).toInt(), int(Qt::Unchecked));
    }

    void filterHidesConversionsUntilAllowedOrPressed()
    {
        // Given an equal-typed pair and an (int, double) pair
        ConnectionListModel model;
        ConnectionFilterModel proxy;
        proxy.setSourceModel(&model);
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setConnectionSignatures({"set(int)<changed(int)", "set(double)<changed(int)"});
        QCOMPARE(proxy.rowCount(), 1);

        // When the conversion is allowed the other way round, then taken back
        proxy.addFilterConversion(TypePair("double", "int"));
        QCOMPARE(proxy.rowCount(), 2);
        proxy.removeFilterConversion(TypePair("int", "double"));
        QCOMPARE(proxy.rowCount(), 1);

        // Then a pressed row shows without it, but not against the search
        model.setData(model.index(1), QVariant(), ConnectionListModel::CheckedRole);
        QCOMPARE(proxy.rowCount(), 2);
        proxy.setFilterRegExp(QRegExp("(.*)double", Qt::CaseInsensitive));
        QCOMPARE(rowTexts(proxy, ConnectionListModel::SignatureRole), QStringList({"set(double)<changed(int)"}));
        proxy.setFilterRegExp(QRegExp("(.*)SET\\(INT", Qt::CaseInsensitive));
        QCOMPARE(rowTexts(proxy, ConnectionListModel::SignatureRole), QStringList({"set(int)<changed(int)"}));
    }

};

QTEST_MAIN(TestConnectionListModel)
#include "tst_ConnectionListModel.moc"
