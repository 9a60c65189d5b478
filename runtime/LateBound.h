#pragma once
// Late-bound access to a control by dispatch identifier, as procedures use it: each call checks
// the control's status and turns a failure into a RuntimeError at once.

#include "Dispatch.h"

namespace runtime {

/// Stores `value` into the property `id` of `object`.
/// Example: `putProperty(*richTextBox, kDispIdSetting28, VARIANT::i2(2))`;
/// with an identifier the control does not know it throws ErrorCode::UnknownMember.
void putProperty(Dispatch& object, DispId id, const VARIANT& value);

/// Reads the property `id` of `object`.
/// Example: `getProperty(*richTextBox, kDispIdText).toText() == "100"` when the box holds 100.
VARIANT getProperty(Dispatch& object, DispId id);

/// Calls the method `id` of `object` without arguments and returns its result.
/// Example: `callMethod(*richTextBox, kDispIdSetFocus)` gives the box the keyboard focus and
/// returns an empty VARIANT.
VARIANT callMethod(Dispatch& object, DispId id);

} // namespace runtime
