#include "Form1.h"

#include "Arithmetic.h"
#include "DispatchIds.h"
#include "Form1Design.h"
#include "LateBound.h"
#include "NumberFormatter.h"
#include "NumberParser.h"
#include "Status.h"

namespace form {
namespace {

using runtime::VARIANT;

constexpr char16_t kPattern[] = u"#0.00";
constexpr int kFirstDayOfWeek = 1;
constexpr int kFirstWeekOfYear = 1;
constexpr std::int16_t kCentred = 2;

} // namespace

// Every statement below takes the control it needs and releases it when the statement ends.

void Form1::Form_Load() {
    runtime::checkStatus(m_controls.textBox(Text2)->storeText(QString()));
    runtime::checkStatus(m_controls.textBox(Text3)->storeText(QString()));
    runtime::putProperty(*m_controls.lateBound(RichTextBox1), runtime::kDispIdText,
                         VARIANT::bstr(QString()));
}

void Form1::Command1_Click() {
    runtime::putProperty(*m_controls.lateBound(RichTextBox1), runtime::kDispIdText,
                         VARIANT::bstr(QString()));
    runtime::callMethod(*m_controls.lateBound(RichTextBox1), runtime::kDispIdSetFocus);
}

void Form1::Timer1_Timer() {
    runtime::putProperty(*m_controls.lateBound(RichTextBox1), runtime::kDispIdSetting28,
                         VARIANT::i2(kCentred));
    const QString text =
        runtime::getProperty(*m_controls.lateBound(RichTextBox1), runtime::kDispIdText).toText();
    const VARIANT x = VARIANT::r8(runtime::parseNumber(text));

    // Fahrenheit = (x + 40) * 9 / 5 - 40, one operation at a time and in this order.
    VARIANT sum = runtime::varAdd(x, VARIANT::i2(40));
    VARIANT product = runtime::varMul(sum, VARIANT::i2(9));
    VARIANT quotient = runtime::varDiv(product, VARIANT::i2(5));
    const VARIANT fahrenheit = runtime::varSub(quotient, VARIANT::i2(40));
    runtime::checkStatus(m_controls.textBox(Text2)->storeText(
        runtime::format(fahrenheit, kPattern, kFirstDayOfWeek, kFirstWeekOfYear).toText()));

    // Celsius = (x + 40) * 5 / 9 - 40, likewise.
    sum = runtime::varAdd(x, VARIANT::i2(40));
    product = runtime::varMul(sum, VARIANT::i2(5));
    quotient = runtime::varDiv(product, VARIANT::i2(9));
    const VARIANT celsius = runtime::varSub(quotient, VARIANT::i2(40));
    runtime::checkStatus(m_controls.textBox(Text3)->storeText(
        runtime::format(celsius, kPattern, kFirstDayOfWeek, kFirstWeekOfYear).toText()));
}

} // namespace form
