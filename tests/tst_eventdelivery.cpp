// Event delivery and the handling of untrapped errors: one event at a time, an error abandons
// the rest of its procedure, becomes the current error, is logged once, and clears when a
// procedure completes.

#include "EventDelivery.h"
#include "RuntimeError.h"
#include "UntrappedErrors.h"

#include <QTest>
#include <new>
#include <sstream>
#include <vector>

using runtime::ErrorCode;
using runtime::Event;
using runtime::RuntimeError;

class TestEventDelivery : public QObject {
    Q_OBJECT

private slots:
    void errorAbandonsTheRestAndIsKept();
    void eachNewErrorIsLoggedOnce();
    void listenerSeesChangesOnly();
    void eventsRaisedInsideWaitTheirTurn();
    void otherExceptionsBecomeRuntimeErrors();
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

void TestEventDelivery::otherExceptionsBecomeRuntimeErrors() {
    std::ostringstream log;
    runtime::UntrappedErrors errors(log);
    runtime::EventDelivery delivery(errors);
    delivery.bind(1, Event::Timer, [] { throw std::bad_alloc(); });
    delivery.raise(1, Event::Timer);
    QCOMPARE(errors.current()->code(), ErrorCode::OutOfMemory);
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
