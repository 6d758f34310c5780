#include <QtTest>
class TestGiro : public QObject {
    Q_OBJECT
};
QTEST_MAIN(TestGiro)
#include "tst_giro.moc"
