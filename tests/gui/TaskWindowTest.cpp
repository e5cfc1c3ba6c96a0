#include <QtTest>
class TaskWindowTest : public QObject { Q_OBJECT };
QTEST_MAIN(TaskWindowTest)
#include "TaskWindowTest.moc"
