#pragma once
// ControlRef holds one reference to a control for as long as it lives, and releases it on every
// path out of the statement that took it, an exception included.

#include <utility>

namespace runtime {

template <class T>
class ControlRef {
public:
    /// Takes a reference on `control`.
    /// Example: `{ ControlRef<TextBox> box(text2); text2.references() == 1; }` and
    /// `text2.references() == 0` after the block.
    explicit ControlRef(T& control) noexcept
        : m_control(&control) {
        m_control->addRef();
    }
    ControlRef(ControlRef&& other) noexcept
        : m_control(std::exchange(other.m_control, nullptr)) {}
    ControlRef& operator=(ControlRef&& other) noexcept {
        std::swap(m_control, other.m_control);
        return *this;
    }
    ControlRef(const ControlRef&) = delete;
    ControlRef& operator=(const ControlRef&) = delete;
    ~ControlRef() {
        if (m_control != nullptr) {
            m_control->release();
        }
    }

    T* operator->() const noexcept { return m_control; }
    T& operator*() const noexcept { return *m_control; }

private:
    T* m_control;
};

} // namespace runtime
