// Event delivery and the handling of untrapped errors: one event at a time, an error abandons
// the rest of its procedure, becomes the current error, is logged once, and clears when a
// procedure completes.

#include "EventDelivery.h"
#include "RuntimeError.h"
#include "UntrappedErrors.h"

#include <QTest>
#include <functional>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using runtime::ErrorCode;
using runtime::Event;
using runtime::RuntimeError;

using Thrower = std::function<void()>;
Q_DECLARE_METATYPE(Thrower)

class TestEventDelivery : public QObject {
    Q_OBJECT

private slots:
    void errorAbandonsTheRestAndIsKept();
    void eachNewErrorIsLoggedOnce();
    void listenerSeesChangesOnly();
    void eventsRaisedInsideWaitTheirTurn();
    void otherExceptionsBecomeRuntimeErrors_data();
    void otherExceptionsBecomeRuntimeErrors();
    void aProcedureCanRebindItself();
    void unboundEventsAreIgnored();
};

void TestEventDelivery::errorAbandonsTheRestAndIsKept() {
    std::ostringstream log;
    runtime::UntrappedErrors errors(log);
    runtime::EventDelivery delivery(errors);
    std::vector<int> steps;
    delivery.bind(1, Event::Timer, [&] {
        steps.push_back(1);
        throw RuntimeError(ErrorCode::Overflow);
        steps.push_back(2);
    });
    delivery.raise(1, Event::Timer);
    QCOMPARE(steps, std::vector<int>{1});
    QVERIFY(errors.current());
    QCOMPARE(errors.current()->description(), "Overflow");
    QCOMPARE(log.str(), "Runtime error 6: Overflow\n");
}

void TestEventDelivery::eachNewErrorIsLoggedOnce() {
    std::ostringstream log;
    runtime::UntrappedErrors errors(log);
    runtime::EventDelivery delivery(errors);
    ErrorCode next = ErrorCode::Overflow;
    bool fail = true;
    delivery.bind(1, Event::Timer, [&] {
        if (fail) {
            throw RuntimeError(next);
        }
    });
    for (int tick = 0; tick < 100; ++tick) {
        delivery.raise(1, Event::Timer);
    }
    next = ErrorCode::TypeMismatch;
    delivery.raise(1, Event::Timer);
    delivery.raise(1, Event::Timer);
    fail = false;
    delivery.raise(1, Event::Timer);
    QVERIFY(!errors.current());
    fail = true;
    delivery.raise(1, Event::Timer);
    QCOMPARE(log.str(), "Runtime error 6: Overflow\n"
                        "Runtime error 13: Type mismatch\n"
                        "Runtime error 13: Type mismatch\n");
}

void TestEventDelivery::listenerSeesChangesOnly() {
    std::ostringstream log;
    runtime::UntrappedErrors errors(log);
    std::vector<QString> seen;
    errors.setListener([&](const RuntimeError* current) {
        seen.push_back(current ? QString::fromStdString(current->description()) : "none");
    });
    const RuntimeError overflow(ErrorCode::Overflow);
    errors.procedureCompleted();
    errors.report(overflow);
    errors.report(overflow);
    errors.procedureCompleted();
    errors.procedureCompleted();
    QCOMPARE(seen, (std::vector<QString>{"Overflow", "none"}));
}

void TestEventDelivery::eventsRaisedInsideWaitTheirTurn() {
    std::ostringstream log;
    runtime::UntrappedErrors errors(log);
    runtime::EventDelivery delivery(errors);
    std::vector<QString> order;
    delivery.bind(1, Event::Click, [&] {
        order.push_back("click begins");
        delivery.raise(2, Event::Timer);
        order.push_back("click ends");
    });
    delivery.bind(2, Event::Timer, [&] { order.push_back("tick"); });
    delivery.raise(1, Event::Click);
    QCOMPARE(order, (std::vector<QString>{"click begins", "click ends", "tick"}));
}

void TestEventDelivery::otherExceptionsBecomeRuntimeErrors_data() {
    QTest::addColumn<Thrower>("thrower");
    QTest::addColumn<ErrorCode>("code");
    QTest::addColumn<QString>("description");
    QTest::newRow("bad_alloc") << Thrower([] { throw std::bad_alloc(); }) << ErrorCode::OutOfMemory
                               << "Out of memory";
    QTest::newRow("std::exception") << Thrower([] { throw std::runtime_error("lost track"); })
                                    << ErrorCode::Internal << "lost track";
    QTest::newRow("not a std::exception")
        << Thrower([] { throw 42; }) << ErrorCode::Internal << "Internal error";
}

void TestEventDelivery::otherExceptionsBecomeRuntimeErrors() {
    QFETCH(Thrower, thrower);
    QFETCH(ErrorCode, code);
    QFETCH(QString, description);
    std::ostringstream log;
    runtime::UntrappedErrors errors(log);
    runtime::EventDelivery delivery(errors);
    int delivered = 0;
    delivery.bind(1, Event::Timer, thrower);
    delivery.bind(2, Event::Timer, [&] { ++delivered; });
    try {
        delivery.raise(1, Event::Timer);
    } catch (...) {
        QFAIL("The exception left raise()");
    }
    const std::optional<RuntimeError>& error = errors.current();
    QVERIFY(error);
    QCOMPARE(error->code(), code);
    QCOMPARE(QString::fromStdString(error->description()), description);
    // Delivery goes on after the error.
    delivery.raise(2, Event::Timer);
    QCOMPARE(delivered, 1);
    QVERIFY(!errors.current());
}

void TestEventDelivery::aProcedureCanRebindItself() {
    std::ostringstream log;
    runtime::UntrappedErrors errors(log);
    runtime::EventDelivery delivery(errors);
    std::vector<std::string> order;
    // The capture is too big for std::function to hold in place: it lives on the heap, where a
    // destroyed procedure's would be freed.
    delivery.bind(1, Event::Timer, [&, name = std::string("the first procedure, on the heap")] {
        delivery.bind(1, Event::Timer, [&] { order.push_back("the second procedure"); });
        delivery.bind(2, Event::Click, [] {});
        delivery.raise(1, Event::Timer);
        order.push_back(name);
    });
    delivery.raise(1, Event::Timer);
    QCOMPARE(order, (std::vector<std::string>{"the first procedure, on the heap",
                                              "the second procedure"}));
    QVERIFY(!errors.current());
}

void TestEventDelivery::unboundEventsAreIgnored() {
    std::ostringstream log;
    runtime::UntrappedErrors errors(log);
    runtime::EventDelivery delivery(errors);
    delivery.bind(1, Event::Click, [] {});
    QVERIFY(delivery.isBound(1, Event::Click));
    QVERIFY(!delivery.isBound(1, Event::Timer));
    delivery.raise(1, Event::Timer);
    delivery.raise(runtime::kFormItself, Event::Load);
    QVERIFY(!errors.current());
    QVERIFY(log.str().empty());
}

QTEST_GUILESS_MAIN(TestEventDelivery)
#include "tst_eventdelivery.moc"
