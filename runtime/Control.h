#pragma once
// Control is the base of every control a procedure can reach. The window owns its controls for
// the whole run; a procedure only borrows one for a statement through a ControlRef, and the
// control counts those borrowed references so that a leak on any path can be seen in a test.

namespace runtime {

class Control {
public:
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    /// References currently held on this control; 0 whenever no procedure is running.
    /// Example: `{ ControlRef<TextBox> box(text2); text2.references() == 1; }`.
    int references() const noexcept { return m_references; }

    void addRef() noexcept { ++m_references; }
    void release() noexcept { --m_references; }

protected:
    ~Control() = default;

private:
    int m_references = 0;
};

} // namespace runtime
