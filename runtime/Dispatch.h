#pragma once
// Dispatch is the late-bound interface of a control: properties and methods are reached by a
// numeric dispatch identifier and carry tagged values. An identifier the control does not know
// gives Status::UnknownMember. The identifiers of the rich-text input box are in DispatchIds.h.

#include "Control.h"
#include "Status.h"
#include "Variant.h"

#include <cstdint>

namespace runtime {

using DispId = std::int32_t;

class Dispatch : public Control {
public:
    /// Reads the property `id` into `result`.
    virtual Status getProperty(DispId id, VARIANT& result) = 0;
    /// Stores `value` into the property `id`.
    virtual Status putProperty(DispId id, const VARIANT& value) = 0;
    /// Calls the method `id` without arguments; `result` receives what it returns, if anything.
    virtual Status callMethod(DispId id, VARIANT& result) = 0;

protected:
    ~Dispatch() = default;
};

} // namespace runtime
