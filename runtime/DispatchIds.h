#pragma once
// The dispatch identifiers of the rich-text input box, shared by the box's implementations and by
// the procedures that call it late-bound.

#include "Dispatch.h"

namespace runtime {

/// Text: the box's whole text, a VT_BSTR.
inline constexpr DispId kDispIdText = -517;
/// Setting 28: the alignment of the box's paragraphs, a VT_I2: 0 left, 1 right, 2 centred.
inline constexpr DispId kDispIdSetting28 = 28;
/// The focus method: gives the box the keyboard focus.
inline constexpr DispId kDispIdSetFocus = static_cast<DispId>(0x80011000u);

} // namespace runtime
