#pragma once
// RichTextDispatch is the late-bound interface of the rich-text input box, written once for every
// implementation of the box: it checks identifiers and argument types and converts tagged values,
// then calls the hooks that an implementation provides. Members, by dispatch identifier:
//   Text (kDispIdText)           property, VT_BSTR; a number stored into it is stored as its text
//   Setting 28 (kDispIdSetting28) property, VT_I2: paragraph alignment 0 left, 1 right, 2 centred
//   focus (kDispIdSetFocus)      method without arguments: the box takes the keyboard focus

#include "Dispatch.h"
#include "DispatchIds.h"

#include <QString>

namespace runtime {

class RichTextDispatch : public Dispatch {
public:
    /// Example: `getProperty(kDispIdText, v)` gives Status::Ok and `v == VARIANT::bstr(text)`;
    /// `getProperty(12345, v)` gives Status::UnknownMember.
    Status getProperty(DispId id, VARIANT& result) override;

    /// Example: `putProperty(kDispIdSetting28, VARIANT::i2(2))` centres the paragraphs;
    /// `putProperty(kDispIdSetting28, VARIANT::i2(3))` gives Status::InvalidArgument and
    /// `putProperty(kDispIdSetting28, VARIANT::bstr("2"))` Status::TypeMismatch.
    Status putProperty(DispId id, const VARIANT& value) override;

    /// Example: `callMethod(kDispIdSetFocus, v)` moves the focus and leaves `v` empty.
    Status callMethod(DispId id, VARIANT& result) override;

protected:
    ~RichTextDispatch() = default;

    virtual QString currentText() const = 0;
    virtual Status replaceText(const QString& text) = 0;
    /// 0 left, 1 right, 2 centred.
    virtual int currentAlignment() const = 0;
    virtual Status applyAlignment(int alignment) = 0;
    virtual Status takeFocus() = 0;
};

} // namespace runtime
