"""Finding a program's top-level window on an X display, for the scripts that drive the real
program under Xvfb."""

from Xlib import X, error


def find_window(screen, title):
    """The viewable window whose _NET_WM_NAME is `title`, searched through the whole tree of
    the display's first screen, or None. Windows that go while the tree is searched (Wine makes
    and destroys some of its own as a program starts) are passed over."""
    name_atom = screen.intern_atom("_NET_WM_NAME")
    utf8_atom = screen.intern_atom("UTF8_STRING")
    pending = [screen.screen().root]
    while pending:
        window = pending.pop()
        try:
            name = window.get_full_property(name_atom, utf8_atom)
            if name is not None and name.value.decode("utf-8") == title:
                if window.get_attributes().map_state == X.IsViewable:
                    return window
            pending.extend(window.query_tree().children)
        except error.BadWindow:
            continue
    return None
