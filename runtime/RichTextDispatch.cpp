#include "RichTextDispatch.h"

namespace runtime {
namespace {

constexpr int kLastAlignment = 2;

} // namespace

Status RichTextDispatch::getProperty(DispId id, VARIANT& result) {
    switch (id) {
    case kDispIdText:
        result = VARIANT::bstr(currentText());
        return Status::Ok;
    case kDispIdSetting28:
        result = VARIANT::i2(static_cast<std::int16_t>(currentAlignment()));
        return Status::Ok;
    default:
        return Status::UnknownMember;
    }
}

Status RichTextDispatch::putProperty(DispId id, const VARIANT& value) {
    switch (id) {
    case kDispIdText:
        return replaceText(value.toText());
    case kDispIdSetting28:
        if (value.vt() != VT_I2) {
            return Status::TypeMismatch;
        }
        if (value.asI2() < 0 || value.asI2() > kLastAlignment) {
            return Status::InvalidArgument;
        }
        return applyAlignment(value.asI2());
    default:
        return Status::UnknownMember;
    }
}

Status RichTextDispatch::callMethod(DispId id, VARIANT& result) {
    if (id != kDispIdSetFocus) {
        return Status::UnknownMember;
    }
    result = VARIANT();
    return takeFocus();
}

} // namespace runtime
